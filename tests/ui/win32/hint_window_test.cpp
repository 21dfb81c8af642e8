#include "ui/win32/hint_window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "ui/win32/application.h"
#include "ui/win32/gdi_text_canvas.h"
#include "ui/win32/screen.h"
#include "ui/win32/window.h"

namespace velkaro::win32 {
namespace {

using namespace std::chrono_literals;

constexpr char16_t kWarning[] =
    u"[fB;Too many threads!] The number will be limited to [fB;100,000].";

TApplication& App() {
  static TApplication application(::GetModuleHandleW(nullptr));
  return application;
}

// Pumps the application's messages until `done` or `timeout` has passed.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    App().ProcessMessages();
    ::Sleep(2);
  }
  return true;
}

void PumpFor(std::chrono::milliseconds time) {
  PumpUntil([] { return false; }, time);
}

std::u16string WindowText(HWND window) {
  wchar_t buffer[512] = {};
  const auto length = ::SendMessageW(window, WM_GETTEXT, std::size(buffer),
                                     reinterpret_cast<LPARAM>(buffer));
  return std::u16string(buffer, buffer + length);
}

Rect ScreenBounds(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return ToRect(r);
}

// The visible hint windows of this thread.
std::vector<HWND> VisibleHints() {
  std::vector<HWND> found;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
        if (::lstrcmpW(name, kHintWindowClassName) == 0 && ::IsWindowVisible(window)) {
          reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// A top-level window or panel of our own class.
class TestWindow : public WindowBase {
 public:
  bool Create(DWORD style, const Rect& bounds, HWND parent) {
    return CreateWindowOfClass(L"VelkaroHintTestWindow", 0, style, bounds, parent, nullptr,
                               u"Hint test");
  }
};

HWND CreateButton(HWND parent, const Rect& bounds, const wchar_t* text) {
  return ::CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                           bounds.left, bounds.top, static_cast<int>(bounds.Width()),
                           static_cast<int>(bounds.Height()), parent, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

class FreqHintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    InitHintFont();
    // Hidden: the hints stand on the screen by the control's coordinates alone.
    ASSERT_TRUE(form_.Create(WS_POPUP, {200, 300, 600, 500}, nullptr));
    edit_ = CreateButton(form_.Handle(), {20, 40, 120, 61}, L"edThreads");
    ASSERT_NE(edit_, nullptr);
    PumpFor(50ms);
  }
  void TearDown() override {
    ShowFreqHint(u"", {}, 0, 0, 0, nullptr, 0, 0, holder_, 0, 0, 0, 0, 0, 0, false);
    App().ProcessMessages();
  }

  // The warning above the control as the main window shows it.
  void ShowWarning(std::u16string_view text, std::uint32_t hide_millisec = 4000) {
    POINT anchor{0, -1};
    ::ClientToScreen(edit_, &anchor);
    ShowFreqHint(text, {anchor.x, anchor.y}, 0, hide_millisec, 100, form_.Handle(),
                 static_cast<Color>(::GetSysColor(COLOR_INFOBK)), 1000, holder_, 0, -1,
                 kNoHintPoint, kNoHintPoint, 0, 0, false);
  }

  TestWindow form_;
  HWND edit_ = nullptr;
  TKivFreqHintWindow* holder_ = nullptr;
};

TEST_F(FreqHintTest, ShowsAtOnceDirectlyAboveTheControl) {
  ShowWarning(kWarning);
  ASSERT_NE(holder_, nullptr);
  const HWND hint = holder_->Handle();
  ASSERT_TRUE(::IsWindowVisible(hint)) << "no delay before the first showing";
  EXPECT_EQ(WindowText(hint), kWarning);
  wchar_t name[64] = {};
  ::GetClassNameW(hint, name, static_cast<int>(std::size(name)));
  EXPECT_STREQ(name, kHintWindowClassName);

  const Rect control = ScreenBounds(edit_);
  const Rect bounds = ScreenBounds(hint);
  EXPECT_EQ(bounds.bottom, control.top - 1);
  EXPECT_EQ(bounds.left, control.left);
  EXPECT_GT(bounds.Width(), 100);

  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hint, GWL_STYLE));
  const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(hint, GWL_EXSTYLE));
  const auto class_style = static_cast<DWORD>(::GetClassLongPtrW(hint, GCL_STYLE));
  EXPECT_NE(style & WS_POPUP, 0u);
  EXPECT_EQ(style & WS_BORDER, 0u);
  EXPECT_NE(ex_style & WS_EX_TOOLWINDOW, 0u);
  EXPECT_NE(ex_style & WS_EX_TOPMOST, 0u);
  EXPECT_EQ(class_style & (CS_SAVEBITS | CS_DROPSHADOW), UINT{CS_SAVEBITS | CS_DROPSHADOW});
  EXPECT_EQ(::GetWindow(hint, GW_OWNER), form_.Handle());
  EXPECT_NE(::GetForegroundWindow(), hint) << "a hint never takes the activation";
}

TEST_F(FreqHintTest, QuickChangesShowOnlyTheLastText) {
  ShowWarning(u"first");
  ASSERT_NE(holder_, nullptr);
  const HWND hint = holder_->Handle();
  std::vector<std::u16string> seen;
  const auto record = [&] {
    const std::u16string text = WindowText(hint);
    if (seen.empty() || seen.back() != text) seen.push_back(text);
  };
  ShowWarning(u"second");
  EXPECT_EQ(WindowText(hint), u"first") << "the new text waits for the reshow delay";
  PumpUntil([&] { record(); return false; }, 30ms);
  ShowWarning(u"[fB;third]");
  ASSERT_TRUE(PumpUntil([&] { record(); return WindowText(hint) == u"[fB;third]"; }));
  EXPECT_EQ(seen.front(), u"first");
  EXPECT_EQ(seen.back(), u"[fB;third]");
  EXPECT_EQ(std::count(seen.begin(), seen.end(), u"second"), 0);
  EXPECT_EQ(holder_->Handle(), hint) << "the window is reused";
  EXPECT_TRUE(::IsWindowVisible(hint));
}

TEST_F(FreqHintTest, EmptyTextDestroysAndEmptiesTheHolder) {
  ShowWarning(kWarning);
  ASSERT_NE(holder_, nullptr);
  const HWND hint = holder_->Handle();
  ShowWarning(u"");
  EXPECT_EQ(holder_, nullptr);
  EXPECT_FALSE(::IsWindow(hint));
  ShowWarning(u"");
  EXPECT_EQ(holder_, nullptr);
  // A later text makes a new hint.
  ShowWarning(kWarning);
  ASSERT_NE(holder_, nullptr);
  EXPECT_TRUE(::IsWindowVisible(holder_->Handle()));
}

TEST_F(FreqHintTest, EmptyTextCancelsADelayedShow) {
  ShowWarning(u"first");
  ASSERT_NE(holder_, nullptr);
  ShowWarning(u"second");  // waits for the reshow delay
  ShowWarning(u"");
  EXPECT_EQ(holder_, nullptr);
  PumpFor(300ms);
  EXPECT_TRUE(VisibleHints().empty());
}

TEST_F(FreqHintTest, DestroyingTheOwnerEmptiesTheHolder) {
  TestWindow owner;
  ASSERT_TRUE(owner.Create(WS_POPUP, {0, 0, 50, 50}, nullptr));
  ShowFreqHint(kWarning, {300, 300}, 0, 4000, 100, owner.Handle(), 0xE1FFFF, 1000, holder_, 0,
               -1, kNoHintPoint, kNoHintPoint, 0, 0, false);
  ASSERT_NE(holder_, nullptr);
  const HWND hint = holder_->Handle();
  ::DestroyWindow(owner.Handle());
  EXPECT_EQ(holder_, nullptr);
  EXPECT_FALSE(::IsWindow(hint));
}

TEST_F(FreqHintTest, DisappearsAfterItsDisplayTime) {
  const auto start = std::chrono::steady_clock::now();
  ShowWarning(kWarning, 300);
  ASSERT_NE(holder_, nullptr);
  const HWND hint = holder_->Handle();
  ASSERT_TRUE(PumpUntil([&] { return holder_ == nullptr; }));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
  EXPECT_FALSE(::IsWindow(hint));
}

TEST_F(FreqHintTest, AReshownTextRestartsTheDisplayTime) {
  ShowWarning(u"first", 600);
  ASSERT_NE(holder_, nullptr);
  PumpFor(400ms);
  ASSERT_NE(holder_, nullptr);
  ShowWarning(u"second", 600);
  // 100 ms until the text shows, then 600 ms again: still there 700 ms after the start.
  PumpFor(400ms);
  ASSERT_NE(holder_, nullptr);
  EXPECT_EQ(WindowText(holder_->Handle()), u"second");
  EXPECT_TRUE(PumpUntil([&] { return holder_ == nullptr; }));
}

TEST_F(FreqHintTest, CentredAndSecondPoint) {
  ShowFreqHint(u"centred", {400, 400}, 0, 4000, 0, form_.Handle(), 0xE1FFFF, 1000, holder_, 0, 0,
               kNoHintPoint, kNoHintPoint, 0, 0, true);
  ASSERT_NE(holder_, nullptr);
  Rect bounds = ScreenBounds(holder_->Handle());
  EXPECT_EQ(bounds.left, 400 - bounds.Width() / 2);
  EXPECT_EQ(bounds.top, 400 - bounds.Height() / 2);
  // Above the top of the screen it does not fit: the second point, below it, is taken.
  ShowFreqHint(u"second point", {100, 0}, 0, 4000, 0, form_.Handle(), 0xE1FFFF, 1000, holder_, 0,
               -1, 150, 60, 0, 0, false);
  bounds = ScreenBounds(holder_->Handle());
  EXPECT_EQ(bounds.left, 150);
  EXPECT_EQ(bounds.top, 60);
}

class HintSizeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    InitHintFont();
    ASSERT_TRUE(hint_.Create(nullptr));
  }
  TKivHintWindow hint_;
};

TEST_F(HintSizeTest, MarkedUpTextIsItsMeasuredSizePlusMargins) {
  ColorTextArgs args;
  args.def_font_color = static_cast<Color>(::GetSysColor(COLOR_INFOTEXT));
  args.def_font_name = HintFont().Name;
  args.def_font_size = HintFont().Size;
  Rect measured{0, 0, 1000, 1000};
  {
    const ScopedGetDc dc(hint_.Handle());
    DrawMarkupText(kWarning, dc.Get(), measured, args, true);
  }
  ASSERT_GT(measured.right, 0);
  const Point size = hint_.CalcHintSize(kWarning, 1000);
  EXPECT_EQ(size, (Point{measured.right + 6, measured.bottom + 4}));

  const Point bold = hint_.CalcHintSize(u"[fB;Too many threads!]", 1000);
  const Point plain = hint_.CalcHintSize(u"[f;Too many threads!]", 1000);
  EXPECT_GT(bold.x, plain.x);
  EXPECT_EQ(bold.y, plain.y);
  const Point unmarked = hint_.CalcHintSize(u"Too many threads!", 1000);
  EXPECT_NEAR(unmarked.x, plain.x, 2);
  EXPECT_EQ(unmarked.y, plain.y);
}

TEST_F(HintSizeTest, LinesWrapAtTheMaximumWidth) {
  const std::u16string text =
      u"[fB;Wrapped] words words words words words words words words words words words";
  const Point one_line = hint_.CalcHintSize(text, 1000);
  const Point wrapped = hint_.CalcHintSize(text, 120);
  EXPECT_LE(wrapped.x, 126);
  EXPECT_GE(wrapped.y, 2 * (one_line.y - 4) + 4);
  const Point plain_wrapped = hint_.CalcHintSize(u"words words words words words words", 60);
  EXPECT_LE(plain_wrapped.x, 66);
  EXPECT_GT(plain_wrapped.y, hint_.CalcHintSize(u"words", 60).y);
}

TEST_F(HintSizeTest, IconEntriesAreNotShownAsText) {
  const Point plain = hint_.CalcHintSize(u"Text", 1000);
  const Point with_icon = hint_.CalcHintSize(u"{*Ico 0,0,16x40*}Text", 1000);
  EXPECT_EQ(with_icon, (Point{plain.x + 20, 44}));
}

TEST_F(HintSizeTest, CaptionChangeResizesOutsideAnActivation) {
  hint_.ActivateHint({10, 10, 60, 30}, u"x");
  EXPECT_EQ(ScreenBounds(hint_.Handle()), (Rect{10, 10, 60, 30}));
  ::SetWindowTextW(hint_.Handle(), L"[fB;A longer text now]");
  const Point expected = hint_.CalcHintSize(u"[fB;A longer text now]", 10000);
  EXPECT_EQ(ScreenBounds(hint_.Handle()), (Rect{10, 10, 10 + expected.x, 10 + expected.y}));
  EXPECT_EQ(WindowText(hint_.Handle()), u"[fB;A longer text now]");
  // A line longer than any activation's width stays one line: the new size is taken
  // with room for 10,000 pixels.
  const std::u16string long_line(400, u'W');
  ::SetWindowTextW(hint_.Handle(), reinterpret_cast<const wchar_t*>(long_line.c_str()));
  const Rect one_line = ScreenBounds(hint_.Handle());
  EXPECT_GT(one_line.Width(), 2000);
  EXPECT_EQ(one_line.Height(), expected.y);
  hint_.HideHint();
}

TEST(ControlHintTest, LivesWithTheControl) {
  App();
  TestWindow form;
  ASSERT_TRUE(form.Create(WS_POPUP, {0, 0, 100, 100}, nullptr));
  const HWND button = CreateButton(form.Handle(), {0, 0, 50, 20}, L"b");
  EXPECT_EQ(ControlHint(button), u"");
  SetControlHint(button, u"[fB;Run]\rnow");
  EXPECT_EQ(ControlHint(button), u"[fB;Run]\rnow");
  SetControlHint(button, u"again");
  EXPECT_EQ(ControlHint(button), u"again");
  SetControlHint(button, u"");
  EXPECT_EQ(ControlHint(button), u"");
  SetControlHint(button, u"last");
  ::DestroyWindow(button);
  EXPECT_EQ(ControlHint(button), u"");
  EXPECT_EQ(::GetPropW(button, L"VelkaroHintText"), nullptr);
}

// The application's tooltips: the real cursor moves over real windows.
class HoverTest : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kDelay = 200;

  void SetUp() override {
    App();
    InitHintFont();
    hints_ = std::make_unique<ApplicationHints>(App(), kDelay);
    ASSERT_TRUE(form_.Create(WS_POPUP | WS_VISIBLE, {100, 100, 500, 400}, nullptr));
    go_ = CreateButton(form_.Handle(), {20, 20, 140, 50}, L"Go");
    ASSERT_TRUE(panel_.Create(WS_CHILD | WS_VISIBLE, {20, 100, 300, 200}, form_.Handle()));
    inner_ = CreateButton(panel_.Handle(), {10, 10, 110, 40}, L"Inner");
    disabled_ = CreateButton(panel_.Handle(), {150, 10, 250, 40}, L"Off");
    ::EnableWindow(disabled_, FALSE);
    SetControlHint(go_, u"[fB;Enter] starts,\r[fB;Esc] stops");
    SetControlHint(panel_.Handle(), u"The panel");
    SetControlHint(disabled_, u"Disabled one");
    MoveTo(form_.Handle(), 390, 290);  // over the form, away from any hint
    ::SetForegroundWindow(form_.Handle());
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == form_.Handle(); }))
        << "the test form cannot take the foreground";
  }
  void TearDown() override {
    hints_.reset();
    App().ProcessMessages();
  }

  // Puts the cursor on a client point of `window` and lets the system report the move.
  static POINT MoveTo(HWND window, int x, int y) {
    POINT at{x, y};
    ::ClientToScreen(window, &at);
    ::SetCursorPos(at.x - 1, at.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof(input));
    ::SetCursorPos(at.x, at.y);
    return at;
  }

  static bool HintShows(std::u16string_view text) {
    const std::vector<HWND> hints = VisibleHints();
    return hints.size() == 1 && WindowText(hints.front()) == text;
  }

  std::unique_ptr<ApplicationHints> hints_;
  TestWindow form_;
  TestWindow panel_;
  HWND go_ = nullptr;
  HWND inner_ = nullptr;
  HWND disabled_ = nullptr;
};

TEST_F(HoverTest, ShowsTheControlsHintBelowTheCursor) {
  PumpFor(3 * std::chrono::milliseconds(kDelay));
  EXPECT_TRUE(VisibleHints().empty()) << "no hint over the form itself";
  const auto start = std::chrono::steady_clock::now();
  const POINT cursor = MoveTo(go_, 30, 15);
  ASSERT_TRUE(PumpUntil([] { return HintShows(u"[fB;Enter] starts,\r[fB;Esc] stops"); }));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kDelay - 20));
  const HWND hint = VisibleHints().front();
  EXPECT_EQ(hint, hints_->HintWindow());
  const Rect bounds = ScreenBounds(hint);
  EXPECT_EQ(bounds.left, cursor.x);
  EXPECT_EQ(bounds.top, cursor.y + ::GetSystemMetrics(SM_CYCURSOR));
  EXPECT_GT(bounds.Height(), 2 * 10) << "two lines";
  EXPECT_EQ(::GetWindow(hint, GW_OWNER), form_.Handle()) << "a form that is not the main one";

  // A key press hides it; it stays away over the same control.
  ::PostMessageW(go_, WM_KEYDOWN, VK_SHIFT, 1);
  ASSERT_TRUE(PumpUntil([] { return VisibleHints().empty(); }));
  PumpFor(3 * std::chrono::milliseconds(kDelay));
  EXPECT_TRUE(VisibleHints().empty());
}

TEST_F(HoverTest, ControlWithoutAHintShowsItsParentsAndDisabledOnesTheirOwn) {
  MoveTo(inner_, 30, 15);
  ASSERT_TRUE(PumpUntil([] { return HintShows(u"The panel"); }));
  MoveTo(disabled_, 30, 15);
  ASSERT_TRUE(PumpUntil([] { return HintShows(u"Disabled one"); }));
  MoveTo(form_.Handle(), 390, 290);
  EXPECT_TRUE(PumpUntil([] { return VisibleHints().empty(); })) << "leaving the control hides it";
}

TEST_F(HoverTest, DisappearsAfterTenTimesTheDelay) {
  MoveTo(go_, 30, 15);
  ASSERT_TRUE(PumpUntil([] { return !VisibleHints().empty(); }));
  const auto shown = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([] { return VisibleHints().empty(); }));
  EXPECT_GE(std::chrono::steady_clock::now() - shown, 10 * std::chrono::milliseconds(kDelay) - 100ms);
}

TEST_F(HoverTest, NothingOverAFormThatIsNotInTheForeground) {
  TestWindow other;
  ASSERT_TRUE(other.Create(WS_POPUP | WS_VISIBLE, {700, 100, 900, 300}, nullptr));
  ::SetForegroundWindow(other.Handle());
  ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == other.Handle(); }));
  MoveTo(go_, 30, 15);
  PumpFor(4 * std::chrono::milliseconds(kDelay));
  EXPECT_TRUE(VisibleHints().empty());
  // Once the form is in the foreground again, the hint comes.
  ::SetForegroundWindow(form_.Handle());
  MoveTo(go_, 32, 15);
  EXPECT_TRUE(PumpUntil([] { return HintShows(u"[fB;Enter] starts,\r[fB;Esc] stops"); }));
  // And goes when the form loses the foreground.
  ::SetForegroundWindow(other.Handle());
  EXPECT_TRUE(PumpUntil([] { return VisibleHints().empty(); }));
}

}  // namespace
}  // namespace velkaro::win32
