// Points and bounds in failure messages as (x, y) and (left, top, width, height).
#pragma once

#include <ostream>

#include "support/geometry.h"
#include "ui/main/compact_mode.h"

namespace velkaro {

inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
inline void PrintTo(const TBounds& b, std::ostream* os) {
  *os << "(" << b.left << ", " << b.top << ", " << b.width << ", " << b.height << ")";
}

}  // namespace velkaro
