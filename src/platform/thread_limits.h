// The system limits that bound how many threads a process can create, to name the
// one that was probably reached when thread creation fails.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace velkaro::platform {

struct ThreadLimit {
  std::string_view name;              // how the user sets it: "ulimit -u", "kernel.pid_max", ...
  std::uint64_t limit = 0;
  std::optional<std::uint64_t> used;  // current use of the limited resource, when known
  std::uint64_t per_thread = 1;       // units of the resource one more thread takes
};

// The limits of the running system with their current use; empty where the system
// has none of these (Windows).
std::vector<ThreadLimit> ReadThreadLimits();

}  // namespace velkaro::platform
