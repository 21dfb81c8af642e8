#include "ui/win32/form.h"

#include <algorithm>
#include <iterator>

#include "platform/win32/wide.h"
#include "ui/win32/application.h"

namespace velkaro::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"VelkaroForm";
constexpr char16_t kFormFontFace[] = u"Tahoma";
// How far a drop-down list opens, in 96-DPI units.
constexpr int kDropDownHeight = 200;

// Functions of newer systems, looked up at run time so that the program still starts
// on older ones.
template <class Function>
Function UserFunction(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

int SystemDpi() {
  ScopedGetDc screen(nullptr);
  const int dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return dpi > 0 ? dpi : kDesignDpi;
}

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

DWORD ClassStyle(ControlKind kind) {
  switch (kind) {
    case ControlKind::kLabel:
      return SS_LEFT;
    case ControlKind::kEdit:
      return WS_TABSTOP | ES_AUTOHSCROLL;
    case ControlKind::kUpDown:
      return WS_TABSTOP | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
    case ControlKind::kComboList:
      return WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    case ControlKind::kComboEdit:
      return WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
    case ControlKind::kButton:
      return WS_TABSTOP | BS_PUSHBUTTON;
    default:
      return 0;
  }
}

const wchar_t* ClassName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kLabel:
      return L"STATIC";
    case ControlKind::kEdit:
      return L"EDIT";
    case ControlKind::kUpDown:
      return UPDOWN_CLASSW;
    case ControlKind::kComboList:
    case ControlKind::kComboEdit:
      return WC_COMBOBOXW;
    case ControlKind::kButton:
      return L"BUTTON";
    case ControlKind::kProgressBar:
      return PROGRESS_CLASSW;
    default:
      return nullptr;
  }
}

bool IsAutoSized(const ControlLayout& control) {
  return control.kind == ControlKind::kLabel && (control.width == 0 || control.height == 0);
}

}  // namespace

int DpiOfWindow(HWND window) {
  static const auto get_dpi_for_window = UserFunction<GetDpiForWindowFunction>("GetDpiForWindow");
  if (get_dpi_for_window != nullptr && window != nullptr) {
    if (const UINT dpi = get_dpi_for_window(window); dpi != 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

bool IsFontInstalled(std::u16string_view face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  const std::wstring name = platform::ToWide(face.substr(0, LF_FACESIZE - 1));
  std::copy(name.begin(), name.end(), wanted.lfFaceName);
  bool found = false;
  ScopedGetDc screen(nullptr);
  ::EnumFontFamiliesExW(screen.Get(), &wanted, &NoteFontFound, reinterpret_cast<LPARAM>(&found),
                        0);
  return found;
}

ScopedFont CreateFormFont(int dpi) {
  LOGFONTW font{};
  static const bool has_tahoma = IsFontInstalled(kFormFontFace);
  if (has_tahoma) {
    std::copy(std::begin(kFormFontFace), std::end(kFormFontFace), font.lfFaceName);
    font.lfCharSet = DEFAULT_CHARSET;
  } else {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    font = metrics.lfMessageFont;
  }
  // The layout is drawn for this height, whatever face carries it.
  font.lfHeight = ScaleForDpi(kDesignFontHeight, dpi);
  font.lfWidth = 0;
  font.lfWeight = FW_NORMAL;
  font.lfQuality = DEFAULT_QUALITY;
  return ScopedFont(::CreateFontIndirectW(&font));
}

TForm::~TForm() {
  // Here, while the form's own handlers still exist.
  if (Handle() != nullptr) ::DestroyWindow(Handle());
}

bool TForm::Create(const Options& options, std::span<const ControlLayout> layout) {
  if (!IsValidLayout(layout)) return false;
  layout_.assign(layout.begin(), layout.end());
  client_width_ = options.client_width;
  client_height_ = options.client_height;
  TApplication* application = TApplication::Current();
  const HWND owner = options.main_window && application != nullptr ? application->Handle()
                                                                    : options.owner;
  if (!CreateWindowOfClass(kFormClass, WS_EX_CONTROLPARENT, options.style, {0, 0, 100, 100}, owner,
                           options.menu, options.caption)) {
    return false;
  }
  if (options.main_window && application != nullptr) {
    application->SetMainWindow(Handle());
    application->SetTitle(options.caption);
  }
  dpi_ = DpiOfWindow(Handle());
  font_ = CreateFormFont(dpi_);
  for (const ControlLayout& control : layout_) {
    if (!CreateControl(control)) return false;
  }
  ApplyDpi(dpi_, nullptr);
  // Centred on the primary monitor's work area.
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const Rect bounds = AsWindow().Bounds();
  AsWindow().SetPosition(work.left + (work.right - work.left - static_cast<int>(bounds.Width())) / 2,
                         work.top + (work.bottom - work.top - static_cast<int>(bounds.Height())) / 2);
  return true;
}

HWND TForm::Control(int id) const {
  const auto found = std::find_if(controls_.begin(), controls_.end(),
                                  [id](const auto& entry) { return entry.first == id; });
  return found != controls_.end() ? found->second : nullptr;
}

TPanel* TForm::PanelOf(int id) const {
  const HWND window = Control(id);
  for (const auto& panel : panels_) {
    if (panel->Handle() == window) return panel.get();
  }
  return nullptr;
}

TSpeedButton* TForm::SpeedButtonOf(int id) const {
  const HWND window = Control(id);
  for (const auto& button : speed_buttons_) {
    if (button->Handle() == window) return button.get();
  }
  return nullptr;
}

HWND TForm::ParentOf(const ControlLayout& control) const {
  return control.parent == 0 ? Handle() : Control(control.parent);
}

Rect TForm::ScaledBounds(const ControlLayout& control) const {
  return ScaleBoundsForDpi(control.Bounds(), dpi_);
}

bool TForm::CreateControl(const ControlLayout& control) {
  const HWND parent = ParentOf(control);
  if (parent == nullptr) return false;
  const Rect bounds = ScaledBounds(control);
  const std::u16string_view text = control.text ? LangText(*control.text) : std::u16string_view();
  HWND window = nullptr;
  if (control.kind == ControlKind::kPanel) {
    auto panel = std::make_unique<TPanel>();
    if (!panel->Create(parent, control.id, bounds, control.style)) return false;
    window = panel->Handle();
    panels_.push_back(std::move(panel));
  } else if (control.kind == ControlKind::kSpeedButton) {
    auto button = std::make_unique<TSpeedButton>();
    if (!button->Create(parent, control.id, bounds, text)) return false;
    window = button->Handle();
    speed_buttons_.push_back(std::move(button));
  } else {
    const DWORD ex_style = control.kind == ControlKind::kEdit ? WS_EX_CLIENTEDGE : 0;
    window = ::CreateWindowExW(
        ex_style, ClassName(control.kind), platform::ToWide(text).c_str(),
        WS_CHILD | WS_VISIBLE | ClassStyle(control.kind) | control.style, bounds.left, bounds.top,
        static_cast<int>(bounds.Width()), static_cast<int>(bounds.Height()), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), ::GetModuleHandleW(nullptr),
        nullptr);
    if (window == nullptr) return false;
    if (control.kind == ControlKind::kUpDown && !controls_.empty()) {
      UpDown(window).SetBuddy(controls_.back().second);
    }
  }
  controls_.emplace_back(control.id, window);
  return true;
}

void TForm::PlaceControl(const ControlLayout& control, HWND window) const {
  Window(window).SetFont(font_.Get());
  Rect bounds = ScaledBounds(control);
  if (control.kind == ControlKind::kComboList || control.kind == ControlKind::kComboEdit) {
    // The given height is that of the closed list; the window also spans the open one.
    ComboBox(window).Send(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                          std::max<LPARAM>(static_cast<LPARAM>(bounds.Height()) - 6, 1));
    bounds.bottom += Scale(kDropDownHeight);
  }
  Window(window).SetBounds(bounds);
  if (IsAutoSized(control)) Label(window).AutoSize();
}

void TForm::ApplyDpi(int dpi, const RECT* suggested) {
  if (dpi != dpi_ || !font_) {
    dpi_ = dpi;
    font_ = CreateFormFont(dpi_);
  }
  Window(Handle()).SetFont(font_.Get());
  for (std::size_t i = 0; i < layout_.size(); ++i) PlaceControl(layout_[i], controls_[i].second);
  OnDpiChanged();

  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE));
  const Point framed = FramedSize(style, ::GetMenu(Handle()) != nullptr);
  if (suggested != nullptr) {
    // The system's rectangle keeps the window under the mouse while it is dragged
    // across monitors.
    ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  const int width = static_cast<int>(framed.x);
  const int height = static_cast<int>(framed.y);
  ::SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps at this width takes more room than the one-line estimate.
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const int missing = Scale(client_height_) - client.bottom;
  if (missing > 0) {
    ::SetWindowPos(Handle(), nullptr, 0, 0, width, height + missing,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

Point TForm::FramedSize(DWORD style, bool menu) const {
  const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
  RECT frame{0, 0, Scale(client_width_), Scale(client_height_)};
  static const auto adjust_for_dpi =
      UserFunction<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
  if (adjust_for_dpi == nullptr ||
      !adjust_for_dpi(&frame, style, menu ? TRUE : FALSE, ex_style, static_cast<UINT>(dpi_))) {
    ::AdjustWindowRectEx(&frame, style, menu ? TRUE : FALSE, ex_style);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

bool TForm::IsMainWindow() const {
  const TApplication* application = TApplication::Current();
  return application != nullptr && application->MainWindow() == Handle();
}

int TForm::ShowModal(HWND owner) {
  TApplication* application = TApplication::Current();
  if (Handle() == nullptr || application == nullptr || modal_) return IDCANCEL;
  DoShow();
  // Centred on the work area of the owner's monitor.
  const HMONITOR monitor = ::MonitorFromWindow(owner != nullptr ? owner : Handle(),
                                               MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{sizeof(info), {}, {}, 0};
  if (::GetMonitorInfoW(monitor, &info)) {
    const RECT& work = info.rcWork;
    const Rect bounds = AsWindow().Bounds();
    AsWindow().SetPosition(
        work.left + (work.right - work.left - static_cast<int>(bounds.Width())) / 2,
        work.top + (work.bottom - work.top - static_cast<int>(bounds.Height())) / 2);
  }
  modal_ = true;
  modal_result_ = 0;
  saved_focus_ = nullptr;
  const bool owner_was_enabled = owner != nullptr && ::IsWindowEnabled(owner);
  if (owner_was_enabled) ::EnableWindow(owner, FALSE);
  ::ShowWindow(Handle(), SW_SHOW);
  ::SetForegroundWindow(Handle());
  application->RunUntil([this] { return modal_result_ != 0 || !::IsWindow(Handle()); });
  // The owner comes back first, so that it, not another program, is activated next.
  if (owner_was_enabled) ::EnableWindow(owner, TRUE);
  if (::IsWindow(Handle())) ::ShowWindow(Handle(), SW_HIDE);
  if (owner != nullptr) ::SetActiveWindow(owner);
  modal_ = false;
  return modal_result_ != 0 ? modal_result_ : IDCANCEL;
}

void TForm::RememberFocus() {
  const HWND focus = ::GetFocus();
  if (focus != nullptr && (focus == Handle() || ::IsChild(Handle(), focus))) saved_focus_ = focus;
}

void TForm::RestoreFocus() {
  HWND target = saved_focus_;
  const bool usable = target == Handle() ||
                      (target != nullptr && ::IsWindow(target) && ::IsChild(Handle(), target) &&
                       ::IsWindowEnabled(target) && ::IsWindowVisible(target));
  if (!usable) target = ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
  if (target == nullptr) target = Handle();
  ::SetFocus(target);
  // A field that gets the focus from the keyboard's point of view is ready to be typed over.
  wchar_t name[16] = {};
  if (target != Handle() && ::GetClassNameW(target, name, static_cast<int>(std::size(name))) > 0 &&
      ::lstrcmpiW(name, L"Edit") == 0) {
    Edit(target).SelectAll();
  }
}

LRESULT TForm::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CLOSE:
      if (modal_) {
        EndModal(IDCANCEL);
        return 0;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(w) == WA_INACTIVE) {
        RememberFocus();
        break;
      }
      // Not while minimized: the system then keeps the focus away from the form.
      if (HIWORD(w) == 0) {
        RestoreFocus();
        return 0;
      }
      break;
    case WM_DPICHANGED:
      ApplyDpi(HIWORD(w), reinterpret_cast<const RECT*>(l));
      return 0;
    case WM_GETFONT:
      // Controls made in code take the form's font from here.
      return reinterpret_cast<LRESULT>(font_.Get());
    case WM_SYSCOMMAND:
      if ((w & 0xFFF0) == SC_MINIMIZE && IsMainWindow()) {
        TApplication::Current()->Minimize();
        return 0;
      }
      break;
    case WM_SHOWWINDOW:
      if (w != FALSE && IsMainWindow()) {
        ::ShowWindow(TApplication::Current()->Handle(), SW_SHOWNA);
      }
      break;
    case WM_DESTROY:
      for (std::size_t i = 0; i < controls_.size(); ++i) {
        const HWND window = controls_[i].second;
        ::RemovePropW(window, kTextColorProperty);
        // Destroys the icon the button shows.
        if (layout_[i].kind == ControlKind::kButton) Button(window).SetImage(nullptr, 0);
      }
      if (IsMainWindow()) {
        TApplication::Current()->SetMainWindow(nullptr);
        ::PostQuitMessage(0);
      }
      break;
    default:
      break;
  }
  return WindowBase::HandleMessage(message, w, l);
}

}  // namespace velkaro::win32
