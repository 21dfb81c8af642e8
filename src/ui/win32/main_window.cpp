#include "ui/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "lang/lang_format.h"
#include "lang/string_table.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/shell.h"
#include "platform/version.h"
#include "platform/win32/wide.h"
#include "settings/user_settings_store.h"
#include "ui/about/help_files.h"
#include "ui/about/version_texts.h"
#include "ui/main/run_inputs.h"
#include "ui/main/stress_runner.h"
#include "ui/win32/about_box.h"
#include "ui/win32/application.h"
#include "ui/win32/help_viewer.h"
#include "ui/win32/hint_window.h"
#include "ui/win32/main_window_ids.h"
#include "ui/win32/window_helpers.h"
#include "velkaro_version.h"

namespace velkaro::win32 {
namespace {

using namespace main_window;
using K = ControlKind;

constexpr int kClientWidth = 493;
constexpr int kClientHeight = 275;

// The form. Panels come before their children; the inputs follow in tab order.
constexpr std::array kMainLayout{
    ControlLayout{K::kPanel, kPnBg, 0, 0, 0, 489, 270, 0, std::nullopt},
    ControlLayout{K::kLabel, kLbStPause, kPnBg, 8, 23, 0, 0, 0, TextId::StartPauseLabel},
    ControlLayout{K::kLabel, kLbTime, kPnBg, 8, 50, 0, 0, 0, TextId::StressTimeLabel},
    ControlLayout{K::kLabel, kLbPriority, kPnBg, 8, 77, 0, 0, 0, TextId::PriorityLabel},
    ControlLayout{K::kLabel, kLbPriorClass, kPnBg, 8, 104, 0, 0, 0, TextId::PriorClassLabel},
    ControlLayout{K::kLabel, kLbStyle, kPnBg, 8, 131, 0, 0, 0, TextId::StyleLabel},
    ControlLayout{K::kLabel, kLbThreads, kPnBg, 186, 158, 0, 0, 0, TextId::ThreadsLabel},
    ControlLayout{K::kLabel, kLbSPMeas, kPnBg, 289, 23, 0, 0, 0, TextId::SecondsWord},
    ControlLayout{K::kLabel, kLbTMeas, kPnBg, 289, 50, 0, 0, 0, TextId::SecondsWord},
    ControlLayout{K::kEdit, kEdStPause, kPnBg, 186, 20, 81, 21, 0, std::nullopt},
    ControlLayout{K::kUpDown, kUdStPause, kPnBg, 267, 20, 16, 21, 0, std::nullopt},
    ControlLayout{K::kEdit, kEdTime, kPnBg, 186, 47, 81, 21, 0, std::nullopt},
    ControlLayout{K::kUpDown, kUdTime, kPnBg, 267, 47, 16, 21, 0, std::nullopt},
    ControlLayout{K::kComboList, kCbPriority, kPnBg, 186, 74, 296, 21, 0, std::nullopt},
    ControlLayout{K::kComboList, kCbPriorClass, kPnBg, 186, 101, 296, 21, 0, std::nullopt},
    ControlLayout{K::kComboList, kCbStyle, kPnBg, 186, 128, 296, 21, 0, std::nullopt},
    ControlLayout{K::kEdit, kEdThreads, kPnBg, 385, 155, 81, 21, 0, std::nullopt},
    ControlLayout{K::kUpDown, kUdThreads, kPnBg, 466, 155, 16, 21, 0, std::nullopt},
    ControlLayout{K::kButton, kBDo, kPnBg, 352, 228, 130, 40, 0, TextId::RunButton},
    ControlLayout{K::kLabel, kLbPerc1, kPnBg, 186, 190, 159, 13, 0, std::nullopt},
    ControlLayout{K::kLabel, kLbPerc2, kPnBg, 186, 207, 159, 13, 0, std::nullopt},
    ControlLayout{K::kPanel, kPnPrg, 0, 186, 241, 159, 27, 0, std::nullopt},
    ControlLayout{K::kLabel, kLbState, kPnPrg, 0, 0, 0, 0, SS_NOPREFIX, std::nullopt},
    ControlLayout{K::kProgressBar, kPbTime, kPnPrg, 0, 15, 152, 12, 0, std::nullopt},
    ControlLayout{K::kPanel, kPnButs, 0, 396, 8, 86, 22, 0, std::nullopt},
    ControlLayout{K::kSpeedButton, kSbClone, kPnButs, 0, 0, 43, 22, 0, std::nullopt},
    ControlLayout{K::kSpeedButton, kSbPin, kPnButs, 43, 0, 43, 22, 0, std::nullopt},
    ControlLayout{K::kSpeedButton, kSbStop, 0, 58, 23, 43, 22, 0, std::nullopt},
    ControlLayout{K::kPanel, kPnClose, 0, 104, 23, 43, 22, 0, std::nullopt},
    ControlLayout{K::kSpeedButton, kSbClose, kPnClose, 0, 0, 43, 22, 0, std::nullopt},
};

constexpr Color kCloseFrame = RgbColor(228, 73, 73);

// Image list entries (16 by 16).
constexpr int kImageSize = 16;
constexpr Color kImageKey = RgbColor(255, 0, 255);
enum ToolImage : int { kImgClone = 0, kImgPin = 1, kImgStop = 5, kImgClose = 6 };

constexpr std::u16string_view kShortcutEnter = u"\tEnter";
constexpr std::u16string_view kShortcutAltF4 = u"\tAlt+F4";
constexpr std::u16string_view kShortcutF1 = u"\tF1";
constexpr std::u16string_view kShortcutCtrlS = u"\tCtrl+S";
// Position of the templates' submenu in the Settings menu.
constexpr int kMiTemplsPosition = 0;
constexpr std::u16string_view kCautionsTopic = u"cautions";
constexpr std::u16string_view kDocsFolder = u"Docs\\";

constexpr std::array kPriorityItems{TextId::PriorityIdle,        TextId::PriorityLowest,
                                    TextId::PriorityBelowNormal, TextId::PriorityNormal,
                                    TextId::PriorityAboveNormal, TextId::PriorityHighest,
                                    TextId::PriorityTimeCritical};
constexpr std::array kPriorClassItems{TextId::PriorityIdle,        TextId::PriorityBelowNormal,
                                      TextId::PriorityNormal,      TextId::PriorityAboveNormal,
                                      TextId::ClassHigh,           TextId::ClassRealtime};
constexpr std::array kStyleItems{TextId::StyleMono,          TextId::StyleSlightlyBroken,
                                 TextId::StyleQuiteBroken,   TextId::StyleRollerCoaster,
                                 TextId::StyleComb,          TextId::StyleLongComb,
                                 TextId::StyleDownUp};
// Form defaults of the lists until saved settings replace them: normal thread priority,
// normal class, monotonous load.
constexpr int kDefaultPriority = 3;
constexpr int kDefaultPriorClass = 2;
constexpr int kDefaultStyle = 0;

int LabelId(TMainLabel label) {
  switch (label) {
    case TMainLabel::lbStPause: return kLbStPause;
    case TMainLabel::lbTime: return kLbTime;
    case TMainLabel::lbPriority: return kLbPriority;
    case TMainLabel::lbPriorClass: return kLbPriorClass;
    case TMainLabel::lbSPMeas: return kLbSPMeas;
    case TMainLabel::lbTMeas: return kLbTMeas;
    case TMainLabel::lbStyle: return kLbStyle;
    case TMainLabel::lbThreads: return kLbThreads;
  }
  return 0;
}

int InputId(TMainInput input) {
  switch (input) {
    case TMainInput::edStPause: return kEdStPause;
    case TMainInput::udStPause: return kUdStPause;
    case TMainInput::edTime: return kEdTime;
    case TMainInput::udTime: return kUdTime;
    case TMainInput::cbPriority: return kCbPriority;
    case TMainInput::cbPriorClass: return kCbPriorClass;
    case TMainInput::cbStyle: return kCbStyle;
    case TMainInput::edThreads: return kEdThreads;
    case TMainInput::udThreads: return kUdThreads;
  }
  return 0;
}

int MenuPositionOf(TMainMenu menu) {
  switch (menu) {
    case TMainMenu::miFile: return kMiFile;
    case TMainMenu::miSettings: return kMiSettings;
    case TMainMenu::miLang: return kMiLang;
    case TMainMenu::miHelp: return kMiHelp;
  }
  return 0;
}

void FillSolid(HDC dc, const RECT& rect, Color color) {
  ScopedBrush brush(::CreateSolidBrush(color));
  ::FillRect(dc, &rect, brush.Get());
}

template <std::size_t N>
std::array<std::u16string_view, N> Texts(const std::array<TextId, N>& ids) {
  std::array<std::u16string_view, N> texts{};
  for (std::size_t i = 0; i < N; ++i) texts[i] = LangText(ids[i]);
  return texts;
}

bool HasClassName(HWND window, std::wstring_view name) {
  wchar_t buffer[64] = {};
  const int length = ::GetClassNameW(window, buffer, static_cast<int>(std::size(buffer)));
  return length > 0 && std::wstring_view(buffer, static_cast<std::size_t>(length)) == name;
}

// Draws the images of the buttons: Start, Stop; clone, pin (up, disabled, pressed,
// down), stop, close.
using ImagePainter = void (*)(HDC dc);

void PaintStart(HDC dc) {
  const POINT triangle[] = {{4, 2}, {13, 8}, {4, 14}};
  ScopedBrush brush(::CreateSolidBrush(RgbColor(30, 150, 30)));
  ScopedSelectObject select(dc, brush.Get());
  ScopedSelectObject pen(dc, ::GetStockObject(NULL_PEN));
  ::Polygon(dc, triangle, 3);
}

void PaintStop(HDC dc) { FillSolid(dc, RECT{3, 3, 13, 13}, RgbColor(200, 40, 40)); }

void PaintClone(HDC dc) {
  const RECT back{1, 1, 11, 11};
  const RECT front{5, 5, 15, 15};
  ::FrameRect(dc, &back, static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH)));
  FillSolid(dc, front, RgbColor(255, 255, 255));
  ::FrameRect(dc, &front, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

void PaintPin(HDC dc, Color head) {
  FillSolid(dc, RECT{7, 9, 9, 15}, RgbColor(90, 90, 90));
  FillSolid(dc, RECT{4, 7, 12, 9}, RgbColor(90, 90, 90));
  FillSolid(dc, RECT{5, 1, 11, 7}, head);
}
void PaintPinUp(HDC dc) { PaintPin(dc, RgbColor(210, 40, 40)); }
void PaintPinDisabled(HDC dc) { PaintPin(dc, RgbColor(170, 170, 170)); }
void PaintPinPressed(HDC dc) { PaintPin(dc, RgbColor(150, 20, 20)); }
void PaintPinDown(HDC dc) { PaintPin(dc, RgbColor(40, 120, 220)); }

void PaintCross(HDC dc) {
  ScopedPen pen(::CreatePen(PS_SOLID, 2, RgbColor(255, 255, 255)));
  ScopedSelectObject select(dc, pen.Get());
  ::MoveToEx(dc, 4, 4, nullptr);
  ::LineTo(dc, 12, 12);
  ::MoveToEx(dc, 12, 4, nullptr);
  ::LineTo(dc, 4, 12);
}

// The images are drawn in 96-DPI units and scaled by the device context, so that they
// grow with the window on monitors of higher DPI.
ScopedImageList MakeImageList(std::span<const ImagePainter> painters, int dpi) {
  const int size = ScaleForDpi(kImageSize, dpi);
  ScopedImageList list(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK,
                                          static_cast<int>(painters.size()), 0));
  if (!list) return list;
  ScopedGetDc screen(nullptr);
  ScopedCreatedDc dc(::CreateCompatibleDC(screen.Get()));
  ::SetGraphicsMode(dc.Get(), GM_ADVANCED);
  const auto scale = static_cast<FLOAT>(dpi) / static_cast<FLOAT>(kDesignDpi);
  const XFORM to_dpi{scale, 0, 0, scale, 0, 0};
  const XFORM identity{1, 0, 0, 1, 0, 0};
  for (const ImagePainter paint : painters) {
    ScopedBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), size, size));
    {
      ScopedSelectObject select(dc.Get(), bitmap.Get());
      FillSolid(dc.Get(), RECT{0, 0, size, size}, kImageKey);
      ::SetWorldTransform(dc.Get(), &to_dpi);
      paint(dc.Get());
      ::SetWorldTransform(dc.Get(), &identity);
    }
    ::ImageList_AddMasked(list.Get(), bitmap.Get(), kImageKey);
  }
  return list;
}

}  // namespace

void SetChildrenMouseDown(HWND parent, const MouseDownHandler& handler,
                          std::span<const std::wstring_view> excluded_classes,
                          std::span<const HWND> excluded) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    bool skip = std::find(excluded.begin(), excluded.end(), child) != excluded.end();
    for (const std::wstring_view name : excluded_classes) skip = skip || HasClassName(child, name);
    if (!skip) {
      // Our panels report mouse presses themselves; a subclass would hide the object
      // behind the window from WindowBase::FromHandle.
      if (auto* panel = dynamic_cast<TPanel*>(WindowBase::FromHandle(child))) {
        panel->SetOnMouseDown([handler, child](UINT button, Point at) { handler(child, button, at); });
      } else {
        SetMouseDownHandler(child, handler);
      }
    }
    if (::GetWindow(child, GW_CHILD) != nullptr) {
      SetChildrenMouseDown(child, handler, excluded_classes, excluded);
    }
  }
}

void ReplaceComboItems(ComboBox combo, std::span<const std::u16string_view> texts) {
  const int selected = combo.ItemIndex();
  combo.SetRedraw(false);
  combo.Clear();
  for (const std::u16string_view text : texts) combo.AddItem(text);
  combo.SetItemIndex(selected);
  combo.SetRedraw(true);
}

TfmMain::TfmMain(const TaskbarProgress& taskbar, std::vector<std::u16string> arguments,
                 std::unique_ptr<TSettingsStore> store)
    : taskbar_(taskbar), arguments_(std::move(arguments)), store_(std::move(store)) {}

TfmMain::~TfmMain() {
  // The window goes before the objects its handlers use.
  if (Handle() != nullptr) ::DestroyWindow(Handle());
}

bool TfmMain::Construct() {
  if (!store_) store_ = OpenUserSettingsStore();
  // Before the form, so that its controls get their texts in the chosen language.
  ReloadLanguage();
  if (!Create({.caption = u"", .client_width = kClientWidth, .client_height = kClientHeight,
               .menu = BuildMenu(), .main_window = true},
              kMainLayout)) {
    return false;
  }
  BuildLanguageMenu();
  const HMENU settings_menu = ::GetSubMenu(::GetMenu(Handle()), kMiSettings);
  templates_menu_ = std::make_unique<TTemplatesMenu>(
      *store_, Handle(), ::GetSubMenu(settings_menu, kMiTemplsPosition),
      TTemplatesMenu::Host{
          [this] { return RunSettingsOfInputs(ReadInputs()); },
          [this] { return LoadedNow(); },
          [this](const TLoadedSettings& loaded) { ApplyLoaded(loaded); },
          [this] { return ListCounts(); },
          [this](std::u16string_view text) { ShowMessage(text); }});
  BuildImages();
  PanelOf(kPnClose)->SetColor(kCloseFrame);
  Window(Control(kSbStop)).Show(false);
  Window(Control(kPnClose)).Show(false);
  SpeedButtonOf(kSbPin)->SetGroup(1, true);

  // Every arrow steps by its own amount however long it is held: the system's default
  // table would speed up to 5 and 20.
  UpDown(Control(kUdStPause)).SetRange(0, 100);
  UpDown(Control(kUdStPause)).SetIncrement(1);
  UpDown(Control(kUdStPause)).SetPosition(0);
  UpDown(Control(kUdTime)).SetRange(0, 100);
  UpDown(Control(kUdTime)).SetIncrement(5);
  UpDown(Control(kUdTime)).SetPosition(0);

  // The chart decides how many samples the meter keeps, so it comes before them.
  chart_.Create(*this, {[this]() -> const TCPUPercentStore* {
                          return meter_ ? &meter_->Percents() : nullptr;
                        },
                        [this] {
                          // Bright while the workers may run, dull once the flag dropped.
                          auto* runner = logic_ ? dynamic_cast<TControllerRunner*>(&logic_->Runner())
                                                : nullptr;
                          return runner != nullptr && runner->Controller().IsRunEmulation();
                        },
                        [this] {
                          return logic_ && logic_->FCurState() == TStressCurState::scsWaitStart;
                        }});
  // The background panel lies under the panels and controls that share the window
  // with it, the chart included.
  ::SetWindowPos(Control(kPnBg), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  meter_ = std::make_unique<TUsageMeter>(SystemUsageSource(), *this,
                                         chart_.Slots(),
                                         platform::DecimalSeparator());
  logic_ = std::make_unique<TMainLogic>(*this, *meter_, SystemMainClock(),
                                        platform::ThousandsSeparator());
  logic_->SetCurState(TStressCurState::scsNone);
  UpDown(Control(kUdThreads)).SetRange(1, MaxThreadsCount());
  UpDown(Control(kUdThreads)).SetIncrement(1);
  UpDown(Control(kUdThreads)).SetPosition(1);
  WireDragging();
  ApplyTexts(true);
  ComboBox(Control(kCbPriority)).SetItemIndex(kDefaultPriority);
  ComboBox(Control(kCbPriorClass)).SetItemIndex(kDefaultPriorClass);
  ComboBox(Control(kCbStyle)).SetItemIndex(kDefaultStyle);
  ReadCommandLineSettings();
  BuildWindowModes();
  RestorePlace();
  return true;
}

void TfmMain::Show() {
  ::ShowWindow(Handle(), SW_SHOW);
  ::UpdateWindow(Handle());
  ::PostMessageW(Handle(), kFirstShowMessage, 0, 0);
}

HMENU TfmMain::BuildMenu() {
  ScopedMenu bar(::CreateMenu());
  const Menu menu(bar.Get());
  const Menu file = menu.AppendPopup(u"File");
  file.AppendItem(kMiStart, u"Start");
  file.AppendItem(kMiUpdates, u"Updates");
  file.AppendSeparator();
  file.AppendItem(kMiExit, u"Exit");
  const Menu settings = menu.AppendPopup(u"Settings");
  const Menu templates = settings.AppendPopup(u"Templates");
  templates.AppendItem(kMiSaveSet, u"Save");
  templates.AppendItem(kMiDelSet, u"Delete");
  templates.AppendSeparator();
  templates.AppendItem(kMiEmptyList, u"Empty");
  templates.EnableItem(kMiEmptyList, false);
  settings.AppendItem(kMiRestore, u"Restore");
  settings.AppendSeparator();
  settings.AppendItem(kMiCompact, u"Compact");
  settings.AppendItem(kMiAutoPin, u"AutoPin");
  const Menu lang = menu.AppendPopup(u"Language");
  lang.AppendItem(kMiDefaultLang, kDefaultEnglish);
  lang.SetChecked(kMiDefaultLang, true);
  const Menu help = menu.AppendPopup(u"Help");
  help.AppendItem(kMiHelpHelp, u"Help");
  help.AppendItem(kMiCautions, u"Cautions");
  help.AppendSeparator();
  help.AppendItem(kMiAbout, u"About");
  return bar.Release();
}

void TfmMain::BuildImages() {
  const ImagePainter run_images[] = {&PaintStart, &PaintStop};
  ScopedImageList run_list = MakeImageList(run_images, Dpi());
  const ImagePainter tools[] = {&PaintClone,   &PaintPinUp, &PaintPinDisabled, &PaintPinPressed,
                                &PaintPinDown, &PaintStop,  &PaintCross};
  ScopedImageList tool_list = MakeImageList(tools, Dpi());
  // The buttons take the new lists before the old ones go.
  SpeedButtonOf(kSbClone)->SetImages({tool_list.Get(), kImgClone, 1});
  SpeedButtonOf(kSbPin)->SetImages({tool_list.Get(), kImgPin, 4});
  SpeedButtonOf(kSbStop)->SetImages({tool_list.Get(), kImgStop, 1});
  SpeedButtonOf(kSbClose)->SetImages({tool_list.Get(), kImgClose, 1});
  Button(Control(kBDo)).SetImage(run_list.Get(), do_image_);
  iml_ = std::move(run_list);
  tool_images_ = std::move(tool_list);
}

void TfmMain::OnDpiChanged() {
  // Nothing of this exists yet while the form lays out its table the first time.
  if (tool_images_) BuildImages();
  chart_.Layout();
}

void TfmMain::WireDragging() {
  const MouseDownHandler drag = [this](HWND, UINT, Point) { DragWindow(); };
  static constexpr std::wstring_view kExcludedClasses[] = {
      L"Edit", L"ComboBox", UPDOWN_CLASSW, L"VelkaroSpeedButton", L"Button"};
  const HWND excluded[] = {Control(kPnClose), Control(kPnButs)};
  SetChildrenMouseDown(Handle(), drag, kExcludedClasses, excluded);
}

void TfmMain::DragWindow() {
  ::ReleaseCapture();
  ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void TfmMain::SetHint(int id, TextId text) { SetControlHint(Control(id), LangText(text)); }

void TfmMain::ShowHintAt(HWND control, TKivFreqHintWindow*& slot, std::u16string_view text) {
  constexpr std::uint32_t kShowDelayMs = 0;
  constexpr std::uint32_t kHideMs = 4000;
  constexpr std::uint32_t kReshowDelayMs = 100;
  constexpr std::int32_t kMaxWidth = 1000;
  // The control's outer top-left corner, one pixel up: an edit's client area starts
  // inside its sunken border, and the hint is to stand on the border's edge.
  RECT bounds{};
  ::GetWindowRect(control, &bounds);
  const POINT anchor{bounds.left, bounds.top - 1};
  ShowFreqHint(text, {anchor.x, anchor.y}, kShowDelayMs, kHideMs, kReshowDelayMs, Handle(),
               static_cast<Color>(::GetSysColor(COLOR_INFOBK)), kMaxWidth, slot, 0, -1,
               kNoHintPoint, kNoHintPoint, 0, 0, false);
}

void TfmMain::ApplyTexts(bool atCreation) {
  const auto caption = [this](int id, TextId text) {
    const Label label(Control(id));
    label.SetText(LangText(text));
    label.AutoSize();
  };
  SetHint(kBDo, TextId::RunButtonHint);
  // The chart is made in code, not by the form's table, so its id finds no control.
  if (chart_.Handle() != nullptr) SetControlHint(chart_.Handle(), LangText(TextId::ChartHint));
  SetHint(kSbStop, TextId::StopHint);
  SetHint(kSbClose, TextId::CloseHint);
  caption(kLbTime, TextId::StressTimeLabel);
  caption(kLbPriority, TextId::PriorityLabel);
  SetHint(kSbPin, TextId::PinHint);
  caption(kLbStPause, TextId::StartPauseLabel);
  caption(kLbSPMeas, TextId::SecondsWord);
  caption(kLbTMeas, TextId::SecondsWord);
  caption(kLbStyle, TextId::StyleLabel);
  SetHint(kSbClone, TextId::CloneHint);
  caption(kLbThreads, TextId::ThreadsLabel);
  caption(kLbPriorClass, TextId::PriorClassLabel);
  SetHint(kEdTime, TextId::TimeHint);
  SetHint(kCbPriority, TextId::PriorityHint);
  ReplaceComboItems(ComboBox(Control(kCbPriority)), Texts(kPriorityItems));
  SetHint(kEdStPause, TextId::StartPauseHint);
  SetHint(kPbTime, TextId::ProgressHint);
  SetHint(kCbStyle, TextId::StyleHint);
  ReplaceComboItems(ComboBox(Control(kCbStyle)), Texts(kStyleItems));
  SetHint(kEdThreads, TextId::ThreadsHint);
  SetHint(kCbPriorClass, TextId::PriorClassHint);
  ReplaceComboItems(ComboBox(Control(kCbPriorClass)), Texts(kPriorClassItems));

  const Menu bar(::GetMenu(Handle()));
  bar.SetPositionCaption(kMiFile, LangText(TextId::MenuFile));
  bar.SetCaption(kMiStart, std::u16string(LangText(TextId::MenuStart)) + std::u16string(kShortcutEnter));
  bar.SetCaption(kMiUpdates, LangText(TextId::MenuUpdates));
  bar.SetCaption(kMiExit, std::u16string(LangText(TextId::MenuExit)) + std::u16string(kShortcutAltF4));
  bar.SetPositionCaption(kMiSettings, LangText(TextId::MenuSettings));
  const Menu settings(::GetSubMenu(bar.Get(), kMiSettings));
  settings.SetPositionCaption(kMiTemplsPosition, LangText(TextId::MenuTemplates));
  bar.SetCaption(kMiSaveSet, std::u16string(LangText(TextId::MenuSaveTemplate)) +
                                 std::u16string(kShortcutCtrlS));
  bar.SetCaption(kMiDelSet, LangText(TextId::MenuDeleteTemplate));
  bar.SetCaption(kMiRestore, LangText(TextId::MenuRestoreDefaults));
  bar.SetCaption(kMiEmptyList, LangText(TextId::MenuEmptyList));
  bar.SetCaption(kMiCompact, LangText(TextId::MenuCompact));
  bar.SetCaption(kMiAutoPin, LangText(TextId::MenuAutoPin));
  bar.SetPositionCaption(kMiLang, LangText(TextId::MenuLanguage));
  bar.SetPositionCaption(kMiHelp, LangText(TextId::MenuHelp));
  bar.SetCaption(kMiHelpHelp, std::u16string(LangText(TextId::MenuHelpIndex)) + std::u16string(kShortcutF1));
  bar.SetCaption(kMiCautions, LangText(TextId::MenuCautions));
  bar.SetCaption(kMiAbout, LangText(TextId::MenuAbout));
  if (templates_menu_) templates_menu_->ApplyTexts();
  ::DrawMenuBar(Handle());

  if (!atCreation) logic_->SetCurState(logic_->FCurState());
  ShowPercents();
}

// TMainView

void TfmMain::SetStateText(std::u16string_view text) {
  const Label label(Control(kLbState));
  label.SetText(text);
  label.AutoSize();
  ::RedrawWindow(Control(kPnPrg), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TfmMain::SetCaption(std::u16string_view text) { AsWindow().SetText(text); }

void TfmMain::SetAppTitle(std::u16string_view text) {
  if (TApplication* application = TApplication::Current()) application->SetTitle(text);
}

void TfmMain::SetDoCaption(std::u16string_view text) { Window(Control(kBDo)).SetText(text); }

void TfmMain::SetDoImage(int image) {
  do_image_ = image;
  Button(Control(kBDo)).SetImage(iml_.Get(), image);
}

int TfmMain::ProgressLeft() const { return static_cast<int>(Window(Control(kPbTime)).Bounds().left); }

void TfmMain::SetStateLeft(int left) {
  const Window label(Control(kLbState));
  label.SetPosition(left, static_cast<int>(label.Bounds().top));
}

HWND TfmMain::InputControl(TMainInput input) const { return Control(InputId(input)); }

bool TfmMain::InputEnabled(TMainInput input) const { return Window(InputControl(input)).IsEnabled(); }

void TfmMain::EnableInput(TMainInput input, bool enable) {
  const HWND control = InputControl(input);
  // A disabled control loses the focus to nobody, and the keys would then come as
  // system keys that the window does not look at: Esc could not stop the run.
  if (!enable && ::GetFocus() == control) ::SetFocus(Handle());
  Window(control).Enable(enable);
}

void TfmMain::EnableMenu(TMainMenu menu, bool enable) {
  Menu(::GetMenu(Handle())).EnablePosition(MenuPositionOf(menu), enable);
  ::DrawMenuBar(Handle());
}

TControlRef TfmMain::FocusedControl() const { return reinterpret_cast<TControlRef>(::GetFocus()); }

void TfmMain::FocusControl(TControlRef control) {
  const auto window = reinterpret_cast<HWND>(control);
  if (window != nullptr && ::IsWindow(window) && ::IsChild(Handle(), window)) ::SetFocus(window);
}

Color TfmMain::SysColor(TSysColor color) const {
  switch (color) {
    case TSysColor::clBtnFace: return static_cast<Color>(::GetSysColor(COLOR_BTNFACE));
    case TSysColor::clWindowText: return static_cast<Color>(::GetSysColor(COLOR_WINDOWTEXT));
    case TSysColor::clWindow: return static_cast<Color>(::GetSysColor(COLOR_WINDOW));
  }
  return 0;
}

void TfmMain::SetPanelsColor(Color color) {
  for (const int id : {kPnBg, kPnPrg, kPnButs}) PanelOf(id)->SetColor(color);
}

void TfmMain::SetLabelColor(TMainLabel label, Color color) {
  Label(Control(LabelId(label))).SetTextColor(color);
}

void TfmMain::FlashTaskbar() {
  const TApplication* application = TApplication::Current();
  FLASHWINFO flash{sizeof(flash), application != nullptr ? application->Handle() : Handle(),
                   FLASHW_ALL, 2, 10};
  ::FlashWindowEx(&flash);
}

void TfmMain::RedrawAll() {
  if (Handle() != nullptr) AsWindow().Redraw();
}

void TfmMain::SetProgressMax(std::uint32_t max) {
  ProgressBar(Control(kPbTime)).SetMaximum(static_cast<int>(max));
}

void TfmMain::SetProgressPosition(std::uint32_t position) {
  ProgressBar(Control(kPbTime)).SetPosition(static_cast<int>(position));
}

void TfmMain::SetTaskbarProgress(std::uint64_t done, std::uint64_t total) {
  if (const TApplication* application = TApplication::Current()) {
    taskbar_.SetTaskbarProgress(application->Handle(), done, total);
  }
}

void TfmMain::ClearTaskbarProgress() {
  if (const TApplication* application = TApplication::Current()) {
    taskbar_.ClearTaskbarProgress(application->Handle());
  }
}

void TfmMain::SetTimer(std::uintptr_t id, std::uint32_t period_ms) { WindowBase::SetTimer(id, period_ms); }

void TfmMain::KillTimer(std::uintptr_t id) { WindowBase::KillTimer(id); }

bool TfmMain::IsLeftButtonDown() const { return IsKeyDown(VK_LBUTTON); }

void TfmMain::FlushKeyboardMessages() { win32::FlushKeyboardMessages(); }

void TfmMain::FlushDoMouseMessages() { FlushMouseMessages(Control(kBDo)); }

void TfmMain::ReleaseCapture() { ::ReleaseCapture(); }

void TfmMain::RepaintChart() { chart_.Repaint(); }

void TfmMain::DrawStartPausePie(double koef) { chart_.DrawStartPausePie(koef); }

void TfmMain::RestoreNormalPriorities() {
  ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
}

std::u16string TfmMain::InputText(TMainInput input) const { return Window(InputControl(input)).Text(); }

int TfmMain::ItemIndex(TMainInput input) const { return ComboBox(InputControl(input)).ItemIndex(); }

void TfmMain::ProcessMessages() {
  if (TApplication* application = TApplication::Current()) application->ProcessMessages();
}

bool TfmMain::Terminated() const {
  const TApplication* application = TApplication::Current();
  return application != nullptr && application->Terminated();
}

void TfmMain::ShowMessage(std::u16string_view text) {
  const TApplication* application = TApplication::Current();
  const std::wstring title = platform::ToWide(application != nullptr ? application->Title() : u"");
  ::MessageBoxW(Handle(), platform::ToWide(text).c_str(), title.c_str(), MB_OK);
}

void TfmMain::ShowBusyCursor() { hourglass_.emplace(); }

void TfmMain::RestoreCursor() { hourglass_.reset(); }

void TfmMain::CloseWindow() { ::PostMessageW(Handle(), WM_CLOSE, 0, 0); }

void TfmMain::ShowThreadsWarning(std::u16string_view text) {
  ShowHintAt(Control(kEdThreads), FHintWin2_, text);
}

void TfmMain::HideThreadsWarning() {
  if (FHintWin2_ != nullptr) FHintWin2_->Release();  // empties FHintWin2_
}

// TUsageMeterHost

void TfmMain::ShowPercents() {
  Window(Control(kLbPerc1)).SetText(PercentCaption(TextId::CpuNow, meter_->FPercNowStr()));
  Window(Control(kLbPerc2)).SetText(PercentCaption(TextId::CpuAvg, meter_->FPercAvgStr()));
}

void TfmMain::RepaintPercents() {
  for (const HWND window : {Control(kLbPerc1), Control(kLbPerc2)}) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  RepaintChart();
}

// Messages

LRESULT TfmMain::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  if (message == kFirstShowMessage) {
    LoadRunSettings();
    return 0;
  }
  if (message == WM_DPICHANGED) {
    const LRESULT result = TForm::HandleMessage(message, w, l);
    // The form has laid its controls out for the full window at the new DPI.
    if (modes_ && IsCompact() && !IsInCompactUncompact()) {
      const Point full = FramedSize(static_cast<DWORD>(compact_view_->FullStyle()), true);
      modes_->RelayoutCompact({static_cast<std::int32_t>(full.x), static_cast<std::int32_t>(full.y)});
    }
    return result;
  }
  if (message == WM_INITMENUPOPUP && templates_menu_ &&
      reinterpret_cast<HMENU>(w) == templates_menu_->Submenu()) {
    templates_menu_->miTemplsClick();
  }
  return TForm::HandleMessage(message, w, l);
}

void TfmMain::OnTimer(UINT_PTR id) { logic_->OnTimer(id); }

void TfmMain::OnMouseDown(UINT /*button_message*/, Point /*at*/) { DragWindow(); }

bool TfmMain::OnCommand(int id, int code, HWND /*control*/) {
  // IDOK and IDCANCEL come from keys the dialog navigation saw; the key table acts on them.
  if (id <= IDCANCEL) return true;
  switch (id) {
    case kBDo:
      if (code != BN_CLICKED) return false;
      if (do_action_ == TDoAction::bGoButClick_Start) {
        logic_->bGoButClick_Start();
      } else {
        logic_->bGoButClick_Stop();
      }
      return true;
    case kSbStop:
      logic_->bGoButClick_Stop();
      return true;
    case kSbClose:
      TRunController::EmergencyClose();
    case kMiStart:
      logic_->bGoButClick_Start();
      return true;
    case kMiExit:
      ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
      return true;
    case kMiUpdates:
      miUpdatesClick();
      return true;
    case kMiHelpHelp:
      OpenHelp(u"");
      return true;
    case kMiCautions:
      OpenHelp(kCautionsTopic);
      return true;
    case kMiAbout:
      miAboutClick();
      return true;
    case kMiRestore:
      miRestoreClick();
      return true;
    case kMiCompact:
      miCompactClick();
      return true;
    case kMiAutoPin:
      miAutoPinClick();
      return true;
    case kSbPin:
      sbPinClick();
      return true;
    case kSbClone:
      sbCloneClick();
      return true;
    case kMiDefaultLang:
      LanguageItemClick(0);
      return true;
    case kEdThreads:
      if (code != EN_CHANGE) return false;
      logic_->edThreadsChange();
      return true;
    default:
      if (id >= kMiLangFirst && id <= kMiLangLast) {
        LanguageItemClick(static_cast<std::size_t>(id - kMiLangFirst) + 1);
        return true;
      }
      if (templates_menu_ && templates_menu_->OnCommand(id)) return true;
      // Menu items that later features fill do nothing yet.
      return id >= kMiStart;
  }
}

bool TfmMain::OnClose() { return logic_->ProcClose(); }

// The window goes normally (not by the emergency close): what the user set is kept.
void TfmMain::OnDestroy() {
  SaveRunSettings();
  SavePlace();
}

bool TfmMain::PreviewKey(UINT message, WPARAM key) {
  if (message != WM_KEYDOWN || key > 0xFFFF) return false;
  const TShiftState shift{IsKeyDown(VK_SHIFT), IsKeyDown(VK_CONTROL), IsKeyDown(VK_MENU)};
  // Ctrl+S is the shortcut of "Save the stress template ...", in the Settings menu.
  if (key == 'S' && shift.ctrl && !shift.shift && !shift.alt) {
    if (Menu(::GetMenu(Handle())).IsPositionEnabled(kMiSettings) && templates_menu_) {
      templates_menu_->settingsSaveOrDel(true);
    }
    return true;
  }
  // F1 is the shortcut of "Help Index", which acts only while its menu is enabled.
  if (key == VK_F1 && !shift.shift && !shift.ctrl && !shift.alt) {
    if (Menu(::GetMenu(Handle())).IsPositionEnabled(kMiHelp)) OpenHelp(u"");
    return true;
  }
  return logic_->KeyDown(static_cast<std::uint16_t>(key), shift);
}

void TfmMain::OpenHelp(std::u16string_view topic) {
  THtmlHelpViewer viewer(Handle());
  velkaro::OpenHelp(viewer, platform::ProgramFolder() + std::u16string(kDocsFolder),
                    ActiveLangCode(), topic);
}

void TfmMain::miUpdatesClick() {
  const FileVersionInfo version = platform::GetFileVersion(platform::ProgramPath(), true);
  const std::u16string text = GetVersionTexts(version, LangText(TextId::BuildWord));
  platform::OpenDocument(UpdateAddress(u"" VELKARO_UPDATE_HOST, VersionKey(text, version.build)),
                         true);
}

void TfmMain::miAboutClick() {
  TfmAbout about;
  if (about.Construct(Handle())) about.ShowModal(Handle());
}

}  // namespace velkaro::win32
