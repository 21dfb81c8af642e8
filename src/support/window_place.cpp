#include "support/window_place.h"

#include <limits>

#include "support/text.h"

namespace velkaro {
namespace {

// Marks a left or top that did not read; such entries are refused.
constexpr std::int32_t kBadCoordinate = -2147483647;
constexpr std::int32_t kLowestCoordinate = -2147483646;

std::u16string Decimal(std::int64_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

// A signed decimal 32-bit integer and nothing else.
std::optional<std::int32_t> ReadDecimal(std::u16string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    value = value * 10 + (text[i] - u'0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::int32_t ReadDecimalOr(std::u16string_view text, std::int32_t fallback) {
  return ReadDecimal(text).value_or(fallback);
}

}  // namespace

std::u16string PlaceKey(int monitor_number, std::int64_t width, std::int64_t height) {
  std::u16string key;
  if (monitor_number > 0) key = Decimal(monitor_number) + u':';
  return key + Decimal(width) + u'x' + Decimal(height) + u'=';
}

PlaceMonitorSplit SplitPlaceMonitor(std::u16string_view text) {
  if (text.size() > 2 && text.front() == u'#') {
    const std::size_t second = text.find(u'#', 1);
    if (second != std::u16string_view::npos) {
      return {ReadDecimalOr(text.substr(1, second - 1), 0),
              std::u16string(text.substr(second + 1))};
    }
  }
  return {0, std::u16string(text)};
}

std::u16string JoinPlaceMonitor(int monitor_number, std::u16string_view entries) {
  if (monitor_number <= 0) return std::u16string(entries);
  return u'#' + Decimal(monitor_number) + u'#' + std::u16string(entries);
}

PlaceEntry FormatPlaceEntry(int monitor_number, const Rect& monitor_bounds, const Rect& window,
                            bool maximized) {
  PlaceEntry entry{PlaceKey(monitor_number, monitor_bounds.Width(), monitor_bounds.Height()), u"M"};
  if (!maximized) {
    entry.value = u"Nl" + Decimal(window.left) + u't' + Decimal(window.top) + u'w' +
                  Decimal(window.Width()) + u'h' + Decimal(window.Height());
  }
  return entry;
}

void StorePlaceEntry(std::u16string& text, std::u16string_view key, std::u16string_view value) {
  const std::size_t found = text.find(key);
  if (found == std::u16string::npos) {
    if (!text.empty()) text += u';';
    text.append(key);
    text.append(value);
    return;
  }
  // 1-based positions of the old value, up to the next ";" or the end.
  const int first = static_cast<int>(found + key.size()) + 1;
  const int end = CharPosFrom(u';', text, first);
  if (end == 0) {
    ReplaceRange(text, u"", first, static_cast<int>(text.size()));
    text.append(value);
  } else {
    ReplaceRange(text, value, first, end - 1);
  }
}

std::optional<WindowPlace> ParsePlaceEntry(std::u16string_view text, std::int64_t screen_width,
                                           std::int64_t screen_height, int monitor_number) {
  const std::u16string key = PlaceKey(monitor_number, screen_width, screen_height);
  const std::size_t found = text.find(key);
  if (found == std::u16string_view::npos) return std::nullopt;
  const std::size_t kind = found + key.size();
  if (kind >= text.size()) return std::nullopt;
  if (text[kind] == u'M') return WindowPlace{.maximized = true};
  if (text[kind] != u'N') return std::nullopt;

  // Past "N" and the "l" that follows it.
  int position = static_cast<int>(kind) + 3;
  std::u16string field;
  WindowPlace place;
  NextToken(text, position, u't', field);
  place.left = ReadDecimalOr(field, kBadCoordinate);
  NextToken(text, position, u'w', field);
  place.top = ReadDecimalOr(field, kBadCoordinate);
  NextToken(text, position, u'h', field);
  place.width = ReadDecimalOr(field, 0);
  NextToken(text, position, u';', field);
  place.height = ReadDecimalOr(field, 0);
  if (place.left < kLowestCoordinate || place.top < kLowestCoordinate || place.width <= 0 ||
      place.height <= 0) {
    return std::nullopt;
  }
  return place;
}

}  // namespace velkaro
