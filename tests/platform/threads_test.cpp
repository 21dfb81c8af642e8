#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#if defined(__linux__)
#include <pthread.h>
#include <signal.h>
#endif
#include <chrono>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/process.h"
#include "platform/thread_limits.h"

namespace velkaro::platform {
namespace {

// Waits on a condition with a generous bound instead of sleeping a fixed time.
template <class Condition>
bool WaitFor(Condition condition, int timeout_ms = 10000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

struct Counter {
  std::atomic<int> runs{0};
  std::atomic<bool> hold{false};
};

void CountAndHold(void* context) {
  auto* counter = static_cast<Counter*>(context);
  counter->runs.fetch_add(1);
  while (counter->hold.load()) std::this_thread::yield();
}

TEST(ParkedThread, RunsItsBodyOnlyAfterResumeAndReportsItsEnd) {
  Counter counter;
  counter.hold = true;
  ParkedThread* thread = CreateParkedThread(CountAndHold, &counter);
  ASSERT_NE(thread, nullptr);
  SleepMs(50);
  EXPECT_EQ(counter.runs.load(), 0);
  EXPECT_TRUE(ParkedThreadIsAlive(thread));

  ResumeParkedThread(thread);
  ResumeParkedThread(thread);  // a second resume does nothing
  ASSERT_TRUE(WaitFor([&] { return counter.runs.load() == 1; }));
  EXPECT_TRUE(ParkedThreadIsAlive(thread));
  counter.hold = false;
  ASSERT_TRUE(WaitFor([&] { return !ParkedThreadIsAlive(thread); }));
  CloseParkedThread(thread);
  EXPECT_EQ(counter.runs.load(), 1);
}

TEST(ParkedThread, ClosingANeverResumedThreadRunsItsBodyOnceAndReturns) {
  Counter counter;
  ParkedThread* thread = CreateParkedThread(CountAndHold, &counter);
  ASSERT_NE(thread, nullptr);
  CloseParkedThread(thread);
  EXPECT_EQ(counter.runs.load(), 1);
}

// A few thousand parked threads with small stacks exist at once and all end.
TEST(ParkedThread, ThousandsOfParkedThreadsExistAtOnce) {
  constexpr int kCount = 3000;
  Counter counter;
  std::vector<ParkedThread*> threads;
  for (int i = 0; i < kCount; ++i) {
    ParkedThread* thread = CreateParkedThread(CountAndHold, &counter);
    ASSERT_NE(thread, nullptr) << "thread " << i;
    threads.push_back(thread);
  }
  EXPECT_EQ(counter.runs.load(), 0);
  for (ParkedThread* thread : threads) ResumeParkedThread(thread);
  for (ParkedThread* thread : threads) CloseParkedThread(thread);
  EXPECT_EQ(counter.runs.load(), kCount);
}

TEST(TickCount, FollowsASleepWithinTheTimerGranularity) {
  const std::uint32_t before = TickCount();
  SleepMs(200);
  const std::uint32_t passed = TickCount() - before;
  EXPECT_GE(passed, 180u);
  EXPECT_LT(passed, 5000u);
}

void Spin(void* context) {
  const auto* stop = static_cast<std::atomic<bool>*>(context);
  while (!stop->load(std::memory_order_relaxed)) {
  }
}

TEST(ProcessTimes, GrowWithASpinningThread) {
  ProcessTimes before;
  ASSERT_TRUE(ReadProcessTimes(before));
  std::atomic<bool> stop{false};
  ParkedThread* thread = CreateParkedThread(Spin, &stop);
  ASSERT_NE(thread, nullptr);
  ResumeParkedThread(thread);
  SleepMs(300);
  stop = true;
  CloseParkedThread(thread);
  ProcessTimes after;
  ASSERT_TRUE(ReadProcessTimes(after));
  const std::uint64_t used = (after.kernel + after.user) - (before.kernel + before.user);
  EXPECT_GT(used, 1000000u);  // 100 ms of the 300 ms, in 100 ns units
}

// Only the levels a thread can always take and leave again: no real-time level runs
// on a real thread here.
TEST(ThreadPriority, LowerLevelsCanBeSetOnAThreadOfItsOwn) {
  std::atomic<int> accepted{0};
  std::thread worker([&] {
    for (const int priority : {-1, -2, -15}) accepted += SetCurrentThreadPriority(priority) ? 1 : 0;
  });
  worker.join();
  EXPECT_EQ(accepted.load(), 3);
}

TEST(EmergencyExit, EndsTheProcessWithCode1AtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::atomic<bool> stop{false};
        ParkedThread* thread = CreateParkedThread(Spin, &stop);
        if (thread != nullptr) ResumeParkedThread(thread);
        EmergencyExit();
      },
      ::testing::ExitedWithCode(1), "");
}

#if defined(__linux__)
void ReadSigintBlocked(void* context) {
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  *static_cast<int*>(context) = sigismember(&mask, SIGINT);
}

// Ctrl+C must reach the thread that handles it, never a worker.
TEST(ParkedThread, BlocksEverySignal) {
  int blocked = -1;
  ParkedThread* thread = CreateParkedThread(ReadSigintBlocked, &blocked);
  ASSERT_NE(thread, nullptr);
  CloseParkedThread(thread);
  EXPECT_EQ(blocked, 1);
}

TEST(ThreadLimits, LinuxNamesItsLimitsWithTheirUse) {
  const std::vector<ThreadLimit> limits = ReadThreadLimits();
  bool pid_max = false;
  for (const ThreadLimit& limit : limits) {
    EXPECT_GT(limit.limit, 0u) << limit.name;
    ASSERT_TRUE(limit.used.has_value()) << limit.name;
    EXPECT_GT(*limit.used, 0u) << limit.name;
    pid_max = pid_max || limit.name == "kernel.pid_max";
  }
  EXPECT_TRUE(pid_max);
  EXPECT_GE(limits.size(), 3u);
}
#endif

}  // namespace
}  // namespace velkaro::platform
