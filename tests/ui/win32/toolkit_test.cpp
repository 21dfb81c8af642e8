#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/win32/application.h"
#include "ui/win32/controls.h"
#include "ui/win32/form.h"
#include "ui/win32/form_layout.h"
#include "ui/win32/screen.h"
#include "toolkit_test_form.h"

namespace velkaro::win32 {
namespace {

using namespace toolkit_test;

constexpr UINT kThrowMessage = kFirstPrivateMessage + 1;
constexpr UINT kRecordMessage = kFirstPrivateMessage + 2;

// ScaleForDpi and the layout checks need no window; they run here with the rest.
struct ScaleCase {
  int value;
  int dpi;
  int expected;
};

TEST(ScaleForDpiTest, RoundsLikeMulDiv) {
  const ScaleCase cases[] = {
      {493, 96, 493}, {11, 144, 17},  {-11, 144, -17}, {21, 144, 32},  {81, 120, 101},
      {0, 144, 0},    {1, 144, 2},    {-1, 144, -2},   {16, 144, 24},  {275, 192, 550},
      {3, 72, 2},     {-3, 72, -2},   {100, 96, 100},  {2147483, 96, 2147483},
  };
  for (const ScaleCase& c : cases) {
    EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
    EXPECT_EQ(ScaleForDpi(c.value, c.dpi), ::MulDiv(c.value, c.dpi, 96))
        << c.value << " at " << c.dpi;
  }
}

TEST(ScaleForDpiTest, BoundsScaleSizeApartFromPosition) {
  // Left and width scaled separately: right = 279 + 122, not 401.5 rounded from 267.
  EXPECT_EQ(ScaleBoundsForDpi({186, 20, 267, 41}, 144), (Rect{279, 30, 401, 62}));
  EXPECT_EQ(ScaleBoundsForDpi({267, 20, 283, 41}, 144), (Rect{401, 30, 425, 62}));
  EXPECT_EQ(ScaleBoundsForDpi({186, 20, 267, 41}, 96), (Rect{186, 20, 267, 41}));
}

TEST(LayoutTest, ChecksIdsParentsAndBuddies) {
  EXPECT_TRUE(IsValidLayout(kLayout));
  using K = ControlKind;
  const ControlLayout panel{K::kPanel, 10, 0, 0, 0, 10, 10, 0, std::nullopt};
  const ControlLayout edit{K::kEdit, 11, 0, 0, 0, 10, 10, 0, std::nullopt};
  const ControlLayout up_down{K::kUpDown, 12, 0, 0, 0, 10, 10, 0, std::nullopt};
  const ControlLayout in_panel{K::kLabel, 13, 10, 0, 0, 0, 0, 0, std::nullopt};
  const ControlLayout in_edit{K::kLabel, 14, 11, 0, 0, 0, 0, 0, std::nullopt};
  const ControlLayout dialog_id{K::kButton, 1, 0, 0, 0, 10, 10, 0, std::nullopt};
  struct Case {
    std::vector<ControlLayout> layout;
    bool valid;
  } const cases[] = {
      {{panel, in_panel, edit, up_down}, true},
      {{in_panel, panel}, false},         // parent listed later
      {{edit, in_edit}, false},           // parent is no panel
      {{panel, panel}, false},            // id twice
      {{up_down}, false},                 // no edit before it
      {{edit, panel, up_down}, false},    // not right after the edit
      {{dialog_id}, false},               // IDOK
      {{}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidLayout(c.layout), c.valid) << c.layout.size();
}

TApplication& App() {
  static TApplication application(::GetModuleHandleW(nullptr));
  return application;
}

// Pumps messages until `done` or five seconds have passed.
bool PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    App().ProcessMessages();
    ::Sleep(1);
  }
  return true;
}

class TestForm : public TForm {
 public:
  std::vector<int> commands;
  std::vector<UINT_PTR> timers;
  std::vector<WPARAM> previewed;
  bool consume_enter = true;
  int recorded = 0;

  bool PreviewKey(UINT message, WPARAM key) override {
    if (message == WM_KEYDOWN) previewed.push_back(key);
    return consume_enter && key == VK_RETURN;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override {
    if (message == kThrowMessage) throw std::runtime_error("Value \xC2\xBB" "Threads\xC2\xAB is no number");
    if (message == kRecordMessage) {
      ++recorded;
      return 0;
    }
    return TForm::HandleMessage(message, w, l);
  }
  void OnTimer(UINT_PTR id) override { timers.push_back(id); }
  bool OnCommand(int id, int code, HWND /*control*/) override {
    if (code == BN_CLICKED) commands.push_back(id);
    return true;
  }
};

// Forms stay hidden: without a window manager Wine waits for shown windows to go away.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(form_.Create({.caption = u"Toolkit test",
                              .client_width = kClientWidth,
                              .client_height = kClientHeight},
                             kLayout));
  }
  void TearDown() override { App().ProcessMessages(); }

  Rect BoundsOf(int id) const { return Window(form_.Control(id)).Bounds(); }

  TestForm form_;
};

TEST_F(FormTest, ControlsStandWhereTheTableSaysAt96Dpi) {
  ASSERT_EQ(form_.Dpi(), 96) << "Xvfb runs at 96 DPI";
  EXPECT_EQ(Window(form_.Handle()).ClientSize(), (Point{kClientWidth, kClientHeight}));
  for (const ControlLayout& control : kLayout) {
    const HWND window = form_.Control(control.id);
    ASSERT_NE(window, nullptr) << control.id;
    EXPECT_EQ(::GetDlgCtrlID(window), control.id);
    const Rect bounds = Window(window).Bounds();
    if (control.width == 0) {
      EXPECT_EQ(bounds.left, control.left) << control.id;
      EXPECT_EQ(bounds.top, control.top) << control.id;
      EXPECT_GT(bounds.Width(), 10) << "a label sized to its text " << control.id;
      EXPECT_GE(bounds.Height(), 11) << control.id;
    } else {
      EXPECT_EQ(bounds, control.Bounds()) << control.id;
    }
  }
  EXPECT_EQ(::GetParent(form_.Control(kPinA)), form_.Control(kPanel));
  EXPECT_EQ(Window(form_.Control(kGoButton)).Text(), u"Run CPU Stressing!");
}

TEST_F(FormTest, FontIsElevenPixelsHigh) {
  LOGFONTW font{};
  ASSERT_NE(::GetObjectW(form_.FormFont(), sizeof(font), &font), 0);
  EXPECT_EQ(font.lfHeight, -11);
  const std::u16string face(font.lfFaceName, font.lfFaceName + ::lstrlenW(font.lfFaceName));
  if (IsFontInstalled(u"Tahoma")) {
    EXPECT_EQ(face, u"Tahoma");
  } else {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    EXPECT_EQ(::lstrcmpW(font.lfFaceName, metrics.lfMessageFont.lfFaceName), 0);
  }
  EXPECT_EQ(Window(form_.Control(kEdit)).Font(), form_.FormFont());
}

TEST_F(FormTest, DpiChangeScalesControlsAndFont) {
  RECT suggested{100, 80, 100 + 760, 80 + 300};
  Window(form_.Handle()).Send(WM_DPICHANGED, MAKEWPARAM(144, 144),
                              reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form_.Dpi(), 144);
  EXPECT_EQ(Window(form_.Handle()).Bounds(), (Rect{100, 80, 860, 380}));
  for (const int id : {kEdit, kUpDownId, kGoButton, kProgress, kPinB}) {
    const ControlLayout& control = *std::find_if(
        kLayout.begin(), kLayout.end(), [id](const ControlLayout& c) { return c.id == id; });
    EXPECT_EQ(BoundsOf(id), ScaleBoundsForDpi(control.Bounds(), 144)) << id;
  }
  LOGFONTW font{};
  ASSERT_NE(::GetObjectW(form_.FormFont(), sizeof(font), &font), 0);
  EXPECT_EQ(font.lfHeight, -17);
  EXPECT_EQ(Window(form_.Control(kLabel)).Font(), form_.FormFont());
}

TEST_F(FormTest, TypedTextReadsBack) {
  const Edit edit = form_.ControlAs<Edit>(kEdit);
  for (const wchar_t c : std::wstring(L"3600")) edit.Send(WM_CHAR, c, 1);
  EXPECT_EQ(edit.Text(), u"3600");
  edit.Send(WM_CHAR, VK_BACK, 1);
  EXPECT_EQ(edit.Text(), u"360");
  edit.SetText(u"Ünïcode 100 000");
  EXPECT_EQ(edit.Text(), u"Ünïcode 100 000");
  edit.SetText(u"");
  EXPECT_EQ(edit.Text(), u"");
}

TEST_F(FormTest, UpDownKeepsItsRangeAndShowsItsPositionInTheEdit) {
  const UpDown up_down = form_.ControlAs<UpDown>(kUpDownId);
  const Edit edit = form_.ControlAs<Edit>(kEdit);
  EXPECT_EQ(up_down.Buddy(), edit.Get());
  up_down.SetRange(1, 100000);
  EXPECT_EQ(up_down.Minimum(), 1);
  EXPECT_EQ(up_down.Maximum(), 100000);
  up_down.SetPosition(250);
  EXPECT_EQ(edit.Text(), u"250");
  EXPECT_EQ(up_down.Position(), 250);
  up_down.SetPosition(250000);  // beyond the range: held at its end
  EXPECT_EQ(up_down.Position(), 100000);
  EXPECT_EQ(edit.Text(), u"100000") << "no thousands separator";
  edit.SetText(u"12");
  EXPECT_EQ(up_down.Position(), 12) << "read from the edit";
  edit.SetText(u"abc");
  EXPECT_EQ(up_down.Position(), std::nullopt);

  up_down.SetRange(0, 100);
  up_down.SetIncrement(5);
  up_down.SetPosition(0);
  edit.Send(WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(up_down.Position(), 5) << "the up arrow key steps by the increment";
}

TEST_F(FormTest, ComboHoldsItemsAndSelection) {
  const ComboBox combo = form_.ControlAs<ComboBox>(kCombo);
  EXPECT_EQ(combo.ItemIndex(), -1) << "nothing selected";
  for (const auto text : {u"1 - Monotonous", u"2 - Slightly broken", u"3 - Quite broken"}) {
    combo.AddItem(text);
  }
  EXPECT_EQ(combo.Count(), 3);
  EXPECT_EQ(combo.ItemText(2), u"3 - Quite broken");
  EXPECT_EQ(combo.ItemText(3), u"");
  EXPECT_TRUE(combo.SetItemIndex(1));
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.Text(), u"2 - Slightly broken");
  EXPECT_FALSE(combo.SetItemIndex(3));
  EXPECT_FALSE(combo.SetItemIndex(-2));
  EXPECT_EQ(combo.ItemIndex(), 1) << "an index out of range changes nothing";
  EXPECT_TRUE(combo.SetItemIndex(-1));
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_TRUE(combo.SetItemIndex(2));
  combo.SetRedraw(false);
  combo.Clear();
  combo.SetRedraw(true);
  EXPECT_EQ(combo.Count(), 0);
  EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST_F(FormTest, SpeedButtonsOfAGroupPushEachOtherUp) {
  TSpeedButton& a = *form_.SpeedButtonOf(kPinA);
  TSpeedButton& b = *form_.SpeedButtonOf(kPinB);
  TSpeedButton& toggle = *form_.SpeedButtonOf(kToggle);
  a.SetGroup(1, false);
  b.SetGroup(1, false);
  toggle.SetGroup(2, true);

  const SpeedButton wrapper_a(a.Handle());
  const SpeedButton wrapper_b(b.Handle());
  wrapper_a.Click();
  EXPECT_TRUE(a.IsDown());
  wrapper_b.Click();
  EXPECT_TRUE(wrapper_b.IsDown());
  EXPECT_FALSE(wrapper_a.IsDown());
  wrapper_b.Click();
  EXPECT_TRUE(b.IsDown()) << "a group without all-up keeps one button down";
  EXPECT_FALSE(toggle.IsDown()) << "other groups stay as they are";

  SpeedButton(toggle.Handle()).Click();
  EXPECT_TRUE(toggle.IsDown());
  EXPECT_TRUE(b.IsDown());
  SpeedButton(toggle.Handle()).Click();
  EXPECT_FALSE(toggle.IsDown()) << "all up allowed";

  wrapper_a.SetDown(true);
  EXPECT_FALSE(b.IsDown());
  // Clicks reach the form through the panel; SetDown does not click.
  EXPECT_EQ(form_.commands, (std::vector<int>{kPinA, kPinB, kPinB, kToggle, kToggle}));

  Window(a.Handle()).Enable(false);
  wrapper_a.Click();
  EXPECT_EQ(form_.commands.size(), 5u) << "a disabled button does not click";
}

COLORREF PixelOfPrintedClient(HWND window, int x, int y) {
  const Point size = Window(window).ClientSize();
  ScopedGetDc screen(nullptr);
  ScopedCreatedDc dc(::CreateCompatibleDC(screen.Get()));
  ScopedBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), size.x, size.y));
  ScopedSelectObject select(dc.Get(), bitmap.Get());
  RECT all{0, 0, size.x, size.y};
  ::FillRect(dc.Get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  return ::GetPixel(dc.Get(), x, y);
}

TEST_F(FormTest, PanelPaintsItsColourAndItsDrawing) {
  TPanel& panel = *form_.PanelOf(kPanel);
  EXPECT_EQ(PixelOfPrintedClient(panel.Handle(), 150, 5), ButtonFaceColor()) << "by default";
  panel.SetColor(kPanelColor);
  panel.SetOnDraw([](HDC dc, const RECT&) {
    RECT mark{150, 10, 160, 20};
    ::FillRect(dc, &mark, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  });
  EXPECT_EQ(PixelOfPrintedClient(panel.Handle(), 150, 5), kPanelColor);
  EXPECT_EQ(PixelOfPrintedClient(panel.Handle(), 155, 15), RGB(255, 255, 255));
  EXPECT_EQ(panel.AsWindow().Send(WM_ERASEBKGND, 0, 0), 1) << "nothing erased before painting";
  EXPECT_EQ(PixelOfPrintedClient(form_.Control(kPinA), 20, 10), kPanelColor)
      << "a flat speed button shows its panel's colour";
}

TEST_F(FormTest, LabelsTakeTheirColourAndTheBackgroundOfTheirParent) {
  TPanel& panel = *form_.PanelOf(kPanel);
  panel.SetColor(kPanelColor);
  const Label label = form_.ControlAs<Label>(kPanelLabel);
  label.SetTextColor(RgbColor(215, 255, 215));
  ScopedCreatedDc dc(::CreateCompatibleDC(nullptr));
  const auto ask = [&](HWND parent) {
    return reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLORSTATIC,
                                                   reinterpret_cast<WPARAM>(dc.Get()),
                                                   reinterpret_cast<LPARAM>(label.Get())));
  };
  const HBRUSH brush = ask(panel.Handle());
  EXPECT_EQ(::GetTextColor(dc.Get()), RgbColor(215, 255, 215));
  EXPECT_EQ(::GetBkColor(dc.Get()), kPanelColor);
  LOGBRUSH info{};
  ASSERT_NE(::GetObjectW(brush, sizeof(info), &info), 0);
  EXPECT_EQ(info.lbColor, kPanelColor);

  label.SetTextColor(std::nullopt);
  ask(panel.Handle());
  EXPECT_EQ(::GetTextColor(dc.Get()), ::GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(PixelOfPrintedClient(form_.Handle(), 300, 5), ButtonFaceColor());
}

bool IsWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(ManifestTest, CommonControlsSixAreInUse) {
  // The module the program's calls of the common controls go to: version 6 lives in
  // its side-by-side assembly (Wine's copy there still reports 5.81 as its version).
  HMODULE module = nullptr;
  ASSERT_TRUE(::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&::ImageList_Create), &module));
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(module, path, MAX_PATH), 0u);
  ::CharLowerW(path);
  EXPECT_NE(std::wstring(path).find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."),
            std::wstring::npos)
      << "loaded from " << std::wstring(path).size() << " characters of path";
}

TEST_F(FormTest, ProgressBarTurnsDull) {
  const ProgressBar bar = form_.ControlAs<ProgressBar>(kProgress);
  bar.SetMaximum(20000);
  bar.SetPosition(5000);
  EXPECT_EQ(bar.Maximum(), 20000);
  EXPECT_EQ(bar.Position(), 5000);
  EXPECT_FALSE(bar.IsDull());
  if (IsWine()) GTEST_SKIP() << "Wine's progress bar has no paused state";
  bar.SetDull(true);
  EXPECT_TRUE(bar.IsDull()) << "needs common controls 6 from the manifest";
  bar.SetDull(false);
  EXPECT_FALSE(bar.IsDull());
}

TEST_F(FormTest, ButtonShowsAnImageOfTheList) {
  ScopedImageList images(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0));
  ScopedGetDc screen(nullptr);
  for (int i = 0; i < 2; ++i) {
    ScopedBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), 16, 16));
    ASSERT_GE(::ImageList_Add(images.Get(), bitmap.Get(), nullptr), 0);
  }
  const Button button = form_.ControlAs<Button>(kGoButton);
  button.SetImage(images.Get(), 1);
  EXPECT_NE(button.Send(BM_GETIMAGE, IMAGE_ICON, 0), 0);
  button.SetImage(nullptr, 0);
  EXPECT_EQ(button.Send(BM_GETIMAGE, IMAGE_ICON, 0), 0);
  button.Click();
  EXPECT_EQ(form_.commands, std::vector<int>{kGoButton});
}

TEST_F(FormTest, MouseDownHandlerSeesPressesOnStandardControls) {
  struct Press {
    HWND window;
    UINT message;
    Point at;
  };
  std::vector<Press> presses;
  const HWND bar = form_.Control(kProgress);
  const HWND label = form_.Control(kLabel);
  for (const HWND window : {bar, label}) {
    ASSERT_TRUE(SetMouseDownHandler(window, [&](HWND w, UINT message, Point at) {
      presses.push_back({w, message, at});
    }));
  }
  // Left of and above the client area on a second monitor: negative coordinates.
  Window(bar).Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, -7));
  Window(label).Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(12, 3));
  ASSERT_EQ(presses.size(), 2u);
  EXPECT_EQ(presses[0].window, bar);
  EXPECT_EQ(presses[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(presses[0].at, (Point{-5, -7}));
  EXPECT_EQ(presses[1].window, label);
  EXPECT_EQ(presses[1].at, (Point{12, 3}));

  // A handler that throws reports to the error handler; the control goes on.
  std::vector<std::u16string> errors;
  App().SetErrorHandler([&](std::u16string_view text) { errors.emplace_back(text); });
  ASSERT_TRUE(SetMouseDownHandler(bar, [](HWND, UINT, Point) { throw std::runtime_error("drag"); }));
  Window(bar).Send(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  App().SetErrorHandler(nullptr);
  EXPECT_EQ(errors, std::vector<std::u16string>{u"drag"});
  EXPECT_EQ(presses.size(), 2u) << "the new handler replaced the old one";
}

TEST_F(FormTest, TimersFireUntilKilled) {
  ASSERT_TRUE(form_.SetTimer(3, 10));
  ASSERT_TRUE(form_.SetTimer(1, 15));
  EXPECT_TRUE(PumpUntil([&] {
    return std::count(form_.timers.begin(), form_.timers.end(), 3) >= 2 &&
           std::count(form_.timers.begin(), form_.timers.end(), 1) >= 1;
  }));
  form_.KillTimer(3);
  form_.KillTimer(1);
  App().ProcessMessages();
  const std::size_t fired = form_.timers.size();
  ::Sleep(60);
  App().ProcessMessages();
  EXPECT_EQ(form_.timers.size(), fired);
}

TEST_F(FormTest, ExceptionInAHandlerReachesTheErrorHandlerAndTheLoopGoesOn) {
  std::vector<std::u16string> errors;
  App().SetErrorHandler([&](std::u16string_view text) { errors.emplace_back(text); });
  const Window form(form_.Handle());
  form.Post(kThrowMessage, 0, 0);
  form.Post(kRecordMessage, 0, 0);
  form.Post(kThrowMessage, 0, 0);
  form.Post(kRecordMessage, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return form_.recorded == 2; }));
  App().SetErrorHandler(nullptr);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], u"Value »Threads« is no number");
  EXPECT_FALSE(App().Terminated());
}

TEST_F(FormTest, KeyPreviewSeesEnterBeforeTheFocusedControl) {
  const Edit edit = form_.ControlAs<Edit>(kEdit);
  edit.SetText(u"");
  edit.Post(WM_KEYDOWN, VK_RETURN, 0x001C0001);
  edit.Post(WM_KEYDOWN, 'A', 0x001E0001);
  edit.Post(WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001));
  EXPECT_TRUE(PumpUntil([&] { return edit.Text() == u"a"; }));
  EXPECT_EQ(form_.previewed, (std::vector<WPARAM>{VK_RETURN, 'A'}));
  EXPECT_TRUE(form_.commands.empty()) << "Enter was kept from the dialog handling";

  form_.consume_enter = false;
  edit.Post(WM_KEYDOWN, VK_RETURN, 0x001C0001);
  EXPECT_TRUE(PumpUntil([&] { return form_.previewed.size() == 3; }));
  App().ProcessMessages();
  EXPECT_EQ(form_.commands, std::vector<int>{IDOK}) << "passed on, Enter is the dialog's OK";
}

TEST(ApplicationTest, TitleIsTheTaskbarWindowsText) {
  TApplication& app = App();
  app.SetTitle(u"42% CPU STRESSING!!!");
  EXPECT_EQ(app.Title(), u"42% CPU STRESSING!!!");
  EXPECT_EQ(Window(app.Handle()).Text(), u"42% CPU STRESSING!!!");
}

TEST(ApplicationTest, RunEndsWhenTheMainWindowIsDestroyed) {
  TApplication app(::GetModuleHandleW(nullptr));
  EXPECT_EQ(TApplication::Current(), &app);
  {
    TestForm form;
    ASSERT_TRUE(form.Create({.caption = u"Velkaro - Emulator of CPU load",
                             .client_width = kClientWidth,
                             .client_height = kClientHeight,
                             .main_window = true},
                            kLayout));
    EXPECT_EQ(app.MainWindow(), form.Handle());
    EXPECT_EQ(::GetWindow(form.Handle(), GW_OWNER), app.Handle());
    EXPECT_EQ(app.Title(), u"Velkaro - Emulator of CPU load");
    Window(form.Handle()).Post(WM_CLOSE, 0, 0);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(app.Terminated());
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_EQ(app.MainWindow(), nullptr);
  }
}

TEST(ApplicationTest, TaskbarButtonMinimizesAndRestoresTheMainWindow) {
  TApplication app(::GetModuleHandleW(nullptr));
  TestForm form;
  ASSERT_TRUE(form.Create({.caption = u"t", .client_width = 100, .client_height = 50,
                           .main_window = true},
                          {}));
  ::ShowWindow(form.Handle(), SW_SHOWNA);
  EXPECT_TRUE(::IsWindowVisible(app.Handle())) << "the button appears with the main window";
  Window(form.Handle()).Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));
  EXPECT_TRUE(::IsIconic(app.Handle()));
  Window(app.Handle()).Send(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(::IsWindowVisible(form.Handle()));
  EXPECT_FALSE(::IsIconic(app.Handle()));
  app.Minimize();  // hidden again: Wine without a window manager is slow to destroy shown ones
  Window(app.Handle()).Send(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(app.Run(), 0) << "closing the button closes the main window";
  EXPECT_EQ(form.Handle(), nullptr);
}

TEST(FormCreateTest, RefusesABrokenLayout) {
  App();
  const ControlLayout orphan{ControlKind::kLabel, 10, 99, 0, 0, 0, 0, 0, std::nullopt};
  TestForm form;
  EXPECT_FALSE(form.Create({.caption = u"t", .client_width = 100, .client_height = 50},
                           std::span(&orphan, 1)));
  EXPECT_EQ(form.Handle(), nullptr);
}

TEST(ApplicationTest, TerminateStopsProcessMessages) {
  TApplication app(::GetModuleHandleW(nullptr));
  TestForm form;
  ASSERT_TRUE(form.Create({.caption = u"t", .client_width = 100, .client_height = 50}, {}));
  Window(form.Handle()).Post(kRecordMessage, 0, 0);
  app.Terminate();
  app.ProcessMessages();
  EXPECT_EQ(form.recorded, 0);
}

TEST(MenuTest, ItemsCheckEnableAndCaption) {
  ScopedMenu bar(::CreateMenu());
  const Menu menu(bar.Get());
  const Menu file = menu.AppendPopup(u"&File");
  ASSERT_NE(file.Get(), nullptr);
  ASSERT_TRUE(file.AppendItem(501, u"&Start\tEnter"));
  ASSERT_TRUE(file.AppendSeparator());
  ASSERT_TRUE(file.AppendItem(502, u"E&xit"));
  const Menu settings = menu.AppendPopup(u"&Settings");
  ASSERT_TRUE(settings.AppendItem(503, u"&Compact window during stressing"));
  EXPECT_EQ(menu.Count(), 2);
  EXPECT_EQ(file.Count(), 3);

  EXPECT_FALSE(menu.IsChecked(503));
  EXPECT_TRUE(menu.SetChecked(503, true)) << "found through the pop-up";
  EXPECT_TRUE(settings.IsChecked(503));
  EXPECT_TRUE(menu.SetChecked(503, false));
  EXPECT_FALSE(settings.IsChecked(503));

  EXPECT_TRUE(menu.EnablePosition(0, false));
  EXPECT_FALSE(menu.IsPositionEnabled(0));
  EXPECT_TRUE(menu.IsPositionEnabled(1));
  EXPECT_TRUE(menu.EnablePosition(0, true));
  EXPECT_TRUE(menu.IsPositionEnabled(0));
  EXPECT_TRUE(file.EnableItem(502, false));
  EXPECT_FALSE(file.IsItemEnabled(502));
  EXPECT_FALSE(menu.SetChecked(999, true)) << "no such item";

  EXPECT_TRUE(menu.SetCaption(502, u"&Beenden"));
  EXPECT_EQ(menu.Caption(502), u"&Beenden");
  EXPECT_TRUE(menu.SetPositionCaption(1, u"&Einstellungen"));
  wchar_t text[64] = {};
  ::GetMenuStringW(menu.Get(), 1, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Einstellungen");
}

TEST(CursorTest, HourglassIsRestoredInOrder) {
  EXPECT_EQ(ScreenCursor(), nullptr);
  {
    ScopedHourglass outer;
    const HCURSOR wait = ScreenCursor();
    EXPECT_EQ(wait, ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
    {
      ScopedHourglass inner;
      EXPECT_EQ(ScreenCursor(), wait);
    }
    EXPECT_EQ(ScreenCursor(), wait) << "the outer one still holds it";
  }
  EXPECT_EQ(ScreenCursor(), nullptr);
}

}  // namespace
}  // namespace velkaro::win32
