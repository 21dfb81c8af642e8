// The report that --json prints at the end of a run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"
#include "meter/cpu_percents.h"

namespace velkaro {

struct TCliReport {
  TCliOptions options;
  std::optional<std::u16string> template_name;  // the template the run used, as stored
  std::int32_t requested = 0;  // the threads the run asked for
  std::int32_t started = 0;    // of them, those released before the run ended
  std::uint64_t planned_ms = 0;
  std::uint64_t actual_ms = 0;
  // "time_over", "stopped", "terminated", "failed"
  std::string end;
  std::u16string error;  // empty: none
  std::vector<TCPUPercent> samples;
  std::optional<double> average;  // total share since the run began; none without a sample
};

// The program's exit code for the run: a failure first, then a shortfall of threads.
int RunExitCode(const TCliReport& report);

// One JSON object on one line, ending with a line break.
std::string JsonReport(const TCliReport& report);

// `text` as a JSON string literal, quotes included.
std::string JsonString(std::string_view utf8);

}  // namespace velkaro
