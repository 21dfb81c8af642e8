#include "support/window_place.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/utf.h"

namespace velkaro {
namespace {

std::string Narrow(std::u16string_view text) { return ToUtf8(text); }

TEST(PlaceKeyTest, NamesMonitorsAfterTheFirst) {
  EXPECT_EQ(PlaceKey(0, 1280, 1024), u"1280x1024=");
  EXPECT_EQ(PlaceKey(2, 1920, 1080), u"2:1920x1080=");
  EXPECT_EQ(PlaceKey(-1, 800, 600), u"800x600=");
}

struct SplitCase {
  const char16_t* text;
  int number;
  const char16_t* entries;
};

class SplitPlaceMonitorTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitPlaceMonitorTest, Splits) {
  const SplitCase& c = GetParam();
  const PlaceMonitorSplit split = SplitPlaceMonitor(c.text);
  EXPECT_EQ(split.monitor_number, c.number) << Narrow(c.text);
  EXPECT_EQ(split.entries, c.entries) << Narrow(c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitPlaceMonitorTest,
                         ::testing::Values(SplitCase{u"#2#1280x1024=M;2:800x600=M", 2,
                                                     u"1280x1024=M;2:800x600=M"},
                                           SplitCase{u"#12#x", 12, u"x"},
                                           // No second "#": no prefix at all.
                                           SplitCase{u"#1280x1024=M", 0, u"#1280x1024=M"},
                                           SplitCase{u"1280x1024=M", 0, u"1280x1024=M"},
                                           // A prefix whose number does not read still comes off.
                                           SplitCase{u"#x#1280x1024=M", 0, u"1280x1024=M"},
                                           SplitCase{u"##1280x1024=M", 0, u"1280x1024=M"},
                                           SplitCase{u"#99999999999#e", 0, u"e"},
                                           SplitCase{u"#-3#e", -3, u"e"}, SplitCase{u"#2#", 2, u""},
                                           // Too short to carry a prefix.
                                           SplitCase{u"##", 0, u"##"}, SplitCase{u"", 0, u""}));

TEST(JoinPlaceMonitorTest, PrefixesOnlyMonitorsAfterTheFirst) {
  EXPECT_EQ(JoinPlaceMonitor(2, u"1280x1024=M"), u"#2#1280x1024=M");
  EXPECT_EQ(JoinPlaceMonitor(0, u"1280x1024=M"), u"1280x1024=M");
  EXPECT_EQ(JoinPlaceMonitor(-4, u"1280x1024=M"), u"1280x1024=M");
  const PlaceMonitorSplit split = SplitPlaceMonitor(JoinPlaceMonitor(13, u"a;b"));
  EXPECT_EQ(split.monitor_number, 13);
  EXPECT_EQ(split.entries, u"a;b");
}

TEST(FormatPlaceEntryTest, KeyOfTheMonitorAndTheWindowRectangle) {
  const PlaceEntry entry = FormatPlaceEntry(1, {-1280, 0, 0, 1024}, {-1000, -50, -600, 250}, false);
  EXPECT_EQ(entry.key, u"1:1280x1024=");
  EXPECT_EQ(entry.value, u"Nl-1000t-50w400h300");
  const PlaceEntry maximized = FormatPlaceEntry(0, {0, 0, 1920, 1080}, {-8, -8, 1928, 1048}, true);
  EXPECT_EQ(maximized.key, u"1920x1080=");
  EXPECT_EQ(maximized.value, u"M");
}

struct StoreCase {
  const char* name;
  const char16_t* text;
  const char16_t* key;
  const char16_t* value;
  const char16_t* expected;
};

class StorePlaceEntryTest : public ::testing::TestWithParam<StoreCase> {};

TEST_P(StorePlaceEntryTest, Stores) {
  const StoreCase& c = GetParam();
  std::u16string text = c.text;
  StorePlaceEntry(text, c.key, c.value);
  EXPECT_EQ(text, c.expected) << Narrow(text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StorePlaceEntryTest,
    ::testing::Values(
        StoreCase{"IntoEmptyText", u"", u"1280x1024=", u"Nl1t2w3h4", u"1280x1024=Nl1t2w3h4"},
        StoreCase{"AppendsANewKey", u"1280x1024=M", u"1:800x600=", u"Nl1t2w3h4",
                  u"1280x1024=M;1:800x600=Nl1t2w3h4"},
        StoreCase{"ReplacesInTheMiddle", u"800x600=M;1280x1024=Nl1t2w3h4;2:640x480=M",
                  u"1280x1024=", u"Nl-5t-6w700h800",
                  u"800x600=M;1280x1024=Nl-5t-6w700h800;2:640x480=M"},
        StoreCase{"ReplacesAtTheEnd", u"800x600=M;1280x1024=Nl1t2w3h4", u"1280x1024=", u"M",
                  u"800x600=M;1280x1024=M"},
        StoreCase{"ReplacesAnEmptyValue", u"1280x1024=;800x600=M", u"1280x1024=", u"M",
                  u"1280x1024=M;800x600=M"},
        // The key of the first monitor is found as the tail of the second's key.
        StoreCase{"FirstOccurrenceEvenInsideALongerKey", u"1:1280x1024=Nl5t5w5h5;1280x1024=M",
                  u"1280x1024=", u"Nl1t1w1h1", u"1:1280x1024=Nl1t1w1h1;1280x1024=M"}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(StorePlaceEntryTest, StoringTheSameKeyTwiceKeepsOneEntry) {
  std::u16string text = u"800x600=M";
  StorePlaceEntry(text, u"1280x1024=", u"Nl1t2w3h4");
  StorePlaceEntry(text, u"1280x1024=", u"Nl10t20w30h40");
  EXPECT_EQ(text, u"800x600=M;1280x1024=Nl10t20w30h40");
  StorePlaceEntry(text, u"800x600=", u"Nl0t0w1h1");
  EXPECT_EQ(text, u"800x600=Nl0t0w1h1;1280x1024=Nl10t20w30h40");
}

struct ParseCase {
  const char* name;
  const char16_t* text;
  int width;
  int height;
  int monitor;
  std::optional<WindowPlace> expected;
};

constexpr WindowPlace Normal(std::int32_t left, std::int32_t top, std::int32_t width,
                             std::int32_t height) {
  return {false, left, top, width, height};
}
constexpr WindowPlace kMaximized{true, 0, 0, 0, 0};

class ParsePlaceEntryTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParsePlaceEntryTest, Parses) {
  const ParseCase& c = GetParam();
  const std::optional<WindowPlace> place = ParsePlaceEntry(c.text, c.width, c.height, c.monitor);
  ASSERT_EQ(place.has_value(), c.expected.has_value());
  if (!place) return;
  EXPECT_EQ(place->maximized, c.expected->maximized);
  if (place->maximized) return;
  EXPECT_EQ(place->left, c.expected->left);
  EXPECT_EQ(place->top, c.expected->top);
  EXPECT_EQ(place->width, c.expected->width);
  EXPECT_EQ(place->height, c.expected->height);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParsePlaceEntryTest,
    ::testing::Values(
        ParseCase{"Normal", u"1280x1024=Nl10t20w400h300", 1280, 1024, 0, Normal(10, 20, 400, 300)},
        ParseCase{"Maximized", u"1280x1024=M", 1280, 1024, 0, kMaximized},
        ParseCase{"LaterEntry", u"800x600=M;1280x1024=Nl1t2w3h4;2:1280x1024=M", 1280, 1024, 0,
                  Normal(1, 2, 3, 4)},
        ParseCase{"OwnMonitor", u"1280x1024=M;2:1280x1024=Nl-1200t-30w400h300", 1280, 1024, 2,
                  Normal(-1200, -30, 400, 300)},
        // The first monitor's key is found inside the second monitor's entry that comes
        // first, and the first monitor's own entry behind it is never reached.
        ParseCase{"FirstMonitorKeyInsideSecondMonitorEntry",
                  u"1:1280x1024=Nl-1000t5w400h300;1280x1024=Nl10t20w30h40", 1280, 1024, 0,
                  Normal(-1000, 5, 400, 300)},
        ParseCase{"FirstMonitorEntryFirst",
                  u"1280x1024=Nl10t20w30h40;1:1280x1024=Nl-1000t5w400h300", 1280, 1024, 0,
                  Normal(10, 20, 30, 40)},
        ParseCase{"SecondMonitorAfterFirst",
                  u"1280x1024=Nl10t20w30h40;1:1280x1024=Nl-1000t5w400h300", 1280, 1024, 1,
                  Normal(-1000, 5, 400, 300)},
        ParseCase{"OtherScreenSize", u"1280x1024=Nl10t20w400h300", 1920, 1080, 0, std::nullopt},
        ParseCase{"OtherMonitor", u"1280x1024=Nl10t20w400h300", 1280, 1024, 1, std::nullopt},
        ParseCase{"Empty", u"", 1280, 1024, 0, std::nullopt},
        ParseCase{"KeyEndsTheText", u"800x600=M;1280x1024=", 1280, 1024, 0, std::nullopt},
        ParseCase{"UnknownKind", u"1280x1024=m", 1280, 1024, 0, std::nullopt},
        ParseCase{"LeftNotANumber", u"1280x1024=Nlxt20w400h300", 1280, 1024, 0, std::nullopt},
        ParseCase{"TopEmpty", u"1280x1024=Nl10tw400h300", 1280, 1024, 0, std::nullopt},
        ParseCase{"WidthZero", u"1280x1024=Nl10t20w0h300", 1280, 1024, 0, std::nullopt},
        ParseCase{"HeightNegative", u"1280x1024=Nl10t20w400h-3", 1280, 1024, 0, std::nullopt},
        ParseCase{"HeightNotANumber", u"1280x1024=Nl10t20w400h3x;800x600=M", 1280, 1024, 0,
                  std::nullopt},
        ParseCase{"FieldsMissing", u"1280x1024=Nl10t20", 1280, 1024, 0, std::nullopt},
        ParseCase{"OnlyTheKind", u"1280x1024=N", 1280, 1024, 0, std::nullopt},
        // Coordinates down to -2,147,483,646 are used; below that they are refused.
        ParseCase{"LowestLeft", u"1280x1024=Nl-2147483646t0w1h1", 1280, 1024, 0,
                  Normal(-2147483646, 0, 1, 1)},
        ParseCase{"LowestTop", u"1280x1024=Nl0t-2147483646w1h1", 1280, 1024, 0,
                  Normal(0, -2147483646, 1, 1)},
        ParseCase{"LeftBelowLowest", u"1280x1024=Nl-2147483647t0w1h1", 1280, 1024, 0, std::nullopt},
        ParseCase{"TopMostNegative", u"1280x1024=Nl0t-2147483648w1h1", 1280, 1024, 0, std::nullopt},
        ParseCase{"LeftTooLarge", u"1280x1024=Nl2147483648t0w1h1", 1280, 1024, 0, std::nullopt},
        ParseCase{"LargestSize", u"1280x1024=Nl2147483647t0w2147483647h2147483647", 1280, 1024, 0,
                  Normal(2147483647, 0, 2147483647, 2147483647)}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(PlaceTextTest, SaveAndRestoreRoundTrip) {
  // Saving on the second monitor into a text that already remembers the first.
  std::u16string stored = u"1280x1024=Nl10t20w30h40";
  PlaceMonitorSplit split = SplitPlaceMonitor(stored);
  const PlaceEntry entry =
      FormatPlaceEntry(1, {-1920, 0, 0, 1080}, {-1500, 100, -1100, 400}, false);
  StorePlaceEntry(split.entries, entry.key, entry.value);
  stored = JoinPlaceMonitor(1, split.entries);
  EXPECT_EQ(stored, u"#1#1280x1024=Nl10t20w30h40;1:1920x1080=Nl-1500t100w400h300");

  split = SplitPlaceMonitor(stored);
  ASSERT_EQ(split.monitor_number, 1);
  const std::optional<WindowPlace> second = ParsePlaceEntry(split.entries, 1920, 1080, 1);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->left, -1500);
  EXPECT_EQ(second->top, 100);
  const std::optional<WindowPlace> first = ParsePlaceEntry(split.entries, 1280, 1024, 0);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->left, 10);
}

}  // namespace
}  // namespace velkaro
