#include "ui/win32/form_layout.h"

#include <algorithm>
#include <cstdint>

namespace velkaro {

int ScaleForDpi(int value, int dpi) {
  const std::int64_t product = std::int64_t{value} * dpi;
  const std::int64_t half = kDesignDpi / 2;
  const std::int64_t scaled = product >= 0 ? (product + half) / kDesignDpi
                                           : (product - half) / kDesignDpi;
  return static_cast<int>(scaled);
}

Rect ScaleBoundsForDpi(const Rect& design, int dpi) {
  const int left = ScaleForDpi(design.left, dpi);
  const int top = ScaleForDpi(design.top, dpi);
  return {left, top, left + ScaleForDpi(static_cast<int>(design.Width()), dpi),
          top + ScaleForDpi(static_cast<int>(design.Height()), dpi)};
}

bool IsValidLayout(std::span<const ControlLayout> layout) {
  for (std::size_t i = 0; i < layout.size(); ++i) {
    const ControlLayout& control = layout[i];
    if (control.id <= 2) return false;
    const auto before = layout.first(i);
    if (std::any_of(before.begin(), before.end(),
                    [&](const ControlLayout& c) { return c.id == control.id; })) {
      return false;
    }
    if (control.parent != 0 &&
        std::none_of(before.begin(), before.end(), [&](const ControlLayout& c) {
          return c.id == control.parent && c.kind == ControlKind::kPanel;
        })) {
      return false;
    }
    if (control.kind == ControlKind::kUpDown &&
        (i == 0 || layout[i - 1].kind != ControlKind::kEdit ||
         layout[i - 1].parent != control.parent)) {
      return false;
    }
  }
  return true;
}

}  // namespace velkaro
