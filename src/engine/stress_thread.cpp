#include "engine/stress_thread.h"

#include <chrono>

#include "engine/native_worker_platform.h"

namespace velkaro {

TStressThread::TStressThread(const std::atomic<bool>* pIsRunEmulation, int iMainPriority,
                             int iCurMainPriorityIndex, TStressStyle iStyle,
                             std::uint32_t iStressStartTime, std::uint32_t iTime) {
  params_.FPIsRunEmulation = pIsRunEmulation;
  params_.FMainPriority = iMainPriority;
  params_.FCurMainPriorityIndex = iCurMainPriorityIndex;
  params_.FStyle = iStyle;
  params_.FStressLastTime = iStressStartTime + iTime;
}

void TStressThread::ThreadEntry(void* context) { static_cast<TStressThread*>(context)->Execute(); }

void TStressThread::Execute() {
  TNativeWorkerPlatform platform;
  TStressWorker<TNativeWorkerPlatform>(params_, platform).Execute();
}

void TNativeWorkerPlatform::Randomize() {
  // Seeded per worker from the high-resolution clock and the worker's own stack
  // address, so that workers released in the same tick draw differently.
  const int local = 0;
  std::uint64_t seed =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  seed ^= static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&local)) << 16;
  state_ = seed;
}

std::uint32_t TNativeWorkerPlatform::Next() {
  // splitmix64: a full-period generator with well-mixed output.
  state_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

std::uint32_t TNativeWorkerPlatform::Random(std::uint32_t n) {
  if (n == 0) return 0;
  // Multiply-shift with rejection of the short last band keeps every value equally likely.
  const std::uint32_t threshold = (0u - n) % n;
  for (;;) {
    const std::uint64_t product = static_cast<std::uint64_t>(Next()) * n;
    if (static_cast<std::uint32_t>(product) >= threshold) {
      return static_cast<std::uint32_t>(product >> 32);
    }
  }
}

}  // namespace velkaro
