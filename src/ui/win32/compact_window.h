// The compact window during stressing, as the main window's controls carry it out:
// bounds, visibility and texts of the controls the compact layout moves, the frame and
// menu that it takes away and gives back, and its five summary labels.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "ui/main/compact_mode.h"
#include "ui/win32/kiv_label.h"

namespace velkaro::win32 {

class TCompactWindow final : public TCompactView {
 public:
  // What the main window does for the compact mode.
  struct Host {
    std::function<void()> start_with_pause;
    std::function<void()> drag_window;
    // The one-pixel frame as the window's painting (on), or the usual painting.
    std::function<void(bool on)> set_frame_painting;
    std::function<void(UINT_PTR id, UINT period_ms)> set_timer;
    std::function<void(UINT_PTR id)> kill_timer;
  };

  TCompactWindow(HWND window, Host host);
  ~TCompactWindow() override;
  TCompactWindow(const TCompactWindow&) = delete;
  TCompactWindow& operator=(const TCompactWindow&) = delete;

  TBounds WindowBounds() const override;
  Point ClientOrigin() const override;
  void SetWindowBounds(const TBounds& bounds) override;
  Rect MonitorRect() const override;
  Rect WorkArea() const override;
  TBounds ControlBounds(TCompactControl control) const override;
  void SetControlBounds(TCompactControl control, const TBounds& bounds) override;
  void MoveControl(TCompactControl control, Point at) override;
  void ShowControl(TCompactControl control, bool visible) override;
  std::u16string ControlText(TCompactControl control) const override;
  void SetCompactPainting(bool on) override;
  void SetMenuAndFrame(bool on) override;
  std::int32_t CreateCompactLabel(TCompactControl label, Point at, std::u16string_view caption,
                                  bool formated, std::int32_t width) override;
  void FreeCompactLabels() override;
  void SetTimer(std::uintptr_t id, std::uint32_t period_ms) override;
  void KillTimer(std::uintptr_t id) override;
  void StartWithPause() override;

  // The window's style with its frame and caption, also while it is without them.
  LONG_PTR FullStyle() const;

 private:
  HWND ControlWindow(TCompactControl control) const;

  HWND window_;
  Host host_;
  // The menu while the window is without it; given back or destroyed here.
  HMENU detached_menu_ = nullptr;
  LONG_PTR full_style_ = 0;
  std::array<std::unique_ptr<TKivLabel>, 5> labels_;
};

}  // namespace velkaro::win32
