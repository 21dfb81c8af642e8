#include "engine/run_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/run_outcome.h"
#include "fake_run_host.h"

namespace velkaro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Threads that never run their body: a fake thread lives from its creation until it
// has been resumed and its worker would end (the run flag is down or its deadline has
// passed), unless the test keeps it alive.
class FakeEnginePlatform : public TEnginePlatform {
 public:
  struct Thread {
    TStressParams params;  // a copy: the controller frees the worker once it has ended
    bool resumed = false;
    bool closed = false;
  };

  std::uint32_t TickCount() override {
    const std::uint32_t now = now_;
    now_ += advance_per_read;
    return now;
  }
  void SleepMs(std::uint32_t ms) override {
    sleeps.push_back(ms);
    now_ += sleep_jump != 0 ? sleep_jump : ms;
  }
  bool SetProcessPriorityClass(std::uint32_t value) override {
    classes.push_back(value);
    return !refuse_priorities;
  }
  bool SetCurrentThreadPriority(int value) override {
    priorities.push_back(value);
    return !refuse_priorities;
  }
  bool PreferShortTimeSlice(bool on) override {
    slices.push_back((on ? "on after " : "off after ") + std::to_string(threads.size()));
    return true;
  }
  TThreadHandle CreateParkedThread(void (*)(void*), void* context) override {
    if (fail_at_creation != 0 && static_cast<int>(threads.size()) + 1 == fail_at_creation) return 0;
    threads.push_back({static_cast<const TStressThread*>(context)->Params()});
    if (after_creation) after_creation(static_cast<int>(threads.size()));
    return threads.size();  // the position + 1, never 0
  }
  void CloseStartGate() override {
    gate_open = false;
    gate_events.push_back("close");
  }
  void OpenStartGate(std::int32_t waiting) override {
    gate_open = true;
    gate_events.push_back("open " + std::to_string(waiting) + " after " +
                          std::to_string(Resumed()) + " resumed");
  }
  void ResumeThread(TThreadHandle handle) override {
    At(handle).resumed = true;
    if (after_resume) after_resume(Resumed());
  }
  bool ThreadIsAlive(TThreadHandle handle) override {
    const Thread& t = At(handle);
    if (keep_alive || !t.resumed || !gate_open) return true;
    const TStressParams& p = t.params;
    return p.FPIsRunEmulation->load() && now_ <= p.FStressLastTime;
  }
  void CloseThread(TThreadHandle handle) override {
    Thread& t = At(handle);
    EXPECT_FALSE(t.closed) << "closed twice";
    t.resumed = true;
    t.closed = true;
  }

  Thread& At(TThreadHandle handle) { return threads.at(handle - 1); }
  int Resumed() const {
    int n = 0;
    for (const auto& t : threads) n += t.resumed ? 1 : 0;
    return n;
  }
  int Closed() const {
    int n = 0;
    for (const auto& t : threads) n += t.closed ? 1 : 0;
    return n;
  }
  std::uint32_t Now() const { return now_; }

  std::uint32_t now_ = 5000;
  std::uint32_t advance_per_read = 0;
  std::uint32_t sleep_jump = 0;
  int fail_at_creation = 0;
  bool refuse_priorities = false;
  bool keep_alive = false;
  // Called with the number of threads made or resumed so far.
  std::function<void(int)> after_creation, after_resume;
  bool gate_open = true;
  std::vector<std::string> gate_events;
  std::vector<Thread> threads;
  std::vector<std::uint32_t> sleeps, classes;
  std::vector<std::string> slices;
  std::vector<int> priorities;
};

class RunControllerTest : public ::testing::Test {
 protected:
  RunControllerTest() {
    host.clock = [this] { return platform.Now(); };
  }

  bool Run(std::int32_t threads, std::uint32_t time_ms, std::int32_t priority_index = 3,
           std::uint32_t priority_class = 0x20) {
    return controller.RunStress(priority_class, threads, priority_index, time_ms,
                                TStressStyle::ssMono, error, started);
  }

  FakeEnginePlatform platform;
  FakeRunHost host;
  TRunController controller{host, platform};
  std::u16string error;
  std::int32_t started = -1;
};

TEST_F(RunControllerTest, ZeroThreadsRunTheWholeTimeWithProgressEachSecond) {
  ASSERT_TRUE(Run(0, 3000));
  // The loop sleeps 10 ms per pass; progress fires once more than 1000 ms have passed.
  EXPECT_THAT(host.titles, ElementsAre("33%", "67%"));
  EXPECT_THAT(host.positions, ElementsAre(0u, 1010u, 2010u));
  EXPECT_EQ(host.progress_max, 3000u);
  EXPECT_EQ(host.taskbar.size(), 2u);
  EXPECT_EQ(host.usage_starts, 1);
  EXPECT_EQ(host.usage_samples, 2);
  EXPECT_EQ(platform.Now() - 5000, 3000u);
  EXPECT_EQ(started, 0);
  EXPECT_TRUE(error.empty());
  EXPECT_THAT(host.messages, IsEmpty());
  EXPECT_EQ(host.stop_clicks, 0);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reTimeOver);
  EXPECT_FALSE(controller.IsRunEmulation());
}

// A pass that comes late makes its own update late, not every later one; seconds without
// any pass are skipped.
TEST_F(RunControllerTest, ALatePassDoesNotPushTheLaterUpdatesBack) {
  host.on_messages = [this](int pass) {
    if (pass == 90) platform.now_ += 400;    // the next pass comes at 1300 ms
    if (pass == 300) platform.now_ += 1500;  // no pass from 3400 to 4900 ms
  };
  ASSERT_TRUE(Run(0, 6000));
  // Due a second after the previous update came, each later one would move back too.
  EXPECT_THAT(host.positions, ElementsAre(0u, 1300u, 2010u, 3010u, 4900u, 5010u));
}

TEST_F(RunControllerTest, AllWorkersInTheFirstBatchAndEveryOneClosedAfterTheDeadline) {
  ASSERT_TRUE(Run(150, 500, 5, 0x80));
  EXPECT_EQ(started, 150);
  EXPECT_THAT(host.statuses,
              ElementsAre("Threads started: 100", "CPU STRESSING!!!",
                          "Threads left stop: 150", "Threads left stop: 0"));
  EXPECT_EQ(platform.Closed(), 150);
  EXPECT_THAT(platform.classes, ElementsAre(0x80u));
  EXPECT_THAT(platform.priorities, ElementsAre(2));
  for (const auto& t : platform.threads) {
    EXPECT_EQ(t.params.FStressLastTime, 5000u + 500u);
    EXPECT_EQ(t.params.FMainPriority, 2);
    EXPECT_EQ(t.params.FCurMainPriorityIndex, 5);
  }
  EXPECT_EQ(host.busy_cursor, 1);
  EXPECT_EQ(host.restored_cursor, 1);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reTimeOver);
  // Only the controller's thread gets the short slice: workers inherit the setting that
  // is in force when they are created.
  EXPECT_THAT(platform.slices, ElementsAre("off after 0", "on after 150", "off after 150"));
  EXPECT_THAT(platform.gate_events, ElementsAre("close", "open 150 after 150 resumed"));
}

// Released workers wait at the gate until the last one is released, however many
// batches the release takes, and then all go on with one opening.
TEST_F(RunControllerTest, WorkersGoOnTogetherOnceTheLastIsReleased) {
  platform.advance_per_read = 1;  // a batch is cut after 200 ms: about 100 workers
  std::vector<int> resumed_at_passes;
  std::vector<std::size_t> gate_events_at_passes;
  host.on_messages = [&](int) {
    resumed_at_passes.push_back(platform.Resumed());
    gate_events_at_passes.push_back(platform.gate_events.size());
  };
  ASSERT_TRUE(Run(1000, 60000 * 10));
  ASSERT_GE(platform.gate_events.size(), 2u);
  EXPECT_EQ(platform.gate_events[0], "close");
  EXPECT_EQ(platform.gate_events[1], "open 1000 after 1000 resumed");
  EXPECT_EQ(platform.gate_events.size(), 2u);  // not again at the end of the run
  // The release took several message passes, and the gate stayed closed throughout.
  bool passes_while_releasing = false;
  for (std::size_t i = 0; i < resumed_at_passes.size(); ++i) {
    if (resumed_at_passes[i] > 0 && resumed_at_passes[i] < 1000) {
      passes_while_releasing = true;
      EXPECT_EQ(gate_events_at_passes[i], 1u) << "pass " << i;
    }
  }
  EXPECT_TRUE(passes_while_releasing);
  EXPECT_EQ(started, 1000);
}

TEST_F(RunControllerTest, FailingCreationEndsPreparationWithTheOneLineErrorText) {
  platform.fail_at_creation = 4;
  ASSERT_TRUE(Run(10, 60000));
  EXPECT_EQ(error, u"Too many threads! Created: 3.");
  EXPECT_THAT(host.messages, ElementsAre("Too many threads! Created: 3."));
  EXPECT_EQ(host.stop_clicks, 1);
  EXPECT_EQ(started, 0);
  ASSERT_EQ(platform.threads.size(), 3u);
  EXPECT_EQ(platform.Closed(), 3);
  EXPECT_THAT(host.statuses, ElementsAre("Threads left stop: 3", "Threads left stop: 0"));
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reFailed);
#if defined(__linux__)
  EXPECT_FALSE(controller.ThreadLimitsAtFailure().empty());  // read while the workers existed
#endif
}

// Creation refused at the first worker, in the middle of a batch, at the first worker
// of the second batch of 100 and at the very last one: each ends the run with the error
// as one line, every worker that was made is closed, and the next run works in full.
struct CreationFailureCase {
  std::int32_t threads;
  int fail_at;  // 1-based number of the worker whose creation fails
};

class RunControllerCreationFailureTest
    : public RunControllerTest,
      public ::testing::WithParamInterface<CreationFailureCase> {};

TEST_P(RunControllerCreationFailureTest, EndsTheRunCleanlyAndTheNextRunWorks) {
  const CreationFailureCase c = GetParam();
  platform.fail_at_creation = c.fail_at;
  ASSERT_TRUE(Run(c.threads, 60000));
  const std::string text = "Too many threads! Created: " + std::to_string(c.fail_at - 1) + ".";
  EXPECT_EQ(ToUtf8(error), text);
  EXPECT_THAT(host.messages, ElementsAre(text));
  EXPECT_EQ(host.stop_clicks, 1);
  EXPECT_EQ(started, 0);
  ASSERT_EQ(platform.threads.size(), static_cast<std::size_t>(c.fail_at - 1));
  EXPECT_EQ(platform.Closed(), c.fail_at - 1);
  EXPECT_EQ(platform.Resumed(), c.fail_at - 1);  // closing ends a parked worker too
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reFailed);
  EXPECT_FALSE(controller.InRun());
  EXPECT_FALSE(controller.IsRunEmulation());
  EXPECT_EQ(host.restored_cursor, host.busy_cursor);

  platform.fail_at_creation = 0;
  host.messages.clear();
  error.clear();
  ASSERT_TRUE(Run(c.threads, 500));
  EXPECT_TRUE(error.empty());
  EXPECT_THAT(host.messages, IsEmpty());
  EXPECT_EQ(started, c.threads);
  EXPECT_EQ(platform.threads.size(), static_cast<std::size_t>(c.fail_at - 1 + c.threads));
  EXPECT_EQ(platform.Closed(), static_cast<int>(platform.threads.size()));
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reTimeOver);
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLast, RunControllerCreationFailureTest,
                         ::testing::Values(CreationFailureCase{1, 1}, CreationFailureCase{10, 1},
                                           CreationFailureCase{10, 5}, CreationFailureCase{10, 10},
                                           CreationFailureCase{250, 101},
                                           CreationFailureCase{250, 125},
                                           CreationFailureCase{250, 250}));

TEST_F(RunControllerTest, StopDuringPreparationReleasesTheCreatedWorkersQuietly) {
  platform.advance_per_read = 7;  // so that the preparation pumps messages
  host.on_messages = [this](int pass) {
    if (pass == 2) controller.Stop();
  };
  ASSERT_TRUE(Run(1000, 60000));
  // Messages are processed after more than 100 ms (the 15th and 30th worker), the
  // counter is shown after more than 175 ms.
  EXPECT_EQ(host.message_passes, 2);
  EXPECT_EQ(platform.threads.size(), 30u);
  EXPECT_EQ(platform.Closed(), static_cast<int>(platform.threads.size()));
  EXPECT_EQ(started, 0);
  EXPECT_THAT(host.messages, IsEmpty());
  EXPECT_EQ(host.stop_clicks, 0);
  EXPECT_THAT(host.statuses, ElementsAre("Threads prepared: 30", "Threads left stop: 30",
                                         "Threads left stop: 0"));
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reStopped);
}

// A stop that comes between two message passes, as from a signal handler, with the
// clock standing still so that no pass falls due.
struct StopBetweenPassesCase {
  const char* name;
  std::int32_t threads;
  int at_creation;  // the stop comes with this creation, or
  int at_resume;    // with this release
  std::size_t created;
};

void PrintTo(const StopBetweenPassesCase& c, std::ostream* os) { *os << c.name; }

class RunControllerStopBetweenPasses
    : public RunControllerTest,
      public ::testing::WithParamInterface<StopBetweenPassesCase> {};

TEST_P(RunControllerStopBetweenPasses, EndsThePhaseAtOnceAndLetsNoWorkerRun) {
  const StopBetweenPassesCase& c = GetParam();
  platform.after_creation = [&](int n) {
    if (n == c.at_creation) controller.Stop();
  };
  platform.after_resume = [&](int n) {
    if (n == c.at_resume) controller.Stop();
  };
  ASSERT_TRUE(Run(c.threads, 60000));
  EXPECT_EQ(platform.threads.size(), c.created);
  EXPECT_EQ(platform.Closed(), static_cast<int>(c.created));
  // The gate opens only for the workers to end.
  EXPECT_THAT(platform.gate_events,
              ElementsAre("close", "open 0 after " + std::to_string(c.created) + " resumed"));
  EXPECT_EQ(started, 0);
  EXPECT_EQ(controller.LastRunStarted(), 0);
  EXPECT_EQ(host.message_passes, 0);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reStopped);
}

INSTANTIATE_TEST_SUITE_P(
    Phases, RunControllerStopBetweenPasses,
    ::testing::Values(StopBetweenPassesCase{"FirstCreation", 1000, 1, 0, 1},
                      StopBetweenPassesCase{"MidPreparation", 1000, 10, 0, 10},
                      StopBetweenPassesCase{"LastCreation", 1000, 1000, 0, 1000},
                      StopBetweenPassesCase{"MidRelease", 300, 0, 150, 300},
                      StopBetweenPassesCase{"LastRelease", 300, 0, 300, 300}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST_F(RunControllerTest, StopDuringTheRunEndsTheLoopAtItsNextPass) {
  host.on_messages = [this](int pass) {
    if (pass == 50) controller.Stop();
  };
  ASSERT_TRUE(Run(4, 60000));
  EXPECT_EQ(started, 4);
  EXPECT_EQ(platform.Closed(), 4);
  // 50 loop passes of 10 ms, then one stop-wait pass.
  EXPECT_EQ(platform.Now() - 5000, 500u);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reStopped);
}

TEST_F(RunControllerTest, StartRequestDuringARunDoesNotBeginASecondRun) {
  bool inner = true;
  host.on_messages = [&](int pass) {
    if (pass != 3) return;
    std::u16string inner_error;
    std::int32_t inner_started = 0;
    inner = controller.RunStress(0x20, 5, 3, 1000, TStressStyle::ssMono, inner_error, inner_started);
  };
  ASSERT_TRUE(Run(2, 1000));
  EXPECT_FALSE(inner);
  EXPECT_EQ(platform.threads.size(), 2u);
  EXPECT_EQ(host.usage_starts, 1);
  EXPECT_FALSE(controller.InRun());
  EXPECT_TRUE(Run(1, 100));  // free again once the run has returned
}

TEST_F(RunControllerTest, DeadlineWhileReleasingLetsNoWorkerRunAndEndsThemAll) {
  // Each tick read moves 40 ms: a batch is cut after 200 ms, the deadline comes first.
  platform.advance_per_read = 40;
  ASSERT_TRUE(Run(100, 300));
  // The released workers were still at the gate: it opens only for them to end.
  EXPECT_EQ(started, 0);
  EXPECT_EQ(controller.LastRunStarted(), 0);
  EXPECT_EQ(controller.LastRunRequested(), 100);
  EXPECT_THAT(platform.gate_events, ElementsAre("close", "open 0 after 100 resumed"));
  EXPECT_EQ(platform.Resumed(), 100);
  EXPECT_EQ(platform.Closed(), 100);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reTimeOver);
}

TEST_F(RunControllerTest, NegativeCountCreatesNothingAndShowsNoMessage) {
  ASSERT_TRUE(Run(-5, 1000));
  EXPECT_THAT(platform.threads, IsEmpty());
  EXPECT_EQ(started, 0);
  EXPECT_THAT(host.messages, IsEmpty());
  EXPECT_EQ(host.stop_clicks, 1);
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reFailed);
}

// elapsed * 100 exceeds 32 bits once elapsed passes about 42.9 million ms.
TEST_F(RunControllerTest, TitlePercentOfLongRunsDoesNotOverflow) {
  platform.sleep_jump = 0x10000000u;
  ASSERT_TRUE(Run(0, 0xF0000000u));
  EXPECT_THAT(host.titles, ElementsAre("6%", "13%", "20%", "26%", "33%", "40%", "46%", "53%",
                                       "60%", "66%", "73%", "80%", "86%", "93%"));
}

TEST_F(RunControllerTest, RefusedPrioritiesAreReportedOnceAndTheRunGoesOn) {
  platform.refuse_priorities = true;
  ASSERT_TRUE(Run(2, 100, 6, 0x100));
  EXPECT_THAT(host.refused, ElementsAre("class 256", "thread 15"));
  EXPECT_EQ(started, 2);
}

TEST_F(RunControllerTest, QuittingDuringTheStopWaitReturnsWithoutWaitingFurther) {
  platform.keep_alive = true;
  host.on_messages = [this](int pass) {
    if (pass == 20) controller.Stop();
    if (controller.InRun() && !controller.IsRunEmulation() && platform.Now() > 6000) {
      host.terminated = true;
    }
  };
  ASSERT_TRUE(Run(3, 60000));
  EXPECT_EQ(controller.LastRunEnd(), TRunEnd::reTerminated);
  EXPECT_EQ(platform.Closed(), 0);
  EXPECT_EQ(host.restored_cursor, 1);
  // The workers still run; the controller keeps their records until they can be joined.
  platform.keep_alive = false;
  host.terminated = false;
  ASSERT_TRUE(Run(0, 10));
  EXPECT_EQ(platform.Closed(), 3);
}

struct CountCase {
  const char* name;
  std::int32_t threads;
  std::uint32_t time_ms;
  void (*setup)(FakeEnginePlatform&);
  std::int32_t requested;
  bool all_started;
};

void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

class RunControllerCounts : public RunControllerTest,
                            public ::testing::WithParamInterface<CountCase> {};

// A run that ends before every worker was released reports it, whatever ended it.
TEST_P(RunControllerCounts, RequestedAndStartedTellAShortfall) {
  const CountCase& c = GetParam();
  c.setup(platform);
  ASSERT_TRUE(Run(c.threads, c.time_ms));
  EXPECT_EQ(controller.LastRunRequested(), c.requested);
  EXPECT_EQ(controller.LastRunStarted(), started);
  EXPECT_EQ(started == c.requested, c.all_started) << started << " of " << c.requested;
  EXPECT_EQ(FellShort(controller.LastRunStarted(), controller.LastRunRequested()), !c.all_started);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunControllerCounts,
    ::testing::Values(
        CountCase{"AllInTheFirstBatch", 150, 500, [](FakeEnginePlatform&) {}, 150, true},
        CountCase{"NoThreads", 0, 100, [](FakeEnginePlatform&) {}, 0, true},
        CountCase{"DeadlineWhileReleasing", 100, 300,
                  [](FakeEnginePlatform& p) { p.advance_per_read = 40; }, 100, false},
        CountCase{"CreationFailed", 10, 60000,
                  [](FakeEnginePlatform& p) { p.fail_at_creation = 4; }, 10, false},
        CountCase{"NegativeCount", -5, 1000, [](FakeEnginePlatform&) {}, 0, true}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST_F(RunControllerTest, ASecondRunForgetsTheFirstOnesCounts) {
  platform.advance_per_read = 40;
  ASSERT_TRUE(Run(100, 300));
  ASSERT_LT(controller.LastRunStarted(), 100);
  platform.advance_per_read = 0;
  ASSERT_TRUE(Run(3, 100));
  EXPECT_EQ(controller.LastRunRequested(), 3);
  EXPECT_EQ(controller.LastRunStarted(), 3);
}

TEST(FulfilledThreadsText, NamesTheRequestOnlyWhenTheRunFellShort) {
  struct Case {
    std::int32_t started, requested;
    const char* text;
  };
  const Case cases[] = {
      {10000, 10000, "Fulfilled threads: 10,000"},
      {0, 0, "Fulfilled threads: 0"},
      {0, -5, "Fulfilled threads: 0"},
      {1629, 10000, "Fulfilled threads: 1,629 / 10,000"},
      {0, 7, "Fulfilled threads: 0 / 7"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(FulfilledThreadsText(c.started, c.requested, u",")), c.text)
        << c.started << " of " << c.requested;
  }
}

}  // namespace
}  // namespace velkaro
