// Facts about the running process and its emergency end.
#pragma once

#include <cstdint>

namespace velkaro::platform {

struct ProcessTimes {
  std::uint64_t kernel = 0;  // 100-nanosecond units spent in kernel mode, all threads
  std::uint64_t user = 0;    // 100-nanosecond units spent in user mode, all threads
};

// The processor time of the whole process so far; false when it cannot be read.
bool ReadProcessTimes(ProcessTimes& times);

// Ends the process at once with exit code 1: no thread is stopped or waited for,
// nothing is restored or saved.
[[noreturn]] void EmergencyExit();

}  // namespace velkaro::platform
