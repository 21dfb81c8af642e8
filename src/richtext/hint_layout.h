// What the hint windows decide without a window: the hint font from the system's message
// font, the icon list at the start of a hint text, the size of a hint around its measured
// text, where a hint stands on its monitor, and when the application's tooltip appears
// and goes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/text_canvas.h"
#include "support/geometry.h"

namespace velkaro {

// The font of every hint of the application.
struct THintFont {
  std::u16string Name;
  std::int32_t Size = 8;  // points
  FontStyles Style = 0;
  friend bool operator==(const THintFont&, const THintFont&) = default;
};

// Used when the system gives no message font.
inline constexpr char16_t kHintFallbackFontName[] = u"Tahoma";
inline constexpr std::int32_t kHintFallbackFontHeight = -11;
// Point size used when the resolution is unknown.
inline constexpr std::int32_t kHintDefaultFontSize = 8;

// The hint font for a message font of `face` and pixel `height` (negative: character
// height) at `pixels_per_inch`; Tahoma of -11 pixels when `call_succeeded` is false or
// the face is empty. The size is rounded to the nearest point, ties to even.
THintFont HintFontFromMessageFont(bool call_succeeded, std::u16string_view face,
                                  std::int32_t height, std::int32_t pixels_per_inch);

// An icon drawn at the left of a hint, `Top` pixels below the text area's top.
struct THintIcon {
  std::int32_t Top = 0;
  std::int64_t IconHandle = 0;  // the icon's handle as a number
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  friend bool operator==(const THintIcon&, const THintIcon&) = default;
};
using THintIcons = std::vector<THintIcon>;

// Reads the entries "{*Ico Top,Handle,WxH*}" off the start of `text` and removes them.
// Reading stops at the first entry that is incomplete or has a non-number or a width or
// height below 1; that entry stays in the text.
THintIcons ReadHintIcons(std::u16string& text);

// The outer size of a hint whose text measured `text_size`: 3 pixels of margin left and
// right, 2 above and below, and room for the icons at the left.
Point HintSizeOf(Point text_size, const THintIcons& icons);

// The left edge of the text area: right of the widest icon.
std::int32_t HintTextLeft(const THintIcons& icons);

// An x of this value means "no second placement point".
inline constexpr std::int32_t kNoHintPoint = -1000000;

// How a hint is placed: moved by its own size times the factors, and, when it then does
// not lie wholly on the monitor and a second point is given, put at that point moved by
// its size times the second factors.
struct HintPlacement {
  std::int32_t WidthCountDX = 0;
  std::int32_t HeightCountDY = 0;
  Point ScreenPoint2{kNoHintPoint, kNoHintPoint};
  std::int32_t WidthCountDX2 = 0;
  std::int32_t HeightCountDY2 = 0;
};

// The rectangle of a hint shown as `rect` on the monitor of bounds `monitor`: moved as
// `placement` says, then kept on the monitor (bottom, right, left, top in this order, so
// a hint larger than the monitor is aligned to its left and top edges).
Rect PlaceHint(const Rect& rect, const HintPlacement& placement, const Rect& monitor);

// The rectangle of a hint of `size` anchored at `anchor`: its top-left corner there, or
// its centre when `centred`.
Rect HintRectAt(Point size, Point anchor, bool centred);

// Decides when the application's tooltip appears and goes, from the hinted control under
// the mouse and a 32-bit millisecond clock; the window side carries the decisions out.
// A tooltip appears after the initial delay over a control, or after a fifth of it when
// the mouse moves on from a control whose tooltip is visible; it goes after ten times the
// initial delay, when the mouse leaves the control, or on a button or key press, and then
// stays away until the mouse reaches another control.
class HintHoverTracker {
 public:
  enum class Action { kNone, kShow, kHide };
  // Identifies the control under the mouse; kNoTarget when there is none with a hint.
  using Target = std::uintptr_t;
  static constexpr Target kNoTarget = 0;

  explicit HintHoverTracker(std::uint32_t initial_delay);

  // The mouse is over `target` at `now`; kHide when a visible tooltip must go.
  Action Hover(Target target, std::uint32_t now);
  // A button or key was pressed; kHide when a visible tooltip must go.
  Action Cancel();
  // Called often: kShow when the delay is over, kHide when the display time is.
  Action Tick(std::uint32_t now);

  Target CurrentTarget() const { return target_; }
  bool Visible() const { return visible_; }
  // Something will happen without further mouse moves: a tooltip is waiting or shown.
  bool Busy() const { return pending_ || visible_; }
  std::uint32_t InitialDelay() const { return initial_delay_; }
  std::uint32_t ReshowDelay() const { return initial_delay_ / 5; }
  std::uint32_t DisplayTime() const { return initial_delay_ * 10; }

 private:
  std::uint32_t initial_delay_;
  Target target_ = kNoTarget;
  bool pending_ = false;
  bool visible_ = false;
  std::uint32_t since_ = 0;  // start of the wait or of the showing
  std::uint32_t delay_ = 0;
};

}  // namespace velkaro
