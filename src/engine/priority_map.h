// How the Win32 thread priorities and priority classes of a run map onto Linux
// scheduling settings of one thread. Plain data, so that the table can be tested on
// any system.
#pragma once

#include <cstdint>

namespace velkaro {

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

}  // namespace velkaro
