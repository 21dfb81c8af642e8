#include "engine/stress_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace velkaro {
namespace {

// A clock that moves one millisecond per read and by the whole length of a sleep,
// scripted random draws, and a record of every sleep, priority change and draw with
// the tick at which it happened.
class FakeWorkerPlatform {
 public:
  explicit FakeWorkerPlatform(std::uint32_t start, std::vector<std::uint32_t> draws = {},
                              std::uint32_t ms_per_read = 1)
      : now_(start), ms_per_read_(ms_per_read), draws_(draws.begin(), draws.end()) {}

  std::uint32_t TickCount() {
    ++reads_;
    if (drop_flag_at_read_ != 0 && reads_ == drop_flag_at_read_) flag_->store(false);
    const std::uint32_t now = now_;
    now_ += ms_per_read_;
    return now;
  }
  void SleepMs(std::uint32_t ms) {
    Record("sleep", ms);
    now_ += ms;
  }
  void SetThreadPriority(int priority) { Record("prio", priority); }
  void Randomize() { ++randomized_; }
  std::uint32_t Random(std::uint32_t n) {
    std::uint32_t value = 0;
    if (!draws_.empty()) {
      value = draws_.front();
      draws_.pop_front();
    }
    Record("rand" + std::to_string(n) + "=", value);
    return n == 0 ? 0 : value % n;
  }

  void DropFlagAtRead(std::atomic<bool>* flag, int read) {
    flag_ = flag;
    drop_flag_at_read_ = read;
  }

  std::vector<std::string> events;
  int randomized_ = 0;

 private:
  void Record(const std::string& what, std::int64_t value) {
    events.push_back(std::to_string(now_) + " " + what + (what.back() == '=' ? "" : " ") +
                     std::to_string(value));
  }

  std::uint32_t now_;
  std::uint32_t ms_per_read_;
  std::deque<std::uint32_t> draws_;
  int reads_ = 0;
  std::atomic<bool>* flag_ = nullptr;
  int drop_flag_at_read_ = 0;
};

struct RhythmCase {
  const char* name;
  TStressStyle style;
  int priority_index;
  std::uint32_t start;
  std::uint32_t duration;
  std::vector<std::uint32_t> draws;
  std::vector<std::string> events;
};

void PrintTo(const RhythmCase& c, std::ostream* os) { *os << c.name; }

class RhythmTimeline : public ::testing::TestWithParam<RhythmCase> {};

// Reads: Execute's deadline test, then per loop pass the step test (not for mono) and
// the deadline test. A step runs at the first step test whose tick is past NextStepTick.
TEST_P(RhythmTimeline, SleepsPrioritiesAndDrawsHappenAtTheirTicks) {
  const RhythmCase& c = GetParam();
  std::atomic<bool> run{true};
  TStressParams params{&run, ThreadPriorities[static_cast<std::size_t>(c.priority_index)],
                       c.priority_index, c.style, c.start + c.duration};
  FakeWorkerPlatform platform(c.start, c.draws);
  TStressWorker<FakeWorkerPlatform>(params, platform).Execute();
  EXPECT_THAT(platform.events, ::testing::ElementsAreArray(c.events));
  EXPECT_EQ(platform.randomized_, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rhythms, RhythmTimeline,
    ::testing::Values(
        // Spins at its level until the first deadline read past 100 + 50.
        RhythmCase{"Mono", TStressStyle::ssMono, 5, 100, 50, {}, {"101 prio 2"}},
        // The first step at once sets the chosen level again; normal is the second
        // level, and the third step returns to the chosen level.
        RhythmCase{"SlightlyBroken",
                   TStressStyle::ssSlightlyBrokenRhythm,
                   1,
                   1000,
                   60,
                   {20, 30, 2999},
                   {"1001 prio -2", "1002 prio -2", "1003 rand3000=20", "1025 prio 0",
                    "1026 rand3000=30", "1058 prio -2", "1059 rand3000=2999"}},
        // The lower level is drawn from the levels below the chosen one: Random(5).
        RhythmCase{"QuiteBroken",
                   TStressStyle::ssQuiteBrokenRhythm,
                   5,
                   0,
                   20,
                   {10, 1, 7},
                   {"1 prio 2", "2 prio 2", "3 rand3000=10", "15 rand5=1", "15 prio -2",
                    "16 rand3000=7"}},
        // Index 0: Random(0) gives the idle level, so the worker stays idle.
        RhythmCase{"QuiteBrokenIdle",
                   TStressStyle::ssQuiteBrokenRhythm,
                   0,
                   0,
                   9,
                   {5, 9, 1},
                   {"1 prio -15", "2 prio -15", "3 rand3000=5", "9 rand0=9", "9 prio -15",
                    "10 rand3000=1"}},
        // Steps alternate: spin only, then sleep and spin, each length its own draw.
        RhythmCase{"RollerCoaster",
                   TStressStyle::ssRollerCoasterRhythm,
                   3,
                   0,
                   640,
                   {10, 500, 30, 100},
                   {"1 prio 0", "3 rand1000=10", "15 rand1000=500", "15 sleep 500",
                    "516 rand1000=30", "549 rand1000=100"}},
        // Starts with its idle half; the step that ends a busy half does nothing and
        // the next pass sleeps again.
        RhythmCase{"Comb",
                   TStressStyle::ssCombRhythm,
                   3,
                   100,
                   2500,
                   {},
                   {"101 prio 0", "104 sleep 1000", "2109 sleep 1000"}},
        RhythmCase{"LongComb",
                   TStressStyle::ssLongCombRhythm,
                   4,
                   0,
                   9000,
                   {},
                   {"1 prio 1", "4 sleep 4000", "8009 sleep 4000"}},
        // Slot sleeps 200, 400, ..., 1000, 800, ..., 200, 0 (no sleep call), 200: each
        // slot starts 1000 ms after the previous one plus the 3 ms of the fake's reads.
        RhythmCase{"DownUp",
                   TStressStyle::ssDownUp,
                   3,
                   0,
                   10100,
                   {},
                   {"1 prio 0", "2 sleep 200", "1005 sleep 400", "2008 sleep 600",
                    "3011 sleep 800", "4014 sleep 1000", "5017 sleep 800", "6020 sleep 600",
                    "7023 sleep 400", "8026 sleep 200", "10032 sleep 200"}}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

struct StepCase {
  const char* name;
  TStressStyle style;
  int priority_index;
  std::vector<std::uint32_t> draws;
  // Per step: what it did (sleeps, priorities and draws in order) and NextStepTick after it.
  std::vector<std::string> steps;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class RhythmSteps : public ::testing::TestWithParam<StepCase> {};

// The step routines alone, on a clock that moves only while the worker sleeps: each
// row is one step starting where the previous one ended, from tick 10000.
TEST_P(RhythmSteps, EachStepSleepsSetsPriorityAndSchedulesTheNext) {
  const StepCase& c = GetParam();
  std::atomic<bool> run{true};
  TStressParams params{&run, ThreadPriorities[static_cast<std::size_t>(c.priority_index)],
                       c.priority_index, c.style, 0xFFFFFFFFu};
  FakeWorkerPlatform platform(10000, c.draws, 0);
  TStressWorker<FakeWorkerPlatform> worker(params, platform);
  std::vector<std::string> steps;
  for (std::size_t i = 0; i < c.steps.size(); ++i) {
    platform.events.clear();
    switch (c.style) {
      case TStressStyle::ssSlightlyBrokenRhythm: worker.StepBrokenRhythm(false); break;
      case TStressStyle::ssQuiteBrokenRhythm: worker.StepBrokenRhythm(true); break;
      case TStressStyle::ssRollerCoasterRhythm: worker.StepRollerCoaster(); break;
      case TStressStyle::ssCombRhythm: worker.StepComb(false); break;
      case TStressStyle::ssLongCombRhythm: worker.StepComb(true); break;
      default: worker.StepDownUp(); break;
    }
    std::string row;
    for (const std::string& event : platform.events) row += event.substr(event.find(' ') + 1) + ", ";
    steps.push_back(row + "next " + std::to_string(worker.State().NextStepTick));
  }
  EXPECT_THAT(steps, ::testing::ElementsAreArray(c.steps));
}

INSTANTIATE_TEST_SUITE_P(
    Rhythms, RhythmSteps,
    ::testing::Values(
        StepCase{"SlightlyBrokenBelowNormal",
                 TStressStyle::ssSlightlyBrokenRhythm,
                 2,
                 {0, 2999, 1500},
                 {"prio -1, rand3000=0, next 10000", "prio 0, rand3000=2999, next 12999",
                  "prio -1, rand3000=1500, next 11500"}},
        // At the normal level both levels are the same.
        StepCase{"SlightlyBrokenNormal",
                 TStressStyle::ssSlightlyBrokenRhythm,
                 3,
                 {7, 8},
                 {"prio 0, rand3000=7, next 10007", "prio 0, rand3000=8, next 10008"}},
        StepCase{"QuiteBrokenTimeCritical",
                 TStressStyle::ssQuiteBrokenRhythm,
                 6,
                 {100, 0, 200, 300, 5, 400},
                 {"prio 15, rand3000=100, next 10100", "rand6=0, prio -15, rand3000=200, next 10200",
                  "prio 15, rand3000=300, next 10300", "rand6=5, prio 2, rand3000=400, next 10400"}},
        StepCase{"RollerCoaster",
                 TStressStyle::ssRollerCoasterRhythm,
                 3,
                 {999, 999, 0, 0, 250},
                 {"rand1000=999, next 10999", "rand1000=999, sleep 999, rand1000=0, next 10999",
                  "rand1000=0, next 10999", "rand1000=250, sleep 250, rand1000=0, next 11249"}},
        StepCase{"Comb",
                 TStressStyle::ssCombRhythm,
                 3,
                 {},
                 {"next 0", "sleep 1000, next 12000", "next 12000", "sleep 1000, next 13000"}},
        StepCase{"LongComb",
                 TStressStyle::ssLongCombRhythm,
                 3,
                 {},
                 {"next 0", "sleep 4000, next 18000", "next 18000", "sleep 4000, next 22000"}},
        // Each slot starts 1000 ms after the previous one: NextStepTick = step start + 1000.
        StepCase{"DownUp",
                 TStressStyle::ssDownUp,
                 3,
                 {},
                 {"sleep 200, next 11000", "sleep 400, next 11200", "sleep 600, next 11600",
                  "sleep 800, next 12200", "sleep 1000, next 13000", "sleep 800, next 14000",
                  "sleep 600, next 14800", "sleep 400, next 15400", "sleep 200, next 15800",
                  "next 16000", "sleep 200, next 16000", "sleep 400, next 16200"}}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST(StressWorker, DroppedFlagEndsTheSpin) {
  std::atomic<bool> run{true};
  TStressParams params{&run, 0, 3, TStressStyle::ssMono, 1000000};
  FakeWorkerPlatform platform(0);
  platform.DropFlagAtRead(&run, 5);
  TStressWorker<FakeWorkerPlatform>(params, platform).Execute();
  EXPECT_THAT(platform.events, ::testing::ElementsAre("1 prio 0"));
}

struct EarlyEndCase {
  const char* name;
  bool flag;
  std::uint32_t start;
  std::uint32_t deadline;
};

class StressWorkerEarlyEnd : public ::testing::TestWithParam<EarlyEndCase> {};

// A worker that should not run leaves its priority and the generator alone.
TEST_P(StressWorkerEarlyEnd, ReturnsWithoutTouchingItsPriority) {
  const EarlyEndCase& c = GetParam();
  std::atomic<bool> run{c.flag};
  TStressParams params{&run, 2, 5, TStressStyle::ssCombRhythm, c.deadline};
  FakeWorkerPlatform platform(c.start);
  TStressWorker<FakeWorkerPlatform>(params, platform).Execute();
  EXPECT_TRUE(platform.events.empty());
  EXPECT_EQ(platform.randomized_, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StressWorkerEarlyEnd,
    ::testing::Values(EarlyEndCase{"FlagDown", false, 0, 5000},
                      EarlyEndCase{"ReleasedAfterDeadline", true, 5001, 5000},
                      // Start + duration wrapped past 2^32: the deadline lies behind.
                      EarlyEndCase{"WrappedDeadline", true, 0xFFFFFF00u, 0xFFFFFF00u + 0x200u}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST(StressThread, DeadlineIsStartPlusDurationModulo32Bits) {
  std::atomic<bool> run{true};
  const TStressThread worker(&run, 1, 4, TStressStyle::ssDownUp, 0xFFFFFFF0u, 0x20u);
  EXPECT_EQ(worker.Params().FStressLastTime, 0x10u);
  EXPECT_EQ(worker.Params().FMainPriority, 1);
  EXPECT_EQ(worker.Params().FCurMainPriorityIndex, 4);
  EXPECT_EQ(worker.Params().FStyle, TStressStyle::ssDownUp);
  EXPECT_EQ(worker.Params().FPIsRunEmulation, &run);
}

}  // namespace
}  // namespace velkaro
