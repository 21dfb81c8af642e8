// The processor load of the program's own process during a stress run: the share
// of one processor's time used in the last interval ("now", kernel and total) and
// since the run began ("avg"), sampled by the run controller about once a second.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "lang/string_table.h"
#include "meter/cpu_percents.h"
#include "platform/process.h"

namespace velkaro {

// Where the meter reads process times and ticks; tests give it a fake clock.
class TUsageSource {
 public:
  virtual ~TUsageSource() = default;
  // False when the times cannot be read.
  virtual bool ReadProcessTimes(platform::ProcessTimes& times) = 0;
  virtual std::uint32_t TickCount() = 0;
};

// The running process and the system tick counter.
TUsageSource& SystemUsageSource();

// The readings the percentages are measured from. Times are 100-nanosecond units,
// ticks milliseconds of the 32-bit tick counter.
struct TUsagePercent {
  std::uint64_t StartKernelTime = 0;     // at the previous sample
  std::uint64_t StartUserTime = 0;       // at the previous sample
  std::uint64_t AllStartKernelTime = 0;  // when the run began
  std::uint64_t AllStartUserTime = 0;    // when the run began
  std::uint32_t dtPrevPercent = 0;       // tick of the previous sample
  std::uint32_t AllStartDt = 0;          // tick when the run began
};

// `delta` busy time (100-ns units) over `dt` milliseconds as a share of one processor,
// capped at 100. A `dt` of 0 gives 0 and empties `text`; otherwise `text` (when given)
// receives the share as "0.000" with `decimal_separator`, followed by "%".
double CalcPercent(std::uint64_t delta, std::uint32_t dt, std::u16string* text,
                   std::u16string_view decimal_separator);

// `percent` with exactly three decimals, at least one integer digit, no grouping.
std::u16string FormatPercent(double percent, std::u16string_view decimal_separator);

// The caption of a percentage label: `id` ("CPU now: %s", "CPU avg: %s") formatted
// with `percent_text`, or empty while there is no text.
std::u16string PercentCaption(TextId id, std::u16string_view percent_text);

// What the host of the meter shows: the two labels and the chart.
class TUsageMeterHost {
 public:
  virtual ~TUsageMeterHost() = default;
  // Sets the labels from FPercNowStr() and FPercAvgStr() (see PercentCaption); also
  // called by the host itself after a language switch.
  virtual void ShowPercents() = 0;
  // Repaints the labels and the chart at once: the thread that runs the meter is busy.
  virtual void RepaintPercents() = 0;
};

class TUsageMeter {
 public:
  // `decimal_separator` is the user's; `slots` the number of samples the chart keeps.
  TUsageMeter(TUsageSource& source, TUsageMeterHost& host, std::size_t slots,
              std::u16string decimal_separator);

  // Takes the start readings of a run.
  void UsageStart();
  // Takes one sample: updates the texts and the chart store and tells the host.
  void UsageCalc();
  // Forgets the chart samples and both texts, and tells the host.
  void ClearPercents();

  const TUsagePercent& FUP() const { return FUP_; }
  const std::u16string& FPercNowStr() const { return FPercNowStr_; }
  const std::u16string& FPercAvgStr() const { return FPercAvgStr_; }
  // The total share of the last sample and the average, as numbers.
  double NowPercent() const { return now_percent_; }
  double AvgPercent() const { return avg_percent_; }
  const TCPUPercentStore& Percents() const { return FPercents_; }

  void SetDecimalSeparator(std::u16string separator) { decimal_separator_ = std::move(separator); }

 private:
  platform::ProcessTimes ReadTimes();

  TUsageSource& source_;
  TUsageMeterHost& host_;
  std::u16string decimal_separator_;
  TUsagePercent FUP_;
  std::u16string FPercNowStr_;
  std::u16string FPercAvgStr_;
  double now_percent_ = 0;
  double avg_percent_ = 0;
  TCPUPercentStore FPercents_;
};

}  // namespace velkaro
