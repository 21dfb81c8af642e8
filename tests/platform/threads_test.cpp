#include "platform/threads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
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

// Threads released at a closed gate wait there; one opening lets all of them go on, and
// the gate closed again holds the threads of the next start.
TEST(StartGate, ReleasedThreadsWaitUntilItOpensAndAllGoOnTogether) {
  constexpr int kCount = 200;
  TStartGate gate;
  Counter counter;
  for (int start = 0; start < 2; ++start) {
    gate.Close();
    counter.runs = 0;
    std::vector<ParkedThread*> threads;
    for (int i = 0; i < kCount; ++i) {
      ParkedThread* thread = CreateParkedThread(CountAndHold, &counter, nullptr, &gate);
      ASSERT_NE(thread, nullptr) << "thread " << i;
      threads.push_back(thread);
    }
    for (ParkedThread* thread : threads) ResumeParkedThread(thread);
    SleepMs(100);
    EXPECT_EQ(counter.runs.load(), 0) << "start " << start;
    EXPECT_TRUE(std::all_of(threads.begin(), threads.end(), ParkedThreadIsAlive));
    // The first start lets the woken threads go on together, the second at once (as
    // for threads that are only to end).
    gate.Open(start == 0 ? kCount : 0);
    EXPECT_TRUE(WaitFor([&] { return counter.runs.load() == kCount; })) << counter.runs.load();
    for (ParkedThread* thread : threads) CloseParkedThread(thread);
  }
}

// A thread that reaches an open gate does not wait at all.
TEST(StartGate, AThreadReleasedAfterTheOpeningGoesOnAtOnce) {
  TStartGate gate;
  gate.Close();
  gate.Open(1);
  Counter counter;
  ParkedThread* thread = CreateParkedThread(CountAndHold, &counter, nullptr, &gate);
  ASSERT_NE(thread, nullptr);
  ResumeParkedThread(thread);
  EXPECT_TRUE(WaitFor([&] { return counter.runs.load() == 1; }));
  CloseParkedThread(thread);
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

// The reading grows with a spinning thread, and never by more than the processors
// could have run in the time measured. The spin lasts until it shows rather than a
// fixed time, so that other load on the machine cannot fail the test.
TEST(ProcessTimes, GrowWithASpinningThreadAndNoFasterThanTheProcessorsRun) {
  constexpr std::uint64_t kWanted = 1000000;  // 100 ms in 100 ns units
  const auto units = [](const ProcessTimes& t) { return t.kernel + t.user; };
  ProcessTimes before;
  ASSERT_TRUE(ReadProcessTimes(before));
  const auto t0 = std::chrono::steady_clock::now();
  std::atomic<bool> stop{false};
  ParkedThread* thread = CreateParkedThread(Spin, &stop);
  ASSERT_NE(thread, nullptr);
  ResumeParkedThread(thread);
  ProcessTimes now;
  const bool grew = WaitFor([&] { return ReadProcessTimes(now) && units(now) - units(before) >= kWanted; },
                            30000);
  stop = true;
  CloseParkedThread(thread);
  ProcessTimes after;
  ASSERT_TRUE(ReadProcessTimes(after));
  const auto wall = std::chrono::steady_clock::now() - t0;
  EXPECT_TRUE(grew);
  const std::uint64_t used = units(after) - units(before);
  const auto wall_units = static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(wall).count() * 10);
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  // One clock tick of slack for the readings' granularity.
  EXPECT_LE(used, wall_units * processors + 100000);
}

#if defined(__linux__)
void ReadZeros(void* context) {
  const auto* stop = static_cast<std::atomic<bool>*>(context);
  std::vector<char> buffer(1 << 20);
  FILE* zero = std::fopen("/dev/zero", "rb");
  if (zero == nullptr) return;
  while (!stop->load(std::memory_order_relaxed)) {
    if (read(fileno(zero), buffer.data(), buffer.size()) <= 0) break;
  }
  std::fclose(zero);
}

// The reading comes from the totals the kernel keeps for the process, which must still
// tell user time from system time: a thread spinning in user mode adds to the first, one
// that reads /dev/zero (copying in the kernel) mostly to the second.
TEST(ProcessTimes, TellUserTimeFromSystemTime) {
  struct Case {
    const char* name;
    void (*body)(void*);
    bool system;
  };
  for (const Case c : {Case{"spinning", Spin, false}, Case{"reading /dev/zero", ReadZeros, true}}) {
    ProcessTimes before;
    ASSERT_TRUE(ReadProcessTimes(before));
    std::atomic<bool> stop{false};
    ParkedThread* thread = CreateParkedThread(c.body, &stop);
    ASSERT_NE(thread, nullptr);
    ResumeParkedThread(thread);
    ProcessTimes now;
    const bool grew = WaitFor(
        [&] { return ReadProcessTimes(now) && now.user + now.kernel - before.user - before.kernel >= 3000000; },
        60000);  // 300 ms
    stop = true;
    CloseParkedThread(thread);
    ASSERT_TRUE(grew) << c.name;
    const std::uint64_t user = now.user - before.user;
    const std::uint64_t system = now.kernel - before.kernel;
    if (c.system) {
      EXPECT_GT(system, user) << c.name << ": user " << user << ", system " << system;
    } else {
      EXPECT_GT(user, 4 * system) << c.name << ": user " << user << ", system " << system;
    }
  }
}
#endif

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

// Every cell of the class and priority table on a fresh thread of an unprivileged
// process: the cells an ordinary user may take (a nice value at or above the one the
// thread starts with, and the idle policy) are taken exactly, the others are refused
// with the part that is to blame. Run in a child that gives up root and the limits.
std::string CheckRunPrioritiesAsUnprivilegedUser() {
  const rlimit none{0, 0};
  if (setrlimit(RLIMIT_NICE, &none) != 0 || setrlimit(RLIMIT_RTPRIO, &none) != 0) {
    return "cannot lower the limits\n";
  }
  if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
                         setresuid(65534, 65534, 65534) != 0)) {
    return "cannot give up root\n";
  }
  errno = 0;
  const int start_nice = getpriority(PRIO_PROCESS, 0);
  std::string failures;
  for (const std::uint32_t win32_class : {0x40u, 0x4000u, 0x20u, 0x8000u, 0x80u, 0x100u}) {
    for (const int priority : {-15, -2, -1, 0, 1, 2, 15}) {
      const TLinuxSchedSetting cell = MapLinuxPriority(win32_class, priority);
      const bool may = cell.policy == TLinuxPolicy::lpIdle ||
                       (cell.policy == TLinuxPolicy::lpOther && cell.nice >= start_nice);
      TPrioritiesApplied applied;
      int policy = -1;
      int nice = 0;
      std::thread([&] {
        applied = SetRunPriorities(win32_class, priority);
        policy = sched_getscheduler(0);
        nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
      }).join();
      char where[64];
      std::snprintf(where, sizeof where, "class 0x%x priority %d: ", win32_class, priority);
      const bool granted = applied.process_class && applied.thread_priority;
      if (granted != may) {
        failures += where + std::string(may ? "refused\n" : "granted\n");
      } else if (may && cell.policy == TLinuxPolicy::lpOther &&
                 (policy != SCHED_OTHER || nice != cell.nice)) {
        failures += where + std::string("runs at nice ") + std::to_string(nice) + "\n";
      } else if (may && cell.policy == TLinuxPolicy::lpIdle && policy != SCHED_IDLE) {
        failures += where + std::string("not idle\n");
      } else if (!may && (policy != SCHED_OTHER || nice != start_nice)) {
        failures += where + std::string("changed although refused\n");
      } else if (!may && applied.process_class == applied.thread_priority) {
        failures += where + std::string("names no single refused part\n");
      }
    }
  }
  return failures;
}

TEST(RunPriorities, AnUnprivilegedUserGetsEveryCellTheSystemAllows) {
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipe_ends[0]);
    const std::string failures = CheckRunPrioritiesAsUnprivilegedUser();
    const ssize_t written = write(pipe_ends[1], failures.data(), failures.size());
    _exit(written == static_cast<ssize_t>(failures.size()) ? 0 : 2);
  }
  close(pipe_ends[1]);
  std::string failures;
  char buffer[512];
  for (ssize_t n; (n = read(pipe_ends[0], buffer, sizeof buffer)) > 0;) {
    failures.append(buffer, static_cast<std::size_t>(n));
  }
  close(pipe_ends[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(failures, "");
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
