#include "platform/priority_map.h"

#include <algorithm>

namespace velkaro::platform {
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

bool MayApplySchedSetting(const TLinuxSchedSetting& current, const TLinuxSchedSetting& target,
                          const TSchedPermissions& permissions) {
  if (permissions.cap_sys_nice) return true;
  // A nice value n is allowed below the thread's present one only down to 20 - RLIMIT_NICE.
  const auto nice_allowed = [&](int nice) {
    return static_cast<std::uint64_t>(20 - nice) <= permissions.rlimit_nice;
  };
  switch (target.policy) {
    case TLinuxPolicy::lpIdle:
      return true;
    case TLinuxPolicy::lpRoundRobin:
      if (current.policy == TLinuxPolicy::lpRoundRobin && target.rt_priority <= current.rt_priority) {
        return true;
      }
      return permissions.rlimit_rtprio > 0 &&
             static_cast<std::uint64_t>(target.rt_priority) <= permissions.rlimit_rtprio;
    case TLinuxPolicy::lpOther:
      switch (current.policy) {
        case TLinuxPolicy::lpRoundRobin:
          return target.nice >= current.nice || nice_allowed(target.nice);
        case TLinuxPolicy::lpIdle:
          // Leaving the idle policy counts as leaving nice 20.
          return nice_allowed(current.nice) && (target.nice >= current.nice || nice_allowed(target.nice));
        case TLinuxPolicy::lpOther:
          return target.nice >= current.nice || nice_allowed(target.nice);
      }
  }
  return false;
}

TPrioritiesApplied RefusedPart(const TLinuxSchedSetting& current, std::uint32_t win32_class,
                               const TSchedPermissions& permissions) {
  const bool class_allowed =
      MayApplySchedSetting(current, MapLinuxPriority(win32_class, 0), permissions);
  return {class_allowed, !class_allowed};
}

}  // namespace velkaro::platform
