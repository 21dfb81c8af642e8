#include "meter/usage_meter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace velkaro {
namespace {

struct CalcCase {
  const char* name;
  std::uint64_t delta;
  std::uint32_t dt;
  const char16_t* separator;
  double percent;
  const char16_t* text;
};

// 10,000 units of 100 ns make one millisecond.
constexpr std::uint64_t kUnitsPerMs = 10'000;

const CalcCase kCalcCases[] = {
    {"NoTimePassed", 123'456, 0, u".", 0, u""},
    {"Idle", 0, 1000, u".", 0, u"0.000%"},
    {"ThreeEighths", 375 * kUnitsPerMs, 1000, u".", 37.5, u"37.500%"},
    {"DecimalComma", 375 * kUnitsPerMs, 1000, u",", 37.5, u"37,500%"},
    {"RoundsToThreeDecimals", 1'234'567, 1000, u".", 12.34567, u"12.346%"},
    {"MoreThanOneProcessorIsCapped", 1500 * kUnitsPerMs, 1000, u".", 100, u"100.000%"},
    {"FourBusyProcessors", 4 * 1000 * kUnitsPerMs, 1000, u".", 100, u"100.000%"},
    {"WrappedNegativeDifference", std::uint64_t{0} - 5, 1000, u".", 100, u"100.000%"},
    // Past 42,949,672 ms the interval times 100 no longer fits 32 bits.
    {"HalfOfFourteenHours", 25'000'000 * kUnitsPerMs, 50'000'000, u".", 50, u"50.000%"},
    {"QuarterOfTheLongestRun", 536'870'750 * kUnitsPerMs, 2'147'483'000, u".", 25, u"25.000%"},
};

class CalcPercentTest : public ::testing::TestWithParam<CalcCase> {};

TEST_P(CalcPercentTest, GivesShareAndText) {
  const CalcCase& c = GetParam();
  std::u16string text = u"stale";
  EXPECT_DOUBLE_EQ(CalcPercent(c.delta, c.dt, &text, c.separator), c.percent);
  EXPECT_EQ(text, c.text);
  EXPECT_DOUBLE_EQ(CalcPercent(c.delta, c.dt, nullptr, c.separator), c.percent);
}

INSTANTIATE_TEST_SUITE_P(Cases, CalcPercentTest, ::testing::ValuesIn(kCalcCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(PercentCaptionTest, FormatsOnlyWhenThereIsAText) {
  EXPECT_EQ(PercentCaption(TextId::CpuNow, u"37.500%"), u"CPU now: 37.500%");
  EXPECT_EQ(PercentCaption(TextId::CpuAvg, u"100.000%"), u"CPU avg: 100.000%");
  EXPECT_EQ(PercentCaption(TextId::CpuNow, u""), u"");
}

class FakeSource final : public TUsageSource {
 public:
  bool ReadProcessTimes(platform::ProcessTimes& times) override {
    if (!readable) return false;
    times = {kernel, user};
    return true;
  }
  std::uint32_t TickCount() override { return tick; }

  void Spend(std::uint64_t kernel_ms, std::uint64_t user_ms, std::uint32_t elapsed_ms) {
    kernel += kernel_ms * kUnitsPerMs;
    user += user_ms * kUnitsPerMs;
    tick += elapsed_ms;
  }

  std::uint64_t kernel = 0;
  std::uint64_t user = 0;
  std::uint32_t tick = 0;
  bool readable = true;
};

// Records what the labels would show and checks that the chart already holds the
// new sample whenever it is repainted.
class FakeHost final : public TUsageMeterHost {
 public:
  void ShowPercents() override {
    now_caption = PercentCaption(TextId::CpuNow, meter->FPercNowStr());
    avg_caption = PercentCaption(TextId::CpuAvg, meter->FPercAvgStr());
    ++shows;
  }
  void RepaintPercents() override {
    samples_at_repaint.push_back(meter->Percents().Samples().size());
  }

  const TUsageMeter* meter = nullptr;
  std::u16string now_caption;
  std::u16string avg_caption;
  int shows = 0;
  std::vector<std::size_t> samples_at_repaint;
};

class UsageMeterTest : public ::testing::Test {
 protected:
  UsageMeterTest() { host_.meter = &meter_; }

  std::vector<std::pair<double, double>> Samples() const {
    std::vector<std::pair<double, double>> samples;
    for (const TCPUPercent& s : meter_.Percents().Samples()) {
      samples.emplace_back(s.NowKernelPercent, s.NowCommonPercent);
    }
    return samples;
  }

  FakeSource source_;
  FakeHost host_;
  TUsageMeter meter_{source_, host_, 4, u"."};
};

TEST_F(UsageMeterTest, SamplesNowAndAverageAcrossTheTickWrap) {
  source_.kernel = 7'000;
  source_.user = 9'000;
  source_.tick = 0xFFFF'FF00u;
  meter_.UsageStart();

  source_.Spend(250, 500, 1000);
  meter_.UsageCalc();
  EXPECT_EQ(host_.now_caption, u"CPU now: 75.000%");
  EXPECT_EQ(host_.avg_caption, u"CPU avg: 75.000%");

  source_.Spend(0, 0, 1000);
  meter_.UsageCalc();
  EXPECT_EQ(meter_.FPercNowStr(), u"0.000%");
  EXPECT_EQ(meter_.FPercAvgStr(), u"37.500%");

  // A second sample within the same tick: no "now" text, the average goes on.
  meter_.UsageCalc();
  EXPECT_EQ(host_.now_caption, u"");
  EXPECT_EQ(host_.avg_caption, u"CPU avg: 37.500%");

  EXPECT_EQ(Samples(), (std::vector<std::pair<double, double>>{{25, 75}, {0, 0}, {0, 0}}));
  EXPECT_EQ(host_.shows, 3);
  EXPECT_EQ(host_.samples_at_repaint, (std::vector<std::size_t>{1, 2, 3}));
  EXPECT_EQ(meter_.FUP().AllStartDt, 0xFFFF'FF00u);
  EXPECT_EQ(meter_.FUP().dtPrevPercent, 0xFFFF'FF00u + 2000u);
}

TEST_F(UsageMeterTest, AverageOfALongRunStaysRight) {
  meter_.UsageStart();
  // Half of one processor for 14 hours, sampled every 1000 ms.
  for (int i = 0; i < 14 * 3600; ++i) {
    source_.Spend(100, 400, 1000);
    meter_.UsageCalc();
  }
  EXPECT_EQ(meter_.FPercNowStr(), u"50.000%");
  EXPECT_EQ(meter_.FPercAvgStr(), u"50.000%");
  EXPECT_DOUBLE_EQ(meter_.AvgPercent(), 50);
  EXPECT_EQ(meter_.Percents().Samples().size(), 4u);
}

TEST_F(UsageMeterTest, ReadingThatWentBackwardsIsCapped) {
  source_.kernel = 50'000'000;
  meter_.UsageStart();
  source_.kernel -= 1;
  source_.tick += 1000;
  meter_.UsageCalc();
  EXPECT_EQ(meter_.FPercNowStr(), u"100.000%");
  EXPECT_EQ(Samples(), (std::vector<std::pair<double, double>>{{100, 100}}));
}

TEST_F(UsageMeterTest, FailedReadingCountsAsNoTimeUsed) {
  source_.kernel = 1'000'000;
  meter_.UsageStart();
  source_.readable = false;
  source_.Spend(800, 0, 1000);
  meter_.UsageCalc();
  EXPECT_EQ(meter_.FPercNowStr(), u"0.000%");

  source_.readable = true;
  source_.Spend(200, 0, 1000);
  meter_.UsageCalc();
  EXPECT_EQ(meter_.FPercNowStr(), u"100.000%");  // both seconds' time in the second one
  EXPECT_EQ(meter_.FPercAvgStr(), u"50.000%");
}

TEST_F(UsageMeterTest, DecimalSeparatorIsTheInjectedOne) {
  meter_.SetDecimalSeparator(u",");
  meter_.UsageStart();
  source_.Spend(0, 375, 1000);
  meter_.UsageCalc();
  EXPECT_EQ(host_.now_caption, u"CPU now: 37,500%");
}

TEST_F(UsageMeterTest, ClearForgetsTextsAndSamplesAndTellsTheHost) {
  meter_.UsageStart();
  source_.Spend(10, 10, 1000);
  meter_.UsageCalc();
  meter_.ClearPercents();
  EXPECT_EQ(meter_.FPercNowStr(), u"");
  EXPECT_EQ(meter_.FPercAvgStr(), u"");
  EXPECT_EQ(host_.now_caption, u"");
  EXPECT_EQ(host_.avg_caption, u"");
  EXPECT_EQ(host_.samples_at_repaint, (std::vector<std::size_t>{1, 0}));

  // The next run starts from its own readings.
  meter_.UsageStart();
  source_.Spend(0, 600, 1000);
  meter_.UsageCalc();
  EXPECT_EQ(meter_.FPercAvgStr(), u"60.000%");
  EXPECT_EQ(Samples(), (std::vector<std::pair<double, double>>{{0, 60}}));
}

}  // namespace
}  // namespace velkaro
