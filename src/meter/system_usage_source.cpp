#include "meter/usage_meter.h"
#include "platform/clock.h"

namespace velkaro {
namespace {

class SystemSource final : public TUsageSource {
 public:
  bool ReadProcessTimes(platform::ProcessTimes& times) override {
    return platform::ReadProcessTimes(times);
  }
  std::uint32_t TickCount() override { return platform::TickCount(); }
};

}  // namespace

TUsageSource& SystemUsageSource() {
  static SystemSource source;
  return source;
}

}  // namespace velkaro
