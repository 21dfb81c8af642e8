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

}  // namespace velkaro
