#include "engine/run_controller.h"

#include <exception>
#include <new>

#include "lang/lang_format.h"
#include "platform/locale.h"
#include "platform/process.h"
#include "support/text.h"
#include "support/utf.h"

namespace velkaro {
namespace {

// Sets a flag for the lifetime of a scope, so that every way out of RunStress clears it.
class TScopedFlag {
 public:
  explicit TScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~TScopedFlag() { flag_ = false; }
  TScopedFlag(const TScopedFlag&) = delete;
  TScopedFlag& operator=(const TScopedFlag&) = delete;

 private:
  bool& flag_;
};

// Line breaks become blanks: a message box line and the status label take one line.
std::u16string OneLine(std::u16string_view text) {
  std::u16string out = ReplaceAll(text, u"\r\n", u" ");
  out = ReplaceAll(out, u"\r", u" ");
  return ReplaceAll(out, u"\n", u" ");
}

std::u16string PercentTitle(std::uint32_t elapsed, std::uint32_t timeMs) {
  // Through 64 bits: elapsed * 100 overflows 32 bits for runs longer than about 11.9 hours.
  std::uint64_t percent = static_cast<std::uint64_t>(elapsed) * 100u / timeMs;
  if (percent > 100) percent = 100;
  std::u16string title;
  for (const char c : std::to_string(percent)) title.push_back(static_cast<char16_t>(c));
  title.push_back(u'%');
  return title;
}

}  // namespace

TRunController::TRunController(TRunHost& host) : TRunController(host, NativeEnginePlatform()) {}

TRunController::TRunController(TRunHost& host, TEnginePlatform& platform)
    : host_(host), platform_(platform) {}

TRunController::~TRunController() {
  FIsRunEmulation.store(false, std::memory_order_relaxed);
  CloseStressThreads();
}

void TRunController::EmergencyClose() { platform::EmergencyExit(); }

bool TRunController::RunStress(std::uint32_t priorityClass, std::int32_t threadsCount,
                               std::int32_t priorityIndex, std::uint32_t timeMs,
                               TStressStyle style, std::u16string& errorText,
                               std::int32_t& startedCount) {
  if (in_run_) return false;
  TScopedFlag in_run(in_run_);
  // Workers left running by a run that ended while the application was quitting.
  CloseStressThreads();
  platform_.CloseStartGate();
  gate_open_ = false;
  workers_went_on_ = false;
  limits_at_failure_.clear();
  prepare_failed_ = false;
  separator_ = platform::ThousandsSeparator();
  errorText.clear();

  const std::uint32_t startTick = platform_.TickCount();
  startedCount = 0;
  last_requested_ = threadsCount < 0 ? 0 : threadsCount;
  last_started_ = 0;
  host_.SetProgressMax(timeMs);
  host_.SetProgressPosition(0);
  host_.UsageStart();
  if (priorityIndex < 0 || priorityIndex >= static_cast<std::int32_t>(ThreadPriorities.size())) {
    priorityIndex = kThreadPriorityNormalIndex;
  }
  const int mainPriority = ThreadPriorities[static_cast<std::size_t>(priorityIndex)];
  const platform::TPrioritiesApplied applied = platform_.SetRunPriorities(priorityClass, mainPriority);
  if (!applied.process_class) host_.PriorityNotApplied(true, priorityClass);
  if (!applied.thread_priority) {
    host_.PriorityNotApplied(false, static_cast<std::uint32_t>(mainPriority));
  }
  // Workers inherit this thread's scheduling settings: they start with the default slice.
  platform_.PreferShortTimeSlice(false);

  FIsRunEmulation.store(true, std::memory_order_relaxed);
  FRealThreadsCount = threadsCount;
  bool ok = false;
  try {
    CreateStressThreads(mainPriority, priorityIndex, style, startTick, timeMs, FRealThreadsCount,
                        startedCount, ok, errorText);
  } catch (...) {
    ok = false;
    prepare_failed_ = true;
    FRealThreadsCount = static_cast<std::int32_t>(FStressThreads.size());
    host_.bGoButClick_Stop();
  }
  // The workers share this thread's priority and never sleep; without a short slice this
  // thread, among thousands of them, waits seconds for its turn after each of its sleeps.
  platform_.PreferShortTimeSlice(true);
  bool loop_failed = false;
  if (ok) {
    try {
      RunStressLoop(startTick, timeMs, ok, startedCount);
    } catch (const std::exception& error) {
      loop_failed = true;
      if (errorText.empty()) errorText = FromUtf8(error.what());
    } catch (...) {
      loop_failed = true;
    }
  }
  const bool stopped = !FIsRunEmulation.load(std::memory_order_relaxed);
  FIsRunEmulation.store(false, std::memory_order_relaxed);
  StopStressThreads(startedCount);
  platform_.PreferShortTimeSlice(false);
  // A run that ended while it was still releasing its workers let none of them run: they
  // only went on from the gate to end.
  if (!workers_went_on_) startedCount = 0;
  last_started_ = startedCount;

  if (!errorText.empty()) {
    errorText = OneLine(errorText);
    host_.ShowMessage(errorText);
  }
  if (!errorText.empty() || loop_failed || prepare_failed_) {
    last_end_ = TRunEnd::reFailed;
  } else if (host_.Terminated()) {
    last_end_ = TRunEnd::reTerminated;
  } else if (stopped) {
    last_end_ = TRunEnd::reStopped;
  } else {
    last_end_ = TRunEnd::reTimeOver;
  }
  return true;
}

void TRunController::CreateStressThreads(int mainPriority, std::int32_t priorityIndex,
                                         TStressStyle style, std::uint32_t startTick,
                                         std::uint32_t timeMs, std::int32_t& count,
                                         std::int32_t& started, bool& ok,
                                         std::u16string& errorText) {
  ok = false;
  started = 0;
  FStressThreads.clear();
  if (count < 0) {
    count = 0;
    prepare_failed_ = true;
    host_.bGoButClick_Stop();
    return;
  }
  try {
    FStressThreads.reserve(static_cast<std::size_t>(count));
  } catch (const std::exception&) {
    count = 0;
    prepare_failed_ = true;
    host_.bGoButClick_Stop();
    return;
  }
  ok = true;
  errorText.clear();
  std::int32_t created = 0;
  std::uint32_t lastPump = platform_.TickCount();
  std::uint32_t lastShow = lastPump;
  const std::int32_t requested = count;
  for (std::int32_t i = 0; i < requested; ++i) {
    auto worker = std::unique_ptr<TStressThread>(new (std::nothrow) TStressThread(
        &FIsRunEmulation, mainPriority, priorityIndex, style, startTick, timeMs));
    const TThreadHandle handle =
        worker ? platform_.CreateParkedThread(&TStressThread::ThreadEntry, worker.get()) : 0;
    if (handle == 0) {
      limits_at_failure_ = platform::ReadThreadLimits();
      count = created;
      ok = false;
      errorText = LangFormat(TextId::TooManyThreadsCreated, {created});
      host_.bGoButClick_Stop();
      return;
    }
    FStressThreads.push_back({std::move(worker), handle});
    ++created;
    if (!PumpMessagesAndShow(TextId::ThreadsPrepared, lastPump, lastShow, i + 1)) {
      count = created;
      ok = false;
      return;
    }
  }
}

bool TRunController::PumpMessagesAndShow(TextId textId, std::uint32_t& lastPump,
                                         std::uint32_t& lastShow, std::int32_t n) {
  // A stop may come between two passes too (a signal, the console's control thread):
  // the rest of the preparation or release takes no longer than the pass would.
  if (!FIsRunEmulation.load(std::memory_order_relaxed)) return false;
  const std::uint32_t now = platform_.TickCount();
  if (now - lastPump <= 100) return true;
  if (n != FLastShowedThreadNumber && now - lastShow > 175) {
    ShowThreadCounter(textId, n);
    lastShow = now;
  }
  host_.ProcessMessages();
  if (host_.Terminated() || !FIsRunEmulation.load(std::memory_order_relaxed)) return false;
  lastPump = now;
  return true;
}

void TRunController::ShowCount(TextId textId, std::int32_t n) {
  host_.SetStatusText(LangFormat(textId, {IntToStrGrouped(n, separator_)}));
}

void TRunController::ShowThreadCounter(TextId textId, std::int32_t n) {
  ShowCount(textId, n);
  FLastShowedThreadNumber = n;
}

void TRunController::ShowThreadCounterIfChanged(TextId textId, std::int32_t n) {
  if (n != FLastShowedThreadNumber) ShowThreadCounter(textId, n);
}

void TRunController::ReleaseStressThreads(std::uint32_t& lastPump, std::uint32_t& lastShow,
                                          std::int32_t& started, bool& ok) {
  const std::int32_t before = started;
  const std::uint32_t t0 = platform_.TickCount();
  const auto total = static_cast<std::int32_t>(FStressThreads.size());
  while (started < total) {
    platform_.ResumeThread(FStressThreads[static_cast<std::size_t>(started)].Handle);
    ++started;
    if (started > FLastShowedThreadNumber + 100) ShowThreadCounter(TextId::ThreadsStarted, started);
    if (!PumpMessagesAndShow(TextId::ThreadsStarted, lastPump, lastShow, started)) {
      ok = false;
      break;
    }
    if (platform_.TickCount() - t0 > 200) break;
  }
  if (started > before && started >= total && FIsRunEmulation.load(std::memory_order_relaxed)) {
    // Every worker waits at the gate until now: released workers that spun at once would
    // take the processors from this thread, at their own priority, while it releases the
    // rest, so that a release of thousands would need minutes.
    OpenStartGate(total);
    workers_went_on_ = true;
    host_.SetStatusText(LangText(TextId::CpuStressing));
  }
}

void TRunController::RunStressLoop(std::uint32_t startTick, std::uint32_t timeMs, bool& ok,
                                   std::int32_t& started) {
  std::uint32_t lastPump = platform_.TickCount();
  std::uint32_t lastShow = lastPump;
  started = 0;
  FLastShowedThreadNumber = -1;
  ReleaseStressThreads(lastPump, lastShow, started, ok);
  if (started < static_cast<std::int32_t>(FStressThreads.size())) {
    ShowCount(TextId::ThreadsStarted, started);
  }
  // Progress is due once a second from here. Each update is due a second after the
  // previous one was due, not after it came: a pass that comes late (the workers share
  // this thread's priority) does not push every later update back.
  std::uint32_t progressDue = platform_.TickCount() + 1000;
  while (ok && !host_.Terminated()) {
    ReleaseStressThreads(lastPump, lastShow, started, ok);
    platform_.SleepMs(10);
    host_.ProcessMessages();
    const std::uint32_t now = platform_.TickCount();
    const std::uint32_t elapsed = now - startTick;
    if (elapsed >= timeMs || host_.Terminated() || !FIsRunEmulation.load(std::memory_order_relaxed)) {
      break;
    }
    if (static_cast<std::int32_t>(now - progressDue) > 0) {
      host_.SetProgressPosition(elapsed);
      host_.SetTaskbarProgress(elapsed, timeMs);
      host_.SetTitle(PercentTitle(elapsed, timeMs));
      ShowThreadCounterIfChanged(TextId::ThreadsStarted, started);
      // Seconds that passed without a pass are skipped, not made up for.
      do {
        progressDue += 1000;
      } while (static_cast<std::int32_t>(now - progressDue) > 0);
    }
    if (now - host_.dtPrevPercent() >= 1000) host_.UsageCalc();
  }
}

void TRunController::StopStressThreads(std::int32_t started) {
  std::int32_t left = FRealThreadsCount;
  ShowCount(TextId::ThreadsLeftStop, left);
  for (std::int32_t i = started; i < FRealThreadsCount; ++i) {
    platform_.ResumeThread(FStressThreads[static_cast<std::size_t>(i)].Handle);
  }
  // Workers still at the gate see the dropped flag and end at once.
  OpenStartGate(0);
  host_.ShowBusyCursor();
  const std::uint32_t t0 = platform_.TickCount();
  for (;;) {
    bool anyAlive = false;
    for (std::int32_t i = 0; i < FRealThreadsCount; ++i) {
      auto& desc = FStressThreads[static_cast<std::size_t>(i)];
      if (desc.Handle != 0) {
        if (platform_.ThreadIsAlive(desc.Handle)) {
          anyAlive = true;
        } else {
          // The body has returned: joining is immediate, and the worker's record is
          // no longer read by anyone.
          platform_.CloseThread(desc.Handle);
          desc.Handle = 0;
          desc.Thread.reset();
          --left;
        }
      }
      if (platform_.TickCount() - t0 > 1000) {
        host_.ProcessMessages();
        if (host_.Terminated()) {
          host_.RestoreCursor();
          return;
        }
      }
    }
    ShowCount(TextId::ThreadsLeftStop, left);
    if (!anyAlive) break;
    platform_.SleepMs(50);
  }
  host_.RestoreCursor();
}

void TRunController::OpenStartGate(std::int32_t waiting) {
  if (gate_open_) return;
  platform_.OpenStartGate(waiting);
  gate_open_ = true;
}

void TRunController::CloseStressThreads() {
  if (!FStressThreads.empty()) OpenStartGate(0);
  for (auto& desc : FStressThreads) {
    if (desc.Handle != 0) {
      platform_.CloseThread(desc.Handle);
      desc.Handle = 0;
    }
  }
  FStressThreads.clear();
}

}  // namespace velkaro
