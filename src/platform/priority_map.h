// How the Win32 thread priorities and priority classes of a run map onto Linux
// scheduling settings of one thread, and which of those settings an unprivileged
// thread may take. Plain data, so that the table and the rules can be tested on any
// system.
#pragma once

#include <cstdint>

namespace velkaro::platform {

enum class TLinuxPolicy : std::uint8_t { lpOther, lpIdle, lpRoundRobin };

struct TLinuxSchedSetting {
  TLinuxPolicy policy = TLinuxPolicy::lpOther;
  int nice = 0;         // lpOther only: -20 .. 19
  int rt_priority = 0;  // lpRoundRobin only: 1 .. 99

  bool operator==(const TLinuxSchedSetting&) const = default;
};

// The setting of a thread of priority `win32_priority` (a ThreadPriorities value) in a
// process of class `win32_class` (a PriorityClasses value). Unknown classes count as
// normal; unknown priorities as the nearest known one.
TLinuxSchedSetting MapLinuxPriority(std::uint32_t win32_class, int win32_priority);

// What the kernel looks at when a thread changes its own scheduling.
struct TSchedPermissions {
  bool cap_sys_nice = false;
  std::uint64_t rlimit_nice = 0;    // RLIMIT_NICE: nice values down to 20 - this
  std::uint64_t rlimit_rtprio = 0;  // RLIMIT_RTPRIO: round-robin priorities up to this
};

// True when a thread that runs with `current` may switch to `target` itself. A thread
// may always lower its own priority; raising it needs the limits or the capability,
// so a nice value, once raised, cannot come back down without them.
bool MayApplySchedSetting(const TLinuxSchedSetting& current, const TLinuxSchedSetting& target,
                          const TSchedPermissions& permissions);

// Which of the two settings of a run a system granted.
struct TPrioritiesApplied {
  bool process_class = true;
  bool thread_priority = true;
};

// When the combined setting of `win32_class` and `win32_priority` was refused to a
// thread that runs with `current`: the class is named as refused when the class alone
// (at normal thread priority) is not allowed either, otherwise the thread priority.
TPrioritiesApplied RefusedPart(const TLinuxSchedSetting& current, std::uint32_t win32_class,
                               const TSchedPermissions& permissions);

}  // namespace velkaro::platform
