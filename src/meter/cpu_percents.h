// The load chart's store of one-second CPU samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velkaro {

// One sample: shares of one processor's time, 0 to 100.
struct TCPUPercent {
  double NowKernelPercent = 0;
  double NowCommonPercent = 0;
};

using TCPUPercents = std::vector<TCPUPercent>;

// A fixed number of column slots holding the most recent samples, oldest first.
class TCPUPercentStore {
 public:
  explicit TCPUPercentStore(std::size_t slots) : FPercents(slots) {}

  // Appends a sample; when every slot is in use, the oldest one makes room.
  void AddCPUPercent(double kernel, double total);
  // Forgets the samples; the slots stay.
  void Clear() { FPercentsCount = 0; }

  std::size_t Slots() const { return FPercents.size(); }
  std::span<const TCPUPercent> Samples() const {
    return std::span<const TCPUPercent>(FPercents).first(static_cast<std::size_t>(FPercentsCount));
  }

 private:
  TCPUPercents FPercents;
  std::int32_t FPercentsCount = 0;
};

}  // namespace velkaro
