// The stress run controller: prepares the workers, releases them in short batches,
// keeps its host responsive while the run lasts, and stops and waits for every worker.
// It runs on the host's user-interface thread and reaches the outside world only
// through TRunHost and TEnginePlatform.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_platform.h"
#include "engine/stress_thread.h"
#include "lang/string_table.h"
#include "platform/thread_limits.h"

namespace velkaro {

// What the controller needs of the program that shows the run (the console front end,
// the main window). Every call comes on the thread that called RunStress.
class TRunHost {
 public:
  virtual ~TRunHost() = default;

  // The status label: show `text` and repaint at once (the caller's thread is busy, so
  // a later paint would come too late).
  virtual void SetStatusText(std::u16string_view text) = 0;
  // The progress bar, in milliseconds of the run.
  virtual void SetProgressMax(std::uint32_t max) = 0;
  virtual void SetProgressPosition(std::uint32_t position) = 0;
  // The taskbar button's progress.
  virtual void SetTaskbarProgress(std::uint64_t done, std::uint64_t total) = 0;
  // The application title, e.g. "42%".
  virtual void SetTitle(std::u16string_view title) = 0;
  // Handles every pending message or input event; a stop request arrives here and
  // calls TRunController::Stop.
  virtual void ProcessMessages() = 0;
  // True once the application has been told to quit.
  virtual bool Terminated() const = 0;
  // Remembers the current cursor and shows the hourglass; RestoreCursor puts it back.
  virtual void ShowBusyCursor() = 0;
  virtual void RestoreCursor() = 0;
  // A message box with `text` and an OK button.
  virtual void ShowMessage(std::u16string_view text) = 0;

  // The CPU meter: start readings, one sample, and the tick of the last sample.
  virtual void UsageStart() = 0;
  virtual void UsageCalc() = 0;
  virtual std::uint32_t dtPrevPercent() const = 0;

  // Cancels the host's timers and returns it to the idle state; called when the
  // preparation of the workers fails.
  virtual void bGoButClick_Stop() = 0;

  // The system refused the process class or the thread priority of the run; the run
  // goes on at what the system allows. Called at most once per kind and run.
  virtual void PriorityNotApplied(bool process_class, std::uint32_t win32_value) {
    (void)process_class;
    (void)win32_value;
  }
};

// How the last run ended.
enum class TRunEnd : std::uint8_t {
  reNone,        // no run yet
  reTimeOver,    // the duration passed
  reStopped,     // the run flag dropped (Stop, Esc, a failed message pass)
  reTerminated,  // the application is quitting
  reFailed,      // a worker could not be created, or the loop failed; errorText says why
};

// One entry per created worker, in creation order.
struct TStressThreadDesc {
  std::unique_ptr<TStressThread> Thread;
  TThreadHandle Handle = 0;  // 0 once the worker is known to have ended
};

class TRunController {
 public:
  explicit TRunController(TRunHost& host);
  TRunController(TRunHost& host, TEnginePlatform& platform);
  ~TRunController();
  TRunController(const TRunController&) = delete;
  TRunController& operator=(const TRunController&) = delete;

  // The whole run: returns after every worker has ended (or the host is quitting).
  // `priorityClass` is a value of PriorityClasses, `priorityIndex` a position in
  // ThreadPriorities. On return `startedCount` holds the number of workers that ran
  // (LastRunStarted) and `errorText` the one-line error text (already shown), empty when none.
  // Returns false, doing nothing, when called while a run is inside RunStress.
  bool RunStress(std::uint32_t priorityClass, std::int32_t threadsCount,
                 std::int32_t priorityIndex, std::uint32_t timeMs, TStressStyle style,
                 std::u16string& errorText, std::int32_t& startedCount);

  // Drops the run flag: the run ends at the controller's next check, and every worker
  // at its next spin (or when its current sleep ends).
  void Stop() { FIsRunEmulation.store(false, std::memory_order_relaxed); }
  bool IsRunEmulation() const { return FIsRunEmulation.load(std::memory_order_relaxed); }
  // True from the start of RunStress until it returns.
  bool InRun() const { return in_run_; }
  TRunEnd LastRunEnd() const { return last_end_; }
  // Workers the last run asked for (a negative count as 0) and those it let run before it
  // ended; fewer than requested is a shortfall, whatever ended the run. Released workers
  // wait until all are released, so a run that ended during the release let none run.
  std::int32_t LastRunRequested() const { return last_requested_; }
  std::int32_t LastRunStarted() const { return last_started_; }
  // The system's thread limits read at the moment a worker could not be created (for
  // LikelyReachedThreadLimit); empty when creation did not fail in the last run.
  const std::vector<platform::ThreadLimit>& ThreadLimitsAtFailure() const {
    return limits_at_failure_;
  }

  // Ends the process at once with exit code 1: no worker is stopped or waited for,
  // nothing is restored or saved.
  [[noreturn]] static void EmergencyClose();

 private:
  friend class TRunControllerTestAccess;

  void CreateStressThreads(int mainPriority, std::int32_t priorityIndex, TStressStyle style,
                           std::uint32_t startTick, std::uint32_t timeMs, std::int32_t& count,
                           std::int32_t& started, bool& ok, std::u16string& errorText);
  void RunStressLoop(std::uint32_t startTick, std::uint32_t timeMs, bool& ok,
                     std::int32_t& started);
  void ReleaseStressThreads(std::uint32_t& lastPump, std::uint32_t& lastShow,
                            std::int32_t& started, bool& ok);
  void StopStressThreads(std::int32_t started);
  bool PumpMessagesAndShow(TextId textId, std::uint32_t& lastPump,
                           std::uint32_t& lastShow, std::int32_t n);
  void ShowThreadCounter(TextId textId, std::int32_t n);
  void ShowThreadCounterIfChanged(TextId textId, std::int32_t n);
  void ShowCount(TextId textId, std::int32_t n);
  void CloseStressThreads();
  // Opens the workers' start gate once per run.
  void OpenStartGate(std::int32_t waiting);

  TRunHost& host_;
  TEnginePlatform& platform_;
  bool in_run_ = false;
  TRunEnd last_end_ = TRunEnd::reNone;
  std::int32_t last_requested_ = 0;
  std::int32_t last_started_ = 0;
  bool prepare_failed_ = false;
  bool gate_open_ = true;  // no worker waits at a closed gate outside a run
  bool workers_went_on_ = false;  // the gate opened for the run, not only for its end
  std::u16string separator_;  // thousands separator, read once per run
  std::vector<platform::ThreadLimit> limits_at_failure_;

  std::atomic<bool> FIsRunEmulation{false};
  std::vector<TStressThreadDesc> FStressThreads;
  std::int32_t FRealThreadsCount = 0;
  std::int32_t FLastShowedThreadNumber = -1;
};

}  // namespace velkaro
