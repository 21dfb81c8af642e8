// Forms: top-level windows whose controls come from a layout table in 96-DPI units,
// scaled to the DPI of the monitor the form is on and laid out again when it moves to
// a monitor of another DPI.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/win32/controls.h"
#include "ui/win32/form_layout.h"
#include "ui/win32/window.h"

namespace velkaro::win32 {

// The DPI of the monitor the window is on (per-monitor aware), else of the system.
int DpiOfWindow(HWND window);

// The forms' font, Tahoma of height -11 at 96 DPI, scaled to `dpi`. Where Tahoma is
// missing, the face of the system's message font at the same height.
ScopedFont CreateFormFont(int dpi);

// True when a font family of that name is installed.
bool IsFontInstalled(std::u16string_view face);

class TForm : public WindowBase {
 public:
  struct Options {
    std::u16string_view caption;
    int client_width = 0;  // 96-DPI units
    int client_height = 0;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    HMENU menu = nullptr;  // taken over by the window
    // The application's main window: owned by its taskbar window, and its closing
    // ends the message loop.
    bool main_window = false;
    // The window a dialog stays above (ignored for the main window).
    HWND owner = nullptr;
  };

  TForm() = default;
  ~TForm() override;

  // Creates the form hidden, centred on the primary monitor, with its controls; false
  // for a layout that IsValidLayout refuses or a window that cannot be created.
  bool Create(const Options& options, std::span<const ControlLayout> layout);

  // The control of that id at any depth; nullptr when there is none.
  HWND Control(int id) const;
  template <class Wrapper>
  Wrapper ControlAs(int id) const {
    return Wrapper(Control(id));
  }
  TPanel* PanelOf(int id) const;
  TSpeedButton* SpeedButtonOf(int id) const;

  // Shows the form as a modal dialog: `owner` is disabled until EndModal or a close
  // ends it, and the form is hidden again. Returns EndModal's result, IDCANCEL when
  // the form was closed or the application is quitting.
  int ShowModal(HWND owner);
  void EndModal(int result) { modal_result_ = result; }
  bool IsModal() const { return modal_; }

  // The outer size of the form's window at its DPI with `style` and, when `menu`, a
  // one-line menu bar: its client area as the layout gives it.
  Point FramedSize(DWORD style, bool menu) const;

  int Dpi() const { return dpi_; }
  int Scale(int design_value) const { return ScaleForDpi(design_value, dpi_); }
  HFONT FormFont() const { return font_.Get(); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override;
  // Called after the table's controls were scaled to a new DPI, for what a form adds
  // in code.
  virtual void OnDpiChanged() {}
  // Called by ShowModal before the form appears: dialogs fetch their texts here, so
  // that they follow the current language.
  virtual void DoShow() {}

 private:
  bool CreateControl(const ControlLayout& control);
  HWND ParentOf(const ControlLayout& control) const;
  Rect ScaledBounds(const ControlLayout& control) const;
  void PlaceControl(const ControlLayout& control, HWND window) const;
  void ApplyDpi(int dpi, const RECT* suggested);
  bool IsMainWindow() const;
  // As a dialog does: the control that had the focus when the form was deactivated
  // gets it back on activation; the first field at the first activation.
  void RememberFocus();
  void RestoreFocus();

  int dpi_ = kDesignDpi;
  int client_width_ = 0;
  int client_height_ = 0;
  ScopedFont font_;
  std::vector<ControlLayout> layout_;
  std::vector<std::pair<int, HWND>> controls_;
  std::vector<std::unique_ptr<TPanel>> panels_;
  std::vector<std::unique_ptr<TSpeedButton>> speed_buttons_;
  HWND saved_focus_ = nullptr;
  bool modal_ = false;
  int modal_result_ = 0;
};

}  // namespace velkaro::win32
