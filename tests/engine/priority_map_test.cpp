#include "engine/priority_map.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "engine/stress_thread.h"

namespace velkaro {
namespace {

constexpr auto O = TLinuxPolicy::lpOther;
constexpr auto I = TLinuxPolicy::lpIdle;
constexpr auto R = TLinuxPolicy::lpRoundRobin;

struct ClassRow {
  std::uint32_t win32_class;
  TLinuxSchedSetting by_priority[7];  // in the order of ThreadPriorities
};

// The table the README shows; time-critical and real-time are checked here only,
// never applied to a real thread.
const ClassRow kTable[] = {
    {0x40, {{I, 0, 0}, {O, 19, 0}, {O, 17, 0}, {O, 15, 0}, {O, 13, 0}, {O, 11, 0}, {R, 0, 15}}},
    {0x4000, {{I, 0, 0}, {O, 9, 0}, {O, 7, 0}, {O, 5, 0}, {O, 3, 0}, {O, 1, 0}, {R, 0, 15}}},
    {0x20, {{I, 0, 0}, {O, 4, 0}, {O, 2, 0}, {O, 0, 0}, {O, -2, 0}, {O, -4, 0}, {R, 0, 15}}},
    {0x8000, {{I, 0, 0}, {O, -1, 0}, {O, -3, 0}, {O, -5, 0}, {O, -7, 0}, {O, -9, 0}, {R, 0, 15}}},
    {0x80, {{I, 0, 0}, {O, -6, 0}, {O, -8, 0}, {O, -10, 0}, {O, -12, 0}, {O, -14, 0}, {R, 0, 15}}},
    {0x100, {{R, 0, 16}, {R, 0, 22}, {R, 0, 23}, {R, 0, 24}, {R, 0, 25}, {R, 0, 26}, {R, 0, 31}}},
};

TEST(MapLinuxPriority, EveryClassAndPriorityOfTheLists) {
  for (const ClassRow& row : kTable) {
    for (std::size_t i = 0; i < ThreadPriorities.size(); ++i) {
      EXPECT_EQ(MapLinuxPriority(row.win32_class, ThreadPriorities[i]), row.by_priority[i])
          << "class 0x" << std::hex << row.win32_class << std::dec << " priority index " << i;
    }
  }
}

TEST(MapLinuxPriority, HigherLevelsNeverGetLessThanLowerOnes) {
  for (const ClassRow& row : kTable) {
    for (std::size_t i = 2; i + 1 < ThreadPriorities.size(); ++i) {
      const auto lower = MapLinuxPriority(row.win32_class, ThreadPriorities[i - 1]);
      const auto higher = MapLinuxPriority(row.win32_class, ThreadPriorities[i]);
      if (lower.policy == O && higher.policy == O) {
        EXPECT_LT(higher.nice, lower.nice);
      }
      if (lower.policy == R && higher.policy == R) {
        EXPECT_GT(higher.rt_priority, lower.rt_priority);
      }
    }
  }
}

TEST(MapLinuxPriority, UnknownClassCountsAsNormal) {
  EXPECT_EQ(MapLinuxPriority(0x1234, 1), MapLinuxPriority(0x20, 1));
}

}  // namespace
}  // namespace velkaro
