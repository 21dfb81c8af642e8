#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/pie_progress.h"
#include "ui/win32/pie_dc.h"
#include "ui/win32/scoped_handle.h"
#include "ui/win32/screen.h"
#include "ui/win32/taskbar.h"
#include "ui/win32/window_helpers.h"

namespace velkaro::win32 {
namespace {

constexpr wchar_t kClassName[] = L"VelkaroScreenTestWindow";

// Test windows of a plain class, destroyed with the fixture. Windows stay hidden where
// they can: without a window manager Wine waits up to two seconds for a shown window to
// go away.
class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
  }

  void TearDown() override {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) ::DestroyWindow(*it);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND Create(int x, int y, int width, int height, DWORD style = WS_POPUP, HWND parent = nullptr) {
    HWND window = ::CreateWindowExW(0, kClassName, L"test", style, x, y, width, height, parent,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(window, nullptr);
    windows_.push_back(window);
    return window;
  }

  std::vector<HWND> windows_;
};

// Run under xvfb-run -s "-screen 0 1280x1024x24": one monitor of that size.
constexpr Rect kScreen{0, 0, 1280, 1024};

TEST_F(WindowTest, MonitorOfAWindowOnTheScreen) {
  HWND window = Create(100, 120, 400, 300);
  EXPECT_EQ(MonitorRectOfWindow(window), kScreen);
  const Rect work = WorkAreaOfWindow(window);
  EXPECT_GE(work.left, 0);
  EXPECT_GE(work.top, 0);
  EXPECT_LE(work.right, 1280);
  EXPECT_LE(work.bottom, 1024);
  EXPECT_GT(work.Width(), 0);
  EXPECT_EQ(MonitorNumberOfWindow(window), 0);
}

TEST_F(WindowTest, AWindowOnNoMonitorGetsThePrimary) {
  HWND window = Create(-30000, -30000, 200, 100);
  EXPECT_EQ(MonitorRectOfWindow(window), kScreen);
  EXPECT_EQ(MonitorNumberOfWindow(window), 0);
  EXPECT_EQ(MonitorRectOfWindow(nullptr), kScreen);
}

TEST(MonitorsTest, ListsTheScreen) {
  const std::vector<Monitor> monitors = Monitors();
  ASSERT_EQ(monitors.size(), 1u);
  EXPECT_EQ(monitors[0].number, 0);
  EXPECT_TRUE(monitors[0].primary);
  EXPECT_EQ(monitors[0].bounds, kScreen);
}

TEST_F(WindowTest, PlacePopupUsesTheScreen) {
  // The clone of a window at (100, 100) lands 47 right and 48 below; near the right
  // edge it goes to the left of the anchor.
  EXPECT_EQ(PlacePopup(400, 300, {100, 148, 148, 149}, true, true, true), (Point{147, 148}));
  EXPECT_EQ(PlacePopup(400, 300, {1000, 148, 1048, 149}, true, true, true), (Point{600, 148}));
}

TEST_F(WindowTest, FormatPlaceEntryOfARealWindow) {
  HWND window = Create(100, 120, 400, 300);
  const PlaceEntry entry = FormatPlaceEntry(window, false);
  EXPECT_EQ(entry.key, u"1280x1024=");
  EXPECT_EQ(entry.value, u"Nl100t120w400h300");
  EXPECT_EQ(FormatPlaceEntry(window, true).value, u"M");
}

bool IsTopmost(HWND window) {
  return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST_F(WindowTest, SetWindowTopmostPinsAndUnpinsWithoutMoving) {
  for (DWORD style : {DWORD{WS_POPUP}, DWORD{WS_POPUP | WS_VISIBLE}}) {
    HWND window = Create(50, 60, 300, 200, style);
    SetWindowTopmost(window, true);
    EXPECT_TRUE(IsTopmost(window));
    SetWindowTopmost(window, false);
    EXPECT_FALSE(IsTopmost(window));
    RECT rect{};
    ::GetWindowRect(window, &rect);
    EXPECT_EQ(ToRect(rect), (Rect{50, 60, 350, 260}));
    EXPECT_EQ(::IsWindowVisible(window) != FALSE, (style & WS_VISIBLE) != 0);
  }
}

TEST(IsKeyDownTest, ReadsTheDownBitNotTheToggleBit) {
  BYTE saved[256];
  ASSERT_TRUE(::GetKeyboardState(saved));
  BYTE state[256] = {};
  state[VK_SHIFT] = 0x80;
  state[VK_CAPITAL] = 0x01;  // toggled on, not held
  ASSERT_TRUE(::SetKeyboardState(state));
  EXPECT_TRUE(IsKeyDown(VK_SHIFT));
  EXPECT_FALSE(IsKeyDown(VK_CAPITAL));
  EXPECT_FALSE(IsKeyDown(VK_LBUTTON));
  ::SetKeyboardState(saved);
}

int CountQueued(HWND window, UINT first, UINT last) {
  int count = 0;
  MSG message;
  while (::PeekMessageW(&message, window, first, last, PM_REMOVE)) ++count;
  return count;
}

TEST_F(WindowTest, FlushKeyboardMessagesDropsOnlyKeyboardMessages) {
  HWND a = Create(0, 0, 100, 100);
  HWND b = Create(0, 0, 100, 100);
  ::PostMessageW(a, WM_KEYDOWN, 'A', 0);
  ::PostMessageW(b, WM_KEYUP, 'A', 0);
  ::PostMessageW(a, WM_CHAR, 'a', 0);
  ::PostMessageW(a, WM_APP, 0, 0);
  ::PostMessageW(a, WM_LBUTTONDOWN, 0, 0);
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_SYSKEYDOWN, VK_MENU, 0);
  FlushKeyboardMessages();
  EXPECT_EQ(CountQueued(nullptr, WM_KEYFIRST, 0x0109), 0);
  EXPECT_EQ(CountQueued(a, WM_APP, WM_APP), 1);
  EXPECT_EQ(CountQueued(a, WM_LBUTTONDOWN, WM_LBUTTONDOWN), 1);
}

TEST_F(WindowTest, FlushMouseMessagesDropsOnlyThoseOfTheWindow) {
  HWND a = Create(0, 0, 100, 100);
  HWND b = Create(0, 0, 100, 100);
  ::PostMessageW(a, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ::PostMessageW(a, WM_LBUTTONUP, 0, 0);
  ::PostMessageW(a, WM_MOUSEWHEEL, 0, 0);
  ::PostMessageW(a, 0x020E /* WM_MOUSEHWHEEL */, 0, 0);
  ::PostMessageW(b, WM_LBUTTONDOWN, 0, 0);
  ::PostMessageW(a, WM_KEYDOWN, 'A', 0);
  FlushMouseMessages(a);
  EXPECT_EQ(CountQueued(a, WM_MOUSEFIRST, 0x020E), 0);
  EXPECT_EQ(CountQueued(b, WM_MOUSEFIRST, 0x020E), 1);
  EXPECT_EQ(CountQueued(a, WM_KEYDOWN, WM_KEYDOWN), 1);
}

TEST_F(WindowTest, ControlEdgesAndMovesInParentCoordinates) {
  HWND parent = Create(200, 150, 500, 400);
  HWND child = Create(10, 20, 80, 30, WS_CHILD | WS_VISIBLE, parent);
  EXPECT_EQ(ControlRight(child), 90);
  EXPECT_EQ(ControlBottom(child), 50);
  SetControlPos(child, -5, 100);
  EXPECT_EQ(ControlRight(child), 75);
  EXPECT_EQ(ControlBottom(child), 130);
  // A top-level window: screen coordinates.
  EXPECT_EQ(ControlRight(parent), 700);
  EXPECT_EQ(ControlBottom(parent), 550);
}

// A 32-bit DIB section selected into a memory device context, filled with one colour.
class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height, Color fill) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_.Reset(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    bitmap_.Reset(::CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint8_t*>(bits);
    previous_ = ::SelectObject(dc_.Get(), bitmap_.Get());
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) view().Set(x, y, fill);
    }
  }
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;
  ~MemoryCanvas() { ::SelectObject(dc_.Get(), previous_); }

  bool ok() const { return dc_ && bitmap_ && bits_ != nullptr; }
  HDC dc() const { return dc_.Get(); }
  PixelView view() const { return {bits_, width_, height_, std::ptrdiff_t{width_} * 4, 4}; }
  Color At(int x, int y) const {
    ::GdiFlush();
    return view().At(x, y);
  }

 private:
  int width_;
  int height_;
  ScopedCreatedDc dc_;
  ScopedBitmap bitmap_;
  std::uint8_t* bits_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

constexpr Color kBack = 0x373B37;
constexpr Color kRest = 0xFFFFFF;
constexpr Color kDone = 0x808000;
constexpr Color kRim = 0x55552B;

TEST(DrawPieProgressDcTest, MatchesThePureRasteriser) {
  for (double fraction : {0.0, 0.5, 0.3, 1.0}) {
    MemoryCanvas on_dc(40, 30, 0x203040);
    MemoryCanvas in_memory(40, 30, 0x203040);
    ASSERT_TRUE(on_dc.ok());
    // Something other than the fill beneath one corner, to see the blend follow it.
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 8; ++x) {
        on_dc.view().Set(x + 5, y + 7, 0x00FF00);
        in_memory.view().Set(x + 5, y + 7, 0x00FF00);
      }
    }
    const Rect rect{5, 7, 22, 24};
    EXPECT_TRUE(DrawPieProgress(on_dc.dc(), rect, kBack, kRest, kDone, kRim, fraction));
    ASSERT_TRUE(velkaro::DrawPieProgress(in_memory.view(), rect, kRest, kDone, kRim, fraction));
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) {
        ASSERT_EQ(on_dc.At(x, y), in_memory.At(x, y)) << fraction << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(on_dc.At(13, 7), kRim);  // the top middle of the outline
  }
}

TEST(DrawPieProgressDcTest, NarrowRectanglesAndNoDeviceContextDrawNothing) {
  MemoryCanvas canvas(20, 20, kBack);
  EXPECT_FALSE(DrawPieProgress(canvas.dc(), {2, 2, 5, 19}, kBack, kRest, kDone, kRim, 0.5));
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) ASSERT_EQ(canvas.At(x, y), kBack);
  }
  EXPECT_FALSE(DrawPieProgress(nullptr, {0, 0, 17, 17}, kBack, kRest, kDone, kRim, 0.5));
  EXPECT_FALSE(DrawPieProgress(canvas.dc(), {0, 0, 17, 17}, kBack, kRest, kDone, kRim, 2.0));
}

TEST_F(WindowTest, TaskbarProgressWithAndWithoutTheObject) {
  HWND window = Create(10, 10, 200, 100, WS_OVERLAPPEDWINDOW);
  {
    const TaskbarProgress without(false);
    EXPECT_FALSE(without.has_object());
    EXPECT_EQ(without.button_created_message(), ::RegisterWindowMessageW(L"TaskbarButtonCreated"));
    without.SetTaskbarProgress(window, 30, 100);
    without.ClearTaskbarProgress(window);
  }
  const TaskbarProgress with(true);
  EXPECT_TRUE(with.has_object());  // the shell's object exists under Wine too
  EXPECT_GE(with.button_created_message(), 0xC000u);
  with.SetTaskbarProgress(window, 30, 100);
  with.SetTaskbarProgress(window, 100, 100);
  with.ClearTaskbarProgress(window);
  with.ClearTaskbarProgress(nullptr);
}

}  // namespace
}  // namespace velkaro::win32
