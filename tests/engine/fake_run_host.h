// A run host that records what the controller shows and lets a test act inside the
// controller's message processing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/run_controller.h"
#include "support/utf.h"

namespace velkaro {

class FakeRunHost : public TRunHost {
 public:
  // The clock that dtPrevPercent and UsageCalc use.
  std::function<std::uint32_t()> clock = [] { return 0u; };
  // Runs on every ProcessMessages call, with the call's number (1-based).
  std::function<void(int)> on_messages;

  void SetStatusText(std::u16string_view text) override { statuses.push_back(ToUtf8(text)); }
  void SetProgressMax(std::uint32_t max) override { progress_max = max; }
  void SetProgressPosition(std::uint32_t position) override { positions.push_back(position); }
  void SetTaskbarProgress(std::uint64_t done, std::uint64_t total) override {
    taskbar.emplace_back(done, total);
  }
  void SetTitle(std::u16string_view title) override { titles.push_back(ToUtf8(title)); }
  void ProcessMessages() override {
    ++message_passes;
    if (on_messages) on_messages(message_passes);
  }
  bool Terminated() const override { return terminated; }
  void ShowBusyCursor() override { ++busy_cursor; }
  void RestoreCursor() override { ++restored_cursor; }
  void ShowMessage(std::u16string_view text) override { messages.push_back(ToUtf8(text)); }
  void UsageStart() override {
    ++usage_starts;
    prev_percent = clock();
  }
  void UsageCalc() override {
    ++usage_samples;
    prev_percent = clock();
  }
  std::uint32_t dtPrevPercent() const override { return prev_percent; }
  void bGoButClick_Stop() override { ++stop_clicks; }
  void PriorityNotApplied(bool process_class, std::uint32_t value) override {
    refused.push_back((process_class ? "class " : "thread ") + std::to_string(static_cast<std::int32_t>(value)));
  }

  std::vector<std::string> statuses, titles, messages, refused;
  std::vector<std::uint32_t> positions;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> taskbar;
  std::uint32_t progress_max = 0;
  std::uint32_t prev_percent = 0;
  int message_passes = 0, busy_cursor = 0, restored_cursor = 0, usage_starts = 0,
      usage_samples = 0, stop_clicks = 0;
  bool terminated = false;
};

}  // namespace velkaro
