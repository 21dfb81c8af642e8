// The worker's platform in a real run: the system's tick counter, sleep and thread
// priority, and a generator of its own for each worker.
#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "platform/threads.h"

namespace velkaro {

class TNativeWorkerPlatform {
 public:
  std::uint32_t TickCount() { return platform::TickCount(); }
  void SleepMs(std::uint32_t milliseconds) { platform::SleepMs(milliseconds); }
  // A refused priority is ignored: the worker goes on at what it has.
  void SetThreadPriority(int win32_priority) { platform::SetCurrentThreadPriority(win32_priority); }
  void Randomize();
  // Uniform in 0 .. n-1; 0 for n = 0.
  std::uint32_t Random(std::uint32_t n);

 private:
  std::uint32_t Next();
  std::uint64_t state_ = 0;
};

}  // namespace velkaro
