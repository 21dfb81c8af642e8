// velkaro.exe driven from outside, as a user would: runs, countdown, keys and closing.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "main_window_driver.h"

namespace velkaro::win32::driver {
namespace {

using namespace main_window;

constexpr wchar_t kIdleCaption[] = L"Velkaro - Emulator of CPU load";
constexpr wchar_t kRunCaption[] = L"CPU STRESSING!!!";
constexpr wchar_t kPauseText[] = L"About to start stressing ...";

constexpr COLORREF kPieDone = RGB(0, 128, 128);
constexpr COLORREF kPieRest = RGB(255, 255, 255);
constexpr COLORREF kBrightColors[] = {RGB(40, 255, 40), RGB(214, 255, 214), RGB(64, 191, 64),
                                      RGB(136, 183, 136)};
constexpr COLORREF kDullColors[] = {RGB(49, 149, 50), RGB(108, 206, 108), RGB(64, 107, 64),
                                    RGB(95, 122, 95)};

// The chart at the design DPI: a 130 by 106 panel whose plot runs from row 3 to row 102.
constexpr int kChartWidth = 130;
constexpr int kPlotBottomRow = 102;
constexpr int kPlotMiddle = 53;
constexpr COLORREF kPlotFrame = RGB(73, 81, 75);
constexpr COLORREF kPlotBack = RGB(55, 59, 55);

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_.Started()) << "velkaro.exe did not show its window";
    ASSERT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
  }

  bool WaitForState(const std::wstring& text, std::chrono::milliseconds timeout = 10s) {
    return WaitFor([&] { return app_.ControlText(kLbState) == text; }, timeout);
  }

  // The colours of one pixel row of the chart.
  std::vector<COLORREF> ChartRow(int y) const {
    std::vector<COLORREF> row;
    for (int x = 0; x < kChartWidth; ++x) row.push_back(app_.Pixel(kPnDiag, x, y));
    return row;
  }
  static bool Contains(const std::vector<COLORREF>& row, COLORREF color) {
    return std::find(row.begin(), row.end(), color) != row.end();
  }
  template <std::size_t N>
  static bool ContainsAny(const std::vector<COLORREF>& row, const COLORREF (&colors)[N]) {
    for (const COLORREF color : colors) {
      if (Contains(row, color)) return true;
    }
    return false;
  }

  // Height of the green start triangle on bDo.
  int StartTriangleHeight() const {
    const RECT r = app_.BoundsOfColor(kBDo, RGB(30, 150, 30));
    return r.bottom - r.top;
  }

  Velkaro app_{ProgramPath(VELKARO_EXE_PATH)};
};

TEST_F(MainWindowTest, ControlsStandWhereTheFormSaysAt96Dpi) {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  if (dpi != 96) GTEST_SKIP() << "the screen has " << dpi << " DPI";
  struct Place {
    int id;
    RECT bounds;  // left, top, width, height; a height of 0 is not checked
  } const places[] = {
      {kEdStPause, {186, 20, 81, 21}},    {kUdStPause, {267, 20, 16, 21}},
      {kEdTime, {186, 47, 81, 21}},       {kUdTime, {267, 47, 16, 21}},
      {kCbPriority, {186, 74, 296, 0}},   {kCbPriorClass, {186, 101, 296, 0}},
      {kCbStyle, {186, 128, 296, 0}},     {kEdThreads, {385, 155, 81, 21}},
      {kUdThreads, {466, 155, 16, 21}},   {kLbStPause, {8, 23, 0, 0}},
      {kLbThreads, {186, 158, 0, 0}},     {kLbSPMeas, {289, 23, 0, 0}},
      {kLbTMeas, {289, 50, 0, 0}},        {kPnBg, {0, 0, 489, 270}},
      {kPnPrg, {186, 241, 159, 27}},      {kLbState, {186, 241, 0, 0}},
      {kPbTime, {186, 256, 152, 12}},     {kPnButs, {396, 8, 86, 22}},
      {kSbClone, {396, 8, 43, 22}},       {kSbPin, {439, 8, 43, 22}},
      {kPnDiag, {8, 162, 130, 106}},
  };
  RECT client{};
  ::GetClientRect(app_.Window(), &client);
  EXPECT_EQ(client.right, 493);
  EXPECT_EQ(client.bottom, 275);
  for (const Place& place : places) {
    RECT r{};
    ::GetWindowRect(app_.Control(place.id), &r);
    ::MapWindowPoints(HWND_DESKTOP, app_.Window(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, place.bounds.left) << place.id;
    EXPECT_EQ(r.top, place.bounds.top) << place.id;
    if (place.bounds.right > 0) {
      EXPECT_EQ(r.right - r.left, place.bounds.right) << place.id;
    }
    if (place.bounds.bottom > 0) {
      EXPECT_EQ(r.bottom - r.top, place.bounds.bottom) << place.id;
    }
    // Nothing reaches beyond the client area.
    EXPECT_LE(r.right, client.right) << place.id;
    if (place.bounds.bottom > 0) {
      EXPECT_LE(r.bottom, client.bottom) << place.id;
    }
  }
}

// Moving to a 144-DPI monitor: the chart, which the window builds in code rather than
// from its layout table, grows with everything else and keeps its scale inside it.
TEST_F(MainWindowTest, DpiChangeLaysOutTheChartAgain) {
  const auto bounds_in_window = [this](HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(HWND_DESKTOP, app_.Window(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  const RECT before = bounds_in_window(app_.Control(kPnDiag));
  const int triangle_rows = StartTriangleHeight();
  ASSERT_GE(triangle_rows, 9);
  DWORD_PTR result = 0;
  // Without the suggested rectangle the window keeps its place and takes its own size.
  ASSERT_NE(::SendMessageTimeoutW(app_.Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0,
                                  SMTO_NORMAL, 5000, &result), 0);
  const RECT chart = bounds_in_window(app_.Control(kPnDiag));
  const RECT progress = bounds_in_window(app_.Control(kPnPrg));
  EXPECT_EQ(chart.right - chart.left, (before.right - before.left) * 3 / 2);
  EXPECT_EQ(chart.bottom - chart.top, (before.bottom - before.top) * 3 / 2);
  EXPECT_EQ(chart.bottom, progress.bottom);
  EXPECT_EQ(chart.left, bounds_in_window(app_.Control(kLbStPause)).left);

  const int width = chart.right - chart.left;
  const int height = chart.bottom - chart.top;
  RECT top_label{};
  RECT bottom_label{};
  ::GetWindowRect(app_.Control(kLbMin), &top_label);
  ::GetWindowRect(app_.Control(kLbMax), &bottom_label);
  ::MapWindowPoints(HWND_DESKTOP, app_.Control(kPnDiag), reinterpret_cast<POINT*>(&top_label), 2);
  ::MapWindowPoints(HWND_DESKTOP, app_.Control(kPnDiag), reinterpret_cast<POINT*>(&bottom_label),
                    2);
  EXPECT_EQ(top_label.top, 1);
  EXPECT_EQ(bottom_label.bottom, height - 1);
  EXPECT_LE(top_label.right, width);
  // The plot's frame ends a few pixels left of the scale, at a whole number of slots.
  const int frame_right = top_label.left - 3;
  EXPECT_EQ((frame_right - 3) % 7, 0) << frame_right;
  ASSERT_TRUE(WaitFor([&] { return app_.Pixel(kPnDiag, 2, height - 3) == kPlotFrame; }));
  EXPECT_EQ(app_.Pixel(kPnDiag, frame_right, 10), kPlotFrame);
  EXPECT_EQ(app_.Pixel(kPnDiag, frame_right - 1, height - 4), kPlotBack);

  // The button images are drawn again at the new size: the start triangle grows by half.
  EXPECT_TRUE(WaitFor([&] {
    const int rows = StartTriangleHeight();
    return std::abs(2 * rows - 3 * triangle_rows) <= 2;
  }, 3s)) << StartTriangleHeight() << " rows, " << triangle_rows << " before";
}

TEST_F(MainWindowTest, TabWalksTheInputsInOrderAndEndsOnTheStartButton) {
  // A click into the first field gives it the focus, as it would for a user.
  app_.ClickInto(kEdStPause);
  ASSERT_TRUE(WaitFor([&] { return app_.Focused() == app_.Control(kEdStPause); }));
  const int order[] = {kUdStPause, kEdTime,   kUdTime,    kCbPriority, kCbPriorClass,
                       kCbStyle,   kEdThreads, kUdThreads, kBDo};
  for (const int id : order) {
    const HWND from = app_.Focused();
    ::PostMessageW(from, WM_KEYDOWN, VK_TAB, 1);
    ::PostMessageW(from, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC0000001u));
    EXPECT_TRUE(WaitFor([&] { return app_.Focused() == app_.Control(id); }, 3s)) << "expected " << id;
  }
}

// The usual way: type into a field, Enter, and Esc from the keyboard while the field
// that had the focus is disabled.
TEST_F(MainWindowTest, EscFromTheKeyboardStopsARunStartedFromAField) {
  app_.SetRun(0, 60);
  ::SetForegroundWindow(app_.Window());
  ASSERT_TRUE(WaitFor([this] { return ::GetForegroundWindow() == app_.Window(); }));
  app_.ClickInto(kEdThreads);
  ASSERT_TRUE(WaitFor([&] { return app_.Focused() == app_.Control(kEdThreads); }));
  app_.TypeKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return app_.Caption() == kRunCaption; }));
  app_.TypeKey(VK_ESCAPE);
  EXPECT_TRUE(WaitForState(L"Fulfilled threads: 1"));
  EXPECT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
}

// Holding an arrow never speeds up: each field steps by its own amount.
TEST_F(MainWindowTest, UpDownArrowsKeepOneStepWhileHeld) {
  struct Case {
    int id;
    UINT step;
  } const cases[] = {{kUdStPause, 1}, {kUdTime, 5}, {kUdThreads, 1}};
  for (const Case& c : cases) {
    const std::vector<UDACCEL> table = app_.UpDownAccel(c.id);
    ASSERT_EQ(table.size(), 1u) << "control " << c.id;
    EXPECT_EQ(table[0].nSec, 0u) << "control " << c.id;
    EXPECT_EQ(table[0].nInc, c.step) << "control " << c.id;
  }
}

// Typed digits reach a field at once, and the field the user worked in has the focus
// again when the window comes back from another one.
TEST_F(MainWindowTest, KeyboardFocusStartsInThePauseFieldAndReturnsAfterActivation) {
  ::SetForegroundWindow(app_.Window());
  ASSERT_TRUE(WaitFor([this] { return ::GetForegroundWindow() == app_.Window(); }));
  ASSERT_TRUE(WaitFor([&] { return app_.Focused() == app_.Control(kEdStPause); }, 3s));
  app_.TypeKey('4');
  app_.TypeKey('2');
  WaitFor([this] { return app_.ControlText(kEdStPause) == L"42"; }, 3s);
  EXPECT_EQ(app_.ControlText(kEdStPause), L"42");

  app_.ClickInto(kEdTime);
  ASSERT_TRUE(WaitFor([&] { return app_.Focused() == app_.Control(kEdTime); }));
  const HWND other = ::CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                       0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  ::SetForegroundWindow(other);
  EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == other; }));
  ::SetForegroundWindow(app_.Window());
  ASSERT_TRUE(WaitFor([this] { return ::GetForegroundWindow() == app_.Window(); }));
  ::DestroyWindow(other);
  ASSERT_TRUE(WaitFor([&] { return app_.Focused() == app_.Control(kEdTime); }, 3s));
  app_.TypeKey('1');
  app_.TypeKey('5');
  WaitFor([this] { return app_.ControlText(kEdTime) == L"15"; }, 3s);
  EXPECT_EQ(app_.ControlText(kEdTime), L"15");
  EXPECT_EQ(app_.ControlText(kEdStPause), L"42");
}

// A first start with no settings shows the defaults, and reading them creates no key.
TEST(MainWindowFirstStartTest, ShowsTheDefaultSettingsAndTheListsOfTheStringTable) {
  Velkaro app_(ProgramPath(VELKARO_EXE_PATH), L"", Settings::kEmpty);
  ASSERT_TRUE(app_.Started());
  EXPECT_EQ(app_.ControlText(kEdStPause), L"3");
  EXPECT_EQ(app_.ControlText(kEdTime), L"20");
  EXPECT_EQ(app_.ControlText(kEdThreads), L"1");
  EXPECT_FALSE(SettingsKeyExists());
  EXPECT_EQ(app_.ControlText(kLbState), L"");
  EXPECT_EQ(app_.ControlText(kLbStPause), L"Pause before starting stressing:");
  EXPECT_EQ(app_.ControlText(kLbThreads), L"Stress threads count:");
  struct List {
    int id;
    int selected;
    std::vector<std::wstring> items;
  } const lists[] = {
      {kCbPriority, 5,
       {L"1 - Work only when the system idles", L"2 - Lowest", L"3 - Below normal",
        L"4 - Normal", L"5 - Above normal", L"6 - HIGH",
        L"7 - TIME CRITICAL !!! Attention! Maybe hard to stop !!!"}},
      {kCbPriorClass, 3,
       {L"1 - Work only when the system idles", L"3 - Below normal", L"4 - Normal",
        L"5 - Above normal", L"6 - HIGH", L"7 - REAL TIME !!! ATTENTION! Very hard to stop !!!"}},
      {kCbStyle, 0,
       {L"1 - Monotonous constant CPU loading", L"2 - Slightly broken rhythm",
        L"3 - Quite broken rhythm", L"4 - Rhythm \"Roller Coaster\"", L"5 - Rhythm \"Comb\"",
        L"6 - Rhythm \"Long Comb\"", L"7 - Rhythm \"Down-Up\""}},
  };
  for (const List& list : lists) {
    const HWND combo = app_.Control(list.id);
    ASSERT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(list.items.size()))
        << list.id;
    for (std::size_t i = 0; i < list.items.size(); ++i) {
      wchar_t text[128] = {};
      ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      EXPECT_EQ(std::wstring(text), list.items[i]) << list.id << " item " << i;
    }
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), list.selected) << list.id;
  }
}

TEST_F(MainWindowTest, RunWithoutPauseGoesThroughStressingToFulfilled) {
  app_.SetRun(0, 2);
  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return app_.Caption() == kRunCaption; }));
  // Controls are disabled and the button stops while the run lasts.
  EXPECT_FALSE(::IsWindowEnabled(app_.Control(kEdTime)));
  EXPECT_EQ(app_.ControlText(kBDo), L"Stop");
  // The first sample fills the CPU labels and draws a bright bar.
  ASSERT_TRUE(WaitFor([this] { return !app_.ControlText(kLbPerc1).empty(); }));
  EXPECT_EQ(app_.ControlText(kLbPerc1).rfind(L"CPU now: ", 0), 0u);
  EXPECT_EQ(app_.ControlText(kLbPerc2).rfind(L"CPU avg: ", 0), 0u);
  EXPECT_TRUE(WaitFor([this] { return ContainsAny(ChartRow(kPlotBottomRow), kBrightColors); }, 2s));
  EXPECT_TRUE(WaitFor([this] { return app_.ProgressPosition() > 0; }, 3s));

  ASSERT_TRUE(WaitForState(L"Fulfilled threads: 1"));
  EXPECT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
  EXPECT_EQ(app_.ProgressPosition(), 0);
  EXPECT_TRUE(::IsWindowEnabled(app_.Control(kEdTime)));
  EXPECT_EQ(app_.ControlText(kBDo), L"Run CPU Stressing!");
  // The bars of the run stay, dull now.
  const std::vector<COLORREF> bottom = ChartRow(kPlotBottomRow);
  EXPECT_TRUE(ContainsAny(bottom, kDullColors));
  EXPECT_FALSE(ContainsAny(bottom, kBrightColors));
  EXPECT_FALSE(app_.ControlText(kLbPerc1).empty());
}

TEST_F(MainWindowTest, CountdownShowsPieAndEscReturnsToIdle) {
  app_.SetRun(4, 2);
  app_.ClickDo();
  ASSERT_TRUE(WaitForState(kPauseText));
  EXPECT_TRUE(WaitFor([this] { return app_.Caption() == kPauseText; }));
  EXPECT_EQ(app_.ControlText(kBDo), L"Stop");
  // Half of the pause: the pie is teal from nine over twelve o'clock and white below.
  std::this_thread::sleep_for(2s);
  const std::vector<COLORREF> upper = ChartRow(kPlotMiddle - 5);
  const std::vector<COLORREF> lower = ChartRow(kPlotMiddle + 3);
  EXPECT_TRUE(Contains(upper, kPieDone));
  EXPECT_TRUE(Contains(lower, kPieRest));
  EXPECT_FALSE(Contains(lower, kPieDone));
  // Enter does not restart or stop the countdown.
  app_.PressKey(VK_RETURN);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(app_.ControlText(kLbState), kPauseText);

  app_.PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitForState(L"Fulfilled threads: 0"));
  EXPECT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
  EXPECT_FALSE(Contains(ChartRow(kPlotMiddle - 5), kPieDone));
  // The pause would have ended by now: no run follows the stop.
  std::this_thread::sleep_for(2500ms);
  EXPECT_EQ(app_.Caption(), kIdleCaption);
}

TEST_F(MainWindowTest, EscStopsARunEarly) {
  app_.SetRun(0, 60);
  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return app_.Caption() == kRunCaption; }));
  // Enter during the run is left to the focused control.
  app_.PressKey(VK_RETURN);
  app_.PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitForState(L"Fulfilled threads: 1", 10s));
  EXPECT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(app_.Caption(), kIdleCaption);
}

TEST_F(MainWindowTest, StopButtonStopsARunEarly) {
  app_.SetRun(0, 60);
  app_.ClickDo();
  ASSERT_TRUE(WaitFor([this] { return app_.Caption() == kRunCaption; }));
  ASSERT_TRUE(WaitFor([this] { return app_.ControlText(kBDo) == L"Stop"; }));
  app_.ClickDo();
  ASSERT_TRUE(WaitForState(L"Fulfilled threads: 1", 10s));
  EXPECT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
  EXPECT_EQ(app_.ControlText(kBDo), L"Run CPU Stressing!");
}

TEST_F(MainWindowTest, DurationOutOfRangeIsRefused) {
  app_.SetRun(0, 2147484);
  app_.PressKey(VK_RETURN);
  const std::wstring sep = UserThousandsSeparator();
  ASSERT_TRUE(WaitForState(L"Stress time must be from 0 to 2" + sep + L"147" + sep + L"483 seconds"));
  EXPECT_EQ(app_.Caption(), kIdleCaption);
  EXPECT_TRUE(::IsWindowEnabled(app_.Control(kEdTime)));
}

TEST_F(MainWindowTest, ClosingDuringARunEndsWithExitCode1) {
  app_.SetRun(0, 60);
  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return app_.Caption() == kRunCaption; }));
  app_.Close();
  EXPECT_EQ(app_.ExitCode(10s), 1u);
}

TEST_F(MainWindowTest, ClosingWhileIdleEndsNormally) {
  app_.Close();
  EXPECT_EQ(app_.ExitCode(10s), 0u);
}

TEST_F(MainWindowTest, ClosingDuringCountdownEndsNormally) {
  app_.SetRun(5, 2);
  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForState(kPauseText));
  app_.Close();
  EXPECT_EQ(app_.ExitCode(10s), 0u);
}

}  // namespace
}  // namespace velkaro::win32::driver
