#include "support/text.h"

#include <algorithm>
#include <cstddef>

#include "platform/locale.h"
#include "support/lower_case.h"
#include "support/utf.h"

namespace velkaro {
namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int Length(std::u16string_view text) { return static_cast<int>(text.size()); }

// Index of `c` at or after the 0-based `from`; -1 when absent.
std::ptrdiff_t FindFrom(char16_t c, std::u16string_view text, std::size_t from) {
  const std::size_t found = text.find(c, from);
  return found == std::u16string_view::npos ? -1 : static_cast<std::ptrdiff_t>(found);
}

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

}  // namespace

int CharPos(char16_t c, std::u16string_view text) { return CharPosFrom(c, text, 1); }

int CharPosFrom(char16_t c, std::u16string_view text, int start) {
  if (start > Length(text)) return 0;
  const std::ptrdiff_t found = FindFrom(c, text, static_cast<std::size_t>(std::max(start, 1) - 1));
  return found < 0 ? 0 : static_cast<int>(found) + 1;
}

void ReplaceRange(std::u16string& text, std::u16string_view insertion, int first, int last) {
  const int length = Length(text);
  const int from = std::clamp(first, 1, length + 1);
  const int to = std::clamp(last, from - 1, length);
  const auto index = static_cast<std::size_t>(from - 1);
  text.replace(index, static_cast<std::size_t>(to - from + 1), insertion);
}

bool NextToken(std::u16string_view text, int& position, char16_t separator, std::u16string& token) {
  const int length = Length(text);
  const int start = std::max(position, 1);
  if (start > length) {
    token.clear();
    position = length + 1;
    return false;
  }
  const auto from = static_cast<std::size_t>(start - 1);
  const std::ptrdiff_t found = FindFrom(separator, text, from);
  if (found < 0) {
    token.assign(text.substr(from));
    position = length + 1;
    return false;
  }
  token.assign(text.substr(from, static_cast<std::size_t>(found) - from));
  position = static_cast<int>(found) + 2;
  return true;
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view pattern,
                          std::u16string_view replacement) {
  // An empty pattern would match everywhere without ever advancing.
  if (pattern.empty()) return std::u16string(text);
  std::u16string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (;;) {
    const std::size_t found = text.find(pattern, pos);
    if (found == std::u16string_view::npos) break;
    out.append(text.substr(pos, found - pos));
    out.append(replacement);
    pos = found + pattern.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::u16string RemoveAmpersand(std::u16string_view text) {
  std::u16string out(text);
  const std::size_t found = out.find(u'&');
  if (found != std::u16string::npos) out.erase(found, 1);
  return out;
}

void TrimBlanks(std::u16string& text) {
  std::size_t end = text.size();
  while (end > 0 && text[end - 1] < 33) --end;
  std::size_t begin = 0;
  while (begin < end && text[begin] < 33) ++begin;
  text.erase(end);
  text.erase(0, begin);
}

bool SameTextCI(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && StartsWithCI(a, b);
}

bool StartsWithCI(std::u16string_view prefix, std::u16string_view text) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerCaseUnit(prefix[i]) != LowerCaseUnit(text[i])) return false;
  }
  return true;
}

bool BufferStartsWithLower(std::u16string_view keyword, const char16_t* buffer,
                           std::ptrdiff_t count) {
  if (count < static_cast<std::ptrdiff_t>(keyword.size())) return false;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    if (keyword[i] != LowerCaseUnit(buffer[i])) return false;
  }
  return true;
}

void UnescapeText(std::u16string& text) {
  std::size_t i = 0;
  // A backslash in the last place has nothing to escape and is never looked at.
  while (i + 1 < text.size()) {
    if (text[i] != u'\\') {
      ++i;
      continue;
    }
    const char16_t next = text[i + 1];
    if (IsDigit(next)) {
      // Three characters must follow the backslash; only the first is checked to be
      // a digit, the others count with their code minus '0' whatever they are.
      if (i + 3 >= text.size()) return;
      const int code = 100 * (next - u'0') + 10 * (text[i + 2] - u'0') + (text[i + 3] - u'0');
      text[i] = static_cast<char16_t>(static_cast<unsigned>(code) & 0xFFFFu);
      text.erase(i + 1, 3);
      ++i;
    } else if (next == u'\\') {
      text.erase(i, 1);
      ++i;
    } else if (next == u'n') {
      text[i] = kCr;
      text[i + 1] = kLf;
      i += 2;
    } else {
      ++i;
    }
  }
}

std::ptrdiff_t NextLine(const char16_t*& cursor, const char16_t* end) {
  if (cursor >= end) return -1;
  const char16_t* stop = cursor;
  while (stop < end && *stop != kCr && *stop != kLf) ++stop;
  const std::ptrdiff_t bytes = (stop - cursor) * 2;
  if (stop < end) {
    const bool cr = *stop == kCr;
    ++stop;
    if (cr && stop < end && *stop == kLf) ++stop;
  }
  cursor = stop;
  return bytes;
}

std::u16string IntToStrGrouped(std::int32_t n, std::u16string_view separator) {
  // Through 64 bits so that the most negative value has a magnitude too.
  std::int64_t value = n;
  const bool negative = value < 0;
  auto magnitude = static_cast<std::uint64_t>(negative ? -value : value);
  std::u16string digits;
  do {
    digits.push_back(static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);

  std::u16string out;
  if (negative) out.push_back(u'-');
  for (std::size_t i = digits.size(); i > 0; --i) {
    out.push_back(digits[i - 1]);
    if (i > 1 && (i - 1) % 3 == 0) out.append(separator);
  }
  return out;
}

std::u16string IntToStrGrouped(std::int32_t n) {
  return IntToStrGrouped(n, platform::ThousandsSeparator());
}

std::u16string UrlEncode(std::u16string_view text) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string out;
  for (const char byte : ToUtf8(text)) {
    const auto b = static_cast<unsigned char>(byte);
    if (b == ' ') {
      out.push_back(u'+');
    } else if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
               b == '-' || b == '.' || b == '_' || b == '~') {
      out.push_back(static_cast<char16_t>(b));
    } else {
      out.push_back(u'%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0x0F]);
    }
  }
  return out;
}

bool HexToBytes(std::u16string_view hex, int count, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (count <= 0) return true;
  // A count beyond the text would read characters that are not there.
  if (count % 2 != 0 || static_cast<std::size_t>(count) > hex.size()) return false;
  bytes.reserve(static_cast<std::size_t>(count / 2));
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); i += 2) {
    const int high = HexDigitValue(hex[i]);
    const int low = HexDigitValue(hex[i + 1]);
    if (high < 0 || low < 0) {
      bytes.clear();
      return false;
    }
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return true;
}

}  // namespace velkaro
