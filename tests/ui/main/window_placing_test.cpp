#include "ui/main/window_placing.h"

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "geometry_printers.h"
#include "support/utf.h"

namespace velkaro {

namespace {

// The primary monitor with a taskbar of 40 at the bottom, and a larger one to its right.
const std::vector<Monitor> kTwo = {
    {0, {0, 0, 1280, 1024}, {0, 0, 1280, 984}, true},
    {1, {1280, 0, 3200, 1080}, {1280, 0, 3200, 1040}, false}};
const std::vector<Monitor> kSecondPrimary = {
    {0, {0, 0, 1280, 1024}, {0, 0, 1280, 984}, false},
    {1, {1280, 0, 3200, 1080}, {1280, 0, 3200, 1040}, true}};

std::optional<std::string> Narrow(const std::optional<std::u16string>& text) {
  if (!text) return std::nullopt;
  return ToUtf8(*text);
}

struct SaveCase {
  const char* name;
  bool compact, minimized;
  const char16_t* stored;
  int monitor;
  Rect window;
  std::optional<std::string> text;
};
class PlaceTextToSaveTest : public ::testing::TestWithParam<SaveCase> {};
TEST_P(PlaceTextToSaveTest, StoresTheEntryOfTheCurrentMonitor) {
  const SaveCase& c = GetParam();
  EXPECT_EQ(Narrow(PlaceTextToSave(c.compact, c.minimized, c.stored, kTwo, c.monitor, c.window)),
            c.text);
}
INSTANTIATE_TEST_SUITE_P(
    WindowPlace, PlaceTextToSaveTest,
    ::testing::Values(
        SaveCase{"FirstPlaceOnThePrimary", false, false, u"", 0, {10, 20, 509, 340},
                 "1280x1024=Nl10t20w499h320"},
        SaveCase{"ReplacesThatScreensEntryAndDropsTheOldNumber", false, false,
                 u"#1#1280x1024=Nl1t2w3h4;1:1920x1080=Nl5t6w7h8", 0, {10, 20, 509, 340},
                 "1280x1024=Nl10t20w499h320;1:1920x1080=Nl5t6w7h8"},
        SaveCase{"SecondMonitorAddsItsEntryAndNumber", false, false, u"1280x1024=Nl1t2w3h4", 1,
                 {1300, 50, 1799, 370}, "#1#1280x1024=Nl1t2w3h4;1:1920x1080=Nl1300t50w499h320"},
        SaveCase{"NegativeCoordinates", false, false, u"", 0, {-5, -7, 494, 313},
                 "1280x1024=Nl-5t-7w499h320"},
        SaveCase{"UnknownMonitorCountsAsThePrimary", false, false, u"", 7, {10, 20, 509, 340},
                 "1280x1024=Nl10t20w499h320"},
        SaveCase{"CompactStoresNothing", true, false, u"1280x1024=Nl1t2w3h4", 0,
                 {10, 20, 186, 191}, std::nullopt},
        // Minimized, the window lies at -32000: the earlier place stays.
        SaveCase{"MinimizedStoresNothing", false, true, u"1280x1024=Nl1t2w3h4", 0,
                 {-32000, -32000, -31840, -31972}, std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PlaceTextToSaveTest, NothingWithoutAMonitor) {
  EXPECT_EQ(PlaceTextToSave(false, false, u"", {}, 0, {10, 20, 509, 340}), std::nullopt);
}

struct RestoreCase {
  const char* name;
  const std::vector<Monitor>* monitors;
  std::optional<Point> command_line;
  const char16_t* stored;
  std::optional<Point> place;
};
class RestoredPlaceTest : public ::testing::TestWithParam<RestoreCase> {};
TEST_P(RestoredPlaceTest, MovesOnlyForAUsablePlace) {
  const RestoreCase& c = GetParam();
  EXPECT_EQ(RestoredPlace(c.command_line, c.stored, *c.monitors), c.place);
}
constexpr const char16_t* kBoth = u"#1#1280x1024=Nl10t20w499h320;1:1920x1080=Nl1300t50w499h320";
INSTANTIATE_TEST_SUITE_P(
    WindowPlace, RestoredPlaceTest,
    ::testing::Values(
        RestoreCase{"CommandLineWins", &kTwo, Point{50, 60}, kBoth, Point{50, 60}},
        RestoreCase{"CommandLineWithoutPlace", &kTwo, Point{50, 60}, u"", Point{50, 60}},
        RestoreCase{"NothingStoredStaysCentred", &kTwo, std::nullopt, u"", std::nullopt},
        RestoreCase{"PrimaryEntry", &kTwo, std::nullopt, u"1280x1024=Nl-3t20w499h320",
                    Point{-3, 20}},
        RestoreCase{"SecondMonitorEntry", &kTwo, std::nullopt, kBoth, Point{1300, 50}},
        RestoreCase{"NumberPastTheMonitorsTakesThePrimary", &kTwo, std::nullopt,
                    u"#4#1280x1024=Nl10t20w499h320;1:1920x1080=Nl1300t50w499h320", Point{10, 20}},
        RestoreCase{"NumberPastTheMonitorsTakesThePrimarysNumber", &kSecondPrimary, std::nullopt,
                    u"#4#1280x1024=Nl10t20w499h320;1:1920x1080=Nl1300t50w499h320",
                    Point{1300, 50}},
        RestoreCase{"OtherScreenSizeStaysCentred", &kTwo, std::nullopt, u"800x600=Nl10t20w499h320",
                    std::nullopt},
        RestoreCase{"MaximizedStaysCentred", &kTwo, std::nullopt, u"1280x1024=M", std::nullopt},
        RestoreCase{"BadNumbersStayCentred", &kTwo, std::nullopt, u"1280x1024=Nlxt20w499h320",
                    std::nullopt},
        RestoreCase{"NoSizeStaysCentred", &kTwo, std::nullopt, u"1280x1024=Nl10t20w0h320",
                    std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(RestoredPlaceTest, NoMonitorsStaysCentred) {
  EXPECT_EQ(RestoredPlace(std::nullopt, u"1280x1024=Nl10t20w499h320", {}), std::nullopt);
}

TEST(WindowPlaceTest, RemembersAPlacePerMonitorAndScreenSize) {
  std::u16string text;
  const auto save = [&](std::span<const Monitor> monitors, int monitor, const Rect& window) {
    text = PlaceTextToSave(false, false, text, monitors, monitor, window).value();
  };
  save(kTwo, 0, {10, 20, 509, 340});
  save(kTwo, 1, {1300, 50, 1799, 370});
  EXPECT_EQ(RestoredPlace(std::nullopt, text, kTwo), (Point{1300, 50}));
  save(kTwo, 0, {30, 40, 529, 360});
  EXPECT_EQ(RestoredPlace(std::nullopt, text, kTwo), (Point{30, 40}));

  // The primary monitor at another resolution: centred until a place is stored there.
  std::vector<Monitor> larger = kTwo;
  larger[0].bounds = {0, 0, 1600, 1200};
  larger[0].work_area = {0, 0, 1600, 1160};
  EXPECT_EQ(RestoredPlace(std::nullopt, text, larger), std::nullopt);
  save(larger, 0, {200, 300, 699, 620});
  EXPECT_EQ(RestoredPlace(std::nullopt, text, larger), (Point{200, 300}));
  // Back at the old resolution, its place is still there.
  EXPECT_EQ(RestoredPlace(std::nullopt, text, kTwo), (Point{30, 40}));
}

struct CloneCase {
  const char* name;
  Rect window;
  Point clone;
};
class ClonePositionTest : public ::testing::TestWithParam<CloneCase> {};
TEST_P(ClonePositionTest, BesideTheWindowInsideTheWorkArea) {
  EXPECT_EQ(ClonePosition(kTwo, GetParam().window), GetParam().clone);
}
INSTANTIATE_TEST_SUITE_P(
    Clone, ClonePositionTest,
    ::testing::Values(CloneCase{"WellInside", {100, 100, 599, 420}, {147, 148}},
                      // No room on the right: to the left of the anchor, L - width.
                      CloneCase{"AtTheRightEdgeOpensToTheLeft", {781, 100, 1280, 420}, {282, 148}},
                      CloneCase{"AtTheBottomMovesUp", {100, 664, 599, 984}, {147, 664}},
                      CloneCase{"InTheCornerGoesLeftAndUp", {781, 664, 1280, 984}, {282, 664}},
                      CloneCase{"OnTheSecondMonitor", {2000, 100, 2499, 420}, {2047, 148}},
                      // The second monitor's work area ends at 1040.
                      CloneCase{"AtTheSecondMonitorsBottom", {2000, 720, 2499, 1040}, {2047, 720}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CloneCommandTextTest, QuotesTheProgramOnlyWhenNeeded) {
  constexpr const char16_t* kFields = u"3 20 6 5 1 1 0 0 1 147 148";
  EXPECT_EQ(CloneCommandText(u"C:\\Program Files\\Velkaro\\velkaro.exe", kFields),
            u"\"C:\\Program Files\\Velkaro\\velkaro.exe\" 3 20 6 5 1 1 0 0 1 147 148");
  EXPECT_EQ(CloneCommandText(u"C:\\Tools\\velkaro.exe", kFields),
            u"C:\\Tools\\velkaro.exe 3 20 6 5 1 1 0 0 1 147 148");
}

}  // namespace
}  // namespace velkaro
