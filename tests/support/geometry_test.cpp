#include "support/geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace velkaro {
namespace {

struct QuadrantCase {
  const char* name;
  Rect area;
  Rect rect;
  int expected;
};

class QuadrantOfRectTest : public ::testing::TestWithParam<QuadrantCase> {};

TEST_P(QuadrantOfRectTest, PicksTheQuarterWithTheLargestOverlap) {
  const QuadrantCase& c = GetParam();
  EXPECT_EQ(QuadrantOfRect(c.area, c.rect), c.expected);
}

constexpr Rect kScreen{0, 0, 1280, 1024};

INSTANTIATE_TEST_SUITE_P(
    Cases, QuadrantOfRectTest,
    ::testing::Values(
        QuadrantCase{"TopLeft", kScreen, {10, 10, 200, 200}, 0},
        QuadrantCase{"WhollyTopRight", kScreen, {800, 100, 1000, 300}, 1},
        QuadrantCase{"BottomRight", kScreen, {700, 600, 900, 800}, 2},
        QuadrantCase{"BottomLeft", kScreen, {100, 700, 300, 900}, 3},
        QuadrantCase{"MostlyTopRight", kScreen, {600, 100, 1000, 300}, 1},
        // Equal shares: the earlier quarter keeps it.
        QuadrantCase{"TieGoesToTheEarlierQuarter", kScreen, {540, 100, 740, 300}, 0},
        // The centred candidate holds all of it, each quarter only a fourth.
        QuadrantCase{"SmallCentred", kScreen, {590, 462, 690, 562}, -1},
        QuadrantCase{"Outside", kScreen, {2000, 2000, 2100, 2100}, -1},
        QuadrantCase{"Empty", kScreen, {100, 100, 100, 100}, -1},
        QuadrantCase{"MonitorLeftOfPrimary", {-1280, -200, 0, 824}, {-300, -100, -100, 100}, 1},
        // As large as the area: the centred candidate covers it all.
        QuadrantCase{"WholeScreen", kScreen, kScreen, -1}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

struct PopupCase {
  const char* name;
  std::int32_t width;
  std::int32_t height;
  Rect anchor;
  bool to_right;
  bool use_work_area;
  bool beside;
  Point expected;
};

// One 1280 x 1024 screen with a 40-pixel taskbar at the bottom.
const std::vector<Monitor> kOneMonitor = {{0, {0, 0, 1280, 1024}, {0, 0, 1280, 984}, true}};

// The anchor the clone button uses for a window whose top-left corner is (left, top).
Rect CloneAnchor(std::int32_t left, std::int32_t top) {
  return {left, top + 48, left + 48, top + 49};
}

class PlacePopupTest : public ::testing::TestWithParam<PopupCase> {};

TEST_P(PlacePopupTest, OnOneMonitor) {
  const PopupCase& c = GetParam();
  EXPECT_EQ(
      PlacePopup(kOneMonitor, c.width, c.height, c.anchor, c.to_right, c.use_work_area, c.beside),
      c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlacePopupTest,
    ::testing::Values(
        // Well inside: 47 right of and 48 below the window's own corner.
        PopupCase{"CloneWellInside", 400, 300, CloneAnchor(100, 100), true, true, true, {147, 148}},
        // No room on the right: the other side of the anchor, L - w.
        PopupCase{
            "CloneNearRightEdge", 400, 300, CloneAnchor(1000, 100), true, true, true, {600, 148}},
        // Too low: lifted onto the work area's bottom edge, or the screen's.
        PopupCase{"CloneNearBottomWorkArea",
                  400,
                  300,
                  CloneAnchor(100, 800),
                  true,
                  true,
                  true,
                  {147, 684}},
        PopupCase{"CloneNearBottomScreen",
                  400,
                  300,
                  CloneAnchor(100, 800),
                  true,
                  false,
                  true,
                  {147, 724}},
        // Too wide for either side: flush against the bottom-right corner of the area.
        PopupCase{"CloneTooWideForEitherSide",
                  900,
                  700,
                  CloneAnchor(500, 300),
                  true,
                  true,
                  true,
                  {380, 284}},
        PopupCase{
            "CloneTooWideBelowFits", 900, 300, CloneAnchor(500, 100), true, true, true, {380, 149}},
        PopupCase{"BesideToTheLeft", 400, 300, {500, 148, 548, 149}, false, true, true, {100, 148}},
        PopupCase{"BesideToTheLeftAtLeftEdge",
                  400,
                  300,
                  {200, 148, 248, 149},
                  false,
                  true,
                  true,
                  {0, 148}},
        PopupCase{"BelowToTheRight", 200, 100, {100, 100, 300, 120}, true, true, false, {100, 120}},
        PopupCase{"BelowToTheLeft", 150, 100, {100, 100, 300, 120}, false, true, false, {150, 120}},
        // No room below: above the anchor.
        PopupCase{"BelowNearBottomGoesAbove",
                  200,
                  100,
                  {100, 950, 300, 970},
                  true,
                  true,
                  false,
                  {100, 850}},
        PopupCase{
            "BelowNearRightEdge", 200, 100, {1200, 100, 1250, 120}, true, true, false, {1080, 120}},
        // Wider than the screen: aligned to its left edge.
        PopupCase{"BelowWiderThanTheScreen",
                  2000,
                  100,
                  {100, 100, 300, 120},
                  true,
                  true,
                  false,
                  {0, 120}}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

class PlacePopupMonitorsTest : public ::testing::Test {
 protected:
  // The primary monitor, and a second one to its left and a little higher.
  const std::vector<Monitor> monitors_ = {
      {0, {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true},
      {1, {-1280, -200, 0, 824}, {-1280, -200, 0, 784}, false},
  };
};

TEST_F(PlacePopupMonitorsTest, StaysOnTheMonitorOfTheAnchor) {
  EXPECT_EQ(PlacePopup(monitors_, 400, 300, CloneAnchor(-500, 100), true, true, true),
            (Point{-453, 148}));
  // Near the second monitor's right edge: to the left rather than onto the primary.
  EXPECT_EQ(PlacePopup(monitors_, 400, 300, CloneAnchor(-300, 100), true, true, true),
            (Point{-700, 148}));
  // Near its bottom (work area ends at 784).
  EXPECT_EQ(PlacePopup(monitors_, 400, 300, CloneAnchor(-900, 600), true, true, true),
            (Point{-853, 484}));
  // An anchor above the second monitor, whose work area a point picks: moved down onto
  // that monitor's top edge, beside the anchor.
  EXPECT_EQ(
      PlacePopup(monitors_, 200, 100, {-900, -400, -800, -380}, true, true, false, Point{-850, 0}),
      (Point{-800, -200}));
}

TEST_F(PlacePopupMonitorsTest, AnchorAcrossMonitorsUsesTheOneItOverlapsMost) {
  // 30 pixels on the second monitor, 18 on the primary.
  EXPECT_EQ(PlacePopup(monitors_, 400, 200, {-30, 500, 18, 501}, true, true, false),
            (Point{-400, 501}));
  // 10 on the second, 38 on the primary.
  EXPECT_EQ(PlacePopup(monitors_, 400, 200, {-10, 500, 38, 501}, true, true, false),
            (Point{0, 501}));
}

TEST_F(PlacePopupMonitorsTest, AnchorOnNoMonitorUsesThePrimary) {
  EXPECT_EQ(PlacePopup(monitors_, 400, 300, {5000, 100, 5010, 120}, true, true, false),
            (Point{1520, 120}));
}

TEST_F(PlacePopupMonitorsTest, APointPicksTheWorkAreaOfItsMonitor) {
  // The anchor lies on the primary, the point on the second monitor.
  const Rect anchor{1800, 100, 1900, 120};
  EXPECT_EQ(PlacePopup(monitors_, 200, 100, anchor, true, false, false, Point{-10, 10}),
            (Point{-200, 120}));
  EXPECT_EQ(PlacePopup(monitors_, 200, 100, anchor, true, false, false), (Point{1720, 120}));
}

TEST(PlacePopupNoMonitorTest, GivesTheFirstCandidate) {
  EXPECT_EQ(PlacePopup({}, 400, 300, CloneAnchor(100, 100), true, true, true), (Point{147, 148}));
  EXPECT_EQ(PlacePopup({}, 400, 300, {100, 100, 300, 120}, false, true, false), (Point{-100, 120}));
}

TEST(MonitorLookupTest, FallsBackToThePrimary) {
  const std::vector<Monitor> monitors = {
      {0, {-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}, false},
      {1, {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true},
  };
  EXPECT_EQ(MonitorOfPoint(monitors, {-1, 0})->number, 0);
  EXPECT_EQ(MonitorOfPoint(monitors, {0, 0})->number, 1);
  EXPECT_EQ(MonitorOfPoint(monitors, {0, 1080})->number, 1);
  EXPECT_EQ(MonitorOfRect(monitors, {-100, 10, 20, 20})->number, 0);
  EXPECT_EQ(MonitorOfRect(monitors, {5000, 5000, 5001, 5001})->number, 1);
  EXPECT_EQ(PrimaryMonitor({}), nullptr);
}

}  // namespace
}  // namespace velkaro
