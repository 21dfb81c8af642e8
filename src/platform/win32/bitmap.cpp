#include "platform/win32/bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "support/text.h"

namespace velkaro::platform {
namespace {

constexpr std::size_t kFileHeaderSize = 14;  // BITMAPFILEHEADER without padding
constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"

template <typename T>
T ReadLittle(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  T value{};
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

// Builds the bitmap from a BMP file image. The image comes from text that anyone may
// edit, so every size in its headers is checked against the bytes that are there.
HBITMAP LoadBmpImage(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < kFileHeaderSize + sizeof(BITMAPINFOHEADER)) return nullptr;
  if (ReadLittle<std::uint16_t>(bytes, 0) != kBmpSignature) return nullptr;
  const auto bits_offset = ReadLittle<std::uint32_t>(bytes, 10);

  BITMAPINFOHEADER header{};
  std::memcpy(&header, bytes.data() + kFileHeaderSize, sizeof(header));
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0 ||
      header.biPlanes != 1) {
    return nullptr;
  }
  const std::uint32_t bit_count = header.biBitCount;
  if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 16 &&
      bit_count != 24 && bit_count != 32) {
    return nullptr;
  }
  std::size_t masks_size = 0;
  if (header.biCompression == BI_BITFIELDS) {
    if (bit_count != 16 && bit_count != 32) return nullptr;
    if (header.biSize == sizeof(BITMAPINFOHEADER)) masks_size = 3 * sizeof(DWORD);
  } else if (header.biCompression != BI_RGB) {
    return nullptr;
  }
  std::size_t colors = header.biClrUsed;
  if (colors == 0 && bit_count <= 8) colors = std::size_t{1} << bit_count;
  if (colors > 256) return nullptr;

  // Header, masks and colour table as GDI expects them, in an aligned buffer.
  const std::size_t info_size = header.biSize + masks_size + colors * sizeof(RGBQUAD);
  if (header.biSize > 1024 || kFileHeaderSize + info_size > bytes.size()) return nullptr;
  std::vector<DWORD> info((info_size + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(info.data(), bytes.data() + kFileHeaderSize, info_size);

  const auto width = static_cast<std::uint64_t>(header.biWidth);
  const auto height = static_cast<std::uint64_t>(std::llabs(header.biHeight));
  const std::uint64_t stride = (width * bit_count + 31) / 32 * 4;
  if (stride > bytes.size() || height > bytes.size()) return nullptr;
  const std::uint64_t image_size = stride * height;
  if (bits_offset > bytes.size() || image_size > bytes.size() - bits_offset) return nullptr;

  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()),
                                    DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    return nullptr;
  }
  std::memcpy(bits, bytes.data() + bits_offset, static_cast<std::size_t>(image_size));
  GdiFlush();
  return bitmap;
}

}  // namespace

bool BitmapFromHex(std::u16string_view hex, int count, ScopedBitmap& bitmap) {
  bitmap.Reset();
  std::vector<std::uint8_t> bytes;
  if (!HexToBytes(hex, count, bytes) || bytes.empty()) return false;
  bitmap.Reset(LoadBmpImage(bytes));
  return bitmap.IsValid();
}

}  // namespace velkaro::platform
