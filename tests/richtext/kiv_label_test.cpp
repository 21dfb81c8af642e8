#include "richtext/kiv_label.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_text_canvas.h"
#include "support/utf.h"

namespace velkaro {
namespace {

// With the fake canvas the label's default 8-point font at 96 pixels per inch is 10
// pixels: ascent 10, descent 2, lines 12 pixels high; characters 10 wide, 12 in bold.
constexpr std::int32_t kLine = 12;

// Plain text as DrawText lays it out without word breaks: one line per line break, as
// wide as the widest line.
class FakeLabelCanvas : public fakes::FakeTextCanvas, public PlainTextDrawer {
 public:
  struct PlainDrawn {
    std::u16string text;
    Rect r;
    LabelTextFlags flags = 0;
    Color color = 0;
  };

  void DrawPlainText(std::u16string_view text, Rect& r, LabelTextFlags flags,
                     Color color) override {
    if ((flags & kDtCalcRect) == 0) {
      plain_drawn.push_back({std::u16string(text), r, flags, color});
      return;
    }
    std::int32_t lines = 1;
    std::int32_t width = 0;
    std::int32_t widest = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c == u'\r' || c == u'\n') {
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        ++lines;
        width = 0;
        continue;
      }
      width += CharWidth(c);
      widest = std::max(widest, width);
    }
    r.right = r.left + widest;
    r.bottom = r.top + lines * Metrics().height;
  }

  std::vector<PlainDrawn> plain_drawn;
};

TCustomKivLabel Label(std::u16string_view caption, bool formated) {
  TCustomKivLabel label;
  label.FFont.name = u"Tahoma";
  label.SetFormated(formated);
  label.SetCaption(caption);
  return label;
}

struct ParsedCase {
  const char16_t* caption;
  bool formated;
  bool parsed;
};

TEST(KivLabelTest, ParsesAFormattedCaptionThatHoldsAnOpening) {
  const ParsedCase cases[] = {
      {u"20[f Gray; seconds]", true, true},
      {u"20[f Gray; seconds]", false, false},
      {u"20 seconds", true, false},
      {u"a ^[fB;x] b", true, true},  // escaped: still looked at, then drawn plain
      {u"[fB abc", true, true},       // an opening without ";" is text, but is parsed
      {u"[F x]", true, false},
      {u"", true, false},
  };
  for (const ParsedCase& c : cases) {
    const TCustomKivLabel label = Label(c.caption, c.formated);
    EXPECT_EQ(label.ColorCuts() != nullptr, c.parsed) << ToUtf8(c.caption);
  }
  // The escaped opening is shown literally, without its escape.
  const TCustomKivLabel escaped = Label(u"a ^[fB;x] b", true);
  ASSERT_EQ(escaped.ColorCuts()->Count(), 1);
  EXPECT_EQ(escaped.ColorCuts()->Items(0).TextCut, u"a [fB;x] b");
}

TEST(KivLabelTest, CaptionAndFormatedChangesRebuildTheParsedCaption) {
  TCustomKivLabel label = Label(u"plain", true);
  EXPECT_EQ(label.ColorCuts(), nullptr);
  label.SetCaption(u"x[fB;y]");
  ASSERT_NE(label.ColorCuts(), nullptr);
  EXPECT_EQ(label.ColorCuts()->Count(), 2);
  label.SetCaption(u"x[fB;y] [fI;z]");
  EXPECT_EQ(label.ColorCuts()->Count(), 4);

  EXPECT_FALSE(label.SetFormated(true));
  EXPECT_TRUE(label.SetFormated(false));
  EXPECT_EQ(label.ColorCuts(), nullptr);
  EXPECT_TRUE(label.SetFormated(true));
  EXPECT_NE(label.ColorCuts(), nullptr);
}

TEST(KivLabelTest, FormattedOffDrawsTheMarkupCharacters) {
  TCustomKivLabel label = Label(u"20[f Gray; seconds]", true);
  ASSERT_TRUE(label.SetFormated(false));
  FakeLabelCanvas canvas;
  label.PaintText(canvas, canvas, Rect{0, 0, 200, 17});
  EXPECT_TRUE(canvas.drawn.empty());
  ASSERT_EQ(canvas.plain_drawn.size(), 1u);
  EXPECT_EQ(canvas.plain_drawn[0].text, u"20[f Gray; seconds]");
  EXPECT_EQ(canvas.plain_drawn[0].color, kClWindowText);
}

TEST(KivLabelTest, CompactCaptionShowsTheFirstWordInTheDefaultColourAndTheRestGray) {
  TCustomKivLabel label = Label(u"20[f Gray; seconds]", true);
  FakeLabelCanvas canvas;
  label.PaintText(canvas, canvas, Rect{0, 0, 200, 17});
  EXPECT_TRUE(canvas.plain_drawn.empty());
  ASSERT_EQ(canvas.drawn.size(), 2u);
  EXPECT_EQ(canvas.drawn[0].text, u"20");
  EXPECT_EQ(canvas.drawn[0].color, kClWindowText);
  EXPECT_EQ(canvas.drawn[0].font.name, u"Tahoma");
  EXPECT_EQ(canvas.drawn[1].text, u" seconds");
  EXPECT_EQ(canvas.drawn[1].color, 0x808080u);
  EXPECT_EQ(canvas.drawn[1].cell.left, 20);
  EXPECT_EQ(canvas.drawn[1].cell.top, canvas.drawn[0].cell.top);

  // A word without a blank stays plain and keeps the default colour.
  TCustomKivLabel word = Label(u"Idle", false);
  FakeLabelCanvas plain;
  word.PaintText(plain, plain, Rect{0, 0, 200, 17});
  ASSERT_EQ(plain.plain_drawn.size(), 1u);
  EXPECT_EQ(plain.plain_drawn[0].text, u"Idle");
  EXPECT_EQ(plain.plain_drawn[0].color, kClWindowText);
}

TEST(KivLabelTest, VerticalOffsetPlacesTheTextInTheBox) {
  struct Case {
    TVAlignment alignment;
    std::int32_t box;
    std::int32_t text;
    std::int32_t offset;
  } const cases[] = {
      {TVAlignment::vaTop, 100, 24, 0},     {TVAlignment::vaCenter, 100, 24, 38},
      {TVAlignment::vaBottom, 100, 24, 76}, {TVAlignment::vaCenter, 101, 24, 38},
      {TVAlignment::vaCenter, 10, 24, -7},  {TVAlignment::vaBottom, 10, 24, -14},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VerticalOffset(c.alignment, c.box, c.text), c.offset)
        << static_cast<int>(c.alignment) << " " << c.box << " " << c.text;
  }
}

struct PlacedCase {
  const char16_t* caption;
  bool formated;
  bool word_wrap;
  TVAlignment alignment;
  std::int32_t first_top;  // of the first piece drawn, in a box 40 wide and 100 high
};

class KivLabelPlacementTest : public ::testing::TestWithParam<PlacedCase> {};

TEST_P(KivLabelPlacementTest, PutsTheCaptionsLinesAtTheVerticalAlignment) {
  const PlacedCase& c = GetParam();
  TCustomKivLabel label = Label(c.caption, c.formated);
  label.FWordWrap = c.word_wrap;
  label.FAlignmentV = c.alignment;
  FakeLabelCanvas canvas;
  label.PaintText(canvas, canvas, Rect{0, 0, 40, 100});
  if (c.formated) {
    ASSERT_FALSE(canvas.drawn.empty());
    EXPECT_EQ(canvas.drawn[0].cell.top, c.first_top);
  } else {
    ASSERT_EQ(canvas.plain_drawn.size(), 1u);
    EXPECT_EQ(canvas.plain_drawn[0].r.top, c.first_top);
    EXPECT_EQ(canvas.plain_drawn[0].r.bottom, 100);
    // The offset is computed; DrawText's own vertical flags would act on one line only.
    EXPECT_EQ(canvas.plain_drawn[0].flags & (kDtVCenter | kDtBottom), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KivLabelPlacementTest,
    ::testing::Values(
        PlacedCase{u"[fB;A]\rB", true, true, TVAlignment::vaTop, 0},
        PlacedCase{u"[fB;A]\rB", true, true, TVAlignment::vaCenter, (100 - 2 * kLine) / 2},
        PlacedCase{u"[fB;A]\rB", true, true, TVAlignment::vaBottom, 100 - 2 * kLine},
        // Wrapped lines count: "aaa bbb" takes two lines of 40 pixels.
        PlacedCase{u"[f;aaa bbb]", true, true, TVAlignment::vaBottom, 100 - 2 * kLine},
        // Without word wrap only the first line is drawn, and only it counts.
        PlacedCase{u"[fB;A]\rB", true, false, TVAlignment::vaCenter, (100 - kLine) / 2},
        PlacedCase{u"A\rB", false, false, TVAlignment::vaCenter, (100 - 2 * kLine) / 2},
        PlacedCase{u"A\rB", false, false, TVAlignment::vaBottom, 100 - 2 * kLine},
        PlacedCase{u"A", false, false, TVAlignment::vaTop, 0}));

TEST(KivLabelTest, PaintingHandsTheLabelsFlagsToDrawText) {
  struct Case {
    TAlignment alignment;
    bool word_wrap;
    bool show_accel_char;
    LabelTextFlags flags;
  } const cases[] = {
      {TAlignment::taLeftJustify, false, true, kDtExpandTabs},
      {TAlignment::taRightJustify, true, false,
       kDtExpandTabs | kDtWordBreak | kDtRight | kDtNoPrefix},
      {TAlignment::taCenter, false, true, kDtExpandTabs | kDtCenter},
  };
  for (const Case& c : cases) {
    TCustomKivLabel label = Label(u"a&b", false);
    label.FAlignment = c.alignment;
    label.FWordWrap = c.word_wrap;
    label.FShowAccelChar = c.show_accel_char;
    FakeLabelCanvas canvas;
    label.PaintText(canvas, canvas, Rect{0, 0, 65, 17});
    ASSERT_EQ(canvas.plain_drawn.size(), 1u);
    EXPECT_EQ(canvas.plain_drawn[0].flags, c.flags) << static_cast<int>(c.alignment);
  }
}

TEST(KivLabelTest, DisabledCaptionIsEngravedFromTheLabelsColour) {
  for (const bool formated : {false, true}) {
    TCustomKivLabel label = Label(formated ? u"[fB;ab]" : u"ab", formated);
    label.FEnabled = false;
    FakeLabelCanvas canvas;
    label.PaintText(canvas, canvas, Rect{3, 4, 65, 17});
    // kClBtnFace resolves to 0x808080 on the fake canvas.
    std::vector<std::pair<Rect, Color>> pieces;
    for (const auto& d : canvas.drawn) pieces.emplace_back(d.cell, d.color);
    for (const auto& d : canvas.plain_drawn) pieces.emplace_back(d.r, d.color);
    ASSERT_EQ(pieces.size(), 2u) << formated;
    EXPECT_EQ(pieces[0].second, 0xA8A8A8u);
    EXPECT_EQ(pieces[1].second, 0x585858u);
    EXPECT_EQ(pieces[0].first.left, pieces[1].first.left + 1);
    EXPECT_EQ(pieces[0].first.top, pieces[1].first.top + 1);
    EXPECT_EQ(pieces[1].first.left, 3);
  }
  // Plain text keeps "&" as it stands and stays on one line in the engraved look.
  TCustomKivLabel label = Label(u"a&b c", false);
  label.FEnabled = false;
  label.FWordWrap = true;
  FakeLabelCanvas canvas;
  label.PaintText(canvas, canvas, Rect{0, 0, 20, 40});
  ASSERT_EQ(canvas.plain_drawn.size(), 2u);
  for (const auto& d : canvas.plain_drawn) EXPECT_EQ(d.flags, kEngravedTextFlags);
}

struct AutoSizeCase {
  const char* name;
  const char16_t* caption;
  bool formated;
  bool enabled;
  TTextEffect effect;
  TAlignment alignment;
  bool auto_size;
  Rect expected;  // of a label at (5, 7, 70, 24)
};

class KivLabelAutoSizeTest : public ::testing::TestWithParam<AutoSizeCase> {};

TEST_P(KivLabelAutoSizeTest, SizesTheLabelToItsCaption) {
  const AutoSizeCase& c = GetParam();
  TCustomKivLabel label = Label(c.caption, c.formated);
  label.FEnabled = c.enabled;
  label.FEffect = c.effect;
  label.FAlignment = c.alignment;
  label.FAutoSize = c.auto_size;
  FakeLabelCanvas canvas;
  EXPECT_EQ(label.AutoSizeBounds(canvas, canvas, Rect{5, 7, 70, 24}), c.expected);
  EXPECT_TRUE(canvas.drawn.empty());
  EXPECT_TRUE(canvas.plain_drawn.empty());
}

constexpr auto kLeft = TAlignment::taLeftJustify;
constexpr auto kRight = TAlignment::taRightJustify;
constexpr auto kNone = TTextEffect::teNone;

INSTANTIATE_TEST_SUITE_P(
    Cases, KivLabelAutoSizeTest,
    ::testing::Values(
        AutoSizeCase{"Plain", u"abc", false, true, kNone, kLeft, true, {5, 7, 35, 19}},
        AutoSizeCase{"PlainTwoLines", u"abc\rd", false, true, kNone, kLeft, true, {5, 7, 35, 31}},
        AutoSizeCase{"Formatted", u"ab[fB;cd]", true, true, kNone, kLeft, true, {5, 7, 49, 19}},
        // Without word wrap the markup layout takes the first line only.
        AutoSizeCase{"FormattedFirstLineOnly", u"[f;one]\rlonger", true, true, kNone, kLeft,
                     true, {5, 7, 35, 19}},
        // Formated, but nothing to parse: measured as plain text.
        AutoSizeCase{"FormatedPlain", u"abc", true, true, kNone, kLeft, true, {5, 7, 35, 19}},
        AutoSizeCase{"Disabled", u"abc", false, false, kNone, kLeft, true, {5, 7, 36, 20}},
        AutoSizeCase{"DisabledFormatted", u"ab[fB;cd]", true, false, kNone, kLeft, true,
                     {5, 7, 50, 20}},
        // The shadow's extra pixel, then the effect's one each way.
        AutoSizeCase{"Shadow", u"abc", false, true, TTextEffect::teShadow, kLeft, true,
                     {5, 7, 37, 21}},
        AutoSizeCase{"NoCaption", u"", false, true, kNone, kLeft, true, {5, 7, 5, 19}},
        AutoSizeCase{"NoCaptionRight", u"", false, true, kNone, kRight, true, {70, 7, 70, 19}},
        AutoSizeCase{"RightKeepsItsEdge", u"abc", false, true, kNone, kRight, true,
                     {40, 7, 70, 19}},
        AutoSizeCase{"RightFormatted", u"ab[fB;cd]", true, true, kNone, kRight, true,
                     {26, 7, 70, 19}},
        AutoSizeCase{"CenterFormatted", u"ab[fB;cd]", true, true, kNone, TAlignment::taCenter,
                     true, {5, 7, 49, 19}},
        AutoSizeCase{"RightGrows", u"abcdefghijk", false, true, kNone, kRight, true,
                     {-40, 7, 70, 19}},
        AutoSizeCase{"Off", u"abc", false, true, kNone, kLeft, false, {5, 7, 70, 24}}),
    [](const ::testing::TestParamInfo<AutoSizeCase>& param_info) {
      return std::string(param_info.param.name);
    });

TEST(KivLabelTest, LongFormattedCaptionMeasuresBeyondTheLabelsWidth) {
  // The markup layout measures in its own 2,048-pixel box, not in the label's width.
  std::u16string caption = u"[fB;";
  caption.append(100, u'w');
  caption += u"]";
  TCustomKivLabel label = Label(caption, true);
  label.FWordWrap = true;
  FakeLabelCanvas canvas;
  const Rect bounds = label.AutoSizeBounds(canvas, canvas, Rect{0, 0, 65, 17});
  EXPECT_EQ(bounds, (Rect{0, 0, 1200, kLine}));
}

}  // namespace
}  // namespace velkaro
