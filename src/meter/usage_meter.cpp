#include "meter/usage_meter.h"

#include <array>
#include <charconv>
#include <utility>

#include "lang/lang_format.h"

namespace velkaro {

double CalcPercent(std::uint64_t delta, std::uint32_t dt, std::u16string* text,
                   std::u16string_view decimal_separator) {
  if (dt == 0) {
    if (text != nullptr) text->clear();
    return 0;
  }
  // One millisecond is 10,000 units of 100 ns. The product is taken in 64 bits: in 32
  // bits it wraps once an interval passes 11.9 hours, which a long run's average does.
  double percent =
      static_cast<double>(delta) / static_cast<double>(static_cast<std::uint64_t>(dt) * 100);
  if (percent > 100) percent = 100;
  if (text != nullptr) *text = FormatPercent(percent, decimal_separator) + u"%";
  return percent;
}

std::u16string FormatPercent(double percent, std::u16string_view decimal_separator) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), percent,
                                    std::chars_format::fixed, 3);
  std::u16string text;
  if (result.ec != std::errc{}) return text;
  for (const char* p = buffer.data(); p != result.ptr; ++p) {
    if (*p == '.') {
      text.append(decimal_separator);
    } else {
      text.push_back(static_cast<char16_t>(*p));
    }
  }
  return text;
}

std::u16string PercentCaption(TextId id, std::u16string_view percent_text) {
  if (percent_text.empty()) return {};
  return LangFormat(id, {percent_text});
}

TUsageMeter::TUsageMeter(TUsageSource& source, TUsageMeterHost& host, std::size_t slots,
                         std::u16string decimal_separator)
    : source_(source),
      host_(host),
      decimal_separator_(std::move(decimal_separator)),
      FPercents_(slots) {}

platform::ProcessTimes TUsageMeter::ReadTimes() {
  platform::ProcessTimes times;
  // A failed reading counts as no processor time used since the previous one.
  if (!source_.ReadProcessTimes(times)) {
    times.kernel = FUP_.StartKernelTime;
    times.user = FUP_.StartUserTime;
  }
  return times;
}

void TUsageMeter::UsageStart() {
  const platform::ProcessTimes times = ReadTimes();
  FUP_.StartKernelTime = times.kernel;
  FUP_.StartUserTime = times.user;
  const std::uint32_t t = source_.TickCount();
  FUP_.dtPrevPercent = t;
  FUP_.AllStartDt = t;
  FUP_.AllStartKernelTime = FUP_.StartKernelTime;
  FUP_.AllStartUserTime = FUP_.StartUserTime;
}

void TUsageMeter::UsageCalc() {
  const platform::ProcessTimes times = ReadTimes();
  const std::uint64_t k = times.kernel;
  const std::uint64_t u = times.user;
  const std::uint32_t now = source_.TickCount();
  const std::uint32_t dt = now - FUP_.dtPrevPercent;

  // The differences wrap: a reading that went backwards shows as a huge value, capped.
  const double kernel = CalcPercent(k - FUP_.StartKernelTime, dt, nullptr, decimal_separator_);
  now_percent_ = CalcPercent((k + u) - (FUP_.StartUserTime + FUP_.StartKernelTime), dt,
                             &FPercNowStr_, decimal_separator_);
  avg_percent_ = CalcPercent((k + u) - (FUP_.AllStartUserTime + FUP_.AllStartKernelTime),
                             now - FUP_.AllStartDt, &FPercAvgStr_, decimal_separator_);
  host_.ShowPercents();
  FPercents_.AddCPUPercent(kernel, now_percent_);
  host_.RepaintPercents();

  FUP_.StartUserTime = u;
  FUP_.StartKernelTime = k;
  FUP_.dtPrevPercent = now;
}

void TUsageMeter::ClearPercents() {
  FPercents_.Clear();
  FPercNowStr_.clear();
  FPercAvgStr_.clear();
  now_percent_ = 0;
  avg_percent_ = 0;
  host_.ShowPercents();
  host_.RepaintPercents();
}

}  // namespace velkaro
