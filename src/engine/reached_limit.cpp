#include "engine/reached_limit.h"

#include <algorithm>

namespace velkaro {

const platform::ThreadLimit* LikelyReachedThreadLimit(std::span<const platform::ThreadLimit> limits) {
  const platform::ThreadLimit* best = nullptr;
  std::uint64_t best_room = 0;
  for (const auto& limit : limits) {
    if (!limit.used || limit.per_thread == 0) continue;
    const std::uint64_t free_units = limit.limit > *limit.used ? limit.limit - *limit.used : 0;
    const std::uint64_t room = free_units / limit.per_thread;
    if (best == nullptr || room < best_room) {
      best = &limit;
      best_room = room;
    }
  }
  if (best == nullptr) return nullptr;
  // Other threads of the system come and go between the failure and the reading, so a
  // little room left still counts as reached; plenty of room names nothing.
  const std::uint64_t slack = std::max<std::uint64_t>(64, best->limit / best->per_thread / 100);
  return best_room <= slack ? best : nullptr;
}

std::string RaiseLimitCommand(const platform::ThreadLimit& limit, std::uint64_t threads) {
  std::uint64_t value = limit.limit + threads * limit.per_thread;
  value = (value + 999) / 1000 * 1000;
  const std::string_view name = limit.name;
  if (name == "kernel.pid_max") {
    // The kernel takes no more than 2^22 process and thread ids.
    constexpr std::uint64_t kLargestPidMax = 4194304;
    if (value > kLargestPidMax) value = kLargestPidMax;
  }
  if (name.starts_with("ulimit ")) return std::string(name) + " " + std::to_string(value);
  if (name.find('.') != std::string_view::npos && name.find(' ') == std::string_view::npos) {
    return "sysctl -w " + std::string(name) + "=" + std::to_string(value);
  }
  return {};
}

}  // namespace velkaro
