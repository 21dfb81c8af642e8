#include "platform/thread_limits.h"

namespace velkaro::platform {

// Windows has no per-user or system-wide thread count limit; creation fails when the
// address space or the commit charge runs out.
std::vector<ThreadLimit> ReadThreadLimits() { return {}; }

}  // namespace velkaro::platform
