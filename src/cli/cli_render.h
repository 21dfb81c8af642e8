// What the console shows: the pause countdown, the run's status with a progress bar,
// the CPU texts and a one-line load chart; and the keys that stop a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "meter/cpu_percents.h"

namespace velkaro {

// The last state the run controller and the meter reported.
struct TCliScreen {
  std::u16string status;
  std::uint32_t progress_max = 0;
  std::uint32_t progress_position = 0;
  std::u16string now_text;  // the meter's FPercNowStr
  std::u16string avg_text;  // the meter's FPercAvgStr
};

inline constexpr std::size_t kProgressBarWidth = 30;
inline constexpr std::size_t kChartSlots = 40;

// Whole percent of the progress, 0 to 100 (0 when there is no maximum).
std::uint32_t ProgressPercent(std::uint32_t position, std::uint32_t max);
// "[######------]  42%", `width` cells between the brackets.
std::u16string ProgressBar(std::uint32_t position, std::uint32_t max, std::size_t width);
// `slots` cells: the newest samples at the right as block characters of eight heights
// by their total share (at least the lowest block, as the chart's one-pixel bar),
// blanks where no sample is yet.
std::u16string ChartLine(std::span<const TCPUPercent> samples, std::size_t slots);
// "CPU now: …" and "CPU avg: …", each only when the meter has its text.
std::u16string PercentLine(const TCliScreen& screen);
// The lines a terminal redraws in place.
std::vector<std::u16string> ScreenLines(const TCliScreen& screen,
                                        std::span<const TCPUPercent> chart);
// The single line printed once a second when the output is no terminal.
std::u16string PlainLine(const TCliScreen& screen);
// Text 102 with the seconds left of the start pause.
std::u16string PauseLine(std::int32_t seconds_left);

// The line shown when the system refused the run's priority class or thread priority
// (a PriorityClasses or ThreadPriorities value).
std::u16string PriorityRefusalNote(bool process_class, std::uint32_t win32_value);

// Whether raw terminal input holds Esc or q. An Esc that begins a key's escape
// sequence (arrows, function keys) does not count.
bool ContainsStopKey(std::string_view input);

}  // namespace velkaro
