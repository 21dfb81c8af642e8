#include "richtext/hint_layout.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "support/text.h"

namespace velkaro {
namespace {

constexpr std::u16string_view kIconOpening = u"{*Ico ";

// A decimal number with an optional sign that fits `Int`; nothing otherwise.
template <class Int>
std::optional<Int> ParseNumber(std::u16string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == u'-' || text[0] == u'+')) {
    negative = text[0] == u'-';
    i = 1;
  }
  if (i == text.size()) return std::nullopt;
  // Accumulated negatively so that the smallest value fits.
  Int value = 0;
  constexpr Int kMin = std::numeric_limits<Int>::min();
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    const auto digit = static_cast<Int>(text[i] - u'0');
    if (value < (kMin + digit) / 10) return std::nullopt;
    value = static_cast<Int>(value * 10 - digit);
  }
  if (negative) return value;
  if (value == kMin) return std::nullopt;
  return static_cast<Int>(-value);
}

std::int32_t ClampToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Reads one complete icon entry at `position` (1-based, on the "{" of the opening).
std::optional<THintIcon> ReadIconEntry(std::u16string_view text, int& position) {
  int at = position + static_cast<int>(kIconOpening.size());
  std::u16string top, handle, width, height;
  if (!NextToken(text, at, u',', top) || !NextToken(text, at, u',', handle) ||
      !NextToken(text, at, u'x', width) || !NextToken(text, at, u'*', height)) {
    return std::nullopt;
  }
  if (at > static_cast<int>(text.size()) || text[static_cast<std::size_t>(at - 1)] != u'}') {
    return std::nullopt;
  }
  const auto top_value = ParseNumber<std::int32_t>(top);
  const auto handle_value = ParseNumber<std::int64_t>(handle);
  const auto width_value = ParseNumber<std::int32_t>(width);
  const auto height_value = ParseNumber<std::int32_t>(height);
  if (!top_value || !handle_value || !width_value || !height_value || *width_value <= 0 ||
      *height_value <= 0) {
    return std::nullopt;
  }
  position = at + 1;
  return THintIcon{*top_value, *handle_value, *width_value, *height_value};
}

}  // namespace

THintFont HintFontFromMessageFont(bool call_succeeded, std::u16string_view face,
                                  std::int32_t height, std::int32_t pixels_per_inch) {
  THintFont font;
  if (!call_succeeded || face.empty()) {
    face = kHintFallbackFontName;
    height = kHintFallbackFontHeight;
  }
  font.Name.assign(face);
  if (pixels_per_inch <= 0) {
    font.Size = kHintDefaultFontSize;
    return font;
  }
  // -72 * height / ppi rounded half to even, in integers so that no tie is lost.
  const std::int64_t numerator = -72 * std::int64_t{height};
  const std::int64_t denominator = pixels_per_inch;
  std::int64_t quotient = numerator / denominator;
  std::int64_t remainder = numerator % denominator;
  if (remainder < 0) {
    --quotient;
    remainder += denominator;
  }
  if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0)) {
    ++quotient;
  }
  font.Size = ClampToInt32(quotient);
  return font;
}

THintIcons ReadHintIcons(std::u16string& text) {
  THintIcons icons;
  int position = 1;
  while (std::u16string_view(text).substr(static_cast<std::size_t>(position - 1))
             .starts_with(kIconOpening)) {
    const auto icon = ReadIconEntry(text, position);
    if (!icon) break;
    icons.push_back(*icon);
  }
  text.erase(0, static_cast<std::size_t>(position - 1));
  return icons;
}

std::int32_t HintTextLeft(const THintIcons& icons) {
  if (icons.empty()) return 0;
  std::int32_t widest = 0;
  for (const THintIcon& icon : icons) widest = std::max(widest, icon.Width);
  return widest + 4;
}

Point HintSizeOf(Point text_size, const THintIcons& icons) {
  std::int64_t width = std::int64_t{text_size.x} + 6;
  std::int64_t height = std::int64_t{text_size.y} + 4;
  if (!icons.empty()) {
    width += HintTextLeft(icons);
    for (const THintIcon& icon : icons) {
      height = std::max(height, std::int64_t{icon.Top} + icon.Height + 4);
    }
  }
  return {ClampToInt32(width), ClampToInt32(height)};
}

Rect PlaceHint(const Rect& rect, const HintPlacement& placement, const Rect& monitor) {
  const std::int64_t width = rect.Width();
  const std::int64_t height = rect.Height();
  std::int64_t left = rect.left;
  std::int64_t top = rect.top;
  left += width * placement.WidthCountDX;
  top += height * placement.HeightCountDY;
  const bool inside = left >= monitor.left && top >= monitor.top &&
                      left + width <= monitor.right && top + height <= monitor.bottom;
  if (placement.ScreenPoint2.x != kNoHintPoint && !inside) {
    left = std::int64_t{placement.ScreenPoint2.x} + width * placement.WidthCountDX2;
    top = std::int64_t{placement.ScreenPoint2.y} + height * placement.HeightCountDY2;
  }
  if (top + height > monitor.bottom) top = monitor.bottom - height;
  if (left + width > monitor.right) left = monitor.right - width;
  if (left < monitor.left) left = monitor.left;
  if (top < monitor.top) top = monitor.top;
  return {ClampToInt32(left), ClampToInt32(top), ClampToInt32(left + width),
          ClampToInt32(top + height)};
}

Rect HintRectAt(Point size, Point anchor, bool centred) {
  std::int64_t left = anchor.x;
  std::int64_t top = anchor.y;
  if (centred) {
    left -= size.x / 2;
    top -= size.y / 2;
  }
  return {ClampToInt32(left), ClampToInt32(top), ClampToInt32(left + size.x),
          ClampToInt32(top + size.y)};
}

HintHoverTracker::HintHoverTracker(std::uint32_t initial_delay) : initial_delay_(initial_delay) {}

HintHoverTracker::Action HintHoverTracker::Hover(Target target, std::uint32_t now) {
  if (target == target_) return Action::kNone;
  const bool was_visible = visible_;
  target_ = target;
  visible_ = false;
  pending_ = target != kNoTarget;
  since_ = now;
  delay_ = was_visible ? ReshowDelay() : initial_delay_;
  return was_visible ? Action::kHide : Action::kNone;
}

HintHoverTracker::Action HintHoverTracker::Cancel() {
  const bool was_visible = visible_;
  pending_ = false;
  visible_ = false;
  return was_visible ? Action::kHide : Action::kNone;
}

HintHoverTracker::Action HintHoverTracker::Tick(std::uint32_t now) {
  if (pending_ && now - since_ >= delay_) {
    pending_ = false;
    visible_ = true;
    since_ = now;
    return Action::kShow;
  }
  if (visible_ && now - since_ >= DisplayTime()) {
    visible_ = false;
    return Action::kHide;
  }
  return Action::kNone;
}

}  // namespace velkaro
