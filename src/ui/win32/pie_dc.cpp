#include "ui/win32/pie_dc.h"

#include <limits>

#include "support/pie_progress.h"
#include "ui/win32/dib.h"
#include "ui/win32/scoped_handle.h"

namespace velkaro::win32 {

bool DrawPieProgress(HDC dc, const Rect& rect, Color back, Color rest, Color done, Color rim,
                     double fraction) {
  const std::int64_t width = rect.Width();
  if (dc == nullptr || width < 4 || width / 2 > std::numeric_limits<int>::max() / 4) return false;
  const int size = static_cast<int>(width / 2) * 2;

  // The pie is rasterised in a DIB section holding a copy of the pixels beneath.
  ScopedCreatedDc memory_dc(::CreateCompatibleDC(dc));
  if (!memory_dc) return false;
  std::uint32_t* bits = nullptr;
  ScopedBitmap bitmap = CreateDib32(dc, size, size, bits);
  if (!bitmap) return false;
  ScopedSelectObject select(memory_dc.Get(), bitmap.Get());
  if (!select.ok()) return false;

  const PixelView view{reinterpret_cast<std::uint8_t*>(bits), size, size,
                       static_cast<std::ptrdiff_t>(size) * 4, 4};
  if (!::BitBlt(memory_dc.Get(), 0, 0, size, size, dc, rect.left, rect.top, SRCCOPY)) {
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) view.Set(x, y, back);
    }
  }
  ::GdiFlush();
  if (!velkaro::DrawPieProgress(view, {0, 0, size, size}, rest, done, rim, fraction)) return false;
  return ::BitBlt(dc, rect.left, rect.top, size, size, memory_dc.Get(), 0, 0, SRCCOPY) != FALSE;
}

}  // namespace velkaro::win32
