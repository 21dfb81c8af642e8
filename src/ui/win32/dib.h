// 32-bit top-down DIB sections: pixel buffers that GDI draws into and code reads.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/win32/scoped_handle.h"

namespace velkaro::win32 {

// A width x height DIB section of 0x00RRGGBB pixels, the first row at the top; `pixels`
// points at them while the bitmap lives. Empty (and `pixels` null) when it cannot be made.
ScopedBitmap CreateDib32(HDC dc, int width, int height, std::uint32_t*& pixels);

}  // namespace velkaro::win32
