#include "ui/win32/dib.h"

namespace velkaro::win32 {

ScopedBitmap CreateDib32(HDC dc, int width, int height, std::uint32_t*& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  pixels = bitmap ? static_cast<std::uint32_t*>(bits) : nullptr;
  if (pixels == nullptr) bitmap.Reset(nullptr);
  return bitmap;
}

}  // namespace velkaro::win32
