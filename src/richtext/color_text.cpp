#include "richtext/color_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "support/text.h"

namespace velkaro {
namespace {

constexpr std::size_t kNone = std::u16string_view::npos;

struct ColorWord {
  std::u16string_view word;
  Color value;
};

constexpr std::array<ColorWord, 20> kColorWords{{
    {u"black", 0x000000},      {u"maroon", 0x000080}, {u"green", 0x008000},
    {u"olive", 0x008080},      {u"navy", 0x800000},   {u"purple", 0x800080},
    {u"teal", 0x808000},       {u"gray", 0x808080},   {u"silver", 0xC0C0C0},
    {u"red", 0x0000FF},        {u"lime", 0x00FF00},   {u"yellow", 0x00FFFF},
    {u"blue", 0xFF0000},       {u"fuchsia", 0xFF00FF}, {u"aqua", 0xFFFF00},
    {u"white", 0xFFFFFF},      {u"moneygreen", 0xC0DCC0}, {u"skyblue", 0xF0CAA6},
    {u"cream", 0xF0FBFF},      {u"medgray", 0xA4A0A0},
}};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Number of "^" directly in front of index `i`.
std::size_t CaretsBefore(std::u16string_view text, std::size_t i) {
  std::size_t n = 0;
  while (n < i && text[i - n - 1] == u'^') ++n;
  return n;
}

bool IsOpeningAt(std::u16string_view text, std::size_t i) {
  return i + 1 < text.size() && text[i] == u'[' && text[i + 1] == u'f';
}

// Index of the first opening at or after `from` that counts; kNone when none.
std::size_t FindOpening(std::u16string_view text, std::size_t from) {
  for (std::size_t i = from; i + 1 < text.size(); ++i) {
    if (IsOpeningAt(text, i) && CaretsBefore(text, i) % 2 == 0) return i;
  }
  return kNone;
}

// Index of the first "]" at or after `from` that is not escaped; kNone when none.
std::size_t FindClosing(std::u16string_view text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == u']' && CaretsBefore(text, i) % 2 == 0) return i;
  }
  return kNone;
}

// An integer as the toolkit reads one: optional sign, then decimal digits, or hex
// digits after "$", "x", "X", "0x" or "0X". Hex keeps all 32 bits.
std::optional<std::uint32_t> ReadInteger(std::u16string_view t) {
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
  unsigned base = 10;
  if (i < t.size() && (t[i] == u'$' || t[i] == u'x' || t[i] == u'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < t.size() && t[i] == u'0' && (t[i + 1] == u'x' || t[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i == t.size()) return std::nullopt;
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 2147483648u : 2147483647u);
  std::uint64_t value = 0;
  for (; i < t.size(); ++i) {
    const int digit = base == 16 ? HexDigit(t[i]) : (IsDigit(t[i]) ? t[i] - u'0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * base + static_cast<unsigned>(digit);
    if (value > limit) return std::nullopt;
  }
  const auto bits = static_cast<std::uint32_t>(value);
  return negative ? 0u - bits : bits;
}

// A decimal number with "." as decimal point and an optional exponent, independent
// of the user's locale.
std::optional<double> ReadDecimal(std::u16string_view t) {
  std::size_t i = 0;
  std::string ascii;
  // Copies the digits at `i`; returns how many there were.
  auto copy_digits = [&] {
    const std::size_t from = i;
    for (; i < t.size() && IsDigit(t[i]); ++i) ascii.push_back(static_cast<char>(t[i]));
    return i - from;
  };
  bool negative = false;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
  std::size_t mantissa_digits = copy_digits();
  if (i < t.size() && t[i] == u'.') {
    ascii.push_back('.');
    ++i;
    mantissa_digits += copy_digits();
  }
  if (mantissa_digits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
    ascii.push_back('e');
    ++i;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ascii.push_back(static_cast<char>(t[i++]));
    if (copy_digits() == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
  return negative ? -value : value;
}

// Rounds half to even; nothing when the result does not fit 32 bits.
std::optional<std::int32_t> RoundToInt32(double value) {
  const double rounded = std::nearbyint(value);
  if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(rounded);
}

// Reads a style token such as "BI" or "b": capitals add, small letters remove.
std::optional<FontStyles> ReadStyle(std::u16string_view token) {
  FontStyles style = 0;
  for (char16_t c : token) {
    FontStyles bit = 0;
    switch (c) {
      case u'B': case u'b': bit = kFontBold; break;
      case u'I': case u'i': bit = kFontItalic; break;
      case u'U': case u'u': bit = kFontUnderline; break;
      case u'S': case u's': bit = kFontStrikeOut; break;
      default: return std::nullopt;
    }
    if (c >= u'A' && c <= u'Z') {
      style = static_cast<FontStyles>(style | bit);
    } else {
      style = static_cast<FontStyles>(style & ~bit);
    }
  }
  return style;
}

void ApplyFormatToken(TCutTextProp& prop, std::u16string_view token) {
  const char16_t first = token.front();
  if (first == u'$') {
    prop.Color = ColorFromText(token);
    return;
  }
  std::u16string_view rest = token;
  if (first == u'*' || first == u'+' || first == u'-') {
    rest = token.substr(1);
    if (const auto number = ReadDecimal(rest)) {
      const double scaled = first == u'*'   ? *number * 10000.0
                            : first == u'+' ? *number * 2.0
                                            : -(*number * 2.0);
      if (const auto size = RoundToInt32(scaled)) {
        prop.Size = *size;
        prop.SizeType = first == u'*' ? TSizeChangeType::sctMul : TSizeChangeType::sctPlus;
        return;
      }
    }
  } else if (IsDigit(first)) {
    if (const auto number = ReadDecimal(token)) {
      if (const auto size = RoundToInt32(*number * 2.0)) {
        prop.Size = *size;
        prop.SizeType = TSizeChangeType::sctFixed;
        return;
      }
    }
  }
  if (const auto style = ReadStyle(rest)) {
    prop.FontStyle = *style;
    prop.SetStyle = true;
  } else {
    prop.Color = ColorFromText(rest);
  }
}

}  // namespace

Color ColorFromText(std::u16string_view token) {
  if (const auto rrggbb = ReadInteger(token)) {
    const std::uint32_t v = *rrggbb;
    return (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
  }
  for (const ColorWord& entry : kColorWords) {
    if (SameTextCI(entry.word, token)) return entry.value;
  }
  return kColorUnknown;
}

TCutTextProp ParseCutTextProp(std::u16string_view format) {
  TCutTextProp prop;
  std::size_t i = 0;
  while (i < format.size()) {
    if (format[i] == u' ') {
      ++i;
      continue;
    }
    if (format[i] == u'\'') {
      const std::size_t close = format.find(u'\'', i + 1);
      const std::size_t end = close == kNone ? format.size() : close;
      prop.Font = std::u16string(format.substr(i + 1, end - i - 1));
      i = close == kNone ? format.size() : close + 1;
      continue;
    }
    const std::size_t blank = format.find(u' ', i);
    const std::size_t end = blank == kNone ? format.size() : blank;
    ApplyFormatToken(prop, format.substr(i, end - i));
    i = end;
  }
  return prop;
}

std::u16string RemoveMarkupEscapes(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'^' && i + 1 < text.size()) {
      const char16_t next = text[i + 1];
      if (next == u';' || next == u'[' || next == u']' || next == u'^') {
        out.push_back(next);
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

bool HasMarkup(std::u16string& text) {
  bool escaped_opening = false;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (!IsOpeningAt(text, i)) continue;
    if (CaretsBefore(text, i) % 2 == 0) return true;
    escaped_opening = true;
  }
  if (escaped_opening) text = RemoveMarkupEscapes(text);
  return false;
}

Color LightenColor(Color color, int delta) {
  auto channel = [delta](std::uint8_t value) {
    const int v = value + delta;
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
  };
  return RgbColor(channel(RedOf(color)), channel(GreenOf(color)), channel(BlueOf(color)));
}

void TColorCuts::AddColorCutW(std::u16string_view format, std::u16string_view text) {
  if (text.empty()) return;
  const std::u16string plain = RemoveMarkupEscapes(text);
  const TCutTextProp prop = ParseCutTextProp(format);
  auto add_run = [&](std::u16string_view segment, bool is_break) {
    TColorCut& cut = cuts_.emplace_back();
    cut.TextCut = std::u16string(segment);
    cut.Prop = prop;
    cut.IsBreakLine = is_break;
  };
  std::size_t start = 0;
  while (start < plain.size()) {
    const std::size_t brk = plain.find_first_of(u"\r\n", start);
    if (brk == kNone) {
      add_run(std::u16string_view(plain).substr(start), false);
      break;
    }
    if (brk > start) {
      add_run(std::u16string_view(plain).substr(start, brk - start), true);
    } else if (!cuts_.empty() && !cuts_.back().IsBreakLine) {
      // A break right behind a run ends that run's line instead of making an empty one.
      cuts_.back().IsBreakLine = true;
    } else {
      add_run({}, true);
    }
    start = brk + 1;
    if (plain[brk] == u'\r' && start < plain.size() && plain[start] == u'\n') ++start;
  }
}

TColorCut& TColorCuts::GetItem(int i) {
  if (i < 0 || i >= Count()) throw std::out_of_range("TColorCuts::GetItem");
  return cuts_[static_cast<std::size_t>(i)];
}

const TColorCut& TColorCuts::GetItem(int i) const {
  if (i < 0 || i >= Count()) throw std::out_of_range("TColorCuts::GetItem");
  return cuts_[static_cast<std::size_t>(i)];
}

TColorCuts ParseColorText(std::u16string_view text) {
  TColorCuts cuts;
  std::size_t pending = 0;  // start of the plain text not yet added
  std::size_t search = 0;
  for (;;) {
    const std::size_t open = FindOpening(text, search);
    if (open == kNone) break;
    search = open + 2;
    const std::size_t semicolon = text.find(u';', open + 2);
    if (semicolon == kNone) continue;
    const std::size_t close = FindClosing(text, semicolon + 1);
    if (close == kNone) continue;
    if (open > pending) cuts.AddColorCutW({}, text.substr(pending, open - pending));
    cuts.AddColorCutW(text.substr(open + 2, semicolon - open - 2),
                      text.substr(semicolon + 1, close - semicolon - 1));
    pending = search = close + 1;
  }
  if (pending < text.size()) cuts.AddColorCutW({}, text.substr(pending));
  return cuts;
}

std::u16string MarkupToPlainText(std::u16string_view text) {
  const TColorCuts cuts = ParseColorText(text);
  std::u16string plain;
  for (int i = 0; i < cuts.Count(); ++i) {
    const TColorCut& cut = cuts.GetItem(i);
    plain += cut.TextCut;
    if (cut.IsBreakLine) plain += u'\n';
  }
  return plain;
}

}  // namespace velkaro
