#include "support/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/locale.h"
#include "printable.h"

namespace velkaro {
namespace {

TEST(CharPosTest, FindsFirstPositionOneBased) {
  EXPECT_EQ(CharPos(u'b', u"abcb"), 2);
  EXPECT_EQ(CharPos(u'a', u"abc"), 1);
  EXPECT_EQ(CharPos(u'x', u"abc"), 0);
  EXPECT_EQ(CharPos(u'x', u""), 0);
}

TEST(CharPosTest, SearchesFromStart) {
  EXPECT_EQ(CharPosFrom(u'b', u"abcb", 2), 2);
  EXPECT_EQ(CharPosFrom(u'b', u"abcb", 3), 4);
  EXPECT_EQ(CharPosFrom(u'b', u"abcb", 4), 4);
  EXPECT_EQ(CharPosFrom(u'a', u"abcb", 2), 0);
  EXPECT_EQ(CharPosFrom(u'b', u"abcb", 5), 0);   // past the end
  EXPECT_EQ(CharPosFrom(u'a', u"abcb", 0), 1);   // before the start counts from 1
  EXPECT_EQ(CharPosFrom(u'a', u"abcb", -7), 1);
}

struct ReplaceRangeCase {
  const char16_t* text;
  const char16_t* insertion;
  int first;
  int last;
  const char16_t* expected;
};

void PrintTo(const ReplaceRangeCase& c, std::ostream* os) {
  *os << Printable(c.text) << ' ' << c.first << '-' << c.last << ' ' << Printable(c.insertion);
}

class ReplaceRangeTest : public ::testing::TestWithParam<ReplaceRangeCase> {};

TEST_P(ReplaceRangeTest, Replaces) {
  const ReplaceRangeCase& c = GetParam();
  std::u16string text = c.text;
  ReplaceRange(text, c.insertion, c.first, c.last);
  EXPECT_EQ(text, c.expected) << Printable(text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceRangeTest,
    ::testing::Values(ReplaceRangeCase{u"abcdef", u"XY", 2, 3, u"aXYdef"},     // same length
                      ReplaceRangeCase{u"abcdef", u"X", 2, 5, u"aXf"},         // shorter
                      ReplaceRangeCase{u"abcdef", u"WXYZ", 3, 3, u"abWXYZdef"},  // longer
                      ReplaceRangeCase{u"abcdef", u"", 1, 6, u""},
                      ReplaceRangeCase{u"abcdef", u"X", 1, 1, u"Xbcdef"},
                      ReplaceRangeCase{u"abcdef", u"X", 6, 6, u"abcdeX"},
                      ReplaceRangeCase{u"abc", u"X", 2, 1, u"aXbc"},    // empty range inserts
                      ReplaceRangeCase{u"abc", u"X", 4, 9, u"abcX"},    // clamped to the end
                      ReplaceRangeCase{u"abc", u"X", 9, 12, u"abcX"},
                      ReplaceRangeCase{u"abc", u"X", -3, 1, u"Xbc"}));  // clamped to the start

TEST(NextTokenTest, ReadsFieldsUntilTheTextEnds) {
  const std::u16string_view text = u"a|b|";
  int position = 1;
  std::u16string token = u"stale";
  EXPECT_TRUE(NextToken(text, position, u'|', token));
  EXPECT_EQ(token, u"a");
  EXPECT_EQ(position, 3);
  EXPECT_TRUE(NextToken(text, position, u'|', token));
  EXPECT_EQ(token, u"b");
  EXPECT_EQ(position, 5);
  EXPECT_FALSE(NextToken(text, position, u'|', token));
  EXPECT_EQ(token, u"");
  EXPECT_EQ(position, 5);
  EXPECT_FALSE(NextToken(text, position, u'|', token));
  EXPECT_EQ(position, 5);
}

TEST(NextTokenTest, EmptyFieldsAndRestWithoutSeparator) {
  const std::u16string_view text = u";;tail";
  int position = 1;
  std::u16string token;
  EXPECT_TRUE(NextToken(text, position, u';', token));
  EXPECT_EQ(token, u"");
  EXPECT_TRUE(NextToken(text, position, u';', token));
  EXPECT_EQ(token, u"");
  EXPECT_FALSE(NextToken(text, position, u';', token));
  EXPECT_EQ(token, u"tail");
  EXPECT_EQ(position, 7);

  position = 1;
  EXPECT_FALSE(NextToken(u"", position, u';', token));
  EXPECT_EQ(token, u"");
  EXPECT_EQ(position, 1);

  position = 0;  // before the text counts as its start
  EXPECT_TRUE(NextToken(u"x;y", position, u';', token));
  EXPECT_EQ(token, u"x");
  EXPECT_EQ(position, 3);
}

struct ReplaceAllCase {
  const char16_t* text;
  const char16_t* pattern;
  const char16_t* replacement;
  const char16_t* expected;
};

void PrintTo(const ReplaceAllCase& c, std::ostream* os) {
  *os << Printable(c.text) << ' ' << Printable(c.pattern) << ' ' << Printable(c.replacement);
}

class ReplaceAllTest : public ::testing::TestWithParam<ReplaceAllCase> {};

TEST_P(ReplaceAllTest, Replaces) {
  const ReplaceAllCase& c = GetParam();
  EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.replacement), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceAllTest,
    ::testing::Values(ReplaceAllCase{u"a-b-c", u"-", u"+", u"a+b+c"},
                      ReplaceAllCase{u"aaa", u"aa", u"b", u"ba"},    // no overlapping matches
                      ReplaceAllCase{u"xax", u"a", u"aa", u"xaax"},  // inserted text not searched
                      ReplaceAllCase{u"aaaa", u"a", u"aa", u"aaaaaaaa"},
                      ReplaceAllCase{u"Abc abc", u"abc", u"x", u"Abc x"},  // case-sensitive
                      ReplaceAllCase{u"\r\n\r\n", u"\r\n", u" ", u"  "},
                      ReplaceAllCase{u"abc", u"", u"x", u"abc"},     // empty pattern: unchanged
                      ReplaceAllCase{u"", u"a", u"b", u""}));

TEST(RemoveAmpersandTest, RemovesOnlyTheFirst) {
  EXPECT_EQ(RemoveAmpersand(u"&File"), u"File");
  EXPECT_EQ(RemoveAmpersand(u"Save && &Exit"), u"Save & &Exit");
  EXPECT_EQ(RemoveAmpersand(u"Plain"), u"Plain");
  EXPECT_EQ(RemoveAmpersand(u"End&"), u"End");
}

TEST(TrimBlanksTest, RemovesControlCharactersAndBlanksAtBothEnds) {
  const struct {
    const char16_t* text;
    const char16_t* expected;
  } cases[] = {
      {u"  a b  ", u"a b"},
      {u"\t\r\n x\x01\x1F", u"x"},
      {u" \t\r\n\x01 ", u""},
      {u"", u""},
      {u"!x!", u"!x!"},            // code 33 stays
      {u"\u00A0x\u00A0", u"\u00A0x\u00A0"},  // only codes below 33 go
  };
  for (const auto& c : cases) {
    std::u16string text = c.text;
    TrimBlanks(text);
    EXPECT_EQ(text, c.expected) << Printable(c.text);
  }
}

TEST(CaseInsensitiveTest, ComparesThroughTheLowerCaseTable) {
  EXPECT_TRUE(SameTextCI(u"Velkaro", u"vELKARO"));
  EXPECT_TRUE(SameTextCI(u"\u00C4RGER", u"\u00E4rger"));            // Ä / ä
  EXPECT_TRUE(SameTextCI(u"\u0414\u0410", u"\u0434\u0430"));         // ДА / да
  EXPECT_TRUE(SameTextCI(u"", u""));
  EXPECT_FALSE(SameTextCI(u"abc", u"abcd"));
  EXPECT_FALSE(SameTextCI(u"abc", u"abd"));

  EXPECT_TRUE(StartsWithCI(u"HTTP://", u"http://example.org"));
  EXPECT_TRUE(StartsWithCI(u"", u"x"));
  EXPECT_TRUE(StartsWithCI(u"abc", u"ABC"));
  EXPECT_FALSE(StartsWithCI(u"abcd", u"ABC"));  // text shorter than the prefix
  EXPECT_FALSE(StartsWithCI(u"abd", u"ABCD"));
}

TEST(CaseInsensitiveTest, BufferKeywordIsNotLowered) {
  const std::u16string buffer = u"Picture=logo.bmp";
  const auto size = static_cast<std::ptrdiff_t>(buffer.size());
  EXPECT_TRUE(BufferStartsWithLower(u"picture=", buffer.data(), size));
  EXPECT_FALSE(BufferStartsWithLower(u"Picture=", buffer.data(), size));
  EXPECT_FALSE(BufferStartsWithLower(u"info=", buffer.data(), size));
  // The count bounds the buffer, whatever lies behind it.
  EXPECT_FALSE(BufferStartsWithLower(u"picture=", buffer.data(), 7));
  EXPECT_TRUE(BufferStartsWithLower(u"pic", buffer.data(), 3));
  EXPECT_TRUE(BufferStartsWithLower(u"", nullptr, 0));
}

struct UnescapeCase {
  std::u16string text;
  std::u16string expected;
};

void PrintTo(const UnescapeCase& c, std::ostream* os) { *os << Printable(c.text); }

class UnescapeTextTest : public ::testing::TestWithParam<UnescapeCase> {};

TEST_P(UnescapeTextTest, Unescapes) {
  const UnescapeCase& c = GetParam();
  std::u16string text = c.text;
  UnescapeText(text);
  EXPECT_EQ(text, c.expected) << Printable(c.text) << " gave " << Printable(text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnescapeTextTest,
    ::testing::Values(
        UnescapeCase{u"\\065", u"A"},
        UnescapeCase{u"x\\065y", u"xAy"},
        UnescapeCase{u"\\065\\066\\067", u"ABC"},        // escapes in a row, up to the very end
        UnescapeCase{u"\\0650", u"A0"},                  // the digit after three is plain text
        UnescapeCase{u"\\092065", u"\\065"},             // a produced backslash is not rescanned
        UnescapeCase{u"\\\\n", u"\\n"},                  // doubled backslash, then a plain n
        UnescapeCase{u"\\\\\\\\", u"\\\\"},
        UnescapeCase{u"a\\nb", u"a\r\nb"},
        UnescapeCase{u"\\n\\n", u"\r\n\r\n"},
        UnescapeCase{u"a\\t", u"a\\t"},                  // unknown escape stays
        UnescapeCase{u"end\\", u"end\\"},                // a last backslash is never examined
        UnescapeCase{u"ab\\6", u"ab\\6"},                // digit without two more characters
        UnescapeCase{u"ab\\65", u"ab\\65"},
        UnescapeCase{u"\\065\\66", u"A\\66"},            // converts up to there, then stops
        UnescapeCase{u"\\12\\n", u"\u00A4n"},  // only the first is checked: 100 + 20 + 44
        UnescapeCase{u"", u""}));

std::vector<std::ptrdiff_t> AllLines(std::u16string_view buffer) {
  std::vector<std::ptrdiff_t> lengths;
  const char16_t* cursor = buffer.data();
  const char16_t* end = buffer.data() + buffer.size();
  for (;;) {
    const std::ptrdiff_t length = NextLine(cursor, end);
    lengths.push_back(length);
    if (length < 0) break;
  }
  EXPECT_EQ(cursor, end);
  return lengths;
}

TEST(NextLineTest, SplitsAtCrLfAndSingleBreaks) {
  using L = std::vector<std::ptrdiff_t>;
  EXPECT_EQ(AllLines(u"a\r\n\r\nb"), (L{2, 0, 2, -1}));
  EXPECT_EQ(AllLines(u""), (L{-1}));
  EXPECT_EQ(AllLines(u"abc"), (L{6, -1}));
  EXPECT_EQ(AllLines(u"a\r\nb"), (L{2, 2, -1}));   // CR LF is one break
  EXPECT_EQ(AllLines(u"a\n\rb"), (L{2, 0, 2, -1}));  // LF CR are two
  EXPECT_EQ(AllLines(u"a\rb\nc"), (L{2, 2, 2, -1}));
  EXPECT_EQ(AllLines(u"ab\r\n"), (L{4, -1}));       // no empty last line
  EXPECT_EQ(AllLines(u"ab\r"), (L{4, -1}));
  EXPECT_EQ(AllLines(u"\n\n"), (L{0, 0, -1}));
}

TEST(NextLineTest, CursorMovesBehindTheBreak) {
  const std::u16string buffer = u"one\r\ntwo";
  const char16_t* cursor = buffer.data();
  const char16_t* end = buffer.data() + buffer.size();
  EXPECT_EQ(NextLine(cursor, end), 6);
  EXPECT_EQ(cursor, buffer.data() + 5);
  EXPECT_EQ(std::u16string_view(cursor, 3), u"two");
  EXPECT_EQ(NextLine(cursor, end), 6);
  EXPECT_EQ(cursor, end);
  EXPECT_EQ(NextLine(cursor, end), -1);
}

struct GroupedCase {
  std::int32_t n;
  const char16_t* separator;
  const char16_t* expected;
};

void PrintTo(const GroupedCase& c, std::ostream* os) {
  *os << c.n << ' ' << Printable(c.separator);
}

class IntToStrGroupedTest : public ::testing::TestWithParam<GroupedCase> {};

TEST_P(IntToStrGroupedTest, Groups) {
  const GroupedCase& c = GetParam();
  EXPECT_EQ(IntToStrGrouped(c.n, c.separator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntToStrGroupedTest,
    ::testing::Values(GroupedCase{0, u",", u"0"},
                      GroupedCase{7, u",", u"7"},
                      GroupedCase{999, u",", u"999"},
                      GroupedCase{1000, u",", u"1,000"},
                      GroupedCase{-999, u",", u"-999"},
                      GroupedCase{-1000, u",", u"-1,000"},
                      GroupedCase{100000, u",", u"100,000"},
                      GroupedCase{-1234567, u",", u"-1,234,567"},
                      GroupedCase{INT32_MAX, u",", u"2,147,483,647"},
                      GroupedCase{INT32_MIN, u",", u"-2,147,483,648"},
                      GroupedCase{1234567, u"\u00A0", u"1\u00A0234\u00A0567"},
                      GroupedCase{1234567, u"", u"1234567"},
                      GroupedCase{-123456, u"'", u"-123'456"}));

TEST(IntToStrGroupedTest, UsesTheLocaleSeparator) {
  const std::u16string separator = platform::ThousandsSeparator();
  EXPECT_EQ(IntToStrGrouped(-1234567), u"-1" + separator + u"234" + separator + u"567");
  EXPECT_EQ(IntToStrGrouped(999), u"999");
}

TEST(UrlEncodeTest, EncodesUtf8Bytes) {
  EXPECT_EQ(UrlEncode(u"a \u00E4"), u"a+%C3%A4");
  EXPECT_EQ(UrlEncode(u"AZaz09-._~"), u"AZaz09-._~");
  EXPECT_EQ(UrlEncode(u"1.2 (b3)/x?y=z&w%"), u"1.2+%28b3%29%2Fx%3Fy%3Dz%26w%25");
  EXPECT_EQ(UrlEncode(u"\u20AC\U0001F600"), u"%E2%82%AC%F0%9F%98%80");
  EXPECT_EQ(UrlEncode(u""), u"");
}

struct HexCase {
  const char16_t* hex;
  int count;
  bool ok;
  std::vector<std::uint8_t> bytes;
};

void PrintTo(const HexCase& c, std::ostream* os) { *os << Printable(c.hex) << ' ' << c.count; }

class HexToBytesTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexToBytesTest, Decodes) {
  const HexCase& c = GetParam();
  std::vector<std::uint8_t> bytes = {0xEE};  // stale content must not survive
  EXPECT_EQ(HexToBytes(c.hex, c.count, bytes), c.ok) << Printable(c.hex);
  if (c.ok) EXPECT_EQ(bytes, c.bytes) << Printable(c.hex);
  else EXPECT_TRUE(bytes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HexToBytesTest,
    ::testing::Values(HexCase{u"424D", 4, true, {0x42, 0x4D}},
                      HexCase{u"00ff7Fa0", 8, true, {0x00, 0xFF, 0x7F, 0xA0}},
                      HexCase{u"0123456789ABCDEFabcdef", 22, true,
                              {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0xAB, 0xCD, 0xEF}},
                      HexCase{u"424D", 2, true, {0x42}},  // only the counted characters
                      HexCase{u"zz", 0, true, {}},
                      HexCase{u"zz", -4, true, {}},
                      HexCase{u"424", 3, false, {}},      // odd count
                      HexCase{u"4G", 2, false, {}},
                      HexCase{u"g4", 2, false, {}},
                      HexCase{u"42 4D", 4, false, {}},
                      HexCase{u"42", 4, false, {}}));     // count beyond the text

}  // namespace
}  // namespace velkaro
