#include "ui/main/main_logic.h"

#include <utility>

#include "engine/run_outcome.h"
#include "lang/lang_format.h"
#include "lang/string_table.h"
#include "platform/clock.h"
#include "support/text.h"
#include "ui/main/run_inputs.h"
#include "velkaro_version.h"

namespace velkaro {
namespace {

class TSystemMainClock final : public TMainClock {
 public:
  std::uint32_t TickCount() override { return platform::TickCount(); }
  void SleepMs(std::uint32_t milliseconds) override { platform::SleepMs(milliseconds); }
};

constexpr std::u16string_view kProductName = u"" VELKARO_PRODUCT_NAME;

}  // namespace

TMainClock& SystemMainClock() {
  static TSystemMainClock clock;
  return clock;
}

TMainLogic::TMainLogic(TMainView& view, TUsageMeter& meter, TMainClock& clock,
                       std::u16string thousands_separator, TStressRunner* runner)
    : view_(view),
      meter_(meter),
      clock_(clock),
      thousands_separator_(std::move(thousands_separator)),
      own_runner_(runner == nullptr ? std::make_unique<TControllerRunner>(*this) : nullptr),
      runner_(runner == nullptr ? own_runner_.get() : runner),
      emergency_close_([] { TRunController::EmergencyClose(); }) {}

void TMainLogic::bGoButClick_Start() {
  // Only an idle window starts, and never while a stopped run still waits for its
  // workers inside RunStress.
  if (FCurState_ != TStressCurState::scsNone || runner_->InRun()) return;
  if (view_.IsInCompactUncompact()) return;
  if (const auto refusal = StartRefusal()) {
    RefuseStart(*refusal);
    return;
  }
  view_.SavePlace();
  if (view_.CompactChecked()) {
    view_.CompactUncompact(true);  // StartWithPause follows when the compact layout is ready
  } else {
    StartWithPause();
  }
}

void TMainLogic::bGoButClick_Stop() {
  view_.KillTimer(kCompactAnimTimer);
  // A pending mouse-up wait must not start the run after the stop.
  view_.KillTimer(kMouseUpTimer);
  mouse_up_wait_ = false;
  SetCurState(TStressCurState::scsNone);
  view_.KillTimer(kStartPauseTimer);
}

void TMainLogic::StartWithPause() {
  if (const auto refusal = StartRefusal()) {
    RefuseStart(*refusal);
    return;
  }
  // A new start replaces a mouse-up wait still pending from an earlier one.
  view_.KillTimer(kMouseUpTimer);
  mouse_up_wait_ = false;
  const std::int64_t pause = ReadPauseSeconds(view_.InputText(TMainInput::edStPause));
  if (pause == 0) {
    StartWhenMouseUp();
    return;
  }
  SetCurState(TStressCurState::scsWaitStart);
  FStartPause_Size_ = static_cast<std::uint32_t>(pause * 1000);
  FStartPause_Start_ = clock_.TickCount();
  StartPauseTick();
}

void TMainLogic::StartPauseTick() {
  view_.KillTimer(kStartPauseTimer);
  // A tick already queued when the countdown was stopped.
  if (FCurState_ != TStressCurState::scsWaitStart) return;
  const std::uint32_t elapsed = clock_.TickCount() - FStartPause_Start_;
  view_.SetTaskbarProgress(elapsed, FStartPause_Size_);
  if (elapsed >= FStartPause_Size_) {
    EndStartPause();
    StartWhenMouseUp();
    return;
  }
  FCurCircleDiagPaintKoef_ = static_cast<double>(elapsed) / static_cast<double>(FStartPause_Size_);
  view_.DrawStartPausePie(FCurCircleDiagPaintKoef_);
  view_.SetTimer(kStartPauseTimer, kStartPauseTickMs);
}

void TMainLogic::EndStartPause() {
  view_.RepaintChart();
  view_.ClearTaskbarProgress();
}

void TMainLogic::StartWhenMouseUp() {
  view_.KillTimer(kMouseUpTimer);
  mouse_up_wait_ = false;
  if (view_.IsLeftButtonDown()) {
    view_.SetTimer(kMouseUpTimer, kMouseUpTickMs);
    mouse_up_wait_ = true;
    return;
  }
  StartStressing();
}

void TMainLogic::StartStressing() {
  if (runner_->InRun()) {
    SetCurState(TStressCurState::scsNone);
    return;
  }
  // Read before the state changes, so that a refused start never shows the run.
  const std::int64_t seconds = ReadDurationSeconds(view_.InputText(TMainInput::edTime));
  if (const auto refusal = DurationRefusal(seconds)) {
    RefuseStart(*refusal);
    return;
  }
  const std::uint32_t priorityClass = PriorityClassAt(view_.ItemIndex(TMainInput::cbPriorClass));
  const std::int32_t threadsCount = ReadThreadsCount(view_.InputText(TMainInput::edThreads));
  const std::int32_t priorityIndex = view_.ItemIndex(TMainInput::cbPriority);
  const TStressStyle style = StressStyleAt(view_.ItemIndex(TMainInput::cbStyle));

  SetCurState(TStressCurState::scsDoing);
  RedrawAll();
  FTotalThreadsRunedCount_ = 0;
  FTotalThreadsRequested_ = threadsCount;
  std::u16string errorText;
  runner_->RunStress(priorityClass, threadsCount, priorityIndex,
                     static_cast<std::uint32_t>(seconds) * 1000u, style, errorText,
                     FTotalThreadsRunedCount_);
  SetCurState(TStressCurState::scsNone);
  if (!errorText.empty()) view_.SetStateText(errorText);
  if (close_after_run_) {
    close_after_run_ = false;
    view_.CloseWindow();
  }
}

void TMainLogic::ApplyAutoPin(TStressCurState state) {
  const bool leaving_idle = FCurState_ == TStressCurState::scsNone;
  if (!view_.AutoPinChecked() || leaving_idle == (state == TStressCurState::scsNone)) return;
  const bool down = view_.PinDown();
  bool wanted;
  if (leaving_idle) {
    isWasPinBeforeLoad_ = down;
    wanted = true;
  } else {
    // A pin the user released during the run stays released.
    wanted = down && isWasPinBeforeLoad_;
  }
  if (wanted != down) view_.SetPinDown(wanted);
}

void TMainLogic::SetCurState(TStressCurState state) {
  ApplyAutoPin(state);
  FCurState_ = state;
  switch (state) {
    case TStressCurState::scsNone: SetIdle(); break;
    case TStressCurState::scsWaitStart: SetWaitStart(); break;
    case TStressCurState::scsDoing: SetDoing(); break;
  }
  RedrawAll();
}

void TMainLogic::AlignStateLabel() { view_.SetStateLeft(view_.ProgressLeft()); }

void TMainLogic::SetCaptionAndTitle(std::u16string_view text) {
  view_.SetCaption(text);
  view_.SetAppTitle(text);
}

void TMainLogic::SetIdle() {
  runner_->Stop();
  view_.RestoreNormalPriorities();
  view_.SetDoAction(TDoAction::bGoButClick_Start);
  view_.SetDoImage(kDoImageStart);
  view_.SetDoCaption(LangText(TextId::RunButton));
  if (FTotalThreadsRunedCount_ < 0) {
    view_.SetStateText(u"");
  } else {
    view_.SetStateText(FulfilledThreadsText(FTotalThreadsRunedCount_, FTotalThreadsRequested_,
                                            thousands_separator_));
  }
  AlignStateLabel();
  EndStartPause();
  // Keys and clicks made during the pause or the run must not act afterwards.
  view_.FlushKeyboardMessages();
  view_.FlushDoMouseMessages();
  view_.SetProgressPosition(0);
  EnableControls(true);
  SetCaptionAndTitle(LangFormat(TextId::TitleIdle, {kProductName}));
  const Color face = view_.SysColor(TSysColor::clBtnFace);
  if (view_.WindowColor() != face) FlashBackground(face, face);
  if (view_.IsCompact()) view_.CompactUncompact(false);
}

void TMainLogic::SetWaitStart() {
  view_.RestoreNormalPriorities();
  runner_->Stop();
  meter_.ClearPercents();
  FTotalThreadsRunedCount_ = 0;
  FTotalThreadsRequested_ = 0;
  view_.SetDoAction(TDoAction::bGoButClick_Stop);
  view_.SetProgressPosition(0);
  view_.SetDoImage(kDoImageStop);
  view_.SetDoCaption(LangText(TextId::StopButton));
  view_.SetStateText(LangText(TextId::AboutToStart));
  AlignStateLabel();
  EnableControls(false);
  SetCaptionAndTitle(LangText(TextId::AboutToStart));
  SetBackgroundColor(view_.SysColor(TSysColor::clBtnFace));
}

void TMainLogic::SetDoing() {
  view_.ReleaseCapture();
  // The run flag itself is raised by the controller when RunStress begins.
  meter_.ClearPercents();
  view_.SetDoAction(TDoAction::bGoButClick_Stop);
  view_.SetDoImage(kDoImageStop);
  view_.SetDoCaption(LangText(TextId::StopButton));
  view_.SetStateText(LangFormat(TextId::ThreadsStarted, {u"0"}));
  AlignStateLabel();
  EndStartPause();
  EnableControls(false);
  SetCaptionAndTitle(LangText(TextId::CpuStressing));
  const Color face = view_.SysColor(TSysColor::clBtnFace);
  FlashBackground(kFlashColor, BlendColorStep(face, kRunColorTarget, kRunColorSteps, kRunColorStep));
}

void TMainLogic::EnableControls(bool enable) {
  const bool was_enabled = view_.InputEnabled(TMainInput::edStPause);
  if (!enable && was_enabled) FActControl_BeforeDisable_ = view_.FocusedControl();
  const Color label_color =
      enable ? view_.SysColor(TSysColor::clWindowText)
             : AverageColor(view_.SysColor(TSysColor::clWindowText), view_.SysColor(TSysColor::clWindow));
  for (const TMainLabel label : kMainLabels) view_.SetLabelColor(label, label_color);
  for (const TMainMenu menu : kMainMenus) view_.EnableMenu(menu, enable);
  for (const TMainInput input : kMainInputs) view_.EnableInput(input, enable);
  if (enable && !was_enabled) view_.FocusControl(FActControl_BeforeDisable_);
}

void TMainLogic::SetBackgroundColor(Color color) {
  view_.SetWindowColor(color);
  view_.SetPanelsColor(color);
}

void TMainLogic::FlashBackground(Color first, Color second) {
  view_.FlashTaskbar();
  SetBackgroundColor(first);
  RedrawAll();
  clock_.SleepMs(kFlashMs);
  SetBackgroundColor(second);
  RedrawAll();
}

void TMainLogic::RedrawAll() { view_.RedrawAll(); }

void TMainLogic::edThreadsChange() {
  const std::int64_t n = ReadDecimal(view_.InputText(TMainInput::edThreads)).value_or(1);
  if (n <= MaxThreadsCount()) {
    view_.HideThreadsWarning();
    return;
  }
  view_.ShowThreadsWarning(LangFormat(
      TextId::ThreadsLimitWarning, {IntToStrGrouped(MaxThreadsCount(), thousands_separator_)}));
}

void TMainLogic::OnTimer(std::uintptr_t id) {
  switch (id) {
    case kStartPauseTimer: StartPauseTick(); break;
    case kCompactAnimTimer: view_.CompactAnimTick(); break;
    case kMouseUpTimer:
      if (mouse_up_wait_) {
        StartWhenMouseUp();
      } else {
        view_.KillTimer(kMouseUpTimer);
      }
      break;
    default: break;
  }
}

bool TMainLogic::KeyDown(std::uint16_t key, TShiftState shift) {
  switch (key) {
    case kKeyEnter:
      if (FCurState_ != TStressCurState::scsNone) return false;
      bGoButClick_Start();
      return true;
    case kKeyEscape:
      if (FCurState_ == TStressCurState::scsNone &&
          !(view_.IsInCompactUncompact() && view_.IsCompact())) {
        return false;
      }
      bGoButClick_Stop();
      return true;
    case kKeyF5:
      if (shift.shift || shift.ctrl || shift.alt) return false;
      view_.sbCloneClick();
      return true;
    default: return false;
  }
}

bool TMainLogic::ProcClose() {
  if (FCurState_ == TStressCurState::scsDoing) {
    emergency_close_();
    return false;
  }
  // Destroying the window now would pull the host from under the controller, which is
  // still waiting for the stopped workers.
  if (runner_->InRun()) {
    close_after_run_ = true;
    return false;
  }
  return true;
}

std::optional<TextId> TMainLogic::StartRefusal() const {
  if (auto refusal = PauseRefusal(ReadPauseSeconds(view_.InputText(TMainInput::edStPause)))) {
    return refusal;
  }
  return DurationRefusal(ReadDurationSeconds(view_.InputText(TMainInput::edTime)));
}

void TMainLogic::RefuseStart(TextId refusal) {
  if (FCurState_ != TStressCurState::scsNone || view_.IsCompact()) {
    SetCurState(TStressCurState::scsNone);
  }
  view_.SetStateText(RefusalText(refusal, thousands_separator_));
}

void TMainLogic::SetStatusText(std::u16string_view text) { view_.SetStateText(text); }
void TMainLogic::SetProgressMax(std::uint32_t max) { view_.SetProgressMax(max); }
void TMainLogic::SetProgressPosition(std::uint32_t position) { view_.SetProgressPosition(position); }
void TMainLogic::SetTaskbarProgress(std::uint64_t done, std::uint64_t total) {
  view_.SetTaskbarProgress(done, total);
}
// The controller's percentage goes to the taskbar text only; the caption keeps
// "CPU STRESSING!!!".
void TMainLogic::SetTitle(std::u16string_view title) { view_.SetAppTitle(title); }
void TMainLogic::ProcessMessages() { view_.ProcessMessages(); }
bool TMainLogic::Terminated() const { return view_.Terminated(); }
void TMainLogic::ShowBusyCursor() { view_.ShowBusyCursor(); }
void TMainLogic::RestoreCursor() { view_.RestoreCursor(); }
void TMainLogic::ShowMessage(std::u16string_view text) { view_.ShowMessage(text); }
void TMainLogic::UsageStart() { meter_.UsageStart(); }
void TMainLogic::UsageCalc() { meter_.UsageCalc(); }
std::uint32_t TMainLogic::dtPrevPercent() const { return meter_.FUP().dtPrevPercent; }

}  // namespace velkaro
