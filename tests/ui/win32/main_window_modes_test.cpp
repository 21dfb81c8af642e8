// velkaro.exe's window modes seen from outside: the compact window during a run, the
// pin, the clone beside the window, and the remembered place.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "main_window_driver.h"

namespace velkaro::win32::driver {
namespace {

using namespace main_window;

const std::wstring kProgram = ProgramPath(VELKARO_EXE_PATH);
constexpr wchar_t kIdleCaption[] = L"Velkaro - Emulator of CPU load";
// The compact window at 96 DPI: the chart, the progress panel and four tool buttons.
constexpr int kCompactWidth = 176;
constexpr int kCompactHeight = 171;

RECT Bounds(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}
bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
bool HasCaption(HWND window) {
  return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}
bool Topmost(HWND window) { return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
bool PinIsDown(const Velkaro& app) {
  return ::SendMessageW(app.Control(kSbPin), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
int ScreenDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

// Starts the program with the compact and automatic-pinning options as the defaults
// leave them: ticked.
class MainWindowModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_.Started()) << "velkaro.exe did not show its window";
    ASSERT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
    if (ScreenDpi() != 96) GTEST_SKIP() << "the sizes here are those of 96 DPI";
  }
  bool IsCompactNow() const {
    const RECT r = Bounds(app_.Window());
    return r.right - r.left == kCompactWidth && r.bottom - r.top == kCompactHeight &&
           !HasCaption(app_.Window());
  }
  void MoveTo(int left, int top) const {
    ::SetWindowPos(app_.Window(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    WaitFor([&] { return Bounds(app_.Window()).left == left; });
  }

  Velkaro app_{kProgram, L"", Settings::kEmpty};
};

TEST_F(MainWindowModesTest, ARunCompactsThePinnedWindowAndTheEndRestoresItExactly) {
  const RECT full = Bounds(app_.Window());
  ASSERT_TRUE(HasCaption(app_.Window()));
  ASSERT_NE(::GetMenu(app_.Window()), nullptr);
  app_.SetRun(0, 2);
  app_.PressKey(VK_RETURN);
  // Compact, and then the run in it, pinned.
  ASSERT_TRUE(WaitFor([this] { return IsCompactNow() && app_.Caption() == L"CPU STRESSING!!!"; }, 5s));
  EXPECT_EQ(::GetMenu(app_.Window()), nullptr);
  EXPECT_TRUE(Topmost(app_.Window())) << "pinned for the run";
  EXPECT_TRUE(::IsWindowVisible(app_.Control(kSbStop)));
  EXPECT_FALSE(::IsWindowVisible(app_.Control(kEdTime)));
  // A window near the screen's centre shrinks towards its centre.
  const RECT compact = Bounds(app_.Window());
  EXPECT_NEAR((compact.left + compact.right) / 2, (full.left + full.right) / 2, 1);
  EXPECT_NEAR((compact.top + compact.bottom) / 2, (full.top + full.bottom) / 2, 1);

  ASSERT_TRUE(WaitFor([this] { return app_.ControlText(kLbState) == L"Fulfilled threads: 1"; }, 15s));
  EXPECT_TRUE(WaitFor([&] { return HasCaption(app_.Window()); }, 5s));
  EXPECT_TRUE(SameRect(Bounds(app_.Window()), full));
  EXPECT_NE(::GetMenu(app_.Window()), nullptr);
  EXPECT_TRUE(::IsWindowVisible(app_.Control(kEdTime)));
  EXPECT_FALSE(::IsWindowVisible(app_.Control(kSbStop)));
  EXPECT_FALSE(Topmost(app_.Window())) << "pinned only by the run";
  EXPECT_FALSE(PinIsDown(app_));
}

TEST_F(MainWindowModesTest, AWindowInTheLowerRightQuarterKeepsItsLowerRightCorner) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT before = Bounds(app_.Window());
  MoveTo(work.right - (before.right - before.left) - 20, work.bottom - (before.bottom - before.top) - 20);
  const RECT full = Bounds(app_.Window());
  app_.SetRun(0, 60);
  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return IsCompactNow(); }, 5s));
  const RECT compact = Bounds(app_.Window());
  EXPECT_EQ(compact.right, full.right);
  EXPECT_EQ(compact.bottom, full.bottom);
  app_.PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return SameRect(Bounds(app_.Window()), full); }, 10s));
}

TEST_F(MainWindowModesTest, EscEarlyInTheAnimationGrowsTheWindowBackAndStartsNoRun) {
  const RECT full = Bounds(app_.Window());
  app_.SetRun(0, 60);
  app_.PressKey(VK_RETURN);
  // Some way into the animation: smaller than before, not yet compact.
  ASSERT_TRUE(WaitFor([&] { return Bounds(app_.Window()).right - Bounds(app_.Window()).left <
                                   full.right - full.left; }, 3s));
  app_.PressKey(VK_ESCAPE);
  // It grows out of the corner (here the centre) that the cut-short animation left,
  // so it may stand a pixel off where it began, after halving odd differences.
  EXPECT_TRUE(WaitFor([&] {
    const RECT r = Bounds(app_.Window());
    return r.right - r.left == full.right - full.left && r.bottom - r.top == full.bottom - full.top &&
           std::abs(r.left - full.left) <= 1 && std::abs(r.top - full.top) <= 1 &&
           HasCaption(app_.Window());
  }, 5s));
  EXPECT_EQ(app_.Caption(), kIdleCaption);
  EXPECT_NE(app_.ControlText(kLbState), L"Threads started: 1");
  EXPECT_EQ(app_.ExitCode(0ms), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(MainWindowModesTest, TheCompactStopButtonStopsAndTheCloseButtonEndsTheProcess) {
  app_.SetRun(0, 60);
  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return IsCompactNow(); }, 5s));
  ASSERT_TRUE(WaitFor([this] { return app_.Caption() == L"CPU STRESSING!!!"; }));
  ::PostMessageW(app_.Control(kSbStop), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([this] { return app_.ControlText(kLbState) == L"Fulfilled threads: 1"; }, 10s));
  ASSERT_TRUE(WaitFor([this] { return HasCaption(app_.Window()); }, 5s));

  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return IsCompactNow(); }, 5s));
  ASSERT_TRUE(WaitFor([this] { return app_.Caption() == L"CPU STRESSING!!!"; }));
  ::PostMessageW(app_.Control(kSbClose), BM_CLICK, 0, 0);
  EXPECT_EQ(app_.ExitCode(10s), 1u);
}

TEST_F(MainWindowModesTest, AWindowTheUserPinnedStaysPinnedAfterTheRun) {
  ::SendMessageW(app_.Control(kSbPin), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([this] { return Topmost(app_.Window()); }));
  app_.SetRun(0, 1);
  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return IsCompactNow(); }, 5s));
  ASSERT_TRUE(WaitFor([this] { return app_.ControlText(kLbState) == L"Fulfilled threads: 1"; }, 15s));
  ASSERT_TRUE(WaitFor([this] { return HasCaption(app_.Window()); }, 5s));
  EXPECT_TRUE(Topmost(app_.Window()));
  EXPECT_TRUE(PinIsDown(app_));
}

// A move to a monitor of 144 DPI while compact: the compact layout at the new sizes,
// and after the run the full window at them.
TEST_F(MainWindowModesTest, ADpiChangeWhileCompactKeepsTheCompactWindowUsable) {
  app_.SetRun(0, 60);
  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return IsCompactNow() && app_.Caption() == L"CPU STRESSING!!!"; }, 5s));
  DWORD_PTR result = 0;
  ASSERT_NE(::SendMessageTimeoutW(app_.Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0,
                                  SMTO_NORMAL, 5000, &result), 0);
  const RECT window = Bounds(app_.Window());
  EXPECT_EQ(window.right - window.left, 264);
  EXPECT_EQ(window.bottom - window.top, 249);
  EXPECT_FALSE(HasCaption(app_.Window()));
  // Stop, close and the chart stand inside the window.
  for (const int id : {kSbStop, kSbClose, kPnDiag}) {
    const RECT r = Bounds(app_.Control(id));
    EXPECT_TRUE(::IsWindowVisible(app_.Control(id))) << id;
    EXPECT_TRUE(r.left >= window.left && r.right <= window.right && r.top >= window.top &&
                r.bottom <= window.bottom)
        << id;
  }
  const RECT chart = Bounds(app_.Control(kPnDiag));
  EXPECT_EQ(chart.right - chart.left, 195);
  EXPECT_EQ(chart.bottom - chart.top, 159);

  app_.PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([this] { return HasCaption(app_.Window()); }, 10s));
  // The frame comes back a moment after the style that asks for it.
  RECT client{};
  WaitFor([&] {
    ::GetClientRect(app_.Window(), &client);
    return client.right == 740;
  }, 5s);
  EXPECT_EQ(client.right, 740);
  EXPECT_TRUE(::IsWindowVisible(app_.Control(kEdTime)));
}

// The other copy of the program: a main window (it has a menu) of another process.
HWND FindClone(HWND first) {
  return FindTopWindow([first](HWND window) {
    return window != first && ClassOf(window) == kFormClassName && ::GetMenu(window) != nullptr;
  });
}

TEST_F(MainWindowModesTest, F5StartsACloneBesideTheWindowWithTheSameValues) {
  app_.SetRun(4, 77, 3);
  ::SendMessageW(app_.Control(kCbStyle), CB_SETCURSEL, 5, 0);
  const RECT first = Bounds(app_.Window());
  app_.PressKey(VK_F5);
  HWND clone = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (clone = FindClone(app_.Window())) != nullptr; }, 30s));
  EXPECT_TRUE(WaitFor([&] { return Bounds(clone).left == first.left + 47; }));
  EXPECT_EQ(Bounds(clone).top, first.top + 48);
  const auto text = [&](int id) { return app_.Text(FindControlById(clone, id)); };
  EXPECT_TRUE(WaitFor([&] { return text(kEdTime) == L"77"; }));
  EXPECT_EQ(text(kEdStPause), L"4");
  EXPECT_EQ(text(kEdThreads), L"3");
  EXPECT_EQ(::SendMessageW(FindControlById(clone, kCbStyle), CB_GETCURSEL, 0, 0), 5);
  ::PostMessageW(clone, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(clone); }, 10s));
}

TEST_F(MainWindowModesTest, TheCloneOfAWindowAtTheRightEdgeOpensToItsLeft) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT before = Bounds(app_.Window());
  const int width = before.right - before.left;
  MoveTo(work.right - width - 10, 100);
  ::PostMessageW(app_.Control(kSbClone), BM_CLICK, 0, 0);
  HWND clone = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (clone = FindClone(app_.Window())) != nullptr; }, 30s));
  EXPECT_TRUE(WaitFor([&] { return Bounds(clone).left == work.right - width - 10 - width; }))
      << Bounds(clone).left;
  EXPECT_EQ(Bounds(clone).top, 148);
  ::PostMessageW(clone, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(clone); }, 10s));
}

TEST(MainWindowPlaceTest, AMovedWindowReopensThereAndCentredOnAnotherScreenSize) {
  RECT centred{};
  {
    Velkaro app(kProgram);
    ASSERT_TRUE(app.Started());
    centred = Bounds(app.Window());
    ::SetWindowPos(app.Window(), nullptr, 60, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(WaitFor([&] { return Bounds(app.Window()).left == 60; }));
    app.Close();
    ASSERT_EQ(app.ExitCode(10s), 0u);
  }
  {
    Velkaro again(kProgram, L"", Settings::kKept);
    ASSERT_TRUE(again.Started());
    EXPECT_EQ(Bounds(again.Window()).left, 60);
    EXPECT_EQ(Bounds(again.Window()).top, 70);
    again.Close();
    ASSERT_EQ(again.ExitCode(10s), 0u);
  }
  // Only a place stored for another screen size: the window opens centred.
  HKEY key = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key),
            ERROR_SUCCESS);
  const wchar_t other[] = L"640x480=Nl60t70w499h329";
  ::RegSetValueExW(key, L"Place", 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof(other));
  ::RegCloseKey(key);
  Velkaro elsewhere(kProgram, L"", Settings::kKept);
  ASSERT_TRUE(elsewhere.Started());
  EXPECT_EQ(Bounds(elsewhere.Window()).left, centred.left);
  EXPECT_EQ(Bounds(elsewhere.Window()).top, centred.top);
}

}  // namespace
}  // namespace velkaro::win32::driver
