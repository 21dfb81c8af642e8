#include "ui/main/window_placing.h"

#include <algorithm>
#include <limits>

#include "support/shell_text.h"
#include "support/window_place.h"

namespace velkaro {
namespace {

// The clone's anchor: a one-pixel-high strip 48 pixels wide, 48 below the corner.
constexpr std::int32_t kCloneOffset = 48;

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

const Monitor* MonitorAt(std::span<const Monitor> monitors, int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < monitors.size()) {
    return &monitors[static_cast<std::size_t>(index)];
  }
  return PrimaryMonitor(monitors);
}

}  // namespace

std::optional<std::u16string> PlaceTextToSave(bool isCompact, bool minimized,
                                              std::u16string_view stored,
                                              std::span<const Monitor> monitors,
                                              int current_monitor, const Rect& window) {
  // The compact window's place is never stored.
  if (isCompact || minimized) return std::nullopt;
  const Monitor* monitor = MonitorAt(monitors, current_monitor);
  if (monitor == nullptr) return std::nullopt;
  PlaceMonitorSplit split = SplitPlaceMonitor(stored);
  const PlaceEntry entry = FormatPlaceEntry(monitor->number, monitor->bounds, window, false);
  StorePlaceEntry(split.entries, entry.key, entry.value);
  return JoinPlaceMonitor(monitor->number, split.entries);
}

std::optional<Point> RestoredPlace(std::optional<Point> command_line, std::u16string_view stored,
                                   std::span<const Monitor> monitors) {
  if (command_line) return command_line;
  if (stored.empty()) return std::nullopt;
  const PlaceMonitorSplit split = SplitPlaceMonitor(stored);
  const Monitor* monitor = MonitorAt(monitors, split.monitor_number);
  if (monitor == nullptr) return std::nullopt;
  const std::optional<WindowPlace> place = ParsePlaceEntry(
      split.entries, monitor->bounds.Width(), monitor->bounds.Height(), monitor->number);
  if (!place || place->maximized) return std::nullopt;
  return Point{place->left, place->top};
}

Point ClonePosition(std::span<const Monitor> monitors, const Rect& window) {
  const Rect anchor{window.left, Clamp32(std::int64_t{window.top} + kCloneOffset),
                    Clamp32(std::int64_t{window.left} + kCloneOffset),
                    Clamp32(std::int64_t{window.top} + kCloneOffset + 1)};
  return PlacePopup(monitors, Clamp32(window.Width()), Clamp32(window.Height()), anchor,
                    /*to_right=*/true, /*use_work_area=*/true, /*beside=*/true);
}

std::u16string CloneCommandText(std::u16string_view program_path, std::u16string_view fields) {
  std::u16string text = QuoteIfNeeded(program_path);
  text += u' ';
  text += fields;
  return text;
}

}  // namespace velkaro
