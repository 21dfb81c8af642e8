// The main window's decisions: the three states, the stages of a start, the stop, the
// keys, the timers and the close, carried out through TMainView. It is also the host of
// the run controller.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/run_controller.h"
#include "meter/usage_meter.h"
#include "ui/main/main_view.h"
#include "ui/main/stress_runner.h"

namespace velkaro {

enum class TStressCurState : std::uint8_t { scsNone = 0, scsWaitStart = 1, scsDoing = 2 };

// The tick counter that times the start pause, and the short sleep of a flash.
class TMainClock {
 public:
  virtual ~TMainClock() = default;
  virtual std::uint32_t TickCount() = 0;
  virtual void SleepMs(std::uint32_t milliseconds) = 0;
};
TMainClock& SystemMainClock();

// Virtual-key codes the window reacts to.
inline constexpr std::uint16_t kKeyEnter = 13;
inline constexpr std::uint16_t kKeyEscape = 27;
inline constexpr std::uint16_t kKeyF5 = 116;

struct TShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The run colour's target and how far the button face moves towards it.
inline constexpr Color kRunColorTarget = RgbColor(255, 128, 0);
inline constexpr int kRunColorSteps = 100;
inline constexpr int kRunColorStep = 30;
inline constexpr Color kFlashColor = RgbColor(255, 255, 255);
inline constexpr std::uint32_t kFlashMs = 100;

class TMainLogic final : public TRunHost {
 public:
  // `runner` null: the logic owns a run controller on the native engine platform.
  // `thousands_separator` groups the counts of the status label.
  TMainLogic(TMainView& view, TUsageMeter& meter, TMainClock& clock,
             std::u16string thousands_separator, TStressRunner* runner = nullptr);
  TMainLogic(const TMainLogic&) = delete;
  TMainLogic& operator=(const TMainLogic&) = delete;

  // The stages of a start and the stop.
  void bGoButClick_Start();
  void bGoButClick_Stop() override;
  void StartWithPause();
  void StartPauseTick();
  void EndStartPause();
  void StartWhenMouseUp();
  void StartStressing();

  // The only writer of FCurState.
  void SetCurState(TStressCurState state);
  void EnableControls(bool enable);
  void SetBackgroundColor(Color color);
  void FlashBackground(Color first, Color second);
  void RedrawAll();

  // The change handler of edThreads: warns while the count is above MaxThreadsCount.
  // The text itself is never corrected; reading the count caps it.
  void edThreadsChange();

  // WM_TIMER of the window.
  void OnTimer(std::uintptr_t id);
  // Key-down of the window, before the focused control; true when the key is consumed.
  bool KeyDown(std::uint16_t key, TShiftState shift);
  // The close handler: true when the window may close now. During a run the process
  // ends instead; while a stopped run still waits for its workers, the window closes
  // once RunStress has returned.
  bool ProcClose();
  // What ends the process on a close during a run (tests replace it).
  void SetEmergencyClose(std::function<void()> action) { emergency_close_ = std::move(action); }

  TStressCurState FCurState() const { return FCurState_; }
  double FCurCircleDiagPaintKoef() const { return FCurCircleDiagPaintKoef_; }
  std::int32_t FTotalThreadsRunedCount() const { return FTotalThreadsRunedCount_; }
  std::uint32_t FStartPause_Size() const { return FStartPause_Size_; }
  std::uint32_t FStartPause_Start() const { return FStartPause_Start_; }
  bool isWasPinBeforeLoad() const { return isWasPinBeforeLoad_; }
  TStressRunner& Runner() { return *runner_; }

  // TRunHost
  void SetStatusText(std::u16string_view text) override;
  void SetProgressMax(std::uint32_t max) override;
  void SetProgressPosition(std::uint32_t position) override;
  void SetTaskbarProgress(std::uint64_t done, std::uint64_t total) override;
  void SetTitle(std::u16string_view title) override;
  void ProcessMessages() override;
  bool Terminated() const override;
  void ShowBusyCursor() override;
  void RestoreCursor() override;
  void ShowMessage(std::u16string_view text) override;
  void UsageStart() override;
  void UsageCalc() override;
  std::uint32_t dtPrevPercent() const override;

 private:
  void ApplyAutoPin(TStressCurState state);
  void SetIdle();
  void SetWaitStart();
  void SetDoing();
  void AlignStateLabel();
  void SetCaptionAndTitle(std::u16string_view text);
  // Leaves the window idle with `text` in the status label.
  void RefuseStart(TextId refusal);
  // The refusal of the pause or duration now in the inputs, if any.
  std::optional<TextId> StartRefusal() const;

  TMainView& view_;
  TUsageMeter& meter_;
  TMainClock& clock_;
  std::u16string thousands_separator_;
  std::unique_ptr<TStressRunner> own_runner_;
  TStressRunner* runner_;
  std::function<void()> emergency_close_;

  TStressCurState FCurState_ = TStressCurState::scsNone;
  std::uint32_t FStartPause_Size_ = 0;
  std::uint32_t FStartPause_Start_ = 0;
  double FCurCircleDiagPaintKoef_ = 0;
  TControlRef FActControl_BeforeDisable_ = 0;
  std::int32_t FTotalThreadsRunedCount_ = -1;
  // The threads the last run asked for: fewer run than asked is shown as a shortfall.
  std::int32_t FTotalThreadsRequested_ = 0;
  bool isWasPinBeforeLoad_ = false;
  // Timer 3 is armed: a message of it that arrives after a stop is stale.
  bool mouse_up_wait_ = false;
  bool close_after_run_ = false;
};

}  // namespace velkaro
