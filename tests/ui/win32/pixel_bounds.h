// The box around the pixels of a picture that a test looks for.
#pragma once

#include <algorithm>
#include <functional>
#include <optional>

#include "support/colors.h"
#include "support/geometry.h"

namespace velkaro::win32::testing {

// The smallest rectangle holding every pixel of `area` that `match` accepts, with
// `pixel_at(x, y)` giving the colours; nothing when none does.
template <class PixelAt>
std::optional<Rect> PixelBounds(const Rect& area, PixelAt pixel_at,
                                const std::function<bool(Color)>& match) {
  std::optional<Rect> bounds;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (!match(pixel_at(x, y))) continue;
      if (!bounds) bounds = Rect{x, y, x + 1, y + 1};
      bounds->left = std::min(bounds->left, x);
      bounds->top = std::min(bounds->top, y);
      bounds->right = std::max(bounds->right, x + 1);
      bounds->bottom = std::max(bounds->bottom, y + 1);
    }
  }
  return bounds;
}

}  // namespace velkaro::win32::testing
