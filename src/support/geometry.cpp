#include "support/geometry.h"

#include <algorithm>
#include <limits>

namespace velkaro {
namespace {

// Positions are worked out in 64 bits so that far-off anchors and large sizes cannot
// overflow; only the final result is brought back into 32 bits.
struct Box {
  std::int64_t left;
  std::int64_t top;
  std::int64_t right;
  std::int64_t bottom;
};

struct Pos {
  std::int64_t x;
  std::int64_t y;
};

Box ToBox(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

std::int64_t Overlap(const Box& a, const Box& b) {
  const std::int64_t w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const std::int64_t h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool Holds(const Rect& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

struct Shift {
  std::int64_t dx;
  std::int64_t dy;
  bool Fits() const { return dx == 0 && dy == 0; }
};

class Placer {
 public:
  Placer(const Box& area, std::int64_t w, std::int64_t h, const Box& anchor, bool to_right,
         bool beside)
      : m_(area), w_(w), h_(h), a_(anchor), to_right_(to_right), beside_(beside) {}

  Pos First() const {
    if (beside_) return to_right_ ? Pos{a_.right - 1, a_.top} : Pos{a_.left - w_, a_.top};
    return to_right_ ? Pos{a_.left, a_.bottom} : Pos{a_.right - w_, a_.bottom};
  }

  // The shifts that would bring `p` onto the area; beside the anchor a window that is
  // too far right may instead jump to the anchor's other side.
  Shift FitTest(Pos& p) const {
    Shift s{0, 0};
    if (p.x < m_.left) {
      s.dx = m_.left - p.x;
    } else if (p.x + w_ > m_.right) {
      if (beside_) {
        const std::int64_t other = to_right_ ? a_.left - w_ : a_.right - 1;
        if (m_.left <= other && other + w_ <= m_.right) p.x = other;
      } else {
        s.dx = m_.right - w_ - p.x;
        if (p.x + s.dx < m_.left) s.dx = m_.left - p.x;
      }
    }
    if (p.y < m_.top) {
      s.dy = m_.top - p.y;
    } else if (p.y + h_ > m_.bottom) {
      s.dy = m_.bottom - h_ - p.y;
      if (p.y + s.dy < m_.top) s.dy = m_.top - p.y;
    }
    return s;
  }

  bool Whole(const Pos& p) const {
    return p.x >= m_.left && p.x < m_.right && p.y >= m_.top && p.y < m_.bottom &&
           p.x + w_ <= m_.right && p.y + h_ <= m_.bottom;
  }

  // The position before the final check of a window beside the anchor; `done` is set
  // when that position is already the answer.
  Pos Search(bool& done) const {
    done = false;
    Pos p = First();
    const Shift first = FitTest(p);
    if (first.Fits()) return p;
    if (beside_ && first.dy != 0) {
      p.y += first.dy;
      if (Whole(p)) {
        done = true;
        return p;
      }
    }
    p.x += first.dx;
    if (first.dy == 0) return p;
    p.y = beside_ ? a_.bottom - h_ : a_.top - h_;
    if (FitTest(p).Fits()) return p;
    p.y = a_.bottom + first.dy;
    p.x = to_right_ ? a_.right : a_.left - w_;
    if (FitTest(p).Fits()) return p;
    p.x = to_right_ ? a_.left - w_ : a_.right;
    if (FitTest(p).Fits()) return p;
    p.x = to_right_ ? a_.right : a_.left - w_;
    return p;
  }

  const Box& area() const { return m_; }

 private:
  Box m_;
  std::int64_t w_;
  std::int64_t h_;
  Box a_;
  bool to_right_;
  bool beside_;
};

Pos Place(std::span<const Monitor> monitors, std::int64_t w, std::int64_t h, const Box& anchor,
          bool to_right, bool use_work_area, bool beside, std::optional<Point> point) {
  const Monitor* monitor = nullptr;
  if (point) {
    monitor = MonitorOfPoint(monitors, *point);
  } else {
    const Rect anchor_rect{Clamp32(anchor.left), Clamp32(anchor.top), Clamp32(anchor.right),
                           Clamp32(anchor.bottom)};
    monitor = MonitorOfRect(monitors, anchor_rect);
  }
  if (monitor == nullptr) return Placer({0, 0, 0, 0}, w, h, anchor, to_right, beside).First();
  const Box area = ToBox(point || use_work_area ? monitor->work_area : monitor->bounds);
  const Placer placer(area, w, h, anchor, to_right, beside);

  bool done = false;
  Pos p = placer.Search(done);
  if (done || !beside || placer.Whole(p)) return p;

  // Beside the anchor nothing fitted: try below an anchor stretched to the area's right
  // edge, or pull the window left when that keeps it whole.
  const Box wide{anchor.left, anchor.top, area.right, anchor.bottom};
  const Pos q = Place(monitors, w, h, wide, false, use_work_area, false, std::nullopt);
  if (!to_right || placer.Whole(q)) return q;
  const std::int64_t dx = area.right - (p.x + w);
  const std::int64_t dy = std::min<std::int64_t>(0, area.bottom - (p.y + h));
  const Pos moved{p.x + dx, p.y + dy};
  if (dx < 0 && placer.Whole(moved)) return moved;
  return q;
}

}  // namespace

std::int64_t OverlapArea(const Rect& a, const Rect& b) { return Overlap(ToBox(a), ToBox(b)); }

int QuadrantOfRect(const Rect& area, const Rect& rect) {
  const Box a = ToBox(area);
  const std::int64_t cx = (a.right - a.left) / 2 + a.left;
  const std::int64_t cy = (a.bottom - a.top) / 2 + a.top;
  const std::int64_t w = rect.Width();
  const std::int64_t h = rect.Height();
  const std::int64_t centre_left = cx - w / 2;
  const std::int64_t centre_top = cy - h / 2;
  const struct {
    int quadrant;
    Box box;
  } candidates[] = {
      {0, {a.left, a.top, cx, cy}},
      {1, {cx, a.top, a.right, cy}},
      {2, {cx, cy, a.right, a.bottom}},
      {3, {a.left, cy, cx, a.bottom}},
      {-1, {centre_left, centre_top, centre_left + w, centre_top + h}},
  };
  const Box r = ToBox(rect);
  int best = -1;
  std::int64_t best_overlap = 0;
  for (const auto& candidate : candidates) {
    const std::int64_t overlap = Overlap(candidate.box, r);
    if (overlap > best_overlap) {
      best = candidate.quadrant;
      best_overlap = overlap;
    }
  }
  return best;
}

const Monitor* PrimaryMonitor(std::span<const Monitor> monitors) {
  if (monitors.empty()) return nullptr;
  const auto primary =
      std::find_if(monitors.begin(), monitors.end(), [](const Monitor& m) { return m.primary; });
  return primary != monitors.end() ? &*primary : &monitors.front();
}

const Monitor* MonitorOfPoint(std::span<const Monitor> monitors, Point point) {
  for (const Monitor& m : monitors) {
    if (Holds(m.bounds, point)) return &m;
  }
  return PrimaryMonitor(monitors);
}

const Monitor* MonitorOfRect(std::span<const Monitor> monitors, const Rect& rect) {
  const Monitor* best = nullptr;
  std::int64_t best_overlap = 0;
  for (const Monitor& m : monitors) {
    const std::int64_t overlap = OverlapArea(m.bounds, rect);
    if (overlap > best_overlap) {
      best = &m;
      best_overlap = overlap;
    }
  }
  return best != nullptr ? best : PrimaryMonitor(monitors);
}

Point PlacePopup(std::span<const Monitor> monitors, std::int32_t width, std::int32_t height,
                 const Rect& anchor, bool to_right, bool use_work_area, bool beside,
                 std::optional<Point> point) {
  const Pos p =
      Place(monitors, width, height, ToBox(anchor), to_right, use_work_area, beside, point);
  return {Clamp32(p.x), Clamp32(p.y)};
}

}  // namespace velkaro
