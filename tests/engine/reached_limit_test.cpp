#include "engine/reached_limit.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

namespace velkaro {
namespace {

using platform::ThreadLimit;

struct LimitCase {
  const char* name;
  std::vector<ThreadLimit> limits;
  const char* expected;  // nullptr: none named
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

class ReachedLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ReachedLimit, NamesTheLimitWithoutRoom) {
  const LimitCase& c = GetParam();
  const ThreadLimit* found = LikelyReachedThreadLimit(c.limits);
  if (c.expected == nullptr) {
    EXPECT_EQ(found, nullptr);
  } else {
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReachedLimit,
    ::testing::Values(
        // Two mappings per thread: 65,530 mappings leave room for none.
        LimitCase{"MapCount",
                  {{"kernel.threads-max", 192727, 32800, 1},
                   {"kernel.pid_max", 32768, 32800, 1},
                   {"vm.max_map_count", 65530, 65500, 2}},
                  "kernel.pid_max"},
        LimitCase{"MapCountOnly",
                  {{"kernel.threads-max", 192727, 30000, 1},
                   {"kernel.pid_max", 4194304, 30000, 1},
                   {"vm.max_map_count", 65530, 65470, 2}},
                  "vm.max_map_count"},
        LimitCase{"UserLimit",
                  {{"ulimit -u", 4096, 4096, 1}, {"kernel.threads-max", 192727, 9000, 1}},
                  "ulimit -u"},
        LimitCase{"PlentyOfRoom", {{"kernel.threads-max", 192727, 900, 1}}, nullptr},
        LimitCase{"UseUnknown", {{"ulimit -u", 100, std::nullopt, 1}}, nullptr},
        LimitCase{"NoLimits", {}, nullptr}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

// The command gives the limit room for the threads asked for beyond it, rounded up to a
// thousand, within what the kernel takes.
TEST(RaiseLimitCommand, GivesRoomForTheMissingThreads) {
  struct Case {
    ThreadLimit limit;
    std::uint64_t threads;
    const char* expected;
  };
  for (const Case& c : {
           Case{{"kernel.pid_max", 32768, 32700, 1}, 67632, "sysctl -w kernel.pid_max=101000"},
           Case{{"kernel.threads-max", 192727, 192000, 1}, 1, "sysctl -w kernel.threads-max=193000"},
           Case{{"vm.max_map_count", 65530, 65500, 2}, 70000, "sysctl -w vm.max_map_count=206000"},
           Case{{"kernel.pid_max", 4194304, 4194300, 1}, 5000, "sysctl -w kernel.pid_max=4194304"},
           Case{{"ulimit -u", 4096, 4090, 1}, 6000, "ulimit -u 11000"},
           Case{{"committed memory", 100, 100, 1}, 10, ""},
       }) {
    EXPECT_EQ(RaiseLimitCommand(c.limit, c.threads), c.expected) << c.limit.name;
  }
}

}  // namespace
}  // namespace velkaro
