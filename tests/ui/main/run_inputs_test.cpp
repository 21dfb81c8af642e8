#include "ui/main/run_inputs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "support/utf.h"

namespace velkaro {
namespace {

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();

struct DecimalCase {
  std::u16string_view text;
  std::optional<std::int64_t> value;
};

TEST(ReadDecimal, SignedDecimalIntegersOnly) {
  const DecimalCase cases[] = {
      {u"", std::nullopt},
      {u"   ", std::nullopt},
      {u"+", std::nullopt},
      {u"-", std::nullopt},
      {u"0", 0},
      {u"12", 12},
      {u"-12", -12},
      {u"+7", 7},
      {u"007", 7},
      {u" 42\t", 42},
      {u"4 2", std::nullopt},
      {u"--4", std::nullopt},
      {u"1e3", std::nullopt},
      {u"0x10", std::nullopt},
      {u"$10", std::nullopt},
      {u"3.5", std::nullopt},
      {u"\uFF19", std::nullopt},  // a full-width digit is not a decimal digit here
      {u"9223372036854775807", kMax64},
      {u"9223372036854775808", kMax64},
      {u"-9223372036854775808", kMin64},
      {u"99999999999999999999999", kMax64},
      {u"-99999999999999999999999", kMin64},
      {u"99999999999999999999x", std::nullopt},
  };
  for (const DecimalCase& c : cases) {
    EXPECT_EQ(ReadDecimal(c.text), c.value) << ToUtf8(c.text);
  }
}

struct ReadingCase {
  std::u16string_view text;
  std::int64_t pause;
  std::int64_t duration;
  std::int32_t threads;
};

TEST(RunInputs, ReadingRulesOfPauseDurationAndThreads) {
  const ReadingCase cases[] = {
      {u"", 0, 0, 1},
      {u"abc", 0, 0, 1},
      {u"5", 5, 5, 5},
      {u"-5", 0, -5, -5},
      {u"0", 0, 0, 0},
      {u"100000", 100000, 100000, 100000},
      {u"100001", 100001, 100001, 100000},
      {u"250000", 250000, 250000, 100000},
      {u"99999999999", 99999999999, 99999999999, 100000},
      {u"-99999999999", 0, -99999999999, std::numeric_limits<std::int32_t>::min()},
  };
  for (const ReadingCase& c : cases) {
    EXPECT_EQ(ReadPauseSeconds(c.text), c.pause) << ToUtf8(c.text);
    EXPECT_EQ(ReadDurationSeconds(c.text), c.duration) << ToUtf8(c.text);
    EXPECT_EQ(ReadThreadsCount(c.text), c.threads) << ToUtf8(c.text);
  }
  EXPECT_EQ(MaxThreadsCount(), 100000);
}

TEST(RunInputs, DurationsAndPausesBeyondWhatARunTakesAreRefused) {
  EXPECT_EQ(DurationRefusal(0), std::nullopt);
  EXPECT_EQ(DurationRefusal(2147483), std::nullopt);
  EXPECT_EQ(DurationRefusal(-1), TextId::DurationRefused);
  EXPECT_EQ(DurationRefusal(2147484), TextId::DurationRefused);
  EXPECT_EQ(DurationRefusal(kMax64), TextId::DurationRefused);
  EXPECT_EQ(PauseRefusal(0), std::nullopt);
  EXPECT_EQ(PauseRefusal(2147483), std::nullopt);
  EXPECT_EQ(PauseRefusal(2147484), TextId::PauseRefused);
  EXPECT_EQ(RefusalText(TextId::DurationRefused, u"."),
            u"Stress time must be from 0 to 2.147.483 seconds");
}

TEST(RunInputs, ListPositionsOutsideTheListsFallBackToNormal) {
  const std::uint32_t classes[] = {0x40, 0x4000, 0x20, 0x8000, 0x80, 0x100};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(PriorityClassAt(i), classes[i]) << i;
  EXPECT_EQ(PriorityClassAt(-1), 0x20u);
  EXPECT_EQ(PriorityClassAt(6), 0x20u);
  EXPECT_EQ(StressStyleAt(6), TStressStyle::ssDownUp);
  EXPECT_EQ(StressStyleAt(3), TStressStyle::ssRollerCoasterRhythm);
  EXPECT_EQ(StressStyleAt(-1), TStressStyle::ssMono);
  EXPECT_EQ(StressStyleAt(7), TStressStyle::ssMono);
}

}  // namespace
}  // namespace velkaro
