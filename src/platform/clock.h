// The millisecond tick counter and sleeping.
#pragma once

#include <cstdint>

namespace velkaro::platform {

// Milliseconds since an arbitrary start, as 32 bits that wrap after about 49.7 days.
// Cheap enough to read in a spin loop (no system call).
std::uint32_t TickCount();

// Suspends the calling thread for `milliseconds`.
void SleepMs(std::uint32_t milliseconds);

}  // namespace velkaro::platform
