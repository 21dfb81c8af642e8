// The progress pie drawn onto a device context.
#pragma once

#include <windows.h>

#include "support/colors.h"
#include "support/geometry.h"

namespace velkaro::win32 {

// Draws the pie of `fraction` (0 to 1) into the top-left square of `rect`, blending its
// edge with what the device context already shows there, or with `back` when the
// device context cannot be read. False when nothing was drawn.
bool DrawPieProgress(HDC dc, const Rect& rect, Color back, Color rest, Color done, Color rim,
                     double fraction);

}  // namespace velkaro::win32
