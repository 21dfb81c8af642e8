// velkaro.exe's hints seen from outside: the thread-count warning above its field and
// a control's tooltip under the mouse.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "main_window_driver.h"
#include "ui/win32/hint_window.h"

namespace velkaro::win32::driver {
namespace {

using namespace main_window;

constexpr wchar_t kIdleCaption[] = L"Velkaro - Emulator of CPU load";

// The hint font, worked out from the system's message font the way the program does,
// plain or bold, on the screen.
class HintFontDc {
 public:
  explicit HintFontDc(bool bold) : screen_(::GetDC(nullptr)) {
    InitHintFont();
    const THintFont& hint_font = HintFont();
    LOGFONTW log{};
    const std::size_t length = std::min<std::size_t>(hint_font.Name.size(), LF_FACESIZE - 1);
    std::copy_n(hint_font.Name.begin(), length, log.lfFaceName);
    log.lfHeight = -::MulDiv(hint_font.Size, ::GetDeviceCaps(screen_, LOGPIXELSY), 72);
    log.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    log.lfCharSet = DEFAULT_CHARSET;
    font_ = ::CreateFontIndirectW(&log);
    old_ = ::SelectObject(screen_, font_);
  }
  HintFontDc(const HintFontDc&) = delete;
  HintFontDc& operator=(const HintFontDc&) = delete;
  ~HintFontDc() {
    ::SelectObject(screen_, old_);
    ::DeleteObject(font_);
    ::ReleaseDC(nullptr, screen_);
  }

  // Measured character by character, as the hint lays its lines out.
  int Width(std::wstring_view text) const {
    int width = 0;
    for (const wchar_t c : text) {
      SIZE size{};
      ::GetTextExtentPoint32W(screen_, &c, 1, &size);
      width += size.cx;
    }
    return width;
  }
  int LineHeight() const {
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen_, &metrics);
    return metrics.tmHeight;
  }

 private:
  HDC screen_;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

int TextWidth(std::wstring_view text, bool bold) { return HintFontDc(bold).Width(text); }

class MainWindowHintsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_.Started()) << "velkaro.exe did not show its window";
    ASSERT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
    ::SetForegroundWindow(app_.Window());
    ASSERT_TRUE(WaitFor([this] { return ::GetForegroundWindow() == app_.Window(); }));
  }

  // The program's hint window on screen, or nullptr.
  HWND VisibleHint() const { return app_.FindVisibleWindow(kHintWindowClassName); }

  // Types one more digit at the end of the thread count, from the keyboard.
  void TypeThreadsDigit(wchar_t digit) const {
    const HWND field = app_.Control(kEdThreads);
    ::PostMessageW(field, EM_SETSEL, 100, 100);
    app_.TypeKey(static_cast<WORD>(digit));
  }

  static RECT ScreenRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
  }

  Velkaro app_{ProgramPath(VELKARO_EXE_PATH)};
};

TEST_F(MainWindowHintsTest, ThreadCountAboveTheLimitShowsTheWarningAboveTheField) {
  app_.SetText(kEdThreads, L"10000");
  app_.ClickInto(kEdThreads);
  ASSERT_TRUE(WaitFor([this] { return app_.Focused() == app_.Control(kEdThreads); }));
  EXPECT_EQ(VisibleHint(), nullptr);

  TypeThreadsDigit(L'1');
  ASSERT_TRUE(WaitFor([this] { return app_.ControlText(kEdThreads) == L"100001"; }));
  HWND hint = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (hint = VisibleHint()) != nullptr; }, 2s));

  const std::wstring sep = UserThousandsSeparator();
  const std::wstring limit = L"100" + sep + L"000";
  EXPECT_EQ(app_.Text(hint),
            L"[fB;Too many threads!] The number will be limited to [fB;" + limit + L"].");
  // Standing on the field: its left edge on the field's, its bottom one pixel above it.
  const RECT field = ScreenRect(app_.Control(kEdThreads));
  const RECT r = ScreenRect(hint);
  EXPECT_EQ(r.left, field.left);
  EXPECT_EQ(r.bottom, field.top - 1);
  // The bold runs make it as wide as the text with them bold, plus the frame's margin.
  const int bold = TextWidth(L"Too many threads!", true) +
                   TextWidth(L" The number will be limited to ", false) +
                   TextWidth(limit, true) + TextWidth(L".", false);
  const int plain = TextWidth(L"Too many threads! The number will be limited to " + limit + L".",
                              false);
  ASSERT_LT(plain, bold);
  EXPECT_EQ(r.right - r.left, bold + 6);

  // Back to the limit: gone at once. The field keeps what was typed.
  app_.TypeKey(VK_BACK);
  EXPECT_TRUE(WaitFor([this] { return VisibleHint() == nullptr; }, 1s));
  EXPECT_EQ(app_.ControlText(kEdThreads), L"10000");
}

TEST_F(MainWindowHintsTest, WarningGoesAfterFourSecondsAndQuickTypingRestartsItsTime) {
  app_.SetText(kEdThreads, L"100000");
  app_.ClickInto(kEdThreads);
  ASSERT_TRUE(WaitFor([this] { return app_.Focused() == app_.Control(kEdThreads); }));
  TypeThreadsDigit(L'1');
  HWND hint = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (hint = VisibleHint()) != nullptr; }, 2s));
  const auto shown = Clock::now();

  // Three quick keystrokes while it stands: the same window takes the last text 100 ms
  // after the last of them and stays four seconds from then.
  std::this_thread::sleep_until(shown + 2s);
  for (int i = 0; i < 3; ++i) TypeThreadsDigit(L'2');
  const auto typed = Clock::now();
  ASSERT_TRUE(WaitFor([this] { return app_.ControlText(kEdThreads) == L"1000001222"; }));
  std::this_thread::sleep_until(shown + 4500ms);
  EXPECT_EQ(VisibleHint(), hint) << "the display time did not restart";
  EXPECT_TRUE(WaitFor([this] { return VisibleHint() == nullptr; }, 4s));
  EXPECT_GE(Clock::now() - typed, 3500ms);

  // Still above the limit: the next keystroke shows it again.
  TypeThreadsDigit(L'3');
  EXPECT_TRUE(WaitFor([this] { return VisibleHint() != nullptr; }, 2s));
}

TEST_F(MainWindowHintsTest, HoveringOverTheStartButtonShowsItsTwoLineHint) {
  const RECT button = ScreenRect(app_.Control(kBDo));
  const POINT at{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  ::SetCursorPos(at.x - 5, at.y);
  ::SetCursorPos(at.x, at.y);
  HWND hint = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (hint = VisibleHint()) != nullptr; }, 5s));
  EXPECT_EQ(app_.Text(hint), L"[fB;Enter] - Run Stressing\r[fB;Esc] - Stop Stressing");

  const RECT r = ScreenRect(hint);
  EXPECT_GT(r.top, at.y) << "below the cursor";
  // Two lines, the key names bold: as wide as the wider line so drawn.
  const int first = TextWidth(L"Enter", true) + TextWidth(L" - Run Stressing", false);
  const int second = TextWidth(L"Esc", true) + TextWidth(L" - Stop Stressing", false);
  EXPECT_EQ(r.right - r.left, std::max(first, second) + 6);
  EXPECT_EQ(r.bottom - r.top, 2 * HintFontDc(true).LineHeight() + 4);

  // Away from the window, the hint goes.
  const RECT window = ScreenRect(app_.Window());
  ::SetCursorPos(window.right + 40, window.bottom + 40);
  EXPECT_TRUE(WaitFor([this] { return VisibleHint() == nullptr; }, 3s));
}

TEST_F(MainWindowHintsTest, HoveringOverTheChartShowsItsHint) {
  const RECT chart = ScreenRect(app_.Control(kPnDiag));
  ASSERT_LT(chart.left, chart.right);
  const POINT at{chart.left + 30, (chart.top + chart.bottom) / 2};
  ::SetCursorPos(at.x - 5, at.y);
  ::SetCursorPos(at.x, at.y);
  HWND hint = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (hint = VisibleHint()) != nullptr; }, 5s));
  EXPECT_EQ(app_.Text(hint), L"CPU loading chart");
  const RECT window = ScreenRect(app_.Window());
  ::SetCursorPos(window.right + 40, window.bottom + 40);
  EXPECT_TRUE(WaitFor([this] { return VisibleHint() == nullptr; }, 3s));
}

}  // namespace
}  // namespace velkaro::win32::driver
