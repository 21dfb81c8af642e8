// Names the system limit that most probably stopped thread creation.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/thread_limits.h"

namespace velkaro {

// Of the limits whose use is known, the one with the least room for more threads,
// when that room is about used up; nullptr when no limit is near.
const platform::ThreadLimit* LikelyReachedThreadLimit(std::span<const platform::ThreadLimit> limits);

// The command that raises `limit` far enough for `threads` more threads than it allowed,
// rounded up to a thousand: "sysctl -w kernel.pid_max=43000", "ulimit -u 12000"; empty
// for a limit that is not set that way.
std::string RaiseLimitCommand(const platform::ThreadLimit& limit, std::uint64_t threads);

}  // namespace velkaro
