#include "platform/win32/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velkaro::platform {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// A 2 x 2 bitmap of 24 bits per pixel, bottom row first, rows padded to 4 bytes:
// top row red, green; bottom row blue, white.
std::vector<std::uint8_t> SmallBmp() {
  const std::uint8_t pixels[] = {
      0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0,  // bottom: blue, white (BGR)
      0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0,  // top: red, green
  };
  std::vector<std::uint8_t> out;
  Put16(out, 0x4D42);
  Put32(out, 14 + 40 + sizeof(pixels));
  Put32(out, 0);
  Put32(out, 14 + 40);
  Put32(out, 40);  // BITMAPINFOHEADER
  Put32(out, 2);
  Put32(out, 2);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, BI_RGB);
  Put32(out, sizeof(pixels));
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  out.insert(out.end(), std::begin(pixels), std::end(pixels));
  return out;
}

std::u16string Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text;
  for (const std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

TEST(BitmapFromHexTest, LoadsABmpImage) {
  const std::u16string hex = Hex(SmallBmp());
  ScopedBitmap bitmap;
  ASSERT_TRUE(BitmapFromHex(hex, static_cast<int>(hex.size()), bitmap));
  BITMAP info{};
  ASSERT_EQ(GetObjectW(bitmap.Get(), sizeof(info), &info), static_cast<int>(sizeof(info)));
  EXPECT_EQ(info.bmWidth, 2);
  EXPECT_EQ(info.bmHeight, 2);

  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  const HGDIOBJ previous = SelectObject(dc, bitmap.Get());
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));
  SelectObject(dc, previous);
  DeleteDC(dc);
}

std::vector<std::uint8_t> Modified(std::vector<std::uint8_t> bytes, std::size_t index,
                                   std::uint8_t value) {
  bytes.at(index) = value;
  return bytes;
}

TEST(BitmapFromHexTest, RefusesBadTextAndBrokenImages) {
  const std::vector<std::uint8_t> good = SmallBmp();
  const std::vector<std::uint8_t> short_pixels(good.begin(), good.end() - 1);
  const std::vector<std::uint8_t> bad_signature = Modified(good, 0, 'X');
  const std::vector<std::uint8_t> offset_past_end = Modified(good, 10, 0xF0);
  const std::vector<std::uint8_t> huge_height = Modified(good, 22 + 3, 0x7F);
  struct Case {
    const char* what;
    std::u16string hex;
    int count;
  };
  const std::u16string good_hex = Hex(good);
  const Case cases[] = {
      {"no characters", good_hex, 0},
      {"negative count", good_hex, -2},
      {"odd count", good_hex, 7},
      {"no hex digit", u"4D4G", 4},
      {"header only", good_hex, 2 * 20},
      {"missing pixel bytes", Hex(short_pixels), static_cast<int>(2 * short_pixels.size())},
      {"no BM signature", Hex(bad_signature), static_cast<int>(2 * bad_signature.size())},
      {"pixels past the end", Hex(offset_past_end), static_cast<int>(2 * offset_past_end.size())},
      {"height beyond the data", Hex(huge_height), static_cast<int>(2 * huge_height.size())},
  };
  for (const Case& c : cases) {
    ScopedBitmap bitmap;
    ASSERT_TRUE(BitmapFromHex(good_hex, static_cast<int>(good_hex.size()), bitmap));
    EXPECT_FALSE(BitmapFromHex(c.hex, c.count, bitmap)) << c.what;
    EXPECT_FALSE(bitmap.IsValid()) << c.what;
  }
}

}  // namespace
}  // namespace velkaro::platform
