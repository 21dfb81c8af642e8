#include "richtext/color_text.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/utf.h"

namespace velkaro {
namespace {

TCutTextProp Prop(FontStyles style, bool set_style, Color color = kColorNotGiven) {
  TCutTextProp prop;
  prop.FontStyle = style;
  prop.SetStyle = set_style;
  prop.Color = color;
  return prop;
}

const TCutTextProp kPlain{};
const TCutTextProp kBold = Prop(kFontBold, true);

struct ExpectedRun {
  std::u16string text;
  bool is_break;
  TCutTextProp prop;
};

struct ParseCase {
  const char16_t* text;
  std::vector<ExpectedRun> runs;
};

class ParseColorTextTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseColorTextTest, GivesTheRuns) {
  const ParseCase& c = GetParam();
  const TColorCuts cuts = ParseColorText(c.text);
  ASSERT_EQ(cuts.Count(), static_cast<int>(c.runs.size())) << ToUtf8(c.text);
  for (int i = 0; i < cuts.Count(); ++i) {
    const ExpectedRun& expected = c.runs[static_cast<std::size_t>(i)];
    SCOPED_TRACE(::testing::Message() << ToUtf8(c.text) << " run " << i);
    EXPECT_EQ(ToUtf8(cuts.GetItem(i).TextCut), ToUtf8(expected.text));
    EXPECT_EQ(cuts.GetItem(i).IsBreakLine, expected.is_break);
    EXPECT_TRUE(cuts.GetItem(i).Prop == expected.prop);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseColorTextTest,
    ::testing::Values(
        ParseCase{u"[fB abc", {{u"[fB abc", false, kPlain}}},
        ParseCase{u"a ^[fB;x] b", {{u"a [fB;x] b", false, kPlain}}},
        ParseCase{u"[fB;a^]b]", {{u"a]b", false, kBold}}},
        ParseCase{u"[fB;]", {}},
        ParseCase{u"", {}},
        ParseCase{u"[f;x]", {{u"x", false, kPlain}}},
        ParseCase{u"[fB Red;Stop] now",
                  {{u"Stop", false, Prop(kFontBold, true, 0x0000FF)}, {u" now", false, kPlain}}},
        ParseCase{u"[fB;Enter] - Run Stressing\r[fB;Esc] - Stop Stressing",
                  {{u"Enter", false, kBold},
                   {u" - Run Stressing", true, kPlain},
                   {u"Esc", false, kBold},
                   {u" - Stop Stressing", false, kPlain}}},
        // A break right after a body ends the body's run.
        ParseCase{u"[fB;Enter]\rnext", {{u"Enter", true, kBold}, {u"next", false, kPlain}}},
        ParseCase{u"[fB;x]\r\r[fI;y]",
                  {{u"x", true, kBold},
                   {u"", true, kPlain},
                   {u"y", false, Prop(kFontItalic, true)}}},
        ParseCase{u"a\r\rb", {{u"a", true, kPlain}, {u"", true, kPlain}, {u"b", false, kPlain}}},
        ParseCase{u"\rb", {{u"", true, kPlain}, {u"b", false, kPlain}}},
        ParseCase{u"ab\r", {{u"ab", true, kPlain}}},
        // CR LF is one break, LF CR two.
        ParseCase{u"a\r\nb\n\rc",
                  {{u"a", true, kPlain},
                   {u"b", true, kPlain},
                   {u"", true, kPlain},
                   {u"c", false, kPlain}}},
        ParseCase{u"[fB;one\ntwo]", {{u"one", true, kBold}, {u"two", false, kBold}}},
        // Two escapes show one and let the opening count.
        ParseCase{u"^^[fB;x]", {{u"^", false, kPlain}, {u"x", false, kBold}}},
        ParseCase{u"[fB;x^^]", {{u"x^", false, kBold}}},
        // "^" before other characters, or at the end, stays.
        ParseCase{u"a^b^", {{u"a^b^", false, kPlain}}},
        ParseCase{u"[fB;x", {{u"[fB;x", false, kPlain}}},
        // No nesting: the inner opening is body text and the first "]" closes.
        ParseCase{u"[fB;a[fI;b]c]", {{u"a[fI;b", false, kBold}, {u"c]", false, kPlain}}},
        // The format runs to the first ";", across a second opening.
        ParseCase{u"[fx [fB;y]", {{u"y", false, Prop(0, false, kColorUnknown)}}},
        ParseCase{u"[fB;x^] [fI;y]", {{u"x] [fI;y", false, kBold}}},
        // The format may hold escapes and brackets; it ends at the first ";".
        ParseCase{u"[f^;B;x]", {{u"B;x", false, Prop(0, false, kColorUnknown)}}}));

struct PropCase {
  const char16_t* format;
  TCutTextProp expected;
};

TCutTextProp Size(TSizeChangeType type, std::int32_t size, TCutTextProp prop = {}) {
  prop.SizeType = type;
  prop.Size = size;
  return prop;
}

TCutTextProp Font(std::u16string name, TCutTextProp prop = {}) {
  prop.Font = std::move(name);
  return prop;
}

class ParseCutTextPropTest : public ::testing::TestWithParam<PropCase> {};

TEST_P(ParseCutTextPropTest, ReadsTheFormat) {
  const PropCase& c = GetParam();
  const TCutTextProp prop = ParseCutTextProp(c.format);
  SCOPED_TRACE(ToUtf8(c.format));
  EXPECT_EQ(prop.Color, c.expected.Color);
  EXPECT_EQ(ToUtf8(prop.Font), ToUtf8(c.expected.Font));
  EXPECT_EQ(prop.SizeType, c.expected.SizeType);
  EXPECT_EQ(prop.Size, c.expected.Size);
  EXPECT_EQ(prop.SetStyle, c.expected.SetStyle);
  EXPECT_EQ(prop.FontStyle, c.expected.FontStyle);
}

using enum TSizeChangeType;

INSTANTIATE_TEST_SUITE_P(
    Formats, ParseCutTextPropTest,
    ::testing::Values(
        PropCase{u"", kPlain},
        PropCase{u"B", kBold},
        PropCase{u"B Red", Prop(kFontBold, true, 0x0000FF)},
        PropCase{u" Gray", Prop(0, false, 0x808080)},
        PropCase{u"'Courier New' 10 b", Font(u"Courier New", Size(sctFixed, 20, Prop(0, true)))},
        PropCase{u"+2 $FF0000", Size(sctPlus, 4, Prop(0, false, 0x0000FF))},
        PropCase{u"*1.5 U", Size(sctMul, 15000, Prop(kFontUnderline, true))},
        PropCase{u"-1.5", Size(sctPlus, -3)},
        PropCase{u"9.5", Size(sctFixed, 19)},
        // Halves round to even.
        PropCase{u"+1.25", Size(sctPlus, 2)},
        PropCase{u"+0.75", Size(sctPlus, 2)},
        PropCase{u"*0.00005", Size(sctMul, 0)},
        PropCase{u"+1e1", Size(sctPlus, 20)},
        // Capitals add, small letters remove, in the order written.
        PropCase{u"BIUS", Prop(kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut, true)},
        PropCase{u"BIb", Prop(kFontItalic, true)},
        PropCase{u"Bb", Prop(0, true)},
        // Later tokens of one kind override earlier ones.
        PropCase{u"B I", Prop(kFontItalic, true)},
        PropCase{u"Red Blue", Prop(0, false, 0xFF0000)},
        PropCase{u"10 +2", Size(sctPlus, 4)},
        PropCase{u"  B   Red  ", Prop(kFontBold, true, 0x0000FF)},
        // A sign or factor without a number reads the rest as a style or colour.
        PropCase{u"+", Prop(0, true)},
        PropCase{u"+B", kBold},
        PropCase{u"*red", Prop(0, false, 0x0000FF)},
        PropCase{u"-x", Prop(0, false, kColorUnknown)},
        PropCase{u"12pt", Prop(0, false, kColorUnknown)},
        PropCase{u"0x123456", Prop(0, false, 0x563412)},
        // A size beyond 32 bits is not a size.
        PropCase{u"+2e9", Prop(0, false, kColorUnknown)},
        PropCase{u"1e400", Prop(0, false, kColorUnknown)},
        PropCase{u"$", Prop(0, false, kColorUnknown)},
        PropCase{u"'Arial", Font(u"Arial")},
        PropCase{u"'Arial'B 'Segoe UI'", Font(u"Segoe UI", kBold)},
        PropCase{u"'' B", kBold}));

struct ColorCase {
  const char16_t* token;
  Color expected;
};

class ColorFromTextTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorFromTextTest, ReadsNumbersAndWords) {
  EXPECT_EQ(ColorFromText(GetParam().token), GetParam().expected) << ToUtf8(GetParam().token);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, ColorFromTextTest,
    ::testing::Values(
        // Numbers are 0xRRGGBB; red and blue change places, the top byte stays.
        ColorCase{u"$FF0000", 0x0000FF}, ColorCase{u"0xFF0000", 0x0000FF},
        ColorCase{u"0X00ff00", 0x00FF00}, ColorCase{u"x0000FF", 0xFF0000},
        ColorCase{u"X123456", 0x563412}, ColorCase{u"$12345678", 0x12785634},
        ColorCase{u"255", 0xFF0000}, ColorCase{u"-1", 0xFFFFFFFF},
        ColorCase{u"$FFFFFFFF", 0xFFFFFFFF},
        ColorCase{u"4294967296", kColorUnknown}, ColorCase{u"$100000000", kColorUnknown},
        ColorCase{u"$GG", kColorUnknown}, ColorCase{u"0x", kColorUnknown},
        ColorCase{u"RED", 0x0000FF}, ColorCase{u"Red", 0x0000FF}, ColorCase{u"navy", 0x800000},
        ColorCase{u"SkyBlue", 0xF0CAA6}, ColorCase{u"moneygreen", 0xC0DCC0},
        ColorCase{u"cream", 0xF0FBFF}, ColorCase{u"MEDGRAY", 0xA4A0A0},
        ColorCase{u"fuchsia", 0xFF00FF}, ColorCase{u"teal", 0x808000},
        ColorCase{u"reddish", kColorUnknown}, ColorCase{u"grey", kColorUnknown},
        ColorCase{u"", kColorUnknown}));

struct EscapeCase {
  const char16_t* text;
  bool has_markup;
  const char16_t* text_after;  // the text after HasMarkup
};

class HasMarkupTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(HasMarkupTest, FindsOpeningsAndUnescapesPlainText) {
  std::u16string text = GetParam().text;
  EXPECT_EQ(HasMarkup(text), GetParam().has_markup) << ToUtf8(GetParam().text);
  EXPECT_EQ(ToUtf8(text), ToUtf8(GetParam().text_after));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HasMarkupTest,
    ::testing::Values(EscapeCase{u"plain ^; text", false, u"plain ^; text"},
                      EscapeCase{u"[fB;x]", true, u"[fB;x]"},
                      // An opening that counts is enough, complete or not.
                      EscapeCase{u"[fB abc", true, u"[fB abc"},
                      EscapeCase{u"^^[fB;x]", true, u"^^[fB;x]"},
                      EscapeCase{u"^[fB;x] and [fI;y]", true, u"^[fB;x] and [fI;y]"},
                      EscapeCase{u"x ^[fB;y^] ^^", false, u"x [fB;y] ^"},
                      EscapeCase{u"^^^[f", false, u"^[f"}));

TEST(RemoveMarkupEscapesTest, RemovesOnlyEscapesOfMarkupCharacters) {
  EXPECT_EQ(ToUtf8(RemoveMarkupEscapes(u"^;^[^]^^")), ";[]^");
  EXPECT_EQ(ToUtf8(RemoveMarkupEscapes(u"^a^ ^")), "^a^ ^");
  EXPECT_EQ(ToUtf8(RemoveMarkupEscapes(u"^^^[")), "^[");
  EXPECT_EQ(ToUtf8(RemoveMarkupEscapes(u"")), "");
}

TEST(LightenColorTest, MovesEachChannelWithinItsRange) {
  EXPECT_EQ(LightenColor(0x808080, 40), 0xA8A8A8u);
  EXPECT_EQ(LightenColor(0x808080, -40), 0x585858u);
  EXPECT_EQ(LightenColor(0x0A10F0, 40), 0x3238FFu);
  EXPECT_EQ(LightenColor(0x20F010, -40), 0x00C800u);
}

TEST(ColorCutsTest, GetItemOutsideTheListThrows) {
  const TColorCuts cuts = ParseColorText(u"a\rb");
  ASSERT_EQ(cuts.Count(), 2);
  EXPECT_EQ(ToUtf8(cuts.Items(1).TextCut), "b");
  EXPECT_THROW(cuts.GetItem(2), std::out_of_range);
  EXPECT_THROW(cuts.GetItem(-1), std::out_of_range);
}

TEST(MarkupToPlainTextTest, KeepsTheTextOfFormattedPieces) {
  struct Case {
    const char16_t* text;
    const char16_t* expected;
  };
  const Case cases[] = {
      {u"[fB;Too many threads!] The number will be limited to [fB;100,000].",
       u"Too many threads! The number will be limited to 100,000."},
      {u"plain", u"plain"},
      {u"", u""},
      {u"[fB,I,red;x]y", u"xy"},
      {u"^[fB;not formatted]", u"[fB;not formatted]"},
      {u"^^[fB;bold]", u"^bold"},
      {u"[fB;a ^] b]c", u"a ] bc"},
      {u"[fB no semicolon]", u"[fB no semicolon]"},
      {u"[fB;unclosed", u"[fB;unclosed"},
      {u"[fB;Enter] - Run\r[fB;Esc] - Stop", u"Enter - Run\nEsc - Stop"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MarkupToPlainText(c.text), c.expected) << ToUtf8(c.text);
  }
}

}  // namespace
}  // namespace velkaro
