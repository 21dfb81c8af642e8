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
    last_tick_ = now_ - now_ % tick_step;
    now_ += ms_per_read_;
    return last_tick_;
  }
  void SleepMs(std::uint32_t ms) {
    Record("sleep", ms);
    // The tick at which the worker meant to wake, on the tick scale it last read.
    wake_targets.push_back(last_tick_ + ms);
    now_ += ms + oversleep;
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

  void AdvanceTo(std::uint32_t tick) {
    if (static_cast<std::int32_t>(tick - now_) > 0) now_ = tick;
  }
  int Reads() const { return reads_; }

  std::vector<std::string> events;
  std::vector<std::uint32_t> wake_targets;
  int randomized_ = 0;
  // The tick counter moves in steps of this many ms (the system timer); every sleep
  // lasts this much longer than asked.
  std::uint32_t tick_step = 1;
  std::uint32_t oversleep = 0;

 private:
  void Record(const std::string& what, std::int64_t value) {
    events.push_back(std::to_string(now_) + " " + what + (what.back() == '=' ? "" : " ") +
                     std::to_string(value));
  }

  std::uint32_t now_;
  std::uint32_t ms_per_read_;
  std::deque<std::uint32_t> draws_;
  int reads_ = 0;
  std::uint32_t last_tick_ = 0;
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
        // the next pass sleeps again. The first idle half starts at the tick read 104
        // (the event shows the clock after the read): the second one ends at 3104, two
        // periods on, however many reads came between.
        RhythmCase{"Comb",
                   TStressStyle::ssCombRhythm,
                   3,
                   100,
                   2500,
                   {},
                   {"101 prio 0", "105 sleep 1000", "2110 sleep 995"}},
        RhythmCase{"LongComb",
                   TStressStyle::ssLongCombRhythm,
                   4,
                   0,
                   9000,
                   {},
                   {"1 prio 1", "5 sleep 4000", "8010 sleep 3995"}},
        // Slot sleeps 200, 400, ..., 1000, 800, ..., 200, 0 (no sleep call), 200: slot k
        // starts at tick 2 + 1000 k though the fake's reads take 3 ms per slot, and its
        // sleep ends one read after that start plus its length (slot 1: 1006 + 397 =
        // 1002 + 400 + 1).
        RhythmCase{"DownUp",
                   TStressStyle::ssDownUp,
                   3,
                   0,
                   10100,
                   {},
                   {"1 prio 0", "3 sleep 200", "1006 sleep 397", "2006 sleep 597",
                    "3006 sleep 797", "4006 sleep 997", "5006 sleep 797", "6006 sleep 597",
                    "7006 sleep 397", "8006 sleep 197", "10005 sleep 198"}}),
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
// row is one step, from tick 10000, run where the loop would run it: at the first tick
// past the previous step's NextStepTick, or where that step ended when it has passed.
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
    if (i > 0) platform.AdvanceTo(worker.State().NextStepTick + 1);
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
                 {"prio -1, rand3000=0, next 10000", "prio 0, rand3000=2999, next 13000",
                  "prio -1, rand3000=1500, next 14501"}},
        // At the normal level both levels are the same.
        StepCase{"SlightlyBrokenNormal",
                 TStressStyle::ssSlightlyBrokenRhythm,
                 3,
                 {7, 8},
                 {"prio 0, rand3000=7, next 10007", "prio 0, rand3000=8, next 10016"}},
        StepCase{"QuiteBrokenTimeCritical",
                 TStressStyle::ssQuiteBrokenRhythm,
                 6,
                 {100, 0, 200, 300, 5, 400},
                 {"prio 15, rand3000=100, next 10100", "rand6=0, prio -15, rand3000=200, next 10301",
                  "prio 15, rand3000=300, next 10602", "rand6=5, prio 2, rand3000=400, next 11003"}},
        StepCase{"RollerCoaster",
                 TStressStyle::ssRollerCoasterRhythm,
                 3,
                 {999, 999, 0, 0, 250},
                 {"rand1000=999, next 10999", "rand1000=999, sleep 999, rand1000=0, next 11999",
                  "rand1000=0, next 12000", "rand1000=250, sleep 250, rand1000=0, next 12251"}},
        StepCase{"Comb",
                 TStressStyle::ssCombRhythm,
                 3,
                 {},
                 // The second idle half ends 2000 ms after the first, though it began a
                 // tick late.
                 {"next 0", "sleep 1000, next 12000", "next 12000", "sleep 999, next 14000"}},
        StepCase{"LongComb",
                 TStressStyle::ssLongCombRhythm,
                 3,
                 {},
                 {"next 0", "sleep 4000, next 18000", "next 18000", "sleep 3999, next 26000"}},
        // Slot k starts at 10000 + 1000 k: a step that runs a tick late sleeps a tick
        // less, so that the slot's idle part still ends where it should.
        StepCase{"DownUp",
                 TStressStyle::ssDownUp,
                 3,
                 {},
                 {"sleep 200, next 11000", "sleep 399, next 12000", "sleep 599, next 13000",
                  "sleep 799, next 14000", "sleep 999, next 15000", "sleep 799, next 16000",
                  "sleep 599, next 17000", "sleep 399, next 18000", "sleep 199, next 19000",
                  "next 20000", "sleep 199, next 21000", "sleep 399, next 22000"}}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

struct SlotCase {
  const char* name;
  TStressStyle style;
  std::uint32_t duration;
  std::uint32_t ms_per_read, tick_step, oversleep;
  std::size_t sleeps;  // the sleeps of the whole run
};

void PrintTo(const SlotCase& c, std::ostream* os) { *os << c.name; }

class RhythmSlots : public ::testing::TestWithParam<SlotCase> {};

// The planned sleep of the down-up slot that holds the nth sleep of a period (the slot
// of sleep 0 has no sleep): 200, 400, ..., 1000, 800, ..., 200.
std::uint32_t DownUpSleepOf(std::size_t nth) {
  const auto i = static_cast<std::uint32_t>(nth % 9);
  return 200 * (i < 5 ? i + 1 : 9 - i);
}

// Slot k of a timed rhythm starts k slot lengths after its first slot however late the
// sleeps end, however coarse the tick counter is and however long a pass takes: nothing
// piles up over a run. Each sleep's intended wake-up gives the start of its slot.
TEST_P(RhythmSlots, EverySlotStartsAWholeNumberOfSlotsAfterTheFirst) {
  const SlotCase& c = GetParam();
  std::atomic<bool> run{true};
  TStressParams params{&run, 0, 3, c.style, 1000 + c.duration};
  FakeWorkerPlatform platform(1000, {}, c.ms_per_read);
  platform.tick_step = c.tick_step;
  platform.oversleep = c.oversleep;
  TStressWorker<FakeWorkerPlatform>(params, platform).Execute();

  const bool down_up = c.style == TStressStyle::ssDownUp;
  const std::uint32_t half = c.style == TStressStyle::ssLongCombRhythm ? 4000 : 1000;
  const std::uint32_t slot = down_up ? 1000 : 2 * half;
  ASSERT_EQ(platform.wake_targets.size(), c.sleeps);
  std::vector<std::int64_t> drift;
  std::uint32_t first = 0;
  for (std::size_t n = 0; n < platform.wake_targets.size(); ++n) {
    const std::uint32_t start = platform.wake_targets[n] - (down_up ? DownUpSleepOf(n) : half);
    const std::size_t k = down_up ? n / 9 * 10 + n % 9 : n;
    if (n == 0) first = start;
    drift.push_back(static_cast<std::int32_t>(start - first - static_cast<std::uint32_t>(k) * slot));
  }
  EXPECT_THAT(drift, ::testing::Each(0));
}

INSTANTIATE_TEST_SUITE_P(
    Rhythms, RhythmSlots,
    ::testing::Values(SlotCase{"CombExactTicks", TStressStyle::ssCombRhythm, 60000, 1, 1, 0, 30},
                      SlotCase{"CombTimerTicksLateWakes", TStressStyle::ssCombRhythm, 60000, 1,
                               16, 2, 30},
                      SlotCase{"LongCombTimerTicksLateWakes", TStressStyle::ssLongCombRhythm,
                               64000, 1, 16, 3, 8},
                      SlotCase{"DownUpExactTicks", TStressStyle::ssDownUp, 100000, 1, 1, 0, 90},
                      SlotCase{"DownUpTimerTicksLateWakes", TStressStyle::ssDownUp, 100000, 1,
                               16, 1, 90}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

struct StyleCase {
  const char* name;
  TStressStyle style;
};

void PrintTo(const StyleCase& c, std::ostream* os) { *os << c.name; }

class StressWorkerFlagDrop : public ::testing::TestWithParam<StyleCase> {};

// Whenever the flag drops (at the worker's nth tick read: in a spin, a step or a
// sleep's end), the worker returns at its next pass: at most the next step test and
// that step's own read follow. The deadline lies far off, so a worker that ignored the
// flag would read on for a million milliseconds and fail here.
TEST_P(StressWorkerFlagDrop, EndsAtTheNextPass) {
  for (const int read : {1, 2, 3, 4, 5, 6, 40, 1003, 1004, 2500}) {
    SCOPED_TRACE(read);
    std::atomic<bool> run{true};
    TStressParams params{&run, 0, 3, GetParam().style, 1'000'000};
    FakeWorkerPlatform platform(0, {500, 700, 300, 900, 100, 600});
    platform.DropFlagAtRead(&run, read);
    TStressWorker<FakeWorkerPlatform>(params, platform).Execute();
    EXPECT_FALSE(run.load());
    EXPECT_LE(platform.Reads() - read, 2);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rhythms, StressWorkerFlagDrop,
    ::testing::Values(StyleCase{"Mono", TStressStyle::ssMono},
                      StyleCase{"SlightlyBroken", TStressStyle::ssSlightlyBrokenRhythm},
                      StyleCase{"QuiteBroken", TStressStyle::ssQuiteBrokenRhythm},
                      StyleCase{"RollerCoaster", TStressStyle::ssRollerCoasterRhythm},
                      StyleCase{"Comb", TStressStyle::ssCombRhythm},
                      StyleCase{"LongComb", TStressStyle::ssLongCombRhythm},
                      StyleCase{"DownUp", TStressStyle::ssDownUp}),
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
