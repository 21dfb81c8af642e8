#include "cli/cli_render.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/stress_thread.h"
#include "lang/lang_format.h"
#include "lang/string_table.h"
#include "meter/usage_meter.h"
#include "support/utf.h"

namespace velkaro {
namespace {

// The item text of a refused priority class or thread priority.
std::u16string PriorityText(bool process_class, std::uint32_t win32_value) {
  static constexpr TextId kClassItems[] = {TextId::PriorityIdle, TextId::PriorityBelowNormal,
                                           TextId::PriorityNormal, TextId::PriorityAboveNormal,
                                           TextId::ClassHigh, TextId::ClassRealtime};
  static constexpr TextId kPriorityItems[] = {
      TextId::PriorityIdle,   TextId::PriorityLowest,      TextId::PriorityBelowNormal,
      TextId::PriorityNormal, TextId::PriorityAboveNormal, TextId::PriorityHighest,
      TextId::PriorityTimeCritical};
  if (process_class) {
    for (std::size_t i = 0; i < PriorityClasses.size(); ++i) {
      if (PriorityClasses[i] == win32_value) return std::u16string(LangText(kClassItems[i]));
    }
  } else {
    for (std::size_t i = 0; i < ThreadPriorities.size(); ++i) {
      if (static_cast<std::uint32_t>(ThreadPriorities[i]) == win32_value) {
        return std::u16string(LangText(kPriorityItems[i]));
      }
    }
  }
  return FromUtf8(std::to_string(win32_value));
}

}  // namespace

std::uint32_t ProgressPercent(std::uint32_t position, std::uint32_t max) {
  if (max == 0) return 0;
  const std::uint64_t percent = std::uint64_t{position} * 100 / max;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(percent, 100));
}

std::u16string ProgressBar(std::uint32_t position, std::uint32_t max, std::size_t width) {
  const std::uint32_t percent = ProgressPercent(position, max);
  const std::size_t filled = max == 0 ? 0
      : static_cast<std::size_t>(std::min<std::uint64_t>(
            std::uint64_t{position} * width / max, width));
  std::u16string bar = u"[";
  bar.append(filled, u'#');
  bar.append(width - filled, u'-');
  bar += u"] ";
  const std::u16string digits = FromUtf8(std::to_string(percent));
  bar.append(3 - std::min<std::size_t>(digits.size(), 3), u' ');
  bar += digits;
  bar += u'%';
  return bar;
}

std::u16string ChartLine(std::span<const TCPUPercent> samples, std::size_t slots) {
  if (samples.size() > slots) samples = samples.last(slots);
  std::u16string line(slots - samples.size(), u' ');
  for (const TCPUPercent& sample : samples) {
    // Halves to the even neighbour, as the window's chart rounds its bar heights.
    const double eighths = std::nearbyint(std::clamp(sample.NowCommonPercent, 0.0, 100.0) * 8 / 100);
    const int level = std::clamp(static_cast<int>(eighths), 1, 8);
    line.push_back(static_cast<char16_t>(0x2580 + level));
  }
  return line;
}

std::u16string PercentLine(const TCliScreen& screen) {
  std::u16string line = PercentCaption(TextId::CpuNow, screen.now_text);
  const std::u16string avg = PercentCaption(TextId::CpuAvg, screen.avg_text);
  if (!line.empty() && !avg.empty()) line += u"   ";
  line += avg;
  return line;
}

std::vector<std::u16string> ScreenLines(const TCliScreen& screen,
                                        std::span<const TCPUPercent> chart) {
  std::u16string chart_line = ChartLine(chart, kChartSlots);
  chart_line.insert(chart_line.begin(), u'|');
  chart_line.push_back(u'|');
  return {screen.status,
          ProgressBar(screen.progress_position, screen.progress_max, kProgressBarWidth),
          PercentLine(screen), std::move(chart_line)};
}

std::u16string PlainLine(const TCliScreen& screen) {
  std::u16string line = ProgressBar(screen.progress_position, screen.progress_max, 20);
  for (const std::u16string& part : {screen.status, PercentLine(screen)}) {
    if (part.empty()) continue;
    line += u"  ";
    line += part;
  }
  return line;
}

std::u16string PauseLine(std::int32_t seconds_left) {
  std::u16string line(LangText(TextId::AboutToStart));
  line += u' ';
  line += FromUtf8(std::to_string(seconds_left));
  line += u' ';
  line += LangText(TextId::SecondsWord);
  return line;
}

bool ContainsStopKey(std::string_view input) {
  for (std::size_t i = 0; i < input.size(); ++i) {
    const char c = input[i];
    if (c == 'q' || c == 'Q') return true;
    if (c != '\x1b') continue;
    if (i + 1 < input.size() && (input[i + 1] == '[' || input[i + 1] == 'O')) {
      // A key's escape sequence: skip to its final character.
      i += 2;
      while (i < input.size() && !(input[i] >= 0x40 && input[i] <= 0x7e)) ++i;
      continue;
    }
    return true;
  }
  return false;
}

std::u16string PriorityRefusalNote(bool process_class, std::uint32_t win32_value) {
  // Both lists share most captions, so the note says which list the item came from.
  return std::u16string(u"Not permitted here, running at what the system allows instead of ") +
         (process_class ? u"the priority class: " : u"the thread priority: ") +
         PriorityText(process_class, win32_value);
}

}  // namespace velkaro
