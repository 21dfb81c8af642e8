#include "ui/win32/compact_window.h"

#include <utility>

#include "ui/win32/controls.h"
#include "ui/win32/main_window_ids.h"
#include "ui/win32/screen.h"
#include "ui/win32/window_helpers.h"

namespace velkaro::win32 {
namespace {

using namespace main_window;
using C = TCompactControl;

int IdOf(C control) {
  switch (control) {
    case C::edStPause: return kEdStPause;
    case C::udStPause: return kUdStPause;
    case C::edTime: return kEdTime;
    case C::udTime: return kUdTime;
    case C::cbPriority: return kCbPriority;
    case C::cbPriorClass: return kCbPriorClass;
    case C::cbStyle: return kCbStyle;
    case C::edThreads: return kEdThreads;
    case C::udThreads: return kUdThreads;
    case C::lbStPause: return kLbStPause;
    case C::lbTime: return kLbTime;
    case C::lbPriority: return kLbPriority;
    case C::lbPriorClass: return kLbPriorClass;
    case C::lbStyle: return kLbStyle;
    case C::lbSPMeas: return kLbSPMeas;
    case C::lbTMeas: return kLbTMeas;
    case C::lbThreads: return kLbThreads;
    case C::lbPerc1: return kLbPerc1;
    case C::lbPerc2: return kLbPerc2;
    case C::bDo: return kBDo;
    case C::pnBg: return kPnBg;
    case C::pnDiag: return kPnDiag;
    case C::pnButs: return kPnButs;
    case C::pnPrg: return kPnPrg;
    case C::lbState: return kLbState;
    case C::pbTime: return kPbTime;
    case C::sbClone: return kSbClone;
    case C::sbPin: return kSbPin;
    case C::sbStop: return kSbStop;
    case C::pnClose: return kPnClose;
    case C::sbClose: return kSbClose;
    case C::lbCompact1: return kLbCompact1;
    case C::lbCompact2: return kLbCompact1 + 1;
    case C::lbCompact3: return kLbCompact1 + 2;
    case C::lbCompact4: return kLbCompact1 + 3;
    case C::lbCompact5: return kLbCompact1 + 4;
  }
  return 0;
}

int LabelIndex(C control) { return IdOf(control) - kLbCompact1; }

TBounds BoundsOf(const Rect& r) {
  return {static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
          static_cast<std::int32_t>(r.Width()), static_cast<std::int32_t>(r.Height())};
}

// The styles of the frame and caption that the compact window goes without.
constexpr LONG_PTR kFrameStyles = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

TCompactWindow::TCompactWindow(HWND window, Host host) : window_(window), host_(std::move(host)) {}

TCompactWindow::~TCompactWindow() {
  FreeCompactLabels();
  if (detached_menu_ != nullptr) ::DestroyMenu(detached_menu_);
}

HWND TCompactWindow::ControlWindow(C control) const {
  const int index = LabelIndex(control);
  if (index >= 0 && index < static_cast<int>(labels_.size())) {
    const auto& label = labels_[static_cast<std::size_t>(index)];
    return label ? label->Handle() : nullptr;
  }
  return FindControlById(window_, IdOf(control));
}

TBounds TCompactWindow::WindowBounds() const { return BoundsOf(Window(window_).Bounds()); }

Point TCompactWindow::ClientOrigin() const {
  POINT origin{0, 0};
  ::ClientToScreen(window_, &origin);
  return {origin.x, origin.y};
}

void TCompactWindow::SetWindowBounds(const TBounds& b) {
  ::SetWindowPos(window_, nullptr, b.left, b.top, b.width, b.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect TCompactWindow::MonitorRect() const { return MonitorRectOfWindow(window_); }
Rect TCompactWindow::WorkArea() const { return WorkAreaOfWindow(window_); }

TBounds TCompactWindow::ControlBounds(C control) const {
  const HWND window = ControlWindow(control);
  return window != nullptr ? BoundsOf(Window(window).Bounds()) : TBounds{};
}

void TCompactWindow::SetControlBounds(C control, const TBounds& b) {
  if (const HWND window = ControlWindow(control)) {
    Window(window).SetBounds({b.left, b.top, b.left + b.width, b.top + b.height});
  }
}

void TCompactWindow::MoveControl(C control, Point at) {
  if (const HWND window = ControlWindow(control)) SetControlPos(window, at.x, at.y);
}

void TCompactWindow::ShowControl(C control, bool visible) {
  if (const HWND window = ControlWindow(control)) Window(window).Show(visible);
}

std::u16string TCompactWindow::ControlText(C control) const {
  const HWND window = ControlWindow(control);
  if (window == nullptr) return {};
  if (control == C::cbPriority || control == C::cbPriorClass || control == C::cbStyle) {
    const ComboBox combo(window);
    const int selected = combo.ItemIndex();
    return selected < 0 ? std::u16string() : combo.ItemText(selected);
  }
  return Window(window).Text();
}

void TCompactWindow::SetCompactPainting(bool on) {
  if (host_.set_frame_painting) host_.set_frame_painting(on);
  ::InvalidateRect(window_, nullptr, TRUE);
}

void TCompactWindow::SetMenuAndFrame(bool on) {
  if (on) {
    if (detached_menu_ != nullptr) {
      ::SetMenu(window_, detached_menu_);
      detached_menu_ = nullptr;
    }
    if (full_style_ != 0) ::SetWindowLongPtrW(window_, GWL_STYLE, full_style_);
  } else {
    if (const HMENU menu = ::GetMenu(window_)) {
      detached_menu_ = menu;
      ::SetMenu(window_, nullptr);
    }
    full_style_ = ::GetWindowLongPtrW(window_, GWL_STYLE);
    ::SetWindowLongPtrW(window_, GWL_STYLE, full_style_ & ~kFrameStyles);
  }
  ::SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

std::int32_t TCompactWindow::CreateCompactLabel(C label, Point at, std::u16string_view caption,
                                                bool formated, std::int32_t width) {
  const int index = LabelIndex(label);
  if (index < 0 || index >= static_cast<int>(labels_.size())) return 0;
  auto created = std::make_unique<TKivLabel>();
  if (!created->Create(window_, IdOf(label), {at.x, at.y, at.x + 1, at.y + 1})) return 0;
  created->SetFormated(formated);
  created->SetCaption(caption);
  // Sized to the caption first, then cut at the given width.
  created->SetAutoSize(false);
  const auto height = static_cast<std::int32_t>(Window(created->Handle()).Bounds().Height());
  Window(created->Handle()).SetBounds({at.x, at.y, at.x + width, at.y + height});
  created->SetOnMouseDown([this](UINT, Point) {
    if (host_.drag_window) host_.drag_window();
  });
  Window(created->Handle()).Show(true);
  labels_[static_cast<std::size_t>(index)] = std::move(created);
  return height;
}

void TCompactWindow::FreeCompactLabels() {
  for (auto& label : labels_) label.reset();
}

void TCompactWindow::SetTimer(std::uintptr_t id, std::uint32_t period_ms) {
  if (host_.set_timer) host_.set_timer(id, period_ms);
}

void TCompactWindow::KillTimer(std::uintptr_t id) {
  if (host_.kill_timer) host_.kill_timer(id);
}

LONG_PTR TCompactWindow::FullStyle() const {
  return detached_menu_ != nullptr && full_style_ != 0 ? full_style_
                                                       : ::GetWindowLongPtrW(window_, GWL_STYLE);
}

void TCompactWindow::StartWithPause() {
  if (host_.start_with_pause) host_.start_with_pause();
}

}  // namespace velkaro::win32
