// Windows: the hint windows. TKivHintWindow draws the application's tooltips with
// colored-text markup; TKivFreqHintWindow is a warning hint that the program places
// above a control through ShowFreqHint and that goes away by itself. ApplicationHints
// follows the mouse in the message loop and shows every control's hint (SetControlHint)
// in a TKivHintWindow.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "richtext/hint_layout.h"
#include "support/geometry.h"
#include "ui/win32/scoped_handle.h"
#include "ui/win32/window.h"

namespace velkaro::win32 {

class TApplication;

// The window class of every hint window, so that another process can find them.
inline constexpr wchar_t kHintWindowClassName[] = L"VelkaroHint";

// Fills the application's hint font from the system's message font. Called once at
// program start; until then the hint font is Tahoma of 8 points.
void InitHintFont();
const THintFont& HintFont();

// A pop-up tool window with the system's drop shadow and a painted one-pixel frame that
// shows a hint text, marked up or plain. Its window text (WM_GETTEXT) is the text as
// shown, markup included.
class TKivHintWindow : public WindowBase {
 public:
  TKivHintWindow();
  ~TKivHintWindow() override;

  // Creates the window hidden, owned by `owner` (the application window when null).
  bool Create(HWND owner);

  // Outer size of the window for `text` with its lines wrapped at `max_width`.
  Point CalcHintSize(std::u16string_view text, std::int32_t max_width);
  // (0, 0, width, height) for `hint`.
  Rect CalcHintRect(std::int32_t max_width, std::u16string_view hint);
  // Places the window as `rect` (moved by the factors, kept on the monitor of its
  // top-left corner) and shows it without activating it.
  void ActivateHint(const Rect& rect, std::u16string_view hint);
  // The same, on the monitor that holds `on_monitor_over_point`.
  void ActivateHintW(Point on_monitor_over_point, const Rect& rect, std::u16string_view hint);
  // Hides the window; it stays for the next hint.
  void HideHint();

  // Changes the shown text; outside an activation the window takes the size of the new
  // text (wrapped at 10000 pixels), keeping its position.
  void SetCaption(std::u16string_view text);
  const std::u16string& Caption() const { return FCaptionW; }

  // The owner that the next activation gives the window (recreating it when it differs);
  // consumed by that activation. For the application's tooltip window only.
  void SetPendingOwner(HWND owner) { pending_owner_ = owner; }

  // Placement factors and the second placement point, see HintPlacement.
  std::int32_t WidthCountDX = 0;
  std::int32_t HeightCountDY = 0;
  std::int32_t WidthCountDX2 = 0;
  std::int32_t HeightCountDY2 = 0;
  Point ScreenPoint2{kNoHintPoint, kNoHintPoint};

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override;
  void OnPaint(HDC dc, const RECT& client) override;
  // Whether a pending owner may recreate the window; not for a window whose object
  // ends with it.
  virtual bool MayRecreateWindow() const { return true; }

  bool FActivating = false;
  std::uint32_t FLastActive = 0;
  std::u16string FCaptionW;

 private:
  HFONT Font();
  LRESULT CopyCaption(WPARAM size, LPARAM buffer) const;

  HWND pending_owner_ = nullptr;
  ScopedFont font_;
};

// A hint that ShowFreqHint places above a control. It owns itself: it is destroyed by
// its display time, by ShowFreqHint with an empty text, or with its owner window, and in
// every case it empties the caller's variable that holds it.
class TKivFreqHintWindow final : public TKivHintWindow {
 public:
  // Shows `text` at ScreenPoint1 now; repaints at once when asked.
  void ShowHintText(std::u16string_view text, bool repaint);
  // Starts watching the parent-window handles (never set in this program).
  void StartCheckHideHint_ByParentLoseFocus();
  // Destroys the window and this object.
  void Release();

  HWND FParentWindowHandle_ForCheckLose_VisibleOrActive = nullptr;
  HWND FParentWindowHandle_ForCheck_MouseOver = nullptr;
  bool IsScreenPoint1_IsCenterPlace = false;
  Point ScreenPoint1;
  std::int32_t MaxWidth = 0;
  std::u16string NextCaption;
  TKivFreqHintWindow** PVarListHint = nullptr;
  std::uint32_t HideMillisec = 0;

 private:
  friend void ShowFreqHint(std::u16string_view, Point, std::uint32_t, std::uint32_t,
                           std::uint32_t, HWND, Color, std::int32_t, TKivFreqHintWindow*&,
                           std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                           std::int32_t, bool);
  TKivFreqHintWindow() = default;
  ~TKivFreqHintWindow() override = default;
  // Recreating the window would end this object, which lives exactly as long as it.
  using TKivHintWindow::SetPendingOwner;
  bool MayRecreateWindow() const override { return false; }
  bool CreateOwned(HWND owner);
  void OnTimer(UINT_PTR id) override;
  bool IsParentLost() const;
  static LRESULT CALLBACK LifetimeSubclassProc(HWND window, UINT message, WPARAM w, LPARAM l,
                                               UINT_PTR id, DWORD_PTR data);
};

// Shows, updates or removes the hint held in `holder`:
// - an empty `text` destroys it (holder emptied);
// - without one, a new hint owned by `owner` is created, stored in `holder`, and shows
//   `text` after `show_delay` milliseconds (0: at once);
// - with one, `text` replaces the shown one after `reshow_delay` milliseconds (0: at once),
//   each call restarting that delay, so that only the last of quick changes shows.
// The hint's top-left corner is `screen_point1` (its centre when `centred`), then it is
// moved by its own width times `dx` and height times `dy`; when it is then not wholly on
// its monitor and `x2` is not kNoHintPoint, it goes to (x2, y2) moved by (dx2, dy2) sizes.
// It stays on the monitor, is `colour` (0xBBGGRR) on the inside, wraps its lines at
// `max_width`, and destroys itself `hide_millisec` after showing (0: never).
// Example, a warning standing directly above `control`: screen_point1 = the control's
// client point (0, -1) on the screen, dx 0, dy -1.
void ShowFreqHint(std::u16string_view text, Point screen_point1, std::uint32_t show_delay,
                  std::uint32_t hide_millisec, std::uint32_t reshow_delay, HWND owner,
                  Color colour, std::int32_t max_width, TKivFreqHintWindow*& holder,
                  std::int32_t dx, std::int32_t dy, std::int32_t x2, std::int32_t y2,
                  std::int32_t dx2, std::int32_t dy2, bool centred);

// The tooltip text of a control (colored-text markup allowed); an empty text removes it.
// The text lives until the control is destroyed.
void SetControlHint(HWND control, std::u16string_view text);
// The control's own tooltip text; empty when it has none.
std::u16string ControlHint(HWND control);

// The application's tooltips: while it lives, the mouse moves and presses that the
// application's message loop handles decide when the hint of the control under the
// mouse (or of its nearest parent with one) appears in a TKivHintWindow: only over a
// form in the foreground, after the double-click time, below the cursor, for ten times
// that long. One per application.
class ApplicationHints {
 public:
  // `initial_delay` 0: the system's double-click time.
  explicit ApplicationHints(TApplication& application, std::uint32_t initial_delay = 0);
  ApplicationHints(const ApplicationHints&) = delete;
  ApplicationHints& operator=(const ApplicationHints&) = delete;
  ~ApplicationHints();

  // The tooltip window (hidden when no tooltip shows).
  HWND HintWindow() const;

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace velkaro::win32
