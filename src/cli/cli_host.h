// The console as the host of a stress run: it shows what the run controller and the
// CPU meter report and turns keys and interrupts into a stop request.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_render.h"
#include "platform/console.h"
#include "engine/run_controller.h"
#include "meter/usage_meter.h"

namespace velkaro {

class TCliHost final : public TRunHost, public TUsageMeterHost {
 public:
  // `redraw`: the display is a terminal that redraws its lines in place; otherwise
  // one plain line per second.
  TCliHost(platform::TConsoleStream display, bool redraw);

  void SetController(TRunController* controller) { controller_ = controller; }
  // The thread count of the run, for the note on a limit reached.
  void SetRequestedThreads(std::int32_t threads) { requested_threads_ = threads; }
  TUsageMeter& Meter() { return meter_; }

  // Counts the start pause down; false when a stop was requested during it.
  bool RunPause(std::int32_t pause_s);
  // Shows the last state and leaves the display below it.
  void Finish();
  // Prints a line of its own below the display.
  void Note(std::u16string_view text);

  const std::vector<TCPUPercent>& AllSamples() const { return all_samples_; }
  bool StopRequested() const { return stop_requested_; }
  // After "Too many threads!": the system limit that was probably reached, or empty.
  const std::u16string& LimitNote() const { return limit_note_; }

  // TRunHost
  void SetStatusText(std::u16string_view text) override;
  void SetProgressMax(std::uint32_t max) override;
  void SetProgressPosition(std::uint32_t position) override;
  void SetTaskbarProgress(std::uint64_t done, std::uint64_t total) override;
  void SetTitle(std::u16string_view title) override;
  void ProcessMessages() override;
  bool Terminated() const override { return false; }
  void ShowBusyCursor() override {}
  void RestoreCursor() override {}
  void ShowMessage(std::u16string_view text) override;
  void UsageStart() override { meter_.UsageStart(); }
  void UsageCalc() override;
  std::uint32_t dtPrevPercent() const override { return meter_.FUP().dtPrevPercent; }
  void bGoButClick_Stop() override;
  void PriorityNotApplied(bool process_class, std::uint32_t win32_value) override;

  // TUsageMeterHost
  void ShowPercents() override;
  void RepaintPercents() override;

 private:
  void PollStop();
  void Draw(const std::vector<std::u16string>& lines);
  void Commit();
  void Render(bool force);

  platform::TConsoleStream display_;
  bool redraw_;
  TRunController* controller_ = nullptr;
  TUsageMeter meter_;
  TCliScreen screen_;
  std::vector<TCPUPercent> all_samples_;
  bool stop_requested_ = false;
  bool dirty_ = false;
  bool sample_taken_ = false;
  std::size_t drawn_lines_ = 0;
  std::uint32_t last_draw_ = 0;
  bool drawn_once_ = false;
  std::u16string limit_note_;
  std::int32_t requested_threads_ = 0;
};

}  // namespace velkaro
