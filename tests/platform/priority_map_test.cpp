#include "platform/priority_map.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "engine/stress_thread.h"

namespace velkaro::platform {
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

constexpr TLinuxSchedSetting Other(int nice) { return {TLinuxPolicy::lpOther, nice, 0}; }
constexpr TLinuxSchedSetting Idle() { return {TLinuxPolicy::lpIdle, 0, 0}; }
constexpr TLinuxSchedSetting Rr(int level) { return {TLinuxPolicy::lpRoundRobin, 0, level}; }

constexpr TSchedPermissions kUnprivileged{};
constexpr TSchedPermissions kNiceDownTo0{false, 20, 0};
constexpr TSchedPermissions kRtUpTo20{false, 0, 20};
constexpr TSchedPermissions kCapable{true, 0, 0};

struct PermissionCase {
  const char* what;
  TLinuxSchedSetting current;
  TLinuxSchedSetting target;
  TSchedPermissions permissions;
  bool allowed;
};

// The kernel's rules for a thread that changes its own scheduling.
const PermissionCase kPermissionCases[] = {
    {"a higher nice value is always allowed", Other(0), Other(1), kUnprivileged, true},
    {"the same nice value", Other(5), Other(5), kUnprivileged, true},
    {"a lower nice value needs RLIMIT_NICE", Other(0), Other(-1), kUnprivileged, false},
    {"a raised nice value cannot come back", Other(5), Other(1), kUnprivileged, false},
    {"RLIMIT_NICE 20 allows down to nice 0", Other(5), Other(0), kNiceDownTo0, true},
    {"but not below it", Other(5), Other(-1), kNiceDownTo0, false},
    {"the idle policy is always allowed", Other(-5), Idle(), kUnprivileged, true},
    {"leaving the idle policy needs RLIMIT_NICE", Idle(), Other(19), kUnprivileged, false},
    {"which RLIMIT_NICE can grant", Idle(), Other(0), kNiceDownTo0, true},
    {"round robin needs RLIMIT_RTPRIO", Other(0), Rr(15), kUnprivileged, false},
    {"up to its value", Other(0), Rr(15), kRtUpTo20, true},
    {"and no further", Other(0), Rr(22), kRtUpTo20, false},
    {"a round-robin thread may lower its level", Rr(15), Rr(10), kUnprivileged, true},
    {"or leave round robin", Rr(15), Other(0), kUnprivileged, true},
    {"CAP_SYS_NICE allows everything", Other(5), Other(-20), kCapable, true},
    {"real-time levels too", Other(0), Rr(31), kCapable, true},
};

TEST(MayApplySchedSetting, FollowsTheKernelsRules) {
  for (const PermissionCase& c : kPermissionCases) {
    EXPECT_EQ(MayApplySchedSetting(c.current, c.target, c.permissions), c.allowed) << c.what;
  }
}

TEST(RefusedPart, NamesTheClassOnlyWhenTheClassAloneIsRefused) {
  struct Case {
    std::uint32_t win32_class;
    bool class_refused;
  } const cases[] = {
      {0x4000, false},  // below normal alone is nice 5: the thread priority was refused
      {0x20, false},
      {0x40, false},
      {0x8000, true},   // nice -5
      {0x80, true},     // nice -10
      {0x100, true},    // round robin
  };
  for (const Case& c : cases) {
    const TPrioritiesApplied part = RefusedPart(Other(0), c.win32_class, kUnprivileged);
    EXPECT_EQ(part.process_class, !c.class_refused) << std::hex << c.win32_class;
    EXPECT_EQ(part.thread_priority, c.class_refused) << std::hex << c.win32_class;
  }
}

TEST(MapLinuxPriority, UnknownClassCountsAsNormal) {
  EXPECT_EQ(MapLinuxPriority(0x1234, 1), MapLinuxPriority(0x20, 1));
}

}  // namespace
}  // namespace velkaro::platform
