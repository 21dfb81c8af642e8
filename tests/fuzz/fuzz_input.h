// Turns libFuzzer's bytes into the kinds of text the readers take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro::fuzz {

// Reads the input from the front: a few bytes of parameters, then the rest as text.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t Remaining() const { return size_ - pos_; }

  std::uint8_t TakeByte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::int32_t TakeInt32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | TakeByte();
    return static_cast<std::int32_t>(value);
  }

  // The rest as UTF-16 LE units (an odd last byte dropped): any unit, lone surrogates too.
  std::u16string RestAsUtf16() {
    std::u16string text;
    while (Remaining() >= 2) {
      const std::uint8_t low = TakeByte();
      const std::uint8_t high = TakeByte();
      text.push_back(static_cast<char16_t>(low | (high << 8)));
    }
    pos_ = size_;
    return text;
  }
  // The rest as bytes.
  std::vector<std::uint8_t> RestAsBytes() {
    std::vector<std::uint8_t> bytes(data_ + pos_, data_ + size_);
    pos_ = size_;
    return bytes;
  }
  std::string RestAsString() {
    std::string text(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
    pos_ = size_;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Splits `text` at every `delimiter`; an input without one is a single part.
template <typename Char>
std::vector<std::basic_string<Char>> SplitAt(std::basic_string_view<Char> text, Char delimiter) {
  std::vector<std::basic_string<Char>> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(delimiter, start);
    if (end == std::basic_string_view<Char>::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace velkaro::fuzz
