#include "platform/clock.h"

#include <time.h>

#include <cerrno>

namespace velkaro::platform {
namespace {

// The coarse clock is read from the vDSO without entering the kernel and moves in
// steps of the timer tick, like the Windows tick counter.
clockid_t TickClock() {
  static const clockid_t clock = [] {
    timespec probe{};
    return clock_gettime(CLOCK_MONOTONIC_COARSE, &probe) == 0 ? CLOCK_MONOTONIC_COARSE
                                                             : CLOCK_MONOTONIC;
  }();
  return clock;
}

}  // namespace

std::uint32_t TickCount() {
  timespec now{};
  clock_gettime(TickClock(), &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

void SleepMs(std::uint32_t milliseconds) {
  timespec request{static_cast<time_t>(milliseconds / 1000u),
                   static_cast<long>(milliseconds % 1000u) * 1000000L};
  while (nanosleep(&request, &request) != 0 && errno == EINTR) {
  }
}

}  // namespace velkaro::platform
