#include "meter/cpu_percents.h"

#include <algorithm>

namespace velkaro {

void TCPUPercentStore::AddCPUPercent(double kernel, double total) {
  if (FPercents.empty()) return;
  const auto count = static_cast<std::size_t>(FPercentsCount);
  if (count < FPercents.size()) {
    FPercents[count] = {kernel, total};
    ++FPercentsCount;
    return;
  }
  std::move(FPercents.begin() + 1, FPercents.end(), FPercents.begin());
  FPercents.back() = {kernel, total};
}

}  // namespace velkaro
