// Windows: a non-owning wrapper for any window, and the base of the windows of our
// own classes, whose one window procedure finds the object, turns messages into typed
// handlers and keeps every exception inside.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "support/colors.h"
#include "support/geometry.h"
#include "ui/win32/scoped_handle.h"

namespace velkaro::win32 {

// Private messages of our windows start here.
inline constexpr UINT kFirstPrivateMessage = WM_APP;

// The text colour of a static control, kept on the control (colour + 1, so that black
// differs from none) for the WM_CTLCOLORSTATIC answer of its parent.
inline constexpr wchar_t kTextColorProperty[] = L"VelkaroTextColor";

// Any window, not owned: each method is one call of the window API.
class Window {
 public:
  Window(HWND window = nullptr) : window_(window) {}  // NOLINT: converts like a handle
  HWND Get() const { return window_; }
  explicit operator bool() const { return window_ != nullptr; }

  int Id() const { return ::GetDlgCtrlID(window_); }
  bool Enable(bool enable) const { return ::EnableWindow(window_, enable) != FALSE; }
  bool IsEnabled() const { return ::IsWindowEnabled(window_) != FALSE; }
  void Show(bool show) const { ::ShowWindow(window_, show ? SW_SHOW : SW_HIDE); }
  bool IsVisible() const { return ::IsWindowVisible(window_) != FALSE; }
  bool Focus() const { return ::SetFocus(window_) != nullptr; }

  void SetText(std::u16string_view text) const;
  std::u16string Text() const;

  // Bounds in the parent's client coordinates (a top-level window: the screen's).
  Rect Bounds() const;
  void SetBounds(const Rect& bounds) const;
  void SetPosition(int x, int y) const;
  // Client width and height.
  Point ClientSize() const;

  void SetFont(HFONT font) const { Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }
  HFONT Font() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT, 0, 0)); }

  void Invalidate() const { ::InvalidateRect(window_, nullptr, TRUE); }
  // Repaints the window and its children now.
  void Redraw() const {
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }

  LRESULT Send(UINT message, WPARAM w, LPARAM l) const {
    return ::SendMessageW(window_, message, w, l);
  }
  bool Post(UINT message, WPARAM w, LPARAM l) const {
    return ::PostMessageW(window_, message, w, l) != FALSE;
  }

 protected:
  HWND window_;
};

// A window of one of our classes, owned by this object and destroyed with it.
class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase();

  // The object behind a window of our classes; nullptr for any other window.
  static WindowBase* FromHandle(HWND window);

  HWND Handle() const { return window_; }
  Window AsWindow() const { return Window(window_); }

  // Timers of this window, each reported to OnTimer with its id.
  bool SetTimer(UINT_PTR id, UINT milliseconds);
  void KillTimer(UINT_PTR id);

  // The colour of the background and of the labels' background on it.
  void SetColor(Color color);
  Color GetColor() const { return color_; }
  HBRUSH BackgroundBrush() const { return brush_.Get(); }

  // Key-down messages of the window and its controls before they reach the focused
  // control; true keeps the key from it.
  virtual bool PreviewKey(UINT message, WPARAM key);

 protected:
  // Registers the class the first time and creates the window; false on failure.
  bool CreateWindowOfClass(const wchar_t* class_name, DWORD ex_style, DWORD style,
                           const Rect& bounds, HWND parent, HMENU menu_or_id,
                           std::u16string_view text);

  // Every message comes here first; the default dispatches to the typed handlers.
  virtual LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l);
  LRESULT DefaultHandler(UINT message, WPARAM w, LPARAM l);

  virtual void OnTimer(UINT_PTR /*id*/) {}
  // WM_COMMAND from a control or menu; true when handled.
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  // Mouse button pressed on the window itself (client coordinates).
  virtual void OnMouseDown(UINT /*button_message*/, Point /*at*/) {}
  // Painting of a window with `painted` set; `dc` is the back buffer, already filled
  // with the colour.
  virtual void OnPaint(HDC /*dc*/, const RECT& /*client*/) {}
  // False keeps the window open.
  virtual bool OnClose() { return true; }
  virtual void OnDestroy() {}

  // Double-buffered painting: WM_ERASEBKGND does nothing, WM_PAINT and WM_PRINTCLIENT
  // fill the colour and call OnPaint.
  void SetPainted(bool painted) { painted_ = painted; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  void Paint(HDC dc, const RECT& client);
  void PaintBuffered();
  LRESULT ColorControl(HDC dc, HWND control);

  HWND window_ = nullptr;
  bool painted_ = false;
  Color color_ = 0;
  ScopedBrush brush_;
};

// Calls `handler` when a mouse button goes down on any window, ours or a standard
// control, before the control's own handling (which then goes on); `at` is in the
// window's client coordinates. The handler lives until the window is destroyed.
using MouseDownHandler = std::function<void(HWND window, UINT button_message, Point at)>;
bool SetMouseDownHandler(HWND window, MouseDownHandler handler);

// Shows the hourglass over all our windows while it lives, and puts back the cursor
// shown before.
class ScopedHourglass {
 public:
  ScopedHourglass();
  ScopedHourglass(const ScopedHourglass&) = delete;
  ScopedHourglass& operator=(const ScopedHourglass&) = delete;
  ~ScopedHourglass();

 private:
  HCURSOR previous_override_;
};

// The cursor our windows show instead of their own; nullptr when none.
HCURSOR ScreenCursor();

// The system colour of button faces as 0xBBGGRR.
Color ButtonFaceColor();

}  // namespace velkaro::win32
