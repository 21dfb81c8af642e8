// How many workers of a run ran, as the program's last status shows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velkaro {

// "Fulfilled threads: N"; "Fulfilled threads: N / M" when the run ended before all the M
// requested workers were started, so that a shortfall never reads as a full run. A
// negative request counts as none.
std::u16string FulfilledThreadsText(std::int32_t started, std::int32_t requested,
                                    std::u16string_view separator);

// True when fewer workers were started than requested.
inline bool FellShort(std::int32_t started, std::int32_t requested) {
  return started < requested;
}

}  // namespace velkaro
