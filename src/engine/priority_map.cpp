#include "engine/priority_map.h"

#include <algorithm>

namespace velkaro {
namespace {

constexpr std::uint32_t kIdleClass = 0x40;
constexpr std::uint32_t kBelowNormalClass = 0x4000;
constexpr std::uint32_t kAboveNormalClass = 0x8000;
constexpr std::uint32_t kHighClass = 0x80;
constexpr std::uint32_t kRealtimeClass = 0x100;

constexpr int kIdlePriority = -15;
constexpr int kTimeCriticalPriority = 15;

// Base nice value of each class; the thread priority moves two nice steps per level,
// so that neighbouring levels differ by about a factor of 1.5 in processor share.
int ClassBaseNice(std::uint32_t win32_class) {
  switch (win32_class) {
    case kIdleClass: return 15;
    case kBelowNormalClass: return 5;
    case kAboveNormalClass: return -5;
    case kHighClass: return -10;
    default: return 0;
  }
}

}  // namespace

TLinuxSchedSetting MapLinuxPriority(std::uint32_t win32_class, int win32_priority) {
  if (win32_class == kRealtimeClass) {
    // The Win32 real-time levels 16 .. 31, used as round-robin priorities. FIFO is not
    // used: spinning FIFO threads of one level would never share a processor.
    int level = 24 + std::clamp(win32_priority, -2, 2);
    if (win32_priority <= kIdlePriority) level = 16;
    if (win32_priority >= kTimeCriticalPriority) level = 31;
    return {TLinuxPolicy::lpRoundRobin, 0, level};
  }
  if (win32_priority <= kIdlePriority) return {TLinuxPolicy::lpIdle, 0, 0};
  // Time-critical outside the real-time class is Win32 level 15: above every
  // time-shared thread, below the real-time class.
  if (win32_priority >= kTimeCriticalPriority) return {TLinuxPolicy::lpRoundRobin, 0, 15};
  const int nice = ClassBaseNice(win32_class) - 2 * std::clamp(win32_priority, -2, 2);
  return {TLinuxPolicy::lpOther, std::clamp(nice, -20, 19), 0};
}

}  // namespace velkaro
