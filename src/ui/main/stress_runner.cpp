#include "ui/main/stress_runner.h"

namespace velkaro {

bool TControllerRunner::RunStress(std::uint32_t priorityClass, std::int32_t threadsCount,
                                  std::int32_t priorityIndex, std::uint32_t timeMs,
                                  TStressStyle style, std::u16string& errorText,
                                  std::int32_t& startedCount) {
  return controller_.RunStress(priorityClass, threadsCount, priorityIndex, timeMs, style,
                               errorText, startedCount);
}

}  // namespace velkaro
