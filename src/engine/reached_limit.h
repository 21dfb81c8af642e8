// Names the system limit that most probably stopped thread creation.
#pragma once

#include <span>

#include "platform/thread_limits.h"

namespace velkaro {

// Of the limits whose use is known, the one with the least room for more threads,
// when that room is about used up; nullptr when no limit is near.
const platform::ThreadLimit* LikelyReachedThreadLimit(std::span<const platform::ThreadLimit> limits);

}  // namespace velkaro
