// The part of the run controller that the main window drives, behind an interface so
// that the window's transitions can be exercised without starting threads.
#pragma once

#include <cstdint>
#include <string>

#include "engine/run_controller.h"

namespace velkaro {

class TStressRunner {
 public:
  virtual ~TStressRunner() = default;
  // See TRunController::RunStress: returns when the run is over; false, doing nothing,
  // while a run is already inside it.
  virtual bool RunStress(std::uint32_t priorityClass, std::int32_t threadsCount,
                         std::int32_t priorityIndex, std::uint32_t timeMs, TStressStyle style,
                         std::u16string& errorText, std::int32_t& startedCount) = 0;
  // Drops the run flag.
  virtual void Stop() = 0;
  // True from the start of RunStress until it returns.
  virtual bool InRun() const = 0;
};

// The real runner: a run controller on the native engine platform.
class TControllerRunner final : public TStressRunner {
 public:
  explicit TControllerRunner(TRunHost& host) : controller_(host) {}

  bool RunStress(std::uint32_t priorityClass, std::int32_t threadsCount,
                 std::int32_t priorityIndex, std::uint32_t timeMs, TStressStyle style,
                 std::u16string& errorText, std::int32_t& startedCount) override;
  void Stop() override { controller_.Stop(); }
  bool InRun() const override { return controller_.InRun(); }

  TRunController& Controller() { return controller_; }

 private:
  TRunController controller_;
};

}  // namespace velkaro
