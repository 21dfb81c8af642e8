// Runs with real worker threads: short, with few workers, never above normal priority.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "engine/run_controller.h"
#include "fake_run_host.h"
#include "platform/clock.h"
#include "platform/process.h"

namespace velkaro {
namespace {

constexpr std::uint32_t kNormalClass = 0x20;
constexpr std::int32_t kNormalIndex = 3;

// The system's threads, counted, with an optional failure of the Nth creation and an
// optional clock that runs faster than the real one.
class CountingPlatform : public TEnginePlatform {
 public:
  std::uint32_t TickCount() override { return native_.TickCount() + extra_ms_per_read * reads_++; }
  void SleepMs(std::uint32_t ms) override { native_.SleepMs(ms); }
  bool SetProcessPriorityClass(std::uint32_t value) override {
    return native_.SetProcessPriorityClass(value);
  }
  bool SetCurrentThreadPriority(int value) override { return native_.SetCurrentThreadPriority(value); }
  TThreadHandle CreateParkedThread(void (*body)(void*), void* context) override {
    if (fail_at_creation != 0 && created + 1 == fail_at_creation) return 0;
    const TThreadHandle handle = native_.CreateParkedThread(body, context);
    if (handle != 0) ++created;
    return handle;
  }
  void CloseStartGate() override { native_.CloseStartGate(); }
  void OpenStartGate(std::int32_t waiting) override { native_.OpenStartGate(waiting); }
  void ResumeThread(TThreadHandle handle) override { native_.ResumeThread(handle); }
  bool ThreadIsAlive(TThreadHandle handle) override { return native_.ThreadIsAlive(handle); }
  void CloseThread(TThreadHandle handle) override {
    native_.CloseThread(handle);
    ++closed;
  }

  int fail_at_creation = 0;
  std::uint32_t extra_ms_per_read = 0;
  int created = 0;
  int closed = 0;

 private:
  TEnginePlatform& native_ = NativeEnginePlatform();
  std::uint32_t reads_ = 0;
};

class RealRunTest : public ::testing::Test {
 protected:
  RealRunTest() { host.clock = [] { return platform::TickCount(); }; }

  // Runs workers at normal priority; returns the wall time in milliseconds.
  double Run(std::int32_t workers, std::uint32_t time_ms,
             TStressStyle style = TStressStyle::ssMono) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(controller.RunStress(kNormalClass, workers, kNormalIndex, time_ms, style, error,
                                     started));
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  }

  CountingPlatform threads;
  FakeRunHost host;
  TRunController controller{host, threads};
  std::u16string error;
  std::int32_t started = -1;
};

std::uint64_t ProcessCpu100ns() {
  platform::ProcessTimes times;
  EXPECT_TRUE(platform::ReadProcessTimes(times));
  return times.kernel + times.user;
}

// The processor time that `count` plain spinning threads get in `ms` right now, the
// yardstick for the workers on a machine that other programs share.
double PlainSpinCpuMs(int count, int ms) {
  std::atomic<bool> stop{false};
  const std::uint64_t before = ProcessCpu100ns();
  std::vector<std::thread> spinners;
  for (int i = 0; i < count; ++i) {
    spinners.emplace_back([&] {
      while (!stop.load(std::memory_order_relaxed)) {
      }
    });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  stop = true;
  for (auto& spinner : spinners) spinner.join();
  return static_cast<double>(ProcessCpu100ns() - before) / 10000.0;
}

TEST_F(RealRunTest, MonoWorkersKeepTheProcessorsBusyUntilTheDeadline) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const std::int32_t workers = static_cast<std::int32_t>(std::min(cores, 4u));
  const double yardstick = PlainSpinCpuMs(workers, 400);
  const std::uint64_t cpu_before = ProcessCpu100ns();
  const double wall = Run(workers, 400);
  const double cpu_ms = static_cast<double>(ProcessCpu100ns() - cpu_before) / 10000.0;
  EXPECT_EQ(started, workers);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reTimeOver);
  EXPECT_GE(wall, 380.0);
  EXPECT_LT(wall, 10000.0);
  // Ideal: 400 ms x workers on an idle machine; the yardstick says what is possible now.
  EXPECT_GT(cpu_ms, 0.5 * yardstick) << "wall " << wall << " ms, plain threads " << yardstick
                                     << " ms, ideal " << 400 * workers << " ms";
  // From above as well: no process gets more than its wall time on every processor (a
  // reading in the wrong unit fails here), with a margin for the clocks' granularity.
  EXPECT_LE(cpu_ms, wall * cores + 50.0) << "wall " << wall << " ms on " << cores << " processors";
  EXPECT_EQ(threads.closed, workers);
}

TEST_F(RealRunTest, DroppedFlagEndsEveryWorker) {
  const std::uint32_t start = platform::TickCount();
  host.on_messages = [&](int) {
    if (platform::TickCount() - start > 200) controller.Stop();
  };
  // A deadline not far beyond the bound: a worker that ignored the flag would end at it
  // and fail the test in seconds, not in ctest's timeout.
  const double wall = Run(3, 20000);
  EXPECT_LT(wall, 10000.0);
  EXPECT_EQ(started, 3);
  EXPECT_EQ(threads.closed, 3);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reStopped);
  EXPECT_EQ(host.statuses.back(), "Threads left stop: 0");
}

struct StyleCase {
  const char* name;
  TStressStyle style;
};

void PrintTo(const StyleCase& c, std::ostream* os) { *os << c.name; }

class RealRhythmStop : public RealRunTest, public ::testing::WithParamInterface<StyleCase> {};

// Workers in a sleeping rhythm end when their sleep is over: the longest is 4 s.
TEST_P(RealRhythmStop, DroppedFlagEndsTheWorkersLongBeforeTheirDeadline) {
  const std::uint32_t start = platform::TickCount();
  host.on_messages = [&](int) {
    if (platform::TickCount() - start > 300) controller.Stop();
  };
  const double wall = Run(2, 30000, GetParam().style);
  EXPECT_LT(wall, 15000.0);
  EXPECT_EQ(threads.closed, 2);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reStopped);
}

INSTANTIATE_TEST_SUITE_P(Rhythms, RealRhythmStop,
                         ::testing::Values(
                             StyleCase{"RollerCoaster", TStressStyle::ssRollerCoasterRhythm},
                             StyleCase{"LongComb", TStressStyle::ssLongCombRhythm},
                             StyleCase{"DownUp", TStressStyle::ssDownUp}),
                         [](const auto& test_info) { return std::string(test_info.param.name); });

TEST_F(RealRunTest, ZeroWorkersRunTheWholeTime) {
  const double wall = Run(0, 300);
  EXPECT_GE(wall, 280.0);
  EXPECT_LT(wall, 10000.0);
  EXPECT_EQ(started, 0);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reTimeOver);
}

TEST_F(RealRunTest, StopDuringPreparationReleasesTheCreatedWorkersQuietly) {
  threads.extra_ms_per_read = 30;  // preparation processes messages after a few workers
  host.on_messages = [&](int) { controller.Stop(); };
  Run(200, 600000);
  EXPECT_GT(threads.created, 0);
  EXPECT_LT(threads.created, 200);
  EXPECT_EQ(threads.closed, threads.created);
  EXPECT_EQ(started, 0);
  EXPECT_TRUE(error.empty());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reStopped);
}

TEST_F(RealRunTest, FailingCreationGivesTheErrorTextAndLeavesNoWorkerBehind) {
  threads.fail_at_creation = 4;
  Run(10, 600000);
  EXPECT_EQ(error, u"Too many threads! Created: 3.");
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.stop_clicks, 1);
  EXPECT_EQ(threads.created, 3);
  EXPECT_EQ(threads.closed, 3);
  EXPECT_EQ(started, 0);
}

TEST(EmergencyClose, EndsARunningProcessWithCode1AtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        FakeRunHost host;
        host.on_messages = [](int) { TRunController::EmergencyClose(); };
        TRunController controller(host);
        std::u16string error;
        std::int32_t started = 0;
        controller.RunStress(kNormalClass, 2, kNormalIndex, 600000, TStressStyle::ssMono, error,
                             started);
      },
      ::testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace velkaro
