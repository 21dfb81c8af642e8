#include "ui/win32/hint_window.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "platform/win32/wide.h"
#include "richtext/color_text.h"
#include "ui/win32/application.h"
#include "ui/win32/gdi_text_canvas.h"
#include "ui/win32/screen.h"

namespace velkaro::win32 {
namespace {

THintFont g_hint_font{kHintFallbackFontName, kHintDefaultFontSize, 0};

// Timers of TKivFreqHintWindow.
constexpr UINT_PTR kDisplayTimeTimer = 1;
constexpr UINT_PTR kParentCheckTimer = 2;
constexpr UINT_PTR kDelayedShowTimer = 3;
constexpr UINT kParentCheckMilliseconds = 50;

// The size a shown text takes when it changes outside an activation.
constexpr std::int32_t kCaptionChangeMaxWidth = 10000;
// The height of the box a marked-up text is measured in.
constexpr std::int32_t kMeasureHeight = 1000;

// Margins of the text inside the window: 3 pixels left and right, 2 above and below.
constexpr int kTextMarginX = 3;
constexpr int kTextMarginY = 2;

constexpr UINT kTextFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

// The freq hint's subclass that frees the object once its window is gone.
constexpr UINT_PTR kLifetimeSubclassId = 1;

// A control's tooltip text, kept on the control and freed with it.
constexpr wchar_t kHintTextProperty[] = L"VelkaroHintText";
constexpr UINT_PTR kHintTextSubclassId = 1;

// The application's tooltip: polling while the mouse is over a hinted control.
constexpr UINT_PTR kHoverPollTimer = 1;
constexpr UINT kHoverPollMilliseconds = 40;

const wchar_t* Wide(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

int WideLength(std::u16string_view text) {
  return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
}

int ScreenPixelsPerInch() {
  const ScopedGetDc screen(nullptr);
  return screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
}

ScopedFont CreateHintFont(const THintFont& hint_font) {
  int ppi = ScreenPixelsPerInch();
  if (ppi <= 0) ppi = 96;
  LOGFONTW log{};
  log.lfHeight = -::MulDiv(hint_font.Size, ppi, 72);
  log.lfWeight = (hint_font.Style & kFontBold) != 0 ? FW_BOLD : FW_NORMAL;
  log.lfItalic = (hint_font.Style & kFontItalic) != 0 ? TRUE : FALSE;
  log.lfUnderline = (hint_font.Style & kFontUnderline) != 0 ? TRUE : FALSE;
  log.lfStrikeOut = (hint_font.Style & kFontStrikeOut) != 0 ? TRUE : FALSE;
  log.lfCharSet = DEFAULT_CHARSET;
  log.lfQuality = DEFAULT_QUALITY;
  const std::size_t length =
      std::min<std::size_t>(hint_font.Name.size(), std::size(log.lfFaceName) - 1);
  std::copy_n(Wide(hint_font.Name), length, log.lfFaceName);
  return ScopedFont(::CreateFontIndirectW(&log));
}

Color SysColor(int index) { return static_cast<Color>(::GetSysColor(index)); }

ColorTextArgs HintTextArgs() {
  ColorTextArgs args;
  args.word_wrap = true;
  args.enabled = true;
  args.color_font_for_disabled = SysColor(COLOR_INFOBK);
  args.def_font_color = SysColor(COLOR_INFOTEXT);
  args.def_font_name = g_hint_font.Name;
  args.def_font_size = g_hint_font.Size;
  args.def_font_style = g_hint_font.Style;
  args.alignment = TAlignment::taLeftJustify;
  args.add_size = 0;
  return args;
}

Rect MonitorBoundsOfPoint(Point point) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  const HMONITOR monitor = ::MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTOPRIMARY);
  if (monitor == nullptr || !::GetMonitorInfoW(monitor, &info)) {
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  return ToRect(info.rcMonitor);
}

bool IsOwnThreadWindow(HWND window) {
  return window != nullptr && ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}

LRESULT CALLBACK HintTextSubclassProc(HWND window, UINT message, WPARAM w, LPARAM l,
                                      UINT_PTR id, DWORD_PTR data) {
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(window, &HintTextSubclassProc, id);
    ::RemovePropW(window, kHintTextProperty);
    delete reinterpret_cast<std::u16string*>(data);
  }
  return ::DefSubclassProc(window, message, w, l);
}

}  // namespace

void InitHintFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  const bool succeeded =
      ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) != FALSE;
  const std::u16string face =
      succeeded ? platform::FromWide(metrics.lfMessageFont.lfFaceName) : std::u16string();
  g_hint_font = HintFontFromMessageFont(succeeded, face, metrics.lfMessageFont.lfHeight,
                                        ScreenPixelsPerInch());
}

const THintFont& HintFont() { return g_hint_font; }

// ---------------------------------------------------------------------------------------
// TKivHintWindow

TKivHintWindow::TKivHintWindow() { SetColor(SysColor(COLOR_INFOBK)); }

TKivHintWindow::~TKivHintWindow() = default;

bool TKivHintWindow::Create(HWND owner) {
  if (owner == nullptr || !::IsWindow(owner)) {
    const TApplication* application = TApplication::Current();
    owner = application != nullptr ? application->Handle() : nullptr;
  }
  if (!CreateWindowOfClass(kHintWindowClassName, WS_EX_TOOLWINDOW, WS_POPUP, {}, owner, nullptr,
                           u"")) {
    return false;
  }
  SetPainted(true);
  // The toolkit registers the class with its own style; the saved bits and the shadow
  // are the hint's.
  const auto style = static_cast<ULONG_PTR>(::GetClassLongPtrW(Handle(), GCL_STYLE));
  constexpr ULONG_PTR kHintClassStyle = CS_SAVEBITS | CS_DROPSHADOW;
  if ((style & kHintClassStyle) != kHintClassStyle) {
    ::SetClassLongPtrW(Handle(), GCL_STYLE, static_cast<LONG_PTR>(style | kHintClassStyle));
  }
  return true;
}

HFONT TKivHintWindow::Font() {
  if (!font_) font_ = CreateHintFont(g_hint_font);
  return font_.Get();
}

Point TKivHintWindow::CalcHintSize(std::u16string_view hint, std::int32_t max_width) {
  std::u16string text(hint);
  const THintIcons icons = ReadHintIcons(text);
  const ScopedGetDc dc(Handle());
  if (!dc) return HintSizeOf({}, icons);
  const ScopedSelectObject font(dc.Get(), Font());
  Point measured;
  if (HasMarkup(text)) {
    Rect r{0, 0, max_width, kMeasureHeight};
    DrawMarkupText(text, dc.Get(), r, HintTextArgs(), true);
    measured = {r.right, r.bottom};
  } else {
    RECT r{0, 0, max_width, 0};
    ::DrawTextW(dc.Get(), Wide(text), WideLength(text), &r, kTextFlags | DT_CALCRECT);
    measured = {r.right - r.left, r.bottom - r.top};
  }
  return HintSizeOf(measured, icons);
}

Rect TKivHintWindow::CalcHintRect(std::int32_t max_width, std::u16string_view hint) {
  const Point size = CalcHintSize(hint, max_width);
  return {0, 0, size.x, size.y};
}

void TKivHintWindow::ActivateHint(const Rect& rect, std::u16string_view hint) {
  ActivateHintW({rect.left, rect.top}, rect, hint);
}

void TKivHintWindow::ActivateHintW(Point on_monitor_over_point, const Rect& rect,
                                   std::u16string_view hint) {
  struct Finish {
    TKivHintWindow& window;
    ~Finish() {
      window.FLastActive = ::GetTickCount();
      window.FActivating = false;
    }
  } finish{*this};
  FActivating = true;
  FCaptionW.assign(hint);
  const HintPlacement placement{WidthCountDX, HeightCountDY, ScreenPoint2, WidthCountDX2,
                                HeightCountDY2};
  const Rect placed = PlaceHint(rect, placement, MonitorBoundsOfPoint(on_monitor_over_point));

  const HWND new_owner = pending_owner_;
  pending_owner_ = nullptr;
  if (new_owner != nullptr && MayRecreateWindow() && ::IsWindow(new_owner) &&
      (Handle() == nullptr || ::GetWindow(Handle(), GW_OWNER) != new_owner)) {
    if (Handle() != nullptr) ::DestroyWindow(Handle());
    Create(new_owner);
  }
  if (Handle() == nullptr) return;

  const UINT keep_order = ::IsWindowVisible(Handle()) ? SWP_NOZORDER : 0;
  ::SetWindowPos(Handle(), HWND_TOPMOST, placed.left, placed.top,
                 static_cast<int>(placed.Width()), static_cast<int>(placed.Height()),
                 SWP_NOACTIVATE | SWP_NOOWNERZORDER | keep_order);
  ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER |
                     keep_order);
  ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TKivHintWindow::HideHint() {
  if (Handle() != nullptr) ::ShowWindow(Handle(), SW_HIDE);
}

void TKivHintWindow::SetCaption(std::u16string_view text) {
  FCaptionW.assign(text);
  if (FActivating || Handle() == nullptr) return;
  const Point size = CalcHintSize(FCaptionW, kCaptionChangeMaxWidth);
  ::SetWindowPos(Handle(), nullptr, 0, 0, size.x, size.y,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  ::InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT TKivHintWindow::CopyCaption(WPARAM size, LPARAM buffer) const {
  if (size == 0 || buffer == 0) return 0;
  const std::size_t count = std::min<std::size_t>(FCaptionW.size(), size - 1);
  auto* target = reinterpret_cast<wchar_t*>(buffer);
  std::copy_n(Wide(FCaptionW), count, target);
  target[count] = L'\0';
  return static_cast<LRESULT>(count);
}

LRESULT TKivHintWindow::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_GETTEXT:
      return CopyCaption(w, l);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(FCaptionW.size());
    case WM_SETTEXT: {
      const auto* text = reinterpret_cast<const wchar_t*>(l);
      SetCaption(text != nullptr ? platform::FromWide(text) : std::u16string());
      return TRUE;
    }
    case WM_NCPAINT:
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      // The mouse goes through to what lies below, as it does through a tooltip.
      return HTTRANSPARENT;
    default:
      break;
  }
  return WindowBase::HandleMessage(message, w, l);
}

void TKivHintWindow::OnPaint(HDC dc, const RECT& client) {
  const ScopedSelectObject font(dc, Font());
  ::FrameRect(dc, &client, ::GetSysColorBrush(COLOR_BTNSHADOW));

  std::u16string text = FCaptionW;
  const THintIcons icons = ReadHintIcons(text);
  for (const THintIcon& icon : icons) {
    ::DrawIconEx(dc, kTextMarginX, icon.Top + kTextMarginY,
                 reinterpret_cast<HICON>(static_cast<std::intptr_t>(icon.IconHandle)), icon.Width,
                 icon.Height, 0, nullptr, DI_NORMAL);
  }
  RECT area{HintTextLeft(icons) + kTextMarginX, kTextMarginY, client.right - kTextMarginX,
            client.bottom - kTextMarginY};
  if (HasMarkup(text)) {
    Rect r = ToRect(area);
    DrawMarkupText(text, dc, r, HintTextArgs(), false);
  } else {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
    ::DrawTextW(dc, Wide(text), WideLength(text), &area, kTextFlags);
  }
}

// ---------------------------------------------------------------------------------------
// TKivFreqHintWindow

bool TKivFreqHintWindow::CreateOwned(HWND owner) {
  if (!Create(owner)) return false;
  if (!::SetWindowSubclass(Handle(), &LifetimeSubclassProc, kLifetimeSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
    ::DestroyWindow(Handle());
    return false;
  }
  return true;
}

LRESULT CALLBACK TKivFreqHintWindow::LifetimeSubclassProc(HWND window, UINT message, WPARAM w,
                                                          LPARAM l, UINT_PTR id, DWORD_PTR data) {
  if (message != WM_NCDESTROY) return ::DefSubclassProc(window, message, w, l);
  // Whoever destroys the window (a timer, ShowFreqHint, the owner going), the object
  // goes with it, after the toolkit has let go of it.
  ::RemoveWindowSubclass(window, &LifetimeSubclassProc, id);
  const LRESULT result = ::DefSubclassProc(window, message, w, l);
  auto* self = reinterpret_cast<TKivFreqHintWindow*>(data);
  if (self->PVarListHint != nullptr && *self->PVarListHint == self) *self->PVarListHint = nullptr;
  delete self;
  return result;
}

void TKivFreqHintWindow::Release() {
  if (Handle() != nullptr) {
    ::DestroyWindow(Handle());  // frees this object
  } else {
    if (PVarListHint != nullptr && *PVarListHint == this) *PVarListHint = nullptr;
    delete this;
  }
}

void TKivFreqHintWindow::ShowHintText(std::u16string_view text, bool repaint) {
  KillTimer(kDisplayTimeTimer);
  KillTimer(kDelayedShowTimer);
  const Rect size = CalcHintRect(MaxWidth, text);
  const Rect r =
      HintRectAt({size.right, size.bottom}, ScreenPoint1, IsScreenPoint1_IsCenterPlace);
  ActivateHintW({r.left, r.top}, r, text);
  if (repaint && Handle() != nullptr) {
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  if (HideMillisec != 0) SetTimer(kDisplayTimeTimer, HideMillisec);
  if (FParentWindowHandle_ForCheckLose_VisibleOrActive != nullptr ||
      FParentWindowHandle_ForCheck_MouseOver != nullptr) {
    StartCheckHideHint_ByParentLoseFocus();
  }
}

void TKivFreqHintWindow::StartCheckHideHint_ByParentLoseFocus() {
  if (Handle() != nullptr) SetTimer(kParentCheckTimer, kParentCheckMilliseconds);
}

bool TKivFreqHintWindow::IsParentLost() const {
  if (const HWND parent = FParentWindowHandle_ForCheckLose_VisibleOrActive; parent != nullptr) {
    if (!::IsWindow(parent) || !::IsWindowVisible(parent) ||
        ::GetActiveWindow() != ::GetForegroundWindow()) {
      return true;
    }
  }
  if (const HWND parent = FParentWindowHandle_ForCheck_MouseOver; parent != nullptr) {
    POINT cursor{};
    RECT bounds{};
    ::GetCursorPos(&cursor);
    if (!::GetWindowRect(parent, &bounds) || !::PtInRect(&bounds, cursor)) return true;
    const HWND capture = ::GetCapture();
    if (capture != nullptr && capture != parent && !::IsChild(parent, capture)) return true;
  }
  return false;
}

void TKivFreqHintWindow::OnTimer(UINT_PTR id) {
  // After Release this object is gone: nothing may follow it.
  switch (id) {
    case kDisplayTimeTimer:
      KillTimer(kDisplayTimeTimer);
      Release();
      return;
    case kParentCheckTimer:
      KillTimer(kParentCheckTimer);
      if (IsParentLost()) {
        Release();
        return;
      }
      SetTimer(kParentCheckTimer, kParentCheckMilliseconds);
      return;
    case kDelayedShowTimer:
      if (IsParentLost()) {
        KillTimer(kDisplayTimeTimer);
        KillTimer(kDelayedShowTimer);
        return;
      }
      ShowHintText(NextCaption, false);
      return;
    default:
      TKivHintWindow::OnTimer(id);
      return;
  }
}

void ShowFreqHint(std::u16string_view text, Point screen_point1, std::uint32_t show_delay,
                  std::uint32_t hide_millisec, std::uint32_t reshow_delay, HWND owner,
                  Color colour, std::int32_t max_width, TKivFreqHintWindow*& holder,
                  std::int32_t dx, std::int32_t dy, std::int32_t x2, std::int32_t y2,
                  std::int32_t dx2, std::int32_t dy2, bool centred) {
  if (text.empty()) {
    if (TKivFreqHintWindow* hint = holder; hint != nullptr) {
      holder = nullptr;
      hint->Release();
    }
    return;
  }
  const bool is_new = holder == nullptr;
  if (is_new) {
    auto* hint = new TKivFreqHintWindow();
    hint->SetColor(colour);
    if (!hint->CreateOwned(owner)) {
      hint->Release();
      return;
    }
    holder = hint;
    hint->PVarListHint = &holder;
  }
  TKivFreqHintWindow& hint = *holder;
  hint.SetColor(colour);
  hint.HideMillisec = hide_millisec;
  hint.IsScreenPoint1_IsCenterPlace = centred;
  hint.ScreenPoint1 = screen_point1;
  hint.ScreenPoint2 = {x2, y2};
  hint.WidthCountDX = dx;
  hint.HeightCountDY = dy;
  hint.WidthCountDX2 = dx2;
  hint.HeightCountDY2 = dy2;
  hint.MaxWidth = max_width;
  std::uint32_t delay = 0;
  if (!is_new) {
    if (reshow_delay == 0) {
      hint.ShowHintText(text, true);
      return;
    }
    hint.KillTimer(kDisplayTimeTimer);
    hint.KillTimer(kDelayedShowTimer);
    delay = reshow_delay;
  } else {
    if (show_delay == 0) {
      hint.ShowHintText(text, false);
      return;
    }
    delay = show_delay;
  }
  hint.NextCaption.assign(text);
  hint.SetTimer(kDelayedShowTimer, delay);
}

// ---------------------------------------------------------------------------------------
// Control hints

void SetControlHint(HWND control, std::u16string_view text) {
  if (!IsOwnThreadWindow(control)) return;
  auto* stored = static_cast<std::u16string*>(::GetPropW(control, kHintTextProperty));
  if (text.empty()) {
    if (stored != nullptr) {
      ::RemoveWindowSubclass(control, &HintTextSubclassProc, kHintTextSubclassId);
      ::RemovePropW(control, kHintTextProperty);
      delete stored;
    }
    return;
  }
  if (stored != nullptr) {
    stored->assign(text);
    return;
  }
  auto owned = std::make_unique<std::u16string>(text);
  if (!::SetWindowSubclass(control, &HintTextSubclassProc, kHintTextSubclassId,
                           reinterpret_cast<DWORD_PTR>(owned.get()))) {
    return;
  }
  ::SetPropW(control, kHintTextProperty, owned.get());
  static_cast<void>(owned.release());  // freed at WM_NCDESTROY
}

std::u16string ControlHint(HWND control) {
  // The property of a window of another thread is no pointer of ours.
  if (!IsOwnThreadWindow(control)) return {};
  const auto* stored = static_cast<const std::u16string*>(::GetPropW(control, kHintTextProperty));
  return stored != nullptr ? *stored : std::u16string();
}

// ---------------------------------------------------------------------------------------
// ApplicationHints

namespace {

// The tooltip window, whose timer also paces the hover decisions.
class TApplicationHintWindow final : public TKivHintWindow {
 public:
  std::function<void()> on_poll;

 private:
  void OnTimer(UINT_PTR id) override {
    if (id == kHoverPollTimer && on_poll) on_poll();
  }
};

struct HintedControl {
  HintHoverTracker::Target target = HintHoverTracker::kNoTarget;
  std::u16string text;
  HWND form = nullptr;
};

}  // namespace

class ApplicationHints::Impl {
 public:
  Impl(TApplication& application, std::uint32_t initial_delay)
      : application_(application),
        tracker_(initial_delay != 0 ? initial_delay : ::GetDoubleClickTime()) {
    window_.on_poll = [this] { Update(); };
    window_.Create(application.Handle());
    application_.SetInputObserver([this](const MSG& message) { OnInput(message); });
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  ~Impl() { application_.SetInputObserver(nullptr); }

  HWND Window() const { return window_.Handle(); }

 private:
  void OnInput(const MSG& message) {
    switch (message.message) {
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE:
        Update();
        break;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_XBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN:
      case WM_NCXBUTTONDOWN:
      case WM_MOUSEWHEEL:
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        Carry(tracker_.Cancel());
        break;
      default:
        break;
    }
  }

  // The control under the cursor in a form of ours that is in the foreground, with its
  // hint or its nearest parent's.
  HintedControl FindHintedControl(POINT cursor) const {
    const HWND hit = ::WindowFromPoint(cursor);
    if (!IsOwnThreadWindow(hit)) return {};
    const HWND form = ::GetAncestor(hit, GA_ROOT);
    if (form == nullptr || form == window_.Handle() || form != ::GetForegroundWindow()) return {};
    // From the form down, so that disabled controls, which the hit test passes over,
    // show their hints too.
    HWND control = form;
    for (;;) {
      POINT at = cursor;
      ::ScreenToClient(control, &at);
      const HWND child = ::ChildWindowFromPointEx(control, at, CWP_SKIPINVISIBLE);
      if (child == nullptr || child == control) break;
      control = child;
    }
    for (HWND window = control; window != nullptr;
         window = window == form ? nullptr : ::GetParent(window)) {
      std::u16string text = ControlHint(window);
      if (!text.empty()) {
        return {reinterpret_cast<HintHoverTracker::Target>(control), std::move(text), form};
      }
    }
    return {};
  }

  void Update() {
    POINT cursor{};
    if (!::GetCursorPos(&cursor)) return;
    HintedControl found = FindHintedControl(cursor);
    const std::uint32_t now = ::GetTickCount();
    Carry(tracker_.Hover(found.target, now));
    if (found.target != HintHoverTracker::kNoTarget) {
      text_ = std::move(found.text);
      owner_ = found.form == application_.MainWindow() ? application_.Handle() : found.form;
    }
    Carry(tracker_.Tick(now));
    // Without mouse moves (the mouse left for another program, the display time ran
    // out, the form lost the foreground) only the timer notices.
    if (tracker_.Busy() || tracker_.CurrentTarget() != HintHoverTracker::kNoTarget) {
      window_.SetTimer(kHoverPollTimer, kHoverPollMilliseconds);
    } else {
      window_.KillTimer(kHoverPollTimer);
    }
  }

  void Carry(HintHoverTracker::Action action) {
    switch (action) {
      case HintHoverTracker::Action::kShow:
        Show();
        break;
      case HintHoverTracker::Action::kHide:
        window_.HideHint();
        break;
      case HintHoverTracker::Action::kNone:
        break;
    }
  }

  void Show() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const Rect monitor = MonitorBoundsOfPoint({cursor.x, cursor.y});
    // The whole window, margins included, fits on the monitor.
    const auto max_width = static_cast<std::int32_t>(
        std::max<std::int64_t>(monitor.Width() - 2 * kTextMarginX, 1));
    window_.SetPendingOwner(owner_);
    const Rect size = window_.CalcHintRect(max_width, text_);
    const Rect r = HintRectAt({size.right, size.bottom},
                              {cursor.x, cursor.y + ::GetSystemMetrics(SM_CYCURSOR)}, false);
    window_.ActivateHintW({cursor.x, cursor.y}, r, text_);
  }

  TApplication& application_;
  HintHoverTracker tracker_;
  TApplicationHintWindow window_;
  std::u16string text_;
  HWND owner_ = nullptr;
};

ApplicationHints::ApplicationHints(TApplication& application, std::uint32_t initial_delay)
    : impl_(std::make_unique<Impl>(application, initial_delay)) {}

ApplicationHints::~ApplicationHints() = default;

HWND ApplicationHints::HintWindow() const { return impl_->Window(); }

}  // namespace velkaro::win32
