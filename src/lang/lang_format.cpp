#include "lang/lang_format.h"

#include <cstddef>

namespace velkaro {
namespace {

// Widths and precisions beyond this are refused: a translated text must not be able
// to make the program build a huge string.
constexpr std::size_t kMaxWidth = 1024;

struct Directive {
  bool left_align = false;
  std::size_t width = 0;
  std::optional<std::size_t> precision;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads a run of decimal digits at `pos`; nothing when there is none or it is too big.
std::optional<std::size_t> ReadNumber(std::u16string_view text, std::size_t& pos) {
  if (pos >= text.size() || !IsDigit(text[pos])) return std::nullopt;
  std::size_t value = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    value = value * 10 + static_cast<std::size_t>(text[pos] - u'0');
    if (value > kMaxWidth) return std::nullopt;
    ++pos;
  }
  return value;
}

std::u16string Digits(std::uint32_t magnitude, unsigned base) {
  std::u16string digits;
  do {
    const unsigned digit = magnitude % base;
    digits.insert(digits.begin(), static_cast<char16_t>(digit < 10 ? u'0' + digit : u'A' + digit - 10));
    magnitude /= base;
  } while (magnitude != 0);
  return digits;
}

void AppendPadded(std::u16string& out, std::u16string_view piece, const Directive& d) {
  const std::size_t pad = d.width > piece.size() ? d.width - piece.size() : 0;
  if (!d.left_align) out.append(pad, u' ');
  out.append(piece);
  if (d.left_align) out.append(pad, u' ');
}

}  // namespace

std::optional<std::u16string> FormatDirectives(std::u16string_view pattern,
                                               std::span<const LangArg> args) {
  std::u16string out;
  out.reserve(pattern.size() + 16);
  std::size_t next_arg = 0;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const std::size_t percent = pattern.find(u'%', pos);
    if (percent == std::u16string_view::npos) {
      out.append(pattern.substr(pos));
      break;
    }
    out.append(pattern.substr(pos, percent - pos));
    pos = percent + 1;
    if (pos < pattern.size() && pattern[pos] == u'%') {
      out.push_back(u'%');
      ++pos;
      continue;
    }

    Directive d;
    // An argument index is a number followed by ':'; otherwise the number is the width.
    std::size_t mark = pos;
    if (auto index = ReadNumber(pattern, pos); index && pos < pattern.size() && pattern[pos] == u':') {
      next_arg = *index;
      ++pos;
    } else {
      pos = mark;
    }
    if (pos < pattern.size() && pattern[pos] == u'-') {
      d.left_align = true;
      ++pos;
    }
    if (pos < pattern.size() && IsDigit(pattern[pos])) {
      auto width = ReadNumber(pattern, pos);
      if (!width) return std::nullopt;
      d.width = *width;
    }
    if (pos < pattern.size() && pattern[pos] == u'.') {
      ++pos;
      auto precision = ReadNumber(pattern, pos);
      if (!precision) return std::nullopt;
      d.precision = precision;
    }
    if (pos >= pattern.size()) return std::nullopt;
    const char16_t letter = pattern[pos++];
    if (next_arg >= args.size()) return std::nullopt;
    const LangArg& arg = args[next_arg++];

    switch (letter) {
      case u's':
      case u'S': {
        std::u16string_view text;
        if (const auto* t = arg.text()) {
          text = *t;
        } else if (const auto* c = arg.character()) {
          text = std::u16string_view(c, 1);
        } else {
          return std::nullopt;
        }
        if (d.precision && *d.precision < text.size()) text = text.substr(0, *d.precision);
        AppendPadded(out, text, d);
        break;
      }
      case u'd':
      case u'D':
      case u'x':
      case u'X': {
        const auto* n = arg.number();
        if (n == nullptr) return std::nullopt;
        const bool hex = letter == u'x' || letter == u'X';
        const bool negative = !hex && *n < 0;
        // Unsigned arithmetic keeps the most negative number exact.
        std::uint32_t magnitude = static_cast<std::uint32_t>(*n);
        if (negative) magnitude = 0u - magnitude;
        std::u16string digits = Digits(magnitude, hex ? 16 : 10);
        if (d.precision && *d.precision > digits.size()) {
          digits.insert(0, *d.precision - digits.size(), u'0');
        }
        if (negative) digits.insert(digits.begin(), u'-');
        AppendPadded(out, digits, d);
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::u16string LangFormat(TextId id, std::span<const LangArg> args) {
  if (auto formatted = FormatDirectives(LangText(id), args)) return std::move(*formatted);
  std::u16string bad = u"#";
  const auto number = static_cast<std::int64_t>(id);
  for (char c : std::to_string(number)) bad.push_back(static_cast<char16_t>(c));
  bad += u". !Bad format string!";
  return bad;
}

std::u16string LangFormat(TextId id, std::initializer_list<LangArg> args) {
  return LangFormat(id, std::span<const LangArg>(args.begin(), args.size()));
}

}  // namespace velkaro
