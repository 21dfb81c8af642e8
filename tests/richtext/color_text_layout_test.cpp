#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fake_text_canvas.h"
#include "richtext/color_text.h"
#include "support/utf.h"

namespace velkaro {
namespace {

using fakes::FakeTextCanvas;

// With the fake canvas a 12-point font at 96 pixels per inch is 16 pixels: ascent 16,
// descent 4, lines 20 pixels high.
constexpr std::int32_t kLine = 20;

ColorTextArgs Args(bool word_wrap = true, TAlignment alignment = TAlignment::taLeftJustify) {
  ColorTextArgs args;
  args.word_wrap = word_wrap;
  args.def_font_color = 0x123456;
  args.def_font_name = u"Tahoma";
  args.def_font_size = 12;
  args.alignment = alignment;
  return args;
}

// The drawn pieces joined per line, the lines told apart by their top.
std::vector<std::string> DrawnLines(const FakeTextCanvas& canvas) {
  std::map<std::int32_t, std::string> by_top;
  for (const auto& d : canvas.drawn) by_top[d.cell.top] += ToUtf8(d.text);
  std::vector<std::string> lines;
  for (const auto& [top, text] : by_top) lines.push_back(text);
  return lines;
}

struct WrapCase {
  const char16_t* text;
  std::int32_t width;
  bool word_wrap;
  std::vector<std::string> lines;  // drawn text per line, empty lines left out
  std::int32_t measured_width;
  std::int32_t measured_lines;
};

class WrapTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapTest, BreaksLinesAndMeasures) {
  const WrapCase& c = GetParam();
  SCOPED_TRACE(ToUtf8(c.text));
  TColorCuts cuts = ParseColorText(c.text);
  FakeTextCanvas canvas;
  Rect r{0, 0, c.width, 1000};
  cuts.DrawColorText(canvas, r, Args(c.word_wrap), false);
  EXPECT_EQ(DrawnLines(canvas), c.lines);

  Rect measured{0, 0, c.width, 0};
  cuts.DrawColorText(canvas, measured, Args(c.word_wrap), true);
  EXPECT_EQ(measured.right, c.measured_width);
  EXPECT_EQ(measured.bottom, c.measured_lines * kLine);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrapTest,
    ::testing::Values(
        WrapCase{u"aaa bbb ccc", 200, true, {"aaa bbb ccc"}, 110, 1},
        // Overflow on a blank: the next line starts at the next word.
        WrapCase{u"aaa bbb ccc", 75, true, {"aaa bbb", "ccc"}, 70, 2},
        // Overflow inside a word: the line ends at the blank before it; the blank
        // stays on the line but takes no width.
        WrapCase{u"aaa bbb ccc", 50, true, {"aaa ", "bbb ", "ccc"}, 30, 3},
        WrapCase{u"ab   cd", 45, true, {"ab  ", "cd"}, 20, 2},
        // A word longer than the line is broken inside.
        WrapCase{u"abcdefghij", 35, true, {"abc", "def", "ghi", "j"}, 30, 4},
        // A long word behind a blank moves to its own line and is broken there.
        WrapCase{u"ab cdefghijkl", 50, true, {"ab ", "cdefg", "hijkl"}, 50, 3},
        // Narrower than one character: still one character per line.
        WrapCase{u"abc", 5, true, {"a", "b", "c"}, 0, 3},
        WrapCase{u"ab\rcd", 100, true, {"ab", "cd"}, 20, 2},
        WrapCase{u"a\r\rb", 100, true, {"a", "b"}, 10, 3},
        WrapCase{u"\rb", 100, true, {"b"}, 10, 2},
        WrapCase{u"ab\r", 100, true, {"ab"}, 20, 1},
        // A wrap at the blanks before a break uses up that break, not the empty line.
        WrapCase{u"ab  \r\rcd", 25, true, {"ab", "cd"}, 20, 3},
        // Across runs: the blank in the second run is the break.
        WrapCase{u"[fB;Hello] worldwide", 100, true, {"Hello ", "worldwide"}, 90, 2},
        // A word split over two runs: the second run moves to the next line.
        WrapCase{u"[fB;Hel]loworld", 60, true, {"Hel", "loworl", "d"}, 60, 3},
        // Without word wrapping only the first line, overflowing character included.
        WrapCase{u"aaa bbb ccc", 45, false, {"aaa b"}, 30, 1},
        WrapCase{u"ab\rcd", 100, false, {"ab"}, 20, 1},
        WrapCase{u"", 100, true, {}, 0, 0}));

TEST(DrawColorTextTest, KeyHelpTextGivesTwoLinesWithBoldKeysOnOneBaseline) {
  FakeTextCanvas canvas;
  Rect r{10, 5, 1000, 1000};
  DrawMarkupText(u"[fB;Enter] - Run Stressing\r[fB;Esc] - Stop Stressing", canvas, r, Args(),
                 false);
  ASSERT_EQ(canvas.drawn.size(), 4u);
  const auto& d = canvas.drawn;
  EXPECT_EQ(ToUtf8(d[0].text), "Enter");
  EXPECT_EQ(d[0].font.style, kFontBold);
  EXPECT_EQ(ToUtf8(d[1].text), " - Run Stressing");
  EXPECT_EQ(d[1].font.style, 0);
  EXPECT_EQ(ToUtf8(d[2].text), "Esc");
  EXPECT_EQ(d[2].font.style, kFontBold);
  EXPECT_EQ(ToUtf8(d[3].text), " - Stop Stressing");
  // Bold characters are 12 wide: the plain text follows the bold key directly.
  EXPECT_EQ(d[0].cell.left, 10);
  EXPECT_EQ(d[1].cell.left, 10 + 5 * 12);
  EXPECT_EQ(d[2].cell.left, 10);
  EXPECT_EQ(d[3].cell.left, 10 + 3 * 12);
  EXPECT_EQ(d[0].cell.top, 5);
  EXPECT_EQ(d[1].cell.top, 5);
  EXPECT_EQ(d[2].cell.top, 5 + kLine);
  EXPECT_EQ(d[3].cell.top, 5 + kLine);
}

TEST(DrawColorTextTest, RunsOfDifferentSizesShareTheBaseline) {
  // "+6" makes 12 + 6 = 18 points, a pixel height of -24: ascent 24, descent 6.
  FakeTextCanvas canvas;
  Rect r{0, 0, 1000, 1000};
  DrawMarkupText(u"ab[f+6;CD]ef\rgh", canvas, r, Args(), false);
  ASSERT_EQ(canvas.drawn.size(), 4u);
  const auto& d = canvas.drawn;
  EXPECT_EQ(d[1].font, (FontRequest{u"Tahoma", false, -24, 0}));
  // The line is 24 + 6 high with its baseline at 24; each cell's top is the baseline
  // minus its own ascent.
  EXPECT_EQ(d[0].cell.top, 24 - 16);
  EXPECT_EQ(d[1].cell.top, 0);
  EXPECT_EQ(d[2].cell.top, 24 - 16);
  EXPECT_EQ(d[2].cell.left, 40);
  EXPECT_EQ(d[3].cell.top, 30);
}

TEST(DrawColorTextTest, AlignsEachLineByItsOwnWidth) {
  struct Case {
    TAlignment alignment;
    std::vector<std::int32_t> lefts;
  };
  // "aaa bbb" in 55 pixels: "aaa " (30 wide) and "bbb" (30 wide).
  const Case cases[] = {{TAlignment::taLeftJustify, {0, 0}},
                        {TAlignment::taCenter, {12, 12}},
                        {TAlignment::taRightJustify, {25, 25}}};
  for (const Case& c : cases) {
    FakeTextCanvas canvas;
    Rect r{0, 0, 55, 100};
    DrawMarkupText(u"aaa bbb", canvas, r, Args(true, c.alignment), false);
    ASSERT_EQ(canvas.drawn.size(), 2u);
    EXPECT_EQ(canvas.drawn[0].cell.left, c.lefts[0]);
    EXPECT_EQ(canvas.drawn[1].cell.left, c.lefts[1]);
  }
}

TEST(DrawColorTextTest, CentresAWordThatMovesWholeToTheNextLine) {
  // The plain run's fitted "wor" must not count towards the first line's width.
  FakeTextCanvas canvas;
  Rect r{0, 0, 70, 100};
  DrawMarkupText(u"[fB;ab]world", canvas, r, Args(true, TAlignment::taCenter), false);
  ASSERT_EQ(canvas.drawn.size(), 2u);
  EXPECT_EQ(ToUtf8(canvas.drawn[0].text), "ab");
  EXPECT_EQ(canvas.drawn[0].cell.left, (70 - 24) / 2);
  EXPECT_EQ(canvas.drawn[1].cell.left, (70 - 50) / 2);
}

TEST(DrawColorTextTest, ColoursRunsAndFallsBackToTheDefaultColour) {
  FakeTextCanvas canvas;
  Rect r{0, 0, 1000, 100};
  DrawMarkupText(u"[fRed;a]b[fZorg;c][f$FFFF00;d]", canvas, r, Args(), false);
  ASSERT_EQ(canvas.drawn.size(), 4u);
  EXPECT_EQ(canvas.drawn[0].color, 0x0000FFu);
  EXPECT_EQ(canvas.drawn[1].color, 0x123456u);
  EXPECT_EQ(canvas.drawn[2].color, kColorUnknown);
  EXPECT_EQ(canvas.drawn[3].color, 0x00FFFFu);
  for (const auto& d : canvas.drawn) EXPECT_FALSE(d.in_cell);
}

TEST(DrawColorTextTest, DisabledTextIsEngravedInTheDisabledColour) {
  FakeTextCanvas canvas;
  Rect r{3, 4, 1000, 100};
  ColorTextArgs args = Args();
  args.enabled = false;
  args.color_font_for_disabled = 0xFF00000F;  // a system colour: the fake's grey
  DrawMarkupText(u"[fRed;ab]", canvas, r, args, false);
  ASSERT_EQ(canvas.drawn.size(), 2u);
  const auto& light = canvas.drawn[0];
  const auto& dark = canvas.drawn[1];
  EXPECT_TRUE(light.in_cell);
  EXPECT_TRUE(dark.in_cell);
  EXPECT_EQ(light.color, 0xA8A8A8u);
  EXPECT_EQ(dark.color, 0x585858u);
  EXPECT_EQ(dark.cell, (Rect{3, 4, 23, 24}));
  EXPECT_EQ(light.cell, (Rect{4, 5, 24, 25}));
  EXPECT_EQ(ToUtf8(light.text), "ab");
}

TEST(DrawColorTextTest, MeasuresInA2048BoxWhenNoEdgeIsGiven) {
  FakeTextCanvas canvas;
  Rect r{5, 7, 0, 0};
  // 300 characters of 10 pixels: 204 fit into 2,048 pixels.
  DrawMarkupText(std::u16string(300, u'x') + u"\ryy", canvas, r, Args(), true);
  EXPECT_TRUE(canvas.drawn.empty());
  EXPECT_EQ(r, (Rect{5, 7, 5 + 2040, 7 + 3 * kLine}));

  Rect empty{3, 4, 0, 0};
  DrawMarkupText(u"", canvas, empty, Args(), true);
  EXPECT_EQ(empty, (Rect{3, 4, 3, 4}));
}

TEST(DrawColorTextTest, StopsAtTheBottomOfTheRectangle) {
  const char16_t* text = u"1\r2\r3\r4\r5";
  FakeTextCanvas canvas;
  Rect r{0, 0, 100, 50};
  DrawMarkupText(text, canvas, r, Args(), false);
  EXPECT_EQ(DrawnLines(canvas), (std::vector<std::string>{"1", "2", "3"}));

  Rect measured{0, 0, 100, 50};
  DrawMarkupText(text, canvas, measured, Args(), true);
  EXPECT_EQ(measured.bottom, 3 * kLine);
}

TEST(DrawColorTextTest, DrawingAgainGivesTheSameResult) {
  TColorCuts cuts = ParseColorText(u"[fB;Hello] big [f+6;world] and more text");
  FakeTextCanvas first;
  Rect r{0, 0, 90, 500};
  cuts.DrawColorText(first, r, Args(), false);
  Rect measured{0, 0, 30, 0};
  cuts.DrawColorText(first, measured, Args(), true);
  FakeTextCanvas second;
  cuts.DrawColorText(second, r, Args(), false);
  ASSERT_EQ(first.drawn.size(), second.drawn.size());
  for (std::size_t i = 0; i < first.drawn.size(); ++i) {
    EXPECT_EQ(first.drawn[i].text, second.drawn[i].text);
    EXPECT_EQ(first.drawn[i].cell, second.drawn[i].cell);
  }
}

struct FontCase {
  TCutTextProp prop;
  std::int32_t ppi;
  FontRequest expected;
};

TEST(SetCanvasSizePropsTest, SelectsTheRunFontFromItsFormatAndTheDefaults) {
  TCutTextProp defaults;
  defaults.Font = u"Tahoma";
  defaults.Size = 12;
  defaults.FontStyle = kFontBold;
  defaults.SetStyle = true;
  auto prop = [](const char16_t* format) { return ParseCutTextProp(format); };
  const FontCase cases[] = {
      {prop(u""), 96, {u"Tahoma", true, 12, kFontBold}},
      // 10 pt is 20 half-points: 20 * 96 / 144 = 13.3, truncated.
      {prop(u"'Courier New' 10"), 96, {u"Courier New", false, -13, kFontBold}},
      {prop(u"10"), 120, {u"Tahoma", false, -16, kFontBold}},
      {prop(u"+2"), 96, {u"Tahoma", false, -18, kFontBold}},
      // Never below one point.
      {prop(u"-15"), 96, {u"Tahoma", false, -1, kFontBold}},
      {prop(u"*1.5"), 96, {u"Tahoma", false, -24, kFontBold}},
      {prop(u"*0.0001"), 96, {u"Tahoma", false, -1, kFontBold}},
      {prop(u"I"), 96, {u"Tahoma", true, 12, kFontItalic}},
      {prop(u"b"), 96, {u"Tahoma", true, 12, 0}},
  };
  for (const FontCase& c : cases) {
    FakeTextCanvas canvas;
    canvas.ppi = c.ppi;
    TColorCut cut;
    cut.Prop = c.prop;
    cut.SetCanvasSizeProps(canvas, defaults);
    EXPECT_EQ(ToUtf8(canvas.font.name), ToUtf8(c.expected.name));
    EXPECT_EQ(canvas.font.in_points, c.expected.in_points);
    EXPECT_EQ(canvas.font.size, c.expected.size) << ToUtf8(c.expected.name) << " " << c.ppi;
    EXPECT_EQ(canvas.font.style, c.expected.style);
  }
}

TEST(FitCharsTest, StopsAtTheFirstCharacterThatDoesNotFit) {
  TColorCuts cuts = ParseColorText(u"ab  cd\u200Bef");
  FakeTextCanvas canvas;
  struct Case {
    std::int32_t start, free_width, add_size, width, overflow;
  };
  const Case cases[] = {
      {1, 100, 0, 80, 0},
      {1, 100, 3, 83, 0},
      // The blanks in front of the overflowing "c" take no width.
      {1, 45, 0, 20, 5},
      {1, 40, 0, 20, 5},
      {3, 15, 0, 0, 4},
      // A zero-width character fits into no room at all.
      {7, 20, 0, 20, 0},
      {7, 0, 0, 0, 8},
      {1, 5, 7, 0, 1},
      {9, 10, 0, 10, 0},
  };
  for (const Case& c : cases) {
    const auto fit = cuts.FitChars(canvas, 0, c.start, c.free_width, c.add_size);
    EXPECT_EQ(fit.width, c.width) << c.start << " " << c.free_width;
    EXPECT_EQ(fit.overflow, c.overflow) << c.start << " " << c.free_width;
  }
}

struct LineCase {
  const char16_t* text;
  std::int32_t width;
  int first_cut;
  std::int32_t first_char;
  int to_cut;
  std::int32_t to_char;
  int next_cut;
  std::int32_t next_char;
  std::int32_t line_width;
  std::int32_t height;
};

class MeasureLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(MeasureLineTest, EndsTheLine) {
  const LineCase& c = GetParam();
  SCOPED_TRACE(ToUtf8(c.text));
  TColorCuts cuts = ParseColorText(c.text);
  cuts.FDefaultProp.Size = 12;
  FakeTextCanvas canvas;
  const std::int32_t height = cuts.MeasureLine(canvas, c.width, c.first_cut, c.first_char, 0);
  EXPECT_EQ(cuts.FToCut, c.to_cut);
  EXPECT_EQ(cuts.FToChar, c.to_char);
  EXPECT_EQ(cuts.FNextLineFromCut, c.next_cut);
  if (c.next_cut >= 0) {
    EXPECT_EQ(cuts.FNextLineFromChar, c.next_char);
  }
  EXPECT_EQ(cuts.FCurLineWidth, c.line_width);
  EXPECT_EQ(height, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MeasureLineTest,
    ::testing::Values(
        LineCase{u"aaa bbb", 75, 0, 1, 0, kToEndOfCut, -1, 0, 70, 20},
        LineCase{u"aaa bbb", 50, 0, 1, 0, 4, 0, 5, 30, 20},
        LineCase{u"aaa   bbb", 35, 0, 1, 0, 3, 0, 7, 30, 20},
        LineCase{u"abcdef", 35, 0, 1, 0, 3, 0, 4, 30, 20},
        LineCase{u"abcdef", 35, 0, 4, 0, kToEndOfCut, -1, 0, 30, 20},
        LineCase{u"abc", 5, 0, 1, 0, 1, 0, 2, 0, 20},
        // A single character wider than the line at the end of a run: the next line
        // starts with the next run, not with an empty rest.
        LineCase{u"abc\rd", 5, 0, 3, 0, 3, 1, 1, 0, 20},
        LineCase{u"ab\rcd", 100, 0, 1, 0, kToEndOfCut, 1, 1, 20, 20},
        // Blanks at the end of a run, then a break: the next line is the next run.
        LineCase{u"ab  \rcd", 25, 0, 1, 0, 2, 1, 1, 20, 20},
        LineCase{u"[fB;Hel]loworld", 60, 0, 1, 0, kToEndOfCut, 1, 1, 36, 20},
        // A run that does not reach the line adds nothing to its height.
        LineCase{u"ab[f+6;CDEFG]", 50, 0, 1, 0, kToEndOfCut, 1, 1, 20, 20},
        LineCase{u"ab[f+6;CD]", 50, 0, 1, 1, kToEndOfCut, -1, 0, 40, 30}));

}  // namespace
}  // namespace velkaro
