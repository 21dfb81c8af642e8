// Rectangles, monitors and the placement of windows next to an anchor, computed
// without asking the window system: the caller passes the monitors it knows of.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace velkaro {

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom are exclusive: width = right - left.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int64_t Width() const { return std::int64_t{right} - left; }
  std::int64_t Height() const { return std::int64_t{bottom} - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// One display: its number (0 for the first), full bounds, and the work area left
// over by the taskbar and docked bars.
struct Monitor {
  int number = 0;
  Rect bounds;
  Rect work_area;
  bool primary = false;
};

// The area of the intersection of `a` and `b`; 0 when they do not meet.
std::int64_t OverlapArea(const Rect& a, const Rect& b);

// Which quarter of `area` the rectangle overlaps most: 0 top-left, 1 top-right,
// 2 bottom-right, 3 bottom-left, -1 the centre (or no overlap at all).
int QuadrantOfRect(const Rect& area, const Rect& rect);

// The primary monitor, else the first; nullptr for an empty list.
const Monitor* PrimaryMonitor(std::span<const Monitor> monitors);
// The monitor whose bounds hold the point, else the primary one.
const Monitor* MonitorOfPoint(std::span<const Monitor> monitors, Point point);
// The monitor whose bounds overlap the rectangle most (the first of equals), else the
// primary one.
const Monitor* MonitorOfRect(std::span<const Monitor> monitors, const Rect& rect);

// The top-left corner for a window of `width` x `height` beside (or below) `anchor`,
// to its right (or left), kept on the monitor's work area (`use_work_area`) or full
// bounds. With `point`, the work area of the monitor holding that point is used.
// Without any monitor the first candidate position is returned unchecked.
Point PlacePopup(std::span<const Monitor> monitors, std::int32_t width, std::int32_t height,
                 const Rect& anchor, bool to_right, bool use_work_area, bool beside,
                 std::optional<Point> point = std::nullopt);

}  // namespace velkaro
