#include "support/utf.h"

#include <gtest/gtest.h>

#include <string>

#include "printable.h"

namespace velkaro {
namespace {

struct RoundTripCase {
  std::u16string text;
  std::string utf8;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << Printable(c.text); }

class UtfRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(UtfRoundTripTest, ConvertsBothWays) {
  const RoundTripCase& c = GetParam();
  EXPECT_EQ(ToUtf8(c.text), c.utf8);
  EXPECT_EQ(FromUtf8(c.utf8), c.text) << Printable(FromUtf8(c.utf8));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UtfRoundTripTest,
    ::testing::Values(RoundTripCase{u"", ""},
                      RoundTripCase{u"Velkaro 1.0", "Velkaro 1.0"},
                      RoundTripCase{std::u16string(1, u'\0'), std::string(1, '\0')},
                      RoundTripCase{u"\u007F\u0080", "\x7F\xC2\x80"},
                      RoundTripCase{u"\u00E4\u07FF", "\xC3\xA4\xDF\xBF"},
                      RoundTripCase{u"\u0800\u20AC", "\xE0\xA0\x80\xE2\x82\xAC"},
                      RoundTripCase{u"\uFFFD\uFFFF", "\xEF\xBF\xBD\xEF\xBF\xBF"},
                      RoundTripCase{u"\uD7FF\uE000", "\xED\x9F\xBF\xEE\x80\x80"},
                      RoundTripCase{u"\U00010000", "\xF0\x90\x80\x80"},
                      RoundTripCase{u"a\U0001F600b", "a\xF0\x9F\x98\x80" "b"},
                      RoundTripCase{u"\U0010FFFF", "\xF4\x8F\xBF\xBF"}));

TEST(ToUtf8Test, UnpairedSurrogatesBecomeReplacementCharacters) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(ToUtf8(std::u16string{0xD800}), replacement);
  EXPECT_EQ(ToUtf8(std::u16string{0xDC00}), replacement);
  EXPECT_EQ(ToUtf8(std::u16string{u'a', 0xD83D, u'b'}), "a" + replacement + "b");
  EXPECT_EQ(ToUtf8(std::u16string{0xDE00, 0xD83D}), replacement + replacement);  // wrong order
  EXPECT_EQ(ToUtf8(std::u16string{0xD83D, 0xD83D, 0xDE00}), replacement + "\xF0\x9F\x98\x80");
}

struct InvalidCase {
  std::string utf8;
  std::u16string text;
};

void PrintTo(const InvalidCase& c, std::ostream* os) { *os << PrintableBytes(c.utf8); }

class FromUtf8InvalidTest : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(FromUtf8InvalidTest, ReplacesEachIllFormedPiece) {
  const InvalidCase& c = GetParam();
  const std::u16string text = FromUtf8(c.utf8);
  EXPECT_EQ(text, c.text) << Printable(text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FromUtf8InvalidTest,
    ::testing::Values(InvalidCase{"\x80", u"\uFFFD"},  // stray continuation byte
                      InvalidCase{"a\xBF" "b", u"a\uFFFDb"},
                      InvalidCase{"\xC0\x80", u"\uFFFD\uFFFD"},  // overlong NUL
                      InvalidCase{"\xC1\xBF", u"\uFFFD\uFFFD"},
                      InvalidCase{"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},  // overlong
                      InvalidCase{"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
                      InvalidCase{"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // too big
                      InvalidCase{"\xF5\x80", u"\uFFFD\uFFFD"},
                      InvalidCase{"\xFF", u"\uFFFD"},
                      InvalidCase{"\xE2\x82", u"\uFFFD"},  // cut off at the end
                      InvalidCase{"\xE2\x82" "a", u"\uFFFDa"},  // cut off in the middle
                      InvalidCase{"\xF0\x9F\x98", u"\uFFFD"},
                      InvalidCase{"\xF0\x9F\x98\xC3\xA4", u"\uFFFD\u00E4"},
                      InvalidCase{"\xC3", u"\uFFFD"}));

}  // namespace
}  // namespace velkaro
