// Shows texts in test names and failure messages on one line of plain ASCII.
#pragma once

#include <string>
#include <string_view>

namespace velkaro {

// Printable ASCII stays; every other unit appears as \uXXXX.
inline std::string Printable(std::u16string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
    }
  }
  return out + "\"";
}

// Printable ASCII stays; every other byte appears as \xHH.
inline std::string PrintableBytes(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    if (b >= 0x20 && b < 0x7F) {
      out += byte;
    } else {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    }
  }
  return out + "\"";
}

}  // namespace velkaro
