#include "richtext/hint_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/utf.h"

namespace velkaro {
namespace {

TEST(HintFontTest, SizeFromMessageFont) {
  struct Case {
    bool succeeded;
    const char16_t* face;
    std::int32_t height;
    std::int32_t ppi;
    THintFont expected;
  } const cases[] = {
      {true, u"Segoe UI", -12, 96, {u"Segoe UI", 9, 0}},
      {true, u"Segoe UI", -15, 120, {u"Segoe UI", 9, 0}},
      {true, u"Segoe UI", -12, 0, {u"Segoe UI", 8, 0}},
      {true, u"Segoe UI", -12, -96, {u"Segoe UI", 8, 0}},
      {false, u"Segoe UI", -12, 96, {u"Tahoma", 8, 0}},   // -11 * 72 / 96 = 8.25
      {true, u"", -20, 96, {u"Tahoma", 8, 0}},
      {true, u"Arial", -4, 64, {u"Arial", 4, 0}},         // 4.5: ties go to the even 4
      {true, u"Arial", -12, 64, {u"Arial", 14, 0}},       // 13.5 -> 14
      {true, u"Arial", -7, 48, {u"Arial", 10, 0}},        // 10.5 -> 10
      {true, u"Arial", -13, 96, {u"Arial", 10, 0}},       // 9.75
      {true, u"Arial", 12, 64, {u"Arial", -14, 0}},       // a cell height: -13.5 -> -14
      {true, u"Arial", 4, 64, {u"Arial", -4, 0}},         // -4.5 -> -4
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HintFontFromMessageFont(c.succeeded, c.face, c.height, c.ppi), c.expected)
        << ToUtf8(c.face) << " " << c.height << " at " << c.ppi;
  }
}

struct IconCase {
  const char16_t* text;
  THintIcons icons;
  const char16_t* rest;
};

class ReadHintIconsTest : public ::testing::TestWithParam<IconCase> {};

TEST_P(ReadHintIconsTest, TakesCompleteEntriesOffTheFront) {
  const IconCase& c = GetParam();
  std::u16string text = c.text;
  EXPECT_EQ(ReadHintIcons(text), c.icons) << ToUtf8(c.text);
  EXPECT_EQ(ToUtf8(text), ToUtf8(c.rest));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadHintIconsTest,
    ::testing::Values(
        IconCase{u"Plain", {}, u"Plain"},
        IconCase{u"", {}, u""},
        IconCase{u"{*Ico 2,12345,16x16*}Text", {{2, 12345, 16, 16}}, u"Text"},
        IconCase{u"{*Ico 0,1,16x16*}{*Ico 20,9876543210123,32x24*}[fB;x]",
                 {{0, 1, 16, 16}, {20, 9876543210123, 32, 24}},
                 u"[fB;x]"},
        IconCase{u"{*Ico -3,-7,8x9*}", {{-3, -7, 8, 9}}, u""},
        // The first incomplete entry stops reading and stays.
        IconCase{u"{*Ico 0,1,16x16*}{*Ico 0,1,0x16*}T", {{0, 1, 16, 16}}, u"{*Ico 0,1,0x16*}T"},
        IconCase{u"{*Ico 0,1,16x16*", {}, u"{*Ico 0,1,16x16*"},
        IconCase{u"{*Ico 0,1,16x16*)T", {}, u"{*Ico 0,1,16x16*)T"},
        IconCase{u"{*Ico a,1,16x16*}T", {}, u"{*Ico a,1,16x16*}T"},
        IconCase{u"{*Ico 0,1,16,16*}T", {}, u"{*Ico 0,1,16,16*}T"},
        IconCase{u"{*Ico 0,1,16x-2*}T", {}, u"{*Ico 0,1,16x-2*}T"},
        IconCase{u"{*Ico 0,1,16x99999999999*}T", {}, u"{*Ico 0,1,16x99999999999*}T"},
        IconCase{u"{*Ico ,1,16x16*}T", {}, u"{*Ico ,1,16x16*}T"},
        // Only at the start, and the opening needs its blank.
        IconCase{u"A{*Ico 0,1,16x16*}", {}, u"A{*Ico 0,1,16x16*}"},
        IconCase{u"{*Ico0,1,16x16*}", {}, u"{*Ico0,1,16x16*}"}));

TEST(HintSizeTest, AddsMarginsAndIcons) {
  struct Case {
    Point text;
    THintIcons icons;
    Point expected;
  } const cases[] = {
      {{100, 13}, {}, {106, 17}},
      {{0, 0}, {}, {6, 4}},
      {{100, 13}, {{0, 1, 16, 16}}, {126, 20}},                    // icon taller than the text
      {{100, 40}, {{0, 1, 16, 16}, {18, 2, 24, 10}}, {134, 44}},   // text taller than the icons
      {{100, 13}, {{30, 1, 16, 16}}, {126, 50}},                   // bottom of the lower icon
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HintSizeOf(c.text, c.icons), c.expected) << c.text.x << "x" << c.text.y;
  }
  EXPECT_EQ(HintTextLeft({}), 0);
  EXPECT_EQ(HintTextLeft({{0, 1, 16, 16}, {0, 1, 32, 8}}), 36);
}

constexpr Rect kMonitor{0, 0, 1280, 1024};
constexpr Rect kRightMonitor{1280, -200, 2560, 824};

struct PlaceCase {
  const char* name;
  Rect rect;
  HintPlacement placement;
  Rect monitor;
  Rect expected;
};

class PlaceHintTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceHintTest, MovesAndKeepsOnTheMonitor) {
  const PlaceCase& c = GetParam();
  const Rect placed = PlaceHint(c.rect, c.placement, c.monitor);
  EXPECT_EQ(placed, c.expected) << placed.left << "," << placed.top << "," << placed.right << ","
                                << placed.bottom;
}

// A warning above a control: anchored one pixel above it, moved up by its own height.
constexpr HintPlacement kAbove{0, -1, {kNoHintPoint, kNoHintPoint}, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceHintTest,
    ::testing::Values(
        PlaceCase{"above the control", {100, 299, 300, 320}, kAbove, kMonitor, {100, 278, 300, 299}},
        PlaceCase{"top of the screen", {100, 9, 300, 30}, kAbove, kMonitor, {100, 0, 300, 21}},
        PlaceCase{"right edge", {1200, 299, 1400, 320}, kAbove, kMonitor, {1080, 278, 1280, 299}},
        PlaceCase{"bottom edge", {10, 1010, 110, 1030}, {}, kMonitor, {10, 1004, 110, 1024}},
        PlaceCase{"left of the monitor", {-50, 10, 50, 30}, {}, kMonitor, {0, 10, 100, 30}},
        PlaceCase{"larger than the monitor", {500, 500, 2000, 1600}, {}, kMonitor,
                  {0, 0, 1500, 1100}},
        PlaceCase{"factors move by whole sizes", {100, 100, 150, 120}, {-2, 1, {kNoHintPoint, 0}, 0, 0},
                  kMonitor, {0, 120, 50, 140}},
        PlaceCase{"second monitor", {2500, -300, 2600, -280}, {}, kRightMonitor,
                  {2460, -200, 2560, -180}},
        PlaceCase{"second point when off the monitor", {100, 5, 200, 25},
                  {0, -1, {100, 50}, 0, 1}, kMonitor, {100, 70, 200, 90}},
        PlaceCase{"second point unused when it fits", {100, 100, 200, 120},
                  {0, -1, {400, 400}, 0, 1}, kMonitor, {100, 80, 200, 100}},
        PlaceCase{"second point kept on the monitor", {1250, 5, 1350, 25},
                  {0, 0, {1270, 1020}, -1, 0}, kMonitor, {1170, 1004, 1270, 1024}}),
    [](const ::testing::TestParamInfo<PlaceCase>& param_info) {
      std::string name = param_info.param.name;
      for (char& c : name) if (c == ' ') c = '_';
      return name;
    });

TEST(HintRectAtTest, TopLeftOrCentred) {
  EXPECT_EQ(HintRectAt({100, 21}, {40, 50}, false), (Rect{40, 50, 140, 71}));
  EXPECT_EQ(HintRectAt({100, 21}, {40, 50}, true), (Rect{-10, 40, 90, 61}));
}

using Action = HintHoverTracker::Action;

TEST(HintHoverTrackerTest, ShowsAfterTheDelayAndHidesAfterTheDisplayTime) {
  HintHoverTracker tracker(500);
  EXPECT_EQ(tracker.Hover(7, 1000), Action::kNone);
  EXPECT_EQ(tracker.Tick(1499), Action::kNone);
  EXPECT_EQ(tracker.Hover(7, 1400), Action::kNone) << "moving within the control keeps the wait";
  EXPECT_EQ(tracker.Tick(1500), Action::kShow);
  EXPECT_TRUE(tracker.Visible());
  EXPECT_EQ(tracker.Tick(6499), Action::kNone);
  EXPECT_EQ(tracker.Tick(6500), Action::kHide);
  // It stays away over the same control and comes back over the next one.
  EXPECT_EQ(tracker.Tick(20000), Action::kNone);
  EXPECT_EQ(tracker.Hover(8, 20000), Action::kNone);
  EXPECT_EQ(tracker.Tick(20500), Action::kShow);
}

TEST(HintHoverTrackerTest, ReshowsQuicklyOnlyFromAVisibleTooltip) {
  HintHoverTracker tracker(500);
  tracker.Hover(1, 0);
  ASSERT_EQ(tracker.Tick(500), Action::kShow);
  EXPECT_EQ(tracker.Hover(2, 600), Action::kHide);
  EXPECT_EQ(tracker.Tick(699), Action::kNone);
  EXPECT_EQ(tracker.Tick(700), Action::kShow);
  // Leaving to nothing and coming back waits the whole delay again.
  EXPECT_EQ(tracker.Hover(HintHoverTracker::kNoTarget, 800), Action::kHide);
  EXPECT_FALSE(tracker.Busy());
  EXPECT_EQ(tracker.Hover(1, 900), Action::kNone);
  EXPECT_EQ(tracker.Tick(1100), Action::kNone);
  EXPECT_EQ(tracker.Tick(1400), Action::kShow);
}

TEST(HintHoverTrackerTest, PressCancelsUntilAnotherControl) {
  HintHoverTracker tracker(500);
  tracker.Hover(1, 0);
  EXPECT_EQ(tracker.Cancel(), Action::kNone) << "nothing shown yet";
  EXPECT_EQ(tracker.Tick(5000), Action::kNone) << "the wait was cancelled too";
  tracker.Hover(2, 5000);
  ASSERT_EQ(tracker.Tick(5500), Action::kShow);
  EXPECT_EQ(tracker.Cancel(), Action::kHide);
  EXPECT_EQ(tracker.Hover(2, 5600), Action::kNone);
  EXPECT_EQ(tracker.Tick(9000), Action::kNone);
}

TEST(HintHoverTrackerTest, ClockWrapsAround) {
  HintHoverTracker tracker(500);
  tracker.Hover(1, 0xFFFFFF00u);
  EXPECT_EQ(tracker.Tick(0xFFFFFFF0u), Action::kNone);
  EXPECT_EQ(tracker.Tick(0x000000F4u), Action::kShow);
  EXPECT_EQ(tracker.Tick(0x000000F4u + 4999), Action::kNone);
  EXPECT_EQ(tracker.Tick(0x000000F4u + 5000), Action::kHide);
}

}  // namespace
}  // namespace velkaro
