#include "ui/main/compact_mode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fake_main_view.h"
#include "geometry_printers.h"
#include "support/utf.h"

namespace velkaro {

namespace {

using C = TCompactControl;

const char* Name(C c) {
  static const char* const kNames[] = {
      "edStPause", "udStPause", "edTime",     "udTime",     "cbPriority", "cbPriorClass",
      "cbStyle",   "edThreads", "udThreads",  "lbStPause",  "lbTime",     "lbPriority",
      "lbPriorClass", "lbStyle", "lbSPMeas",  "lbTMeas",    "lbThreads",  "lbPerc1",
      "lbPerc2",   "bDo",       "pnBg",       "pnDiag",     "pnButs",     "pnPrg",
      "lbState",   "pbTime",    "sbClone",    "sbPin",      "sbStop",     "pnClose",
      "sbClose",   "lbCompact1", "lbCompact2", "lbCompact3", "lbCompact4", "lbCompact5"};
  return kNames[static_cast<std::size_t>(c)];
}

std::string Str(const TBounds& b) {
  return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.width) +
         "," + std::to_string(b.height);
}
std::string Str(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

// The window's form at one DPI: the outer window, the frame's offset of the client
// area, and the controls in their parents.
struct Form {
  TBounds window;
  Point frame;
  std::map<C, TBounds> controls;
  std::int32_t label_height;
};

const Form k96Dpi{{100, 100, 499, 320},
                  {3, 42},
                  {{C::pnBg, {0, 0, 489, 270}},
                   {C::pnDiag, {8, 162, 130, 106}},
                   {C::pnButs, {396, 8, 86, 22}},
                   {C::pnPrg, {186, 241, 159, 27}},
                   {C::lbState, {0, 0, 100, 13}},
                   {C::pbTime, {0, 15, 152, 12}},
                   {C::sbClone, {0, 0, 43, 22}},
                   {C::sbPin, {43, 0, 43, 22}},
                   {C::sbStop, {58, 23, 43, 22}},
                   {C::pnClose, {104, 23, 43, 22}},
                   {C::sbClose, {0, 0, 43, 22}}},
                  13};

// The same form at 144 DPI (MulDiv by 3/2, halves rounded up).
const Form k144Dpi{{100, 100, 748, 465},
                   {4, 62},
                   {{C::pnBg, {0, 0, 734, 405}},
                    {C::pnDiag, {12, 243, 195, 159}},
                    {C::pnButs, {594, 12, 129, 33}},
                    {C::pnPrg, {279, 362, 239, 41}},
                    {C::lbState, {0, 0, 150, 20}},
                    {C::pbTime, {0, 23, 228, 18}},
                    {C::sbClone, {0, 0, 65, 33}},
                    {C::sbPin, {65, 0, 65, 33}},
                    {C::sbStop, {87, 35, 65, 33}},
                    {C::pnClose, {156, 35, 65, 33}},
                    {C::sbClose, {0, 0, 65, 33}}},
                   20};

// A window that keeps what it was given, so the logic reads back what it set, and
// logs every operation.
class FakeCompactView final : public TCompactView {
 public:
  explicit FakeCompactView(const Form& form)
      : window(form.window), frame(form.frame), controls(form.controls),
        label_height(form.label_height) {
    texts = {{C::edTime, u"20"},
             {C::lbTMeas, u"seconds"},
             {C::cbPriority, u"4 - Normal"},
             {C::cbPriorClass, u"5 - Above normal"},
             {C::cbStyle, u"Comb"},
             {C::edThreads, u"4"}};
  }

  TBounds WindowBounds() const override { return window; }
  Point ClientOrigin() const override {
    return framed ? Point{window.left + frame.x, window.top + frame.y}
                  : Point{window.left, window.top};
  }
  void SetWindowBounds(const TBounds& bounds) override {
    window = bounds;
    windows.push_back(bounds);
    Log("window " + Str(bounds));
  }
  Rect MonitorRect() const override { return monitor; }
  Rect WorkArea() const override { return work_area; }
  TBounds ControlBounds(C control) const override { return controls.at(control); }
  void SetControlBounds(C control, const TBounds& bounds) override {
    controls[control] = bounds;
    Log(std::string("bounds ") + Name(control) + " " + Str(bounds));
  }
  void MoveControl(C control, Point at) override {
    TBounds& b = controls.at(control);
    b.left = at.x;
    b.top = at.y;
    Log(std::string("move ") + Name(control) + " " + Str(at));
  }
  void ShowControl(C control, bool shown) override {
    visible[control] = shown;
    Log(std::string(shown ? "show " : "hide ") + Name(control));
  }
  std::u16string ControlText(C control) const override { return texts.at(control); }
  void SetCompactPainting(bool on) override {
    painting = on;
    Log(on ? "painting on" : "painting off");
  }
  void SetMenuAndFrame(bool on) override {
    framed = on;
    Log(on ? "frame on" : "frame off");
  }
  std::int32_t CreateCompactLabel(C label, Point at, std::u16string_view caption, bool formated,
                                  std::int32_t width) override {
    controls[label] = {at.x, at.y, width, label_height};
    captions[label] = {std::u16string(caption), formated};
    Log(std::string("label ") + Name(label) + " " + Str(at));
    return label_height;
  }
  void FreeCompactLabels() override {
    for (const C label : kCompactLabels) controls.erase(label);
    Log("free labels");
  }
  void SetTimer(std::uintptr_t id, std::uint32_t period_ms) override {
    timers[id] = period_ms;
    Log("timer " + std::to_string(id) + ":" + std::to_string(period_ms));
  }
  void KillTimer(std::uintptr_t id) override { timers.erase(id); }
  void StartWithPause() override {
    ++starts;
    Log("start");
    if (on_start) on_start();
  }

  void Log(std::string entry) { log.push_back(std::move(entry)); }
  std::ptrdiff_t IndexOf(const std::string& entry) const {
    const auto it = std::find(log.begin(), log.end(), entry);
    return it == log.end() ? -1 : it - log.begin();
  }
  bool Shown(C control) const {
    const auto it = visible.find(control);
    return it == visible.end() || it->second;
  }
  Point At(C control) const { return {controls.at(control).left, controls.at(control).top}; }

  TBounds window;
  Point frame;
  bool framed = true;
  std::map<C, TBounds> controls;
  std::int32_t label_height;
  std::map<C, std::u16string> texts;
  std::map<C, bool> visible;
  std::map<C, TCompactCaption> captions;
  Rect monitor{0, 0, 1280, 1024};
  Rect work_area{0, 0, 1280, 984};
  bool painting = false;
  std::map<std::uintptr_t, std::uint32_t> timers;
  std::vector<TBounds> windows;
  int starts = 0;
  std::function<void()> on_start;
  std::vector<std::string> log;
};

class CompactModeTest : public ::testing::Test {
 protected:
  explicit CompactModeTest(const Form& form = k96Dpi) : view(form) {}

  // Lets timer 2 fire every 40 ms until the animation stops setting it.
  void RunAnimation() {
    for (int i = 0; i < 100 && view.timers.count(kCompactAnimTimer) != 0; ++i) {
      clock.now += kCompactAnimTickMs;
      mode.CompactAnimTick();
    }
    ASSERT_EQ(view.timers.count(kCompactAnimTimer), 0u) << "the animation never ended";
  }

  FakeMainClock clock;
  FakeCompactView view;
  TCompactMode mode{view, clock};
};

// ---- pure rules ----

struct RemainingCase {
  const char* name;
  std::uint32_t end, now, remaining;
};
class RemainingTest : public ::testing::TestWithParam<RemainingCase> {};
TEST_P(RemainingTest, CountsUnsignedTicksAcrossTheWrap) {
  EXPECT_EQ(CompactRemainingMs(GetParam().end, GetParam().now), GetParam().remaining);
}
INSTANTIATE_TEST_SUITE_P(
    Compact, RemainingTest,
    ::testing::Values(RemainingCase{"Ahead", 1210, 1000, 210},
                      RemainingCase{"Reached", 1210, 1210, 0},
                      RemainingCase{"Passed", 1210, 1300, 0},
                      // The end lies past the wrap: now < end fails as plain numbers.
                      RemainingCase{"AheadAcrossTheWrap", 0xC2, 0xFFFFFFF0u, 210},
                      RemainingCase{"PassedAcrossTheWrap", 0xFFFFFFF0u, 0x10, 0}),
    [](const auto& row) { return std::string(row.param.name); });

struct InterpolateCase {
  std::int32_t start, end;
  std::uint32_t l;
  std::int32_t value;
};
class InterpolateTest : public ::testing::TestWithParam<InterpolateCase> {};
TEST_P(InterpolateTest, TruncatesTowardZeroIn64Bits) {
  const InterpolateCase& c = GetParam();
  EXPECT_EQ(CompactInterpolate(c.start, c.end, c.l), c.value)
      << c.start << " -> " << c.end << " at " << c.l;
}
INSTANTIATE_TEST_SUITE_P(
    Compact, InterpolateTest,
    ::testing::Values(InterpolateCase{499, 176, 250, 499}, InterpolateCase{499, 176, 0, 176},
                      InterpolateCase{499, 176, 210, 447},  // 176 + 271.32
                      InterpolateCase{700, 1023, 210, 752}, // 1023 - 271.32, not 1023 - 272
                      InterpolateCase{0, 1, 1, 1},          // -0.004 truncates to 0
                      // (start - end) * l overflows 32 bits.
                      InterpolateCase{2000000000, -2000000000, 125, 0},
                      InterpolateCase{-2147483647 - 1, 2147483647, 250, -2147483647 - 1}));

struct FitCase {
  const char* name;
  TBounds window;
  std::int32_t w, h;
  Rect monitor, work_area;
  TBounds expected;
};
constexpr Rect kScreen{0, 0, 1280, 1024};
constexpr Rect kWork{0, 0, 1280, 984};

class FitCompactRectTest : public ::testing::TestWithParam<FitCase> {};
TEST_P(FitCompactRectTest, KeepsTheCornerOfTheWindowsQuarter) {
  const FitCase& c = GetParam();
  EXPECT_EQ(FitCompactRect(c.window, c.w, c.h, c.monitor, c.work_area), c.expected);
}
INSTANTIATE_TEST_SUITE_P(
    Compact, FitCompactRectTest,
    ::testing::Values(
        FitCase{"TopLeftKeepsTheTopLeft", {100, 100, 499, 320}, 176, 171, kScreen, kWork,
                {100, 100, 176, 171}},
        FitCase{"TopRightKeepsTheTopRight", {700, 100, 499, 320}, 176, 171, kScreen, kWork,
                {1023, 100, 176, 171}},
        FitCase{"BottomRightKeepsTheBottomRight", {700, 600, 499, 320}, 176, 171, kScreen, kWork,
                {1023, 749, 176, 171}},
        FitCase{"BottomLeftKeepsTheBottomLeft", {100, 600, 499, 320}, 176, 171, kScreen, kWork,
                {100, 749, 176, 171}},
        // Centred on the screen: shrinks towards its centre, 323 / 2 and 149 / 2 truncated.
        FitCase{"CentreShrinksToTheCentre", {390, 352, 499, 320}, 176, 171, kScreen, kWork,
                {551, 426, 176, 171}},
        // Growing from the centre: -323 / 2 is -161, not -162.
        FitCase{"CentreGrowsTruncatingTowardZero", {552, 426, 176, 171}, 499, 320, kScreen, kWork,
                {391, 352, 499, 320}},
        FitCase{"HeldOffTheRightEdge", {1200, 100, 176, 171}, 499, 320, kScreen, kWork,
                {781, 100, 499, 320}},
        FitCase{"HeldAboveTheTaskbar", {100, 900, 176, 171}, 499, 320, kScreen, kWork,
                {100, 664, 499, 320}},
        FitCase{"HeldRightOfALeftTaskbar", {10, 700, 176, 171}, 499, 320, kScreen,
                {60, 0, 1280, 1024}, {60, 551, 499, 320}},
        FitCase{"HeldBelowATopTaskbar", {100, 10, 176, 171}, 499, 320, kScreen, {0, 40, 1280, 1024},
                {100, 40, 499, 320}},
        // Larger than the work area: the left and top edges stay on it.
        FitCase{"TooLargeKeepsTheTopLeftOnTheWorkArea", {200, 100, 176, 171}, 1500, 1100, kScreen,
                kWork, {0, 0, 1500, 1100}},
        // The quarter is taken within the window's own monitor.
        FitCase{"SecondMonitorLeftOfThePrimary", {-600, 700, 499, 320}, 176, 171,
                {-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}, {-277, 849, 176, 171}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CompactSizeTest, ComesFromTheControlsActualSizes) {
  const auto size = [](const Form& f) {
    return CompactSize(f.controls.at(C::pnDiag), f.controls.at(C::pbTime),
                       f.controls.at(C::lbState), f.controls.at(C::sbPin),
                       f.controls.at(C::sbClone));
  };
  // max(130, 152, 168) + 8 by 22 + 106 + 27 + 16.
  EXPECT_EQ(size(k96Dpi), (TCompactSize{176, 171}));
  // max(195, 228, 256) + 8 by 33 + 159 + 41 + 16.
  EXPECT_EQ(size(k144Dpi), (TCompactSize{264, 249}));
  // The chart or the progress bar can be the widest.
  constexpr TBounds kButton{0, 0, 43, 22};
  EXPECT_EQ(CompactSize({0, 0, 300, 106}, {0, 15, 152, 12}, {}, kButton, kButton).width, 308);
  EXPECT_EQ(CompactSize({0, 0, 130, 106}, {0, 15, 200, 12}, {}, kButton, kButton).width, 208);
}

struct CaptionCase {
  const char16_t* text;
  const char16_t* caption;
  bool formated;
};
class CompactCaptionTest : public ::testing::TestWithParam<CaptionCase> {};
TEST_P(CompactCaptionTest, GreysEverythingFromTheFirstBlank) {
  const CaptionCase& c = GetParam();
  EXPECT_EQ(CompactLabelCaption(c.text), (TCompactCaption{c.caption, c.formated}))
      << ToUtf8(c.text);
}
INSTANTIATE_TEST_SUITE_P(
    Compact, CompactCaptionTest,
    ::testing::Values(CaptionCase{u"20 seconds", u"20[f Gray; seconds]", true},
                      CaptionCase{u"5 - Above normal", u"5[f Gray; - Above normal]", true},
                      CaptionCase{u" lead", u"[f Gray; lead]", true},
                      CaptionCase{u"Comb", u"Comb", false}, CaptionCase{u"", u"", false}));

TEST(CompactSummaryTest, TimeAndThreadsCarryTheirUnit) {
  const auto texts = CompactSummaryTexts(u"20", u"seconds", u"4 - Normal", u"5 - Above normal",
                                         u"1 - Monotonous", u"12");
  EXPECT_EQ(texts[0], u"20 seconds");
  EXPECT_EQ(texts[1], u"4 - Normal");
  EXPECT_EQ(texts[2], u"5 - Above normal");
  EXPECT_EQ(texts[3], u"1 - Monotonous");
  EXPECT_EQ(texts[4], u"12 threads");
}

TEST(CompactFrameColorTest, OnePartShadowToTwoPartsFace) {
  EXPECT_EQ(CompactFrameColor(RgbColor(160, 160, 160), RgbColor(240, 240, 240)),
            RgbColor(213, 213, 213));
  EXPECT_EQ(CompactFrameColor(RgbColor(100, 0, 255), RgbColor(200, 30, 0)), RgbColor(166, 20, 85));
}

// ---- the animation ----

TEST_F(CompactModeTest, CompactingTakesTheFramesOffFirstAndSlidesTheContentIn) {
  mode.CompactUncompact(true);
  EXPECT_TRUE(mode.isCompact());
  EXPECT_TRUE(mode.isInCompactUncompact());
  EXPECT_EQ(mode.compactEndTime(), 1210u);
  EXPECT_EQ(mode.compactShift(), (Point{3, 42}));
  EXPECT_EQ(mode.compactShift_Start(), (Point{3, 42}));
  EXPECT_EQ(mode.compactShift_End(), (Point{0, 0}));
  EXPECT_EQ(mode.compactStartRect(), (TBounds{100, 100, 499, 320}));
  EXPECT_EQ(mode.compactEndRect(), (TBounds{100, 100, 176, 171}));
  EXPECT_EQ(mode.compactDiag_StartPoint(), (Point{8, 162}));
  EXPECT_EQ(mode.compactButs_StartPoint(), (Point{396, 8}));
  EXPECT_EQ(mode.compactProgress_StartPoint(), (Point{186, 241}));
  EXPECT_EQ(mode.compactButs_EndPoint(), (Point{4, 4}));
  EXPECT_EQ(mode.compactDiag_EndPoint(), (Point{4, 30}));
  EXPECT_EQ(mode.compactProgress_EndPoint(), (Point{4, 140}));

  // The frame goes before the window first changes; the first step runs at once with
  // 210 ms left: 84 % of the way from the end.
  EXPECT_LT(view.IndexOf("painting on"), view.IndexOf("frame off"));
  EXPECT_LT(view.IndexOf("frame off"), view.IndexOf("window 100,100,447,296"));
  EXPECT_EQ(view.At(C::pnDiag), (Point{4 + 3 + 2, 30 + 110 + 35}));  // point + shift
  EXPECT_EQ(view.At(C::pnBg), (Point{2, 35}));
  EXPECT_EQ(view.timers, (std::map<std::uintptr_t, std::uint32_t>{{kCompactAnimTimer, 40}}));
  EXPECT_EQ(view.starts, 0);

  RunAnimation();
  std::vector<std::int32_t> widths;
  for (const TBounds& b : view.windows) widths.push_back(b.width);
  EXPECT_EQ(widths, (std::vector<std::int32_t>{447, 395, 343, 292, 240, 188, 176}));
  EXPECT_FALSE(mode.isInCompactUncompact());
  EXPECT_TRUE(mode.isCompact());
  EXPECT_EQ(view.window, (TBounds{100, 100, 176, 171}));
  EXPECT_EQ(view.At(C::pnButs), (Point{4, 4}));
  EXPECT_EQ(view.At(C::pnDiag), (Point{4, 30}));
  EXPECT_EQ(view.At(C::pnPrg), (Point{4, 140}));
  EXPECT_EQ(view.At(C::pnBg), (Point{0, 0}));
  EXPECT_EQ(view.starts, 1);
  EXPECT_EQ(view.log.back(), "start");
}

TEST_F(CompactModeTest, AnimationRunsOnAcrossTheTickCountersWrap) {
  clock.now = 0xFFFFFFF0u;
  mode.CompactUncompact(true);
  EXPECT_EQ(mode.compactEndTime(), 0xC2u);
  clock.now = 0x10;  // 32 ms later, past the wrap: 178 ms left
  mode.CompactAnimTick();
  EXPECT_TRUE(mode.isInCompactUncompact());
  EXPECT_EQ(view.window.width, 405);  // 176 + 229.98
  EXPECT_EQ(view.starts, 0);
  RunAnimation();
  EXPECT_EQ(view.window, (TBounds{100, 100, 176, 171}));
  EXPECT_EQ(view.starts, 1);
}

TEST_F(CompactModeTest, ATickQueuedAfterTheEndDoesNothing) {
  mode.CompactUncompact(true);
  RunAnimation();
  const std::size_t ops = view.log.size();
  clock.now += 40;
  mode.CompactAnimTick();
  EXPECT_EQ(view.log.size(), ops);
  EXPECT_EQ(view.starts, 1);
}

TEST_F(CompactModeTest, EscHundredMsInReversesFromTheCurrentBounds) {
  view.window = {700, 600, 499, 320};  // lower right quarter
  mode.CompactUncompact(true);
  EXPECT_EQ(mode.compactEndRect(), (TBounds{1023, 749, 176, 171}));
  clock.now = 1040;
  mode.CompactAnimTick();
  clock.now = 1080;
  mode.CompactAnimTick();  // 130 ms left
  const TBounds now_at{856, 672, 343, 248};
  ASSERT_EQ(view.window, now_at);
  const Point diag_now = view.At(C::pnDiag);

  clock.now = 1100;  // 110 ms left: going back takes the 100 ms gone
  mode.CompactUncompact(false);
  EXPECT_FALSE(mode.isCompact());
  EXPECT_TRUE(mode.isInCompactUncompact());
  EXPECT_EQ(mode.compactEndTime(), 1200u);
  EXPECT_EQ(mode.compactStartRect(), now_at);
  // Never fully compact: the full window grows from the corner of its quarter.
  EXPECT_EQ(mode.compactEndRect(), (TBounds{700, 600, 499, 320}));
  EXPECT_EQ(mode.compactShift_Start(), (Point{0, 0}));
  EXPECT_EQ(mode.compactShift_End(), (Point{3, 42}));
  EXPECT_EQ(mode.compactDiag_StartPoint(), diag_now);
  EXPECT_EQ(mode.compactDiag_EndPoint(), (Point{8, 162}));
  EXPECT_FALSE(view.painting);
  // The right and bottom edges stay where they are.
  EXPECT_EQ(view.window, (TBounds{762, 628, 437, 292}));

  RunAnimation();
  EXPECT_FALSE(mode.isInCompactUncompact());
  EXPECT_EQ(view.window, (TBounds{700, 600, 499, 320}));
  EXPECT_TRUE(view.framed);
  EXPECT_EQ(view.At(C::pnDiag), (Point{8, 162}));
  EXPECT_EQ(view.At(C::pnButs), (Point{396, 8}));
  EXPECT_EQ(view.At(C::pnPrg), (Point{186, 241}));
  EXPECT_EQ(view.At(C::pnBg), (Point{0, 0}));
  EXPECT_EQ(view.starts, 0);
  EXPECT_EQ(view.IndexOf("hide bDo"), -1);  // the compact layout was never built
}

TEST_F(CompactModeTest, UncompactingReturnsExactlyToTheEarlierBounds) {
  view.window = {700, 600, 499, 320};
  mode.CompactUncompact(true);
  RunAnimation();
  view.log.clear();
  view.windows.clear();
  mode.CompactUncompact(false);
  EXPECT_EQ(mode.compactStartRect(), (TBounds{1023, 749, 176, 171}));
  EXPECT_EQ(mode.compactEndRect(), (TBounds{700, 600, 499, 320}));
  // The full layout's controls come back at once; the frame only at the end.
  EXPECT_EQ(view.log.front(), "painting off");
  for (const C control : kCompactHidden) EXPECT_TRUE(view.Shown(control)) << Name(control);
  EXPECT_TRUE(view.Shown(C::pnBg));
  EXPECT_FALSE(view.Shown(C::sbStop));
  EXPECT_FALSE(view.Shown(C::pnClose));
  EXPECT_EQ(view.controls.count(C::lbCompact1), 0u);
  EXPECT_FALSE(view.framed);

  RunAnimation();
  EXPECT_TRUE(view.framed);
  EXPECT_EQ(view.window, (TBounds{700, 600, 499, 320}));
  // The last step before the frame returns puts the content at the full shift; the
  // final one, inside the frame, without it.
  const std::ptrdiff_t frame_on = view.IndexOf("frame on");
  ASSERT_GE(frame_on, 0);
  EXPECT_LT(view.IndexOf("move pnBg 3,42"), frame_on);
  EXPECT_EQ(view.log.back(), "move pnBg 0,0");
  EXPECT_EQ(view.At(C::pnDiag), (Point{8, 162}));
  EXPECT_EQ(view.starts, 1);
}

// A move to a monitor of 144 DPI while compact: the form has laid the controls out again
// for the full window; the compact layout comes back at the new sizes, and the way back
// leads to the full window at the new DPI.
TEST_F(CompactModeTest, AMoveToAnotherDpiLaysTheCompactWindowOutAgain) {
  view.window = {700, 600, 499, 320};
  mode.CompactUncompact(true);
  RunAnimation();
  ASSERT_EQ(view.starts, 1);
  const TBounds compact = view.window;
  // What the system and the form did: the window scaled by half, the table's controls
  // at their full-layout places for 144 DPI; what was hidden stays hidden.
  view.window = {compact.left, compact.top, compact.width * 3 / 2, compact.height * 3 / 2};
  for (const auto& [control, bounds] : k144Dpi.controls) view.controls[control] = bounds;
  view.log.clear();

  mode.RelayoutCompact({748, 465});
  EXPECT_EQ(view.window, (TBounds{compact.left, compact.top, 264, 249}));
  EXPECT_EQ(view.At(C::pnButs), (Point{4, 4}));
  EXPECT_EQ(view.At(C::pnDiag), (Point{4, 41}));
  EXPECT_EQ(view.At(C::pnPrg), (Point{4, 204}));
  EXPECT_EQ(view.At(C::sbStop), (Point{133, 4}));
  EXPECT_EQ(view.controls.count(C::lbCompact5), 1u);
  EXPECT_FALSE(view.Shown(C::edTime));
  EXPECT_EQ(view.starts, 1) << "no second run";

  mode.CompactUncompact(false);
  RunAnimation();
  // Back at the full window's old corner, in its size at the new DPI.
  EXPECT_EQ(view.window, (TBounds{700, 600, 748, 465}));
  EXPECT_EQ(view.At(C::pnDiag), (Point{12, 243}));
  EXPECT_EQ(view.At(C::pnButs), (Point{594, 12}));
}

TEST_F(CompactModeTest, RelayoutDoesNothingUnlessTheCompactLayoutStands) {
  mode.RelayoutCompact({748, 465});
  EXPECT_TRUE(view.log.empty());
  mode.CompactUncompact(true);
  view.log.clear();
  mode.RelayoutCompact({748, 465});  // the animation still runs
  EXPECT_TRUE(view.log.empty());
}

TEST_F(CompactModeTest, AWindowPartlyOffTheScreenReturnsWhereItWas) {
  // The compact window is held inside the work area; growing from its corner would not
  // bring the full window back.
  view.window = {900, 100, 499, 320};
  mode.CompactUncompact(true);
  EXPECT_EQ(mode.compactEndRect(), (TBounds{1104, 100, 176, 171}));
  RunAnimation();
  mode.CompactUncompact(false);
  RunAnimation();
  EXPECT_EQ(view.window, (TBounds{900, 100, 499, 320}));
}

struct MovedCase {
  const char* name;
  Point compact_at;  // where the user dragged the compact window
  TBounds full;      // where the full window opens
};
class MovedCompactWindowTest : public CompactModeTest,
                               public ::testing::WithParamInterface<MovedCase> {};
TEST_P(MovedCompactWindowTest, GrowsBackFromItsCornerInsideTheWorkArea) {
  mode.CompactUncompact(true);
  RunAnimation();
  view.window.left = GetParam().compact_at.x;
  view.window.top = GetParam().compact_at.y;
  mode.CompactUncompact(false);
  RunAnimation();
  EXPECT_EQ(view.window, GetParam().full);
}
INSTANTIATE_TEST_SUITE_P(
    Compact, MovedCompactWindowTest,
    ::testing::Values(MovedCase{"TopLeft", {20, 30}, {20, 30, 499, 320}},
                      MovedCase{"TopRight", {1000, 30}, {677, 30, 499, 320}},
                      MovedCase{"BottomRight", {1100, 810}, {777, 661, 499, 320}},
                      MovedCase{"BottomLeft", {30, 700}, {30, 551, 499, 320}},
                      MovedCase{"Centre", {552, 426}, {391, 352, 499, 320}},
                      MovedCase{"PastTheRightEdge", {1200, 100}, {781, 100, 499, 320}},
                      MovedCase{"OverTheTaskbar", {100, 900}, {100, 664, 499, 320}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CompactModeTest, ARunEndingInsideTheLayoutsStartLeavesTheWayBackRunning) {
  // With no pause the whole run happens inside StartWithPause, and its return to idle
  // starts the uncompacting from there.
  view.on_start = [this] {
    clock.now += 5000;
    mode.CompactUncompact(false);
  };
  mode.CompactUncompact(true);
  RunAnimation();
  EXPECT_EQ(view.starts, 1);
  EXPECT_FALSE(mode.isCompact());
  EXPECT_FALSE(mode.isInCompactUncompact());
  EXPECT_EQ(view.window, (TBounds{100, 100, 499, 320}));
  EXPECT_TRUE(view.framed);
}

// ---- behind the main window's logic ----

// The main window's logic with the compact mode behind its hooks, wired as the window
// wires them.
class CompactRunTest : public ::testing::Test {
 protected:
  CompactRunTest() {
    main_view.compact_mode = &mode;
    main_view.compact_checked = true;
    view.on_start = [this] { logic.StartWithPause(); };
    logic.SetCurState(TStressCurState::scsNone);
  }

  void RunAnimation() {
    for (int i = 0; i < 100 && view.timers.count(kCompactAnimTimer) != 0; ++i) {
      clock.now += kCompactAnimTickMs;
      logic.OnTimer(kCompactAnimTimer);
    }
    ASSERT_EQ(view.timers.count(kCompactAnimTimer), 0u) << "the animation never ended";
  }

  FakeMainClock clock;
  FakeMainView main_view;
  FakeUsageSource source;
  FakeMeterHost meter_host{main_view.log};
  TUsageMeter meter{source, meter_host, 16, u"."};
  FakeRunner runner;
  TMainLogic logic{main_view, meter, clock, u",", &runner};
  FakeCompactView view{k96Dpi};
  TCompactMode mode{view, clock};
};

TEST_F(CompactRunTest, TheRunBeginsInTheCompactLayoutAndTheWindowGrowsBackAfterIt) {
  TBounds in_run;
  bool compact_in_run = false;
  runner.during = [&](std::u16string&, std::int32_t&) {
    in_run = view.window;
    compact_in_run = mode.isCompact() && !mode.isInCompactUncompact();
  };
  logic.bGoButClick_Start();
  EXPECT_TRUE(mode.isInCompactUncompact());
  logic.bGoButClick_Start();  // ignored while the animation runs
  EXPECT_TRUE(runner.runs.empty());

  RunAnimation();
  ASSERT_EQ(runner.runs.size(), 1u);
  EXPECT_EQ(in_run, (TBounds{100, 100, 176, 171}));
  EXPECT_TRUE(compact_in_run);
  EXPECT_EQ(view.window, (TBounds{100, 100, 499, 320}));
  EXPECT_TRUE(view.framed);
  EXPECT_FALSE(mode.isCompact());
  EXPECT_EQ(view.controls.count(C::lbCompact1), 0u);
  EXPECT_EQ(logic.FCurState(), TStressCurState::scsNone);
}

TEST_F(CompactRunTest, EscHundredMsIntoTheAnimationReversesItAndNoRunBegins) {
  logic.bGoButClick_Start();
  clock.now = 1040;
  logic.OnTimer(kCompactAnimTimer);
  clock.now = 1080;
  logic.OnTimer(kCompactAnimTimer);
  const TBounds at_esc = view.window;
  clock.now = 1100;
  EXPECT_TRUE(logic.KeyDown(kKeyEscape, {}));
  EXPECT_FALSE(mode.isCompact());
  EXPECT_TRUE(mode.isInCompactUncompact());
  EXPECT_EQ(mode.compactStartRect(), at_esc);
  EXPECT_FALSE(logic.KeyDown(kKeyEscape, {}));  // the way back is left alone

  RunAnimation();
  EXPECT_TRUE(runner.runs.empty());
  EXPECT_EQ(view.starts, 0);
  EXPECT_EQ(view.window, (TBounds{100, 100, 499, 320}));
  EXPECT_TRUE(view.framed);
  EXPECT_EQ(logic.FCurState(), TStressCurState::scsNone);
}

// ---- the compact layout ----

struct LayoutCase {
  const char* name;
  const Form* form;
  std::int32_t label_height;
  TBounds window, sbStop, pnClose, sbClose;
  std::int32_t label_x, label_width;
  std::vector<std::int32_t> label_tops;  // after the spread
};
class CompactLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(CompactLayoutTest, PlacesTheButtonsAndSpreadsTheSummary) {
  const LayoutCase& c = GetParam();
  FakeMainClock clock;
  FakeCompactView view(*c.form);
  view.label_height = c.label_height;
  TCompactMode mode(view, clock);
  mode.CompactUncompact(true);
  for (int i = 0; i < 100 && view.timers.count(kCompactAnimTimer) != 0; ++i) {
    clock.now += kCompactAnimTickMs;
    mode.CompactAnimTick();
  }
  EXPECT_EQ(view.window, c.window);
  for (const C control : kCompactHidden) EXPECT_FALSE(view.Shown(control)) << Name(control);
  EXPECT_FALSE(view.Shown(C::pnBg));
  EXPECT_TRUE(view.Shown(C::sbStop));
  EXPECT_TRUE(view.Shown(C::pnClose));
  EXPECT_EQ(view.controls.at(C::sbStop), c.sbStop);
  EXPECT_EQ(view.controls.at(C::pnClose), c.pnClose);
  EXPECT_EQ(view.controls.at(C::sbClose), c.sbClose);
  std::vector<std::int32_t> tops;
  for (const C label : kCompactLabels) {
    const TBounds& b = view.controls.at(label);
    EXPECT_EQ(b.left, c.label_x) << Name(label);
    EXPECT_EQ(b.width, c.label_width) << Name(label);
    tops.push_back(b.top);
  }
  EXPECT_EQ(tops, c.label_tops);
  EXPECT_EQ(view.captions.at(C::lbCompact1), (TCompactCaption{u"20[f Gray; seconds]", true}));
  EXPECT_EQ(view.captions.at(C::lbCompact2), (TCompactCaption{u"4[f Gray; - Normal]", true}));
  EXPECT_EQ(view.captions.at(C::lbCompact3),
            (TCompactCaption{u"5[f Gray; - Above normal]", true}));
  EXPECT_EQ(view.captions.at(C::lbCompact4), (TCompactCaption{u"Comb", false}));
  EXPECT_EQ(view.captions.at(C::lbCompact5), (TCompactCaption{u"4[f Gray; threads]", true}));
  EXPECT_EQ(view.starts, 1);
  EXPECT_EQ(view.log.back(), "start");
}

INSTANTIATE_TEST_SUITE_P(
    Compact, CompactLayoutTest,
    ::testing::Values(
        // Lines of 13 from 35 to 100: B = (106 - 65 - 10) div 4 = 7.
        LayoutCase{"Form96Dpi", &k96Dpi, 13, {100, 100, 176, 171}, {90, 4, 43, 22},
                   {150, 4, 22, 22}, {0, 0, 22, 22}, 138, 36, {40, 62, 82, 102, 122}},
        // Lines of 20 from 46 to 146: B = (159 - 100 - 10) div 4 = 12.
        LayoutCase{"Form144Dpi", &k144Dpi, 20, {100, 100, 264, 249}, {133, 4, 65, 33},
                   {226, 4, 33, 33}, {0, 0, 33, 33}, 203, 59, {51, 90, 122, 154, 186}},
        // Lines of 20 at 96 DPI fill the chart: B = (106 - 100 - 10) div 4 = -1, no spread.
        LayoutCase{"TallLinesStayStacked", &k96Dpi, 20, {100, 100, 176, 171}, {90, 4, 43, 22},
                   {150, 4, 22, 22}, {0, 0, 22, 22}, 138, 36, {35, 55, 75, 95, 115}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velkaro
