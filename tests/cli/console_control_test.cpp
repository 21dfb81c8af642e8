// The Windows console's control handler runs on a thread of its own, beside the
// program that sets and clears the interrupt's target.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/console.h"
#include "platform/win32/console_control.h"

namespace velkaro::platform {
namespace {

class SlowTarget final : public TConsoleInterruptTarget {
 public:
  void OnFirstInterrupt() noexcept override {
    entered = true;
    ::Sleep(300);
    left = true;
  }
  std::atomic<bool> entered{false};
  std::atomic<bool> left{false};
};

// A Ctrl+C at the very end of a run: the program clears the target and destroys it
// while the handler is still inside it. Clearing must wait for that handler.
TEST(ConsoleControlTest, ClearingTheTargetWaitsForAHandlerInsideIt) {
  SlowTarget target;
  ConsoleSetInterruptTarget(&target);
  std::thread handler([] { ConsoleControlHandler(CTRL_C_EVENT); });
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!target.entered && std::chrono::steady_clock::now() < until) ::Sleep(1);
  ASSERT_TRUE(target.entered);
  ConsoleSetInterruptTarget(nullptr);
  EXPECT_TRUE(target.left) << "the target could be destroyed while the handler uses it";
  handler.join();
  EXPECT_EQ(ConsoleInterrupts(), 1);
}

}  // namespace
}  // namespace velkaro::platform
