#include "ui/main/run_inputs.h"

#include <limits>

#include "lang/lang_format.h"
#include "support/text.h"

namespace velkaro {
namespace {

constexpr std::int32_t kMaxThreadsCount = 100000;

bool IsBlank(char16_t c) { return c < 33; }

}  // namespace

std::int32_t MaxThreadsCount() { return kMaxThreadsCount; }

std::optional<std::int64_t> ReadDecimal(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulated as a negative number, whose range reaches one further than the positive.
  constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  bool saturated = false;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    const int digit = c - u'0';
    if (saturated) continue;
    if (value < (kLowest + digit) / 10) {
      saturated = true;
      value = kLowest;
    } else {
      value = value * 10 - digit;
    }
  }
  if (negative) return value;
  return value == kLowest ? std::numeric_limits<std::int64_t>::max() : -value;
}

std::int64_t ReadPauseSeconds(std::u16string_view text) {
  const std::int64_t value = ReadDecimal(text).value_or(0);
  return value < 0 ? 0 : value;
}

std::int64_t ReadDurationSeconds(std::u16string_view text) { return ReadDecimal(text).value_or(0); }

std::int32_t ReadThreadsCount(std::u16string_view text) {
  const std::int64_t value = ReadDecimal(text).value_or(1);
  if (value > kMaxThreadsCount) return kMaxThreadsCount;
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::optional<TextId> PauseRefusal(std::int64_t seconds) {
  if (seconds > kMaxRunSeconds) return TextId::PauseRefused;
  return std::nullopt;
}

std::optional<TextId> DurationRefusal(std::int64_t seconds) {
  if (seconds < 0 || seconds > kMaxRunSeconds) return TextId::DurationRefused;
  return std::nullopt;
}

std::u16string RefusalText(TextId refusal, std::u16string_view thousands_separator) {
  return LangFormat(refusal, {IntToStrGrouped(static_cast<std::int32_t>(kMaxRunSeconds),
                                              thousands_separator)});
}

std::uint32_t PriorityClassAt(int item_index) {
  if (item_index < 0 || item_index >= static_cast<int>(PriorityClasses.size())) {
    return PriorityClasses[kPriorityClassNormalIndex];
  }
  return PriorityClasses[static_cast<std::size_t>(item_index)];
}

TStressStyle StressStyleAt(int item_index) {
  if (item_index < 0 || item_index >= kStressStyleCount) return TStressStyle::ssMono;
  return static_cast<TStressStyle>(item_index);
}

}  // namespace velkaro
