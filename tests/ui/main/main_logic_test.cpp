#include "ui/main/main_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fake_main_view.h"
#include "ui/main/run_inputs.h"

namespace velkaro {
namespace {

constexpr auto kNone = TStressCurState::scsNone;
constexpr auto kWait = TStressCurState::scsWaitStart;
constexpr auto kDoing = TStressCurState::scsDoing;

const std::string kIdleCaption = "Velkaro - Emulator of CPU load";
// The button face moved 30 % towards orange, each step truncated towards zero:
// 240 + 4.5, 240 - 33.6, 240 - 72.
constexpr Color kRunColor = RgbColor(244, 207, 168);

// What a state shows; compared as a whole so that a failure names every difference.
struct Look {
  TStressCurState state = kNone;
  std::string caption, app_title, state_text, do_caption;
  int do_image = 0;
  TDoAction do_action = TDoAction::bGoButClick_Start;
  int inputs_enabled = 1;
  std::set<std::uintptr_t> timers;
  std::optional<std::pair<std::uint64_t, std::uint64_t>> taskbar;
  Color window_color = kTestBtnFace;
  int state_left = kTestProgressLeft;

  bool operator==(const Look&) const = default;
};

void PrintTo(const Look& l, std::ostream* os) {
  *os << "{state " << static_cast<int>(l.state) << ", caption \"" << l.caption << "\", title \""
      << l.app_title << "\", lbState \"" << l.state_text << "\", bDo \"" << l.do_caption
      << "\" image " << l.do_image << " action " << static_cast<int>(l.do_action)
      << ", inputs " << l.inputs_enabled << ", timers {";
  for (auto t : l.timers) *os << t << ' ';
  *os << "}, taskbar ";
  if (l.taskbar) {
    *os << l.taskbar->first << '/' << l.taskbar->second;
  } else {
    *os << "none";
  }
  *os << ", colour " << std::hex << l.window_color << std::dec << ", lbState left " << l.state_left
      << "}";
}

Look Idle(std::string state_text) {
  Look l;
  l.caption = l.app_title = kIdleCaption;
  l.state_text = std::move(state_text);
  l.do_caption = "Run CPU Stressing!";
  return l;
}

Look Waiting(std::uint64_t elapsed, std::uint64_t total) {
  Look l;
  l.state = kWait;
  l.caption = l.app_title = l.state_text = "About to start stressing ...";
  l.do_caption = "Stop";
  l.do_image = 1;
  l.do_action = TDoAction::bGoButClick_Stop;
  l.inputs_enabled = 0;
  l.timers = {kStartPauseTimer};
  l.taskbar = std::make_pair(elapsed, total);
  return l;
}

Look Running() {
  Look l;
  l.state = kDoing;
  l.caption = l.app_title = "CPU STRESSING!!!";
  l.state_text = "Threads started: 0";
  l.do_caption = "Stop";
  l.do_image = 1;
  l.do_action = TDoAction::bGoButClick_Stop;
  l.inputs_enabled = 0;
  l.window_color = kRunColor;
  return l;
}

class MainLogicTest : public ::testing::Test {
 public:
  MainLogicTest() {
    clock.log = &view.log;
    logic.SetEmergencyClose([this] { ++emergency_closes; });
  }

  // The window's construction: idle before the first run.
  void Construct() {
    logic.SetCurState(kNone);
    view.log.clear();
  }

  Look Snapshot() const {
    Look l;
    l.state = logic.FCurState();
    l.caption = view.caption;
    l.app_title = view.app_title;
    l.state_text = view.state_text;
    l.do_caption = view.do_caption;
    l.do_image = view.do_image;
    l.do_action = view.do_action;
    l.inputs_enabled = view.InputsEnabled();
    for (const auto& [id, period] : view.timers) l.timers.insert(id);
    l.taskbar = view.taskbar;
    l.window_color = view.window_color;
    l.state_left = view.state_left;
    return l;
  }

  // Starts a countdown of `seconds` from idle.
  void StartCountdown(int seconds) {
    view.SetInput(TMainInput::edStPause, FromUtf8(std::to_string(seconds)));
    logic.bGoButClick_Start();
  }

  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(view.log.begin(), view.log.end(), entry));
  }

  FakeMainView view;
  FakeMainClock clock;
  FakeUsageSource source;
  FakeMeterHost meter_host{view.log};
  TUsageMeter meter{source, meter_host, 16, u"."};
  FakeRunner runner;
  TMainLogic logic{view, meter, clock, u",", &runner};
  int emergency_closes = 0;
  std::optional<Look> in_run;  // what the window showed when RunStress began
};

TEST_F(MainLogicTest, BeforeTheFirstRunTheIdleStatusIsEmpty) {
  Construct();
  EXPECT_EQ(Snapshot(), Idle(""));
  EXPECT_EQ(logic.FTotalThreadsRunedCount(), -1);
  EXPECT_EQ(view.flashes, 0);  // the window already has the button-face colour
}

// One row per transition: bring the window into the row's state, fire the event, and
// compare what the window shows, either after the event or when the run begins.
struct TransitionCase {
  const char* name;
  std::function<void(MainLogicTest&)> arrange;
  std::function<void(MainLogicTest&)> event;
  bool look_inside_run;
  Look expected;
  int runs;
};

class TransitionTest : public MainLogicTest,
                       public ::testing::WithParamInterface<TransitionCase> {};

TEST_P(TransitionTest, ShowsTheStateOfTheTransition) {
  const TransitionCase& c = GetParam();
  Construct();
  runner.during = [this](std::u16string&, std::int32_t&) {
    if (!in_run) in_run = Snapshot();
  };
  c.arrange(*this);
  c.event(*this);
  EXPECT_EQ(c.look_inside_run ? in_run.value_or(Look{}) : Snapshot(), c.expected);
  EXPECT_EQ(static_cast<int>(runner.runs.size()), c.runs);
}

void Nothing(MainLogicTest&) {}
void Countdown(MainLogicTest& t) { t.StartCountdown(5); }
void Start(MainLogicTest& t) { t.logic.bGoButClick_Start(); }
void PressEsc(MainLogicTest& t) { t.logic.KeyDown(kKeyEscape, {}); }

Look Held() {
  Look l = Idle("");
  l.timers = {kMouseUpTimer};
  return l;
}

Look WaitingForMouseUp() {
  Look l = Waiting(0, 0);
  l.timers = {kMouseUpTimer};
  l.taskbar.reset();
  return l;
}

const TransitionCase kTransitions[] = {
    {"IdleStartWithPauseCountsDown", Nothing, Countdown, false, Waiting(0, 5000), 0},
    {"IdleStartWithoutPauseRuns", Nothing, Start, true, Running(), 1},
    {"IdleStartWithoutPauseWaitsForTheButton",
     [](MainLogicTest& t) { t.view.left_button_down = true; }, Start, false, Held(), 0},
    {"PauseOverRuns", Countdown,
     [](MainLogicTest& t) {
       t.clock.now += 5000;
       t.logic.OnTimer(kStartPauseTimer);
     },
     true, Running(), 1},
    {"PauseOverWaitsForTheButton", Countdown,
     [](MainLogicTest& t) {
       t.view.left_button_down = true;
       t.clock.now += 5000;
       t.logic.OnTimer(kStartPauseTimer);
     },
     false, WaitingForMouseUp(), 0},
    {"EscDuringCountdownReturnsToIdle", Countdown, PressEsc, false, Idle("Fulfilled threads: 0"), 0},
    {"StopDuringCountdownReturnsToIdle", Countdown,
     [](MainLogicTest& t) { t.logic.bGoButClick_Stop(); }, false, Idle("Fulfilled threads: 0"), 0},
    {"EscWhileWaitingForTheButtonReturnsToIdle",
     [](MainLogicTest& t) {
       t.view.left_button_down = true;
       Countdown(t);
       t.clock.now += 5000;
       t.logic.OnTimer(kStartPauseTimer);
     },
     PressEsc, false, Idle("Fulfilled threads: 0"), 0},
    {"RunOverReturnsToIdle",
     [](MainLogicTest& t) {
       t.runner.during = [](std::u16string&, std::int32_t& started) { started = 4; };
     },
     Start, false, Idle("Fulfilled threads: 4"), 1},
    {"EscDuringRunReturnsToIdle",
     [](MainLogicTest& t) {
       t.runner.during = [&t](std::u16string&, std::int32_t& started) {
         started = 3;
         EXPECT_TRUE(t.logic.KeyDown(kKeyEscape, {}));
         t.in_run = t.Snapshot();
       };
     },
     Start, true, Idle("Fulfilled threads: 3 / 4"), 1},
    {"RunOverBeforeAllStartedShowsTheShortfall",
     [](MainLogicTest& t) {
       t.runner.during = [](std::u16string&, std::int32_t& started) { started = 2; };
     },
     Start, false, Idle("Fulfilled threads: 2 / 4"), 1},
    {"FailedPreparationLeavesTheErrorText",
     [](MainLogicTest& t) {
       t.runner.during = [&t](std::u16string& errorText, std::int32_t& started) {
         started = 0;
         t.logic.bGoButClick_Stop();
         errorText = u"Too many threads! Created: 7.";
       };
     },
     Start, false, Idle("Too many threads! Created: 7."), 1},
};

INSTANTIATE_TEST_SUITE_P(MainWindow, TransitionTest, ::testing::ValuesIn(kTransitions),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainLogicTest, RunGetsTheInputsByTheReadingRules) {
  struct Case {
    std::u16string_view time, threads;
    int priority, prior_class, style;
    RunArgs expected;
  };
  const Case cases[] = {
      {u"20", u"8", 3, 2, 0, {0x20, 8, 3, 20000, TStressStyle::ssMono}},
      {u"abc", u"", 0, 0, 6, {0x40, 1, 0, 0, TStressStyle::ssDownUp}},
      {u" 3600 ", u"x", 6, 5, 3, {0x100, 1, 6, 3600000, TStressStyle::ssRollerCoasterRhythm}},
      {u"2147483", u"250000", 1, 3, 4, {0x8000, 100000, 1, 2147483000u, TStressStyle::ssCombRhythm}},
      {u"0", u"-3", 2, -1, 9, {0x20, -3, 2, 0, TStressStyle::ssMono}},
  };
  Construct();
  for (const Case& c : cases) {
    view.SetInput(TMainInput::edTime, std::u16string(c.time));
    view.SetInput(TMainInput::edThreads, std::u16string(c.threads));
    view.items[FakeMainView::Index(TMainInput::cbPriority)] = c.priority;
    view.items[FakeMainView::Index(TMainInput::cbPriorClass)] = c.prior_class;
    view.items[FakeMainView::Index(TMainInput::cbStyle)] = c.style;
    runner.runs.clear();
    logic.bGoButClick_Start();
    ASSERT_EQ(runner.runs.size(), 1u) << ToUtf8(c.time);
    const RunArgs& a = runner.runs[0];
    EXPECT_EQ(a.priorityClass, c.expected.priorityClass) << ToUtf8(c.time);
    EXPECT_EQ(a.threadsCount, c.expected.threadsCount) << ToUtf8(c.time);
    EXPECT_EQ(a.priorityIndex, c.expected.priorityIndex) << ToUtf8(c.time);
    EXPECT_EQ(a.timeMs, c.expected.timeMs) << ToUtf8(c.time);
    EXPECT_EQ(a.style, c.expected.style) << ToUtf8(c.time);
    EXPECT_EQ(logic.FCurState(), kNone);
  }
}

TEST_F(MainLogicTest, PauseTextDecidesWhetherThereIsACountdown) {
  struct Case {
    std::u16string_view pause;
    TStressCurState state;
    std::uint32_t size;
  };
  const Case cases[] = {{u"3", kWait, 3000}, {u"0", kNone, 0}, {u"-5", kNone, 0},
                        {u"abc", kNone, 0},  {u"", kNone, 0}};
  for (const Case& c : cases) {
    Construct();
    runner.runs.clear();
    view.SetInput(TMainInput::edStPause, std::u16string(c.pause));
    logic.bGoButClick_Start();
    EXPECT_EQ(logic.FCurState(), c.state) << ToUtf8(c.pause);
    EXPECT_EQ(runner.runs.size(), c.state == kWait ? 0u : 1u) << ToUtf8(c.pause);
    if (c.state == kWait) {
      EXPECT_EQ(logic.FStartPause_Size(), c.size);
      logic.bGoButClick_Stop();
    }
  }
}

// The logic groups with ",".
constexpr std::u16string_view kDurationRefused = u"Stress time must be from 0 to 2,147,483 seconds";
constexpr std::u16string_view kPauseRefused =
    u"Pause before starting stressing must be at most 2,147,483 seconds";

TEST_F(MainLogicTest, DurationsARunCannotTakeAreRefusedAndTheWindowStaysIdle) {
  struct Case {
    std::u16string_view pause, time, message;
  };
  const Case cases[] = {
      {u"0", u"-1", kDurationRefused},
      {u"0", u"2147484", kDurationRefused},
      {u"0", u"99999999999999999999", kDurationRefused},
      {u"5", u"-1", kDurationRefused},  // refused before the countdown begins
      {u"2147484", u"10", kPauseRefused},
  };
  for (const Case& c : cases) {
    Construct();
    view.compact_checked = true;  // refused before the window compacts
    view.SetInput(TMainInput::edStPause, std::u16string(c.pause));
    view.SetInput(TMainInput::edTime, std::u16string(c.time));
    logic.bGoButClick_Start();
    EXPECT_EQ(Snapshot(), Idle(ToUtf8(c.message))) << ToUtf8(c.time);
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_EQ(Count("compact"), 0);
    EXPECT_EQ(Count("save place"), 0);
  }
}

TEST_F(MainLogicTest, DurationChangedBeforeTheRunBeginsIsRefusedThen) {
  Construct();
  view.compact_checked = true;
  logic.bGoButClick_Start();
  ASSERT_EQ(Count("compact"), 1);
  // The compact animation has ended, the duration is no longer usable.
  view.SetInput(TMainInput::edTime, u"-20");
  logic.StartWithPause();
  EXPECT_EQ(view.state_text, ToUtf8(kDurationRefused));
  EXPECT_EQ(logic.FCurState(), kNone);
  EXPECT_EQ(Count("uncompact"), 1);
  EXPECT_TRUE(runner.runs.empty());
}

TEST_F(MainLogicTest, CountdownDrawsThePieAndTheTaskbarProgressFromTheClock) {
  Construct();
  clock.now = 0xFFFFF800u;  // the pause runs across the wrap of the tick counter
  StartCountdown(4);
  EXPECT_EQ(view.pies, std::vector<double>{0.0});
  EXPECT_EQ(view.timers, (std::map<std::uintptr_t, std::uint32_t>{{kStartPauseTimer, 15}}));
  EXPECT_EQ(Count("chart"), 0);

  clock.now += 1000;
  logic.OnTimer(kStartPauseTimer);
  EXPECT_DOUBLE_EQ(logic.FCurCircleDiagPaintKoef(), 0.25);
  EXPECT_EQ(view.pies.back(), 0.25);
  EXPECT_EQ(view.taskbar, std::make_pair(std::uint64_t{1000}, std::uint64_t{4000}));

  clock.now += 2999;
  logic.OnTimer(kStartPauseTimer);
  EXPECT_DOUBLE_EQ(view.pies.back(), 3999.0 / 4000.0);
  EXPECT_EQ(logic.FCurState(), kWait);

  // The pause is over while the mouse button is still held: the pie stays until the
  // run clears the chart, the taskbar progress goes.
  view.left_button_down = true;
  clock.now += 1;
  logic.OnTimer(kStartPauseTimer);
  EXPECT_EQ(view.pies.size(), 3u);
  EXPECT_EQ(Count("chart"), 1);
  EXPECT_EQ(view.taskbar, std::nullopt);
  EXPECT_EQ(view.timers, (std::map<std::uintptr_t, std::uint32_t>{{kMouseUpTimer, 10}}));
  EXPECT_EQ(logic.FCurState(), kWait);

  for (int i = 0; i < 3; ++i) {
    logic.OnTimer(kMouseUpTimer);
    EXPECT_TRUE(view.TimerActive(kMouseUpTimer));
  }
  EXPECT_TRUE(runner.runs.empty());

  view.left_button_down = false;
  logic.OnTimer(kMouseUpTimer);
  ASSERT_EQ(runner.runs.size(), 1u);
  EXPECT_EQ(runner.runs[0].timeMs, 10000u);
  EXPECT_TRUE(view.timers.empty());
}

TEST_F(MainLogicTest, TimerMessagesQueuedBeforeAStopDoNothing) {
  Construct();
  StartCountdown(2);
  logic.KeyDown(kKeyEscape, {});
  const std::size_t pies = view.pies.size();
  clock.now += 5000;
  logic.OnTimer(kStartPauseTimer);
  EXPECT_EQ(view.pies.size(), pies);
  EXPECT_TRUE(view.timers.empty());

  view.left_button_down = true;
  StartCountdown(2);
  clock.now += 2000;
  logic.OnTimer(kStartPauseTimer);
  ASSERT_TRUE(view.TimerActive(kMouseUpTimer));
  logic.KeyDown(kKeyEscape, {});
  EXPECT_FALSE(view.TimerActive(kMouseUpTimer));
  view.left_button_down = false;
  logic.OnTimer(kMouseUpTimer);
  logic.OnTimer(kStartPauseTimer);
  EXPECT_TRUE(runner.runs.empty());
  EXPECT_EQ(logic.FCurState(), kNone);

  logic.OnTimer(99);  // an id of nobody's
  EXPECT_TRUE(view.timers.empty());
}

TEST_F(MainLogicTest, CountdownStartedDuringAMouseUpWaitIsNotCutShort) {
  Construct();
  view.left_button_down = true;
  logic.bGoButClick_Start();  // no pause: waits for the button, still idle
  ASSERT_TRUE(view.TimerActive(kMouseUpTimer));
  view.SetInput(TMainInput::edStPause, u"5");
  EXPECT_TRUE(logic.KeyDown(kKeyEnter, {}));
  view.left_button_down = false;
  logic.OnTimer(kMouseUpTimer);
  EXPECT_EQ(logic.FCurState(), kWait);
  EXPECT_TRUE(runner.runs.empty());
}

TEST_F(MainLogicTest, StoppedRunShowsTheCountTwiceAndTheFinalOneLast) {
  Construct();
  std::string shown_at_stop;
  runner.during = [this, &shown_at_stop](std::u16string&, std::int32_t& started) {
    started = 5;
    logic.bGoButClick_Stop();
    shown_at_stop = view.state_text;
    EXPECT_TRUE(runner.stopped);
    // The controller goes on releasing and counting while it ends the run.
    started = 1234;
    logic.SetStatusText(u"Threads left stop: 0");
  };
  logic.bGoButClick_Start();
  EXPECT_EQ(shown_at_stop, "Fulfilled threads: 5");
  EXPECT_EQ(view.state_text, "Fulfilled threads: 1,234");
  EXPECT_EQ(logic.FTotalThreadsRunedCount(), 1234);
  // One flash when the run begins, one when it stops; the second return to idle
  // finds the button-face colour already there.
  EXPECT_EQ(view.flashes, 2);
  EXPECT_EQ(view.window_color, kTestBtnFace);
}

TEST_F(MainLogicTest, NoSecondRunWhileAStoppedRunStillEnds) {
  Construct();
  runner.during = [this](std::u16string&, std::int32_t&) {
    logic.bGoButClick_Stop();
    ASSERT_EQ(logic.FCurState(), kNone);
    EXPECT_TRUE(logic.KeyDown(kKeyEnter, {}));
    logic.bGoButClick_Start();
    view.SetInput(TMainInput::edStPause, u"3");
    logic.bGoButClick_Start();
    EXPECT_EQ(logic.FCurState(), kNone);
  };
  logic.bGoButClick_Start();
  EXPECT_EQ(runner.runs.size(), 1u);
  EXPECT_EQ(runner.refused_runs, 0);
  EXPECT_TRUE(view.timers.empty());
}

TEST_F(MainLogicTest, RunHostOperationsReachTheWindowAndTheMeter) {
  Construct();
  runner.during = [this](std::u16string&, std::int32_t&) {
    logic.SetTitle(u"42%");
    logic.SetStatusText(u"CPU STRESSING!!!");
    logic.SetProgressMax(20000);
    logic.SetProgressPosition(8400);
    logic.SetTaskbarProgress(8400, 20000);
    EXPECT_EQ(view.app_title, "42%");
    EXPECT_EQ(view.caption, "CPU STRESSING!!!");
    EXPECT_EQ(view.state_text, "CPU STRESSING!!!");
    EXPECT_EQ(view.progress_max, 20000u);
    EXPECT_EQ(view.progress_position, 8400u);
    EXPECT_EQ(view.taskbar, std::make_pair(std::uint64_t{8400}, std::uint64_t{20000}));
    view.terminated = true;
    EXPECT_TRUE(logic.Terminated());
    logic.ShowMessage(u"boom");
  };
  logic.bGoButClick_Start();
  EXPECT_EQ(view.messages, std::vector<std::string>{"boom"});
  EXPECT_EQ(view.app_title, kIdleCaption);
  EXPECT_EQ(view.progress_position, 0u);
  EXPECT_EQ(view.taskbar, std::nullopt);
}

TEST_F(MainLogicTest, EveryStateLeavesNormalPrioritiesExceptTheRun) {
  Construct();
  const int at_idle = view.normal_priorities;
  EXPECT_EQ(at_idle, 1);
  int during_run = -1;
  runner.during = [&](std::u16string&, std::int32_t&) { during_run = view.normal_priorities; };
  StartCountdown(1);
  EXPECT_EQ(view.normal_priorities, 2);
  clock.now += 1000;
  logic.OnTimer(kStartPauseTimer);
  EXPECT_EQ(during_run, 2);
  EXPECT_EQ(view.normal_priorities, 3);
  EXPECT_EQ(view.capture_releases, 1);
  EXPECT_EQ(view.keyboard_flushes, 2);
  EXPECT_EQ(view.mouse_flushes, 2);
  EXPECT_EQ(Count("percents"), 2);  // the readouts cleared by the pause and by the run
}

struct ThreadsWarningCase {
  const char16_t* text;
  bool warns;
};
constexpr ThreadsWarningCase kThreadsWarnings[] = {
    {u"100001", true},  {u"250000", true},   {u" 100001 ", true}, {u"99999999999999999999", true},
    {u"100000", false}, {u"1", false},       {u"", false},        {u"abc", false},
    {u"-5", false},     {u"100001x", false}, {u"1e6", false},
};

TEST_F(MainLogicTest, ThreadsAboveTheLimitWarnAndTheTextStaysAsTyped) {
  Construct();
  for (const ThreadsWarningCase& c : kThreadsWarnings) {
    view.SetInput(TMainInput::edThreads, u"100001");
    logic.edThreadsChange();  // a warning is up before each case
    view.SetInput(TMainInput::edThreads, c.text);
    logic.edThreadsChange();
    const std::string text = ToUtf8(c.text);
    if (c.warns) {
      // Bold where the markup says, the limit grouped with the window's separator.
      EXPECT_EQ(view.threads_warning,
                "[fB;Too many threads!] The number will be limited to [fB;100,000].")
          << text;
    } else {
      EXPECT_FALSE(view.threads_warning.has_value()) << text;
    }
    EXPECT_EQ(view.InputText(TMainInput::edThreads), c.text) << text;
  }
}

struct KeyCase {
  const char* name;
  TStressCurState state;  // where the key arrives
  std::uint16_t key;
  TShiftState shift;
  bool compact_anim, compact;
  bool consumed;
  TStressCurState after;
  int clones;
};

class KeyTest : public MainLogicTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTest, ActsAndConsumesByTheKeyTable) {
  const KeyCase& c = GetParam();
  Construct();
  view.SetInput(TMainInput::edStPause, u"5");
  std::optional<bool> consumed;
  std::optional<TStressCurState> after;
  const auto press = [&] {
    view.in_compact_anim = c.compact_anim;
    view.is_compact = c.compact;
    consumed = logic.KeyDown(c.key, c.shift);
    after = logic.FCurState();
  };
  if (c.state == kDoing) {
    view.SetInput(TMainInput::edStPause, u"0");
    runner.during = [&](std::u16string&, std::int32_t&) { press(); };
    logic.bGoButClick_Start();
  } else {
    if (c.state == kWait) logic.bGoButClick_Start();
    ASSERT_EQ(logic.FCurState(), c.state);
    press();
  }
  EXPECT_EQ(consumed, c.consumed);
  EXPECT_EQ(after, c.after);
  EXPECT_EQ(view.clones, c.clones);
  EXPECT_LE(runner.runs.size(), 1u);
}

constexpr TShiftState kNoShift{};
constexpr TShiftState kShift{true, false, false};
constexpr TShiftState kCtrl{false, true, false};
constexpr TShiftState kAlt{false, false, true};

const KeyCase kKeys[] = {
    {"EnterIdleStarts", kNone, kKeyEnter, kNoShift, false, false, true, kWait, 0},
    {"EnterCountingDownIsLeftToTheControl", kWait, kKeyEnter, kNoShift, false, false, false, kWait, 0},
    {"EnterRunningIsLeftToTheControl", kDoing, kKeyEnter, kNoShift, false, false, false, kDoing, 0},
    {"EscIdleIsLeftToTheControl", kNone, kKeyEscape, kNoShift, false, false, false, kNone, 0},
    {"EscCountingDownStops", kWait, kKeyEscape, kNoShift, false, false, true, kNone, 0},
    {"EscRunningStops", kDoing, kKeyEscape, kNoShift, false, false, true, kNone, 0},
    {"EscDuringCompactingStops", kNone, kKeyEscape, kNoShift, true, true, true, kNone, 0},
    {"EscDuringUncompactingIsLeft", kNone, kKeyEscape, kNoShift, true, false, false, kNone, 0},
    {"EscCompactWithoutAnimationIsLeft", kNone, kKeyEscape, kNoShift, false, true, false, kNone, 0},
    {"F5Clones", kNone, kKeyF5, kNoShift, false, false, true, kNone, 1},
    {"F5ClonesWhileRunning", kDoing, kKeyF5, kNoShift, false, false, true, kDoing, 1},
    {"ShiftF5DoesNotClone", kNone, kKeyF5, kShift, false, false, false, kNone, 0},
    {"CtrlF5DoesNotClone", kNone, kKeyF5, kCtrl, false, false, false, kNone, 0},
    {"AltF5DoesNotClone", kNone, kKeyF5, kAlt, false, false, false, kNone, 0},
    {"OtherKeysAreLeft", kWait, 65, kNoShift, false, false, false, kWait, 0},
};

INSTANTIATE_TEST_SUITE_P(MainWindow, KeyTest, ::testing::ValuesIn(kKeys),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainLogicTest, EscDuringTheCompactAnimationReversesIt) {
  Construct();
  view.compact_checked = true;
  logic.bGoButClick_Start();
  EXPECT_EQ(view.log, (std::vector<std::string>{"save place", "compact"}));
  view.in_compact_anim = true;
  logic.bGoButClick_Start();  // ignored while the animation runs
  EXPECT_EQ(Count("save place"), 1);
  view.SetTimer(kCompactAnimTimer, 40);
  logic.OnTimer(kCompactAnimTimer);
  EXPECT_EQ(Count("compact tick"), 1);
  EXPECT_TRUE(logic.KeyDown(kKeyEscape, {}));
  EXPECT_FALSE(view.TimerActive(kCompactAnimTimer));
  EXPECT_EQ(Count("uncompact"), 1);
  EXPECT_TRUE(runner.runs.empty());
}

TEST_F(MainLogicTest, CloseEndsTheProcessOnlyDuringARun) {
  Construct();
  EXPECT_TRUE(logic.ProcClose());
  StartCountdown(3);
  EXPECT_TRUE(logic.ProcClose());
  EXPECT_EQ(emergency_closes, 0);
  logic.bGoButClick_Stop();

  view.SetInput(TMainInput::edStPause, u"0");
  runner.during = [this](std::u16string&, std::int32_t&) {
    EXPECT_FALSE(logic.ProcClose());
    EXPECT_EQ(emergency_closes, 1);
  };
  logic.bGoButClick_Start();
  EXPECT_EQ(view.close_requests, 0);
}

TEST_F(MainLogicTest, CloseWhileAStoppedRunEndsWaitsForTheRun) {
  Construct();
  runner.during = [this](std::u16string&, std::int32_t&) {
    logic.bGoButClick_Stop();
    EXPECT_FALSE(logic.ProcClose());
    EXPECT_EQ(view.close_requests, 0);
  };
  logic.bGoButClick_Start();
  EXPECT_EQ(emergency_closes, 0);
  EXPECT_EQ(view.close_requests, 1);
  EXPECT_TRUE(logic.ProcClose());
}

TEST_F(MainLogicTest, FlashesWhiteThenTheRunColourAndBackToButtonFace) {
  Construct();
  std::vector<std::string> at_run;
  runner.during = [&](std::u16string&, std::int32_t&) { at_run = view.log; };
  logic.bGoButClick_Start();
  const std::string white = "window:" + std::to_string(kFlashColor);
  const std::string run = "window:" + std::to_string(kRunColor);
  const std::string face = "window:" + std::to_string(kTestBtnFace);
  const std::vector<std::string> flash_in = {"flash", white, "redraw", "sleep:100", run, "redraw"};
  EXPECT_NE(std::search(at_run.begin(), at_run.end(), flash_in.begin(), flash_in.end()), at_run.end());
  EXPECT_EQ(view.panels_color, kTestBtnFace);
  const std::vector<std::string> after(view.log.begin() + static_cast<std::ptrdiff_t>(at_run.size()),
                                       view.log.end());
  const std::vector<std::string> flash_out = {"flash", face, "redraw", "sleep:100", face, "redraw"};
  EXPECT_NE(std::search(after.begin(), after.end(), flash_out.begin(), flash_out.end()), after.end());
  EXPECT_EQ(view.flashes, 2);
}

TEST_F(MainLogicTest, SetBackgroundColorPaintsTheWindowAndItsPanels) {
  logic.SetBackgroundColor(RgbColor(1, 2, 3));
  EXPECT_EQ(view.window_color, RgbColor(1, 2, 3));
  EXPECT_EQ(view.panels_color, RgbColor(1, 2, 3));
}

TEST_F(MainLogicTest, CountdownKeepsTheButtonFaceWithoutAFlash) {
  Construct();
  view.window_color = RgbColor(9, 9, 9);
  StartCountdown(2);
  EXPECT_EQ(view.window_color, kTestBtnFace);
  EXPECT_EQ(view.panels_color, kTestBtnFace);
  EXPECT_EQ(view.flashes, 0);
}

TEST_F(MainLogicTest, DisabledInputsGreyTheirLabelsAndGetTheFocusBack) {
  Construct();
  for (Color c : view.label_colors) EXPECT_EQ(c, kTestWindowText);
  view.focused = 77;
  logic.EnableControls(false);
  EXPECT_EQ(view.InputsEnabled(), 0);
  for (Color c : view.label_colors) EXPECT_EQ(c, RgbColor(130, 130, 130));
  view.focused = 5;
  logic.EnableControls(false);  // already disabled: the saved focus stays
  logic.EnableControls(true);
  EXPECT_EQ(view.InputsEnabled(), 1);
  for (Color c : view.label_colors) EXPECT_EQ(c, kTestWindowText);
  EXPECT_EQ(view.focus_calls, std::vector<TControlRef>{77});
  logic.EnableControls(true);  // already enabled: the focus is left alone
  EXPECT_EQ(view.focus_calls.size(), 1u);
}

struct PinCase {
  const char* name;
  bool auto_pin, pinned_before, released_during_run;
  std::vector<bool> sets;  // sbPin changes made by the rule, in order
  std::size_t sets_in_run;
  bool pinned_in_run, pinned_after;
};

class AutoPinTest : public MainLogicTest, public ::testing::WithParamInterface<PinCase> {};

TEST_P(AutoPinTest, PinsForTheRunAndRestoresTheUsersChoice) {
  const PinCase& c = GetParam();
  Construct();
  view.auto_pin = c.auto_pin;
  view.pin_down = c.pinned_before;
  std::optional<bool> pinned_in_run;
  std::size_t sets_in_run = 0;
  runner.during = [&](std::u16string&, std::int32_t&) {
    pinned_in_run = view.pin_down;
    sets_in_run = view.pin_sets.size();
    if (c.released_during_run) view.pin_down = false;
  };
  StartCountdown(1);  // idle -> pause -> run -> idle: the pause to run step keeps the pin
  clock.now += 1000;
  logic.OnTimer(kStartPauseTimer);
  EXPECT_EQ(pinned_in_run, c.pinned_in_run);
  EXPECT_EQ(sets_in_run, c.sets_in_run);
  EXPECT_EQ(view.pin_sets, c.sets);
  EXPECT_EQ(view.pin_down, c.pinned_after);
  EXPECT_EQ(logic.isWasPinBeforeLoad(), c.auto_pin && c.pinned_before);
}

const PinCase kPins[] = {
    {"OffLeavesThePinUp", false, false, false, {}, 0, false, false},
    {"OffLeavesThePinDown", false, true, false, {}, 0, true, true},
    {"PinnedOnlyForTheRun", true, false, false, {true, false}, 1, true, false},
    {"PinnedBeforeStaysPinned", true, true, false, {}, 0, true, true},
    {"ReleasedDuringTheRunStaysReleased", true, false, true, {true}, 1, true, false},
    {"PinnedBeforeButReleasedStaysReleased", true, true, true, {}, 0, true, false},
};

INSTANTIATE_TEST_SUITE_P(MainWindow, AutoPinTest, ::testing::ValuesIn(kPins),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainLogicTest, AutoPinHoldsOnlyFromLeavingIdleToReturningThere) {
  Construct();
  view.auto_pin = true;
  StartCountdown(3);
  EXPECT_TRUE(view.pin_down);
  EXPECT_TRUE(logic.KeyDown(kKeyEscape, {}));  // stopped in the pause: unpinned again
  EXPECT_FALSE(view.pin_down);
  logic.SetCurState(kNone);  // idle again, as after a run: nothing changes
  EXPECT_EQ(view.pin_sets, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace velkaro
