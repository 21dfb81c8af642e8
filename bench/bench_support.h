// Measuring helpers shared by the benchmark programs.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/run_controller.h"

namespace velkaro::bench {

double NowMs();  // steady clock, milliseconds
double ProcessCpuMs();
std::uint64_t ResidentKiB();
std::uint64_t PeakResidentKiB();
// The process's threads and its open descriptors (Windows: handles); -1 where the
// system does not tell.
std::int64_t ThreadCount();
std::int64_t OpenHandleCount();
// Processors, processor model and system, in one line.
std::string MachineLine();

// Comma-separated numbers of an argument ("1000,10000"); "max" becomes `max_value`.
std::vector<std::int32_t> ParseCounts(const std::string& text, std::int32_t max_value);

// The latest of many threads' moments, in steady-clock nanoseconds; 0 while none.
class LatestMoment {
 public:
  void Mark();
  double Ms() const;  // on the scale of NowMs
  std::int64_t Ns() const { return ns_.load(); }

 private:
  std::atomic<std::int64_t> ns_{0};
};

// The native platform, every call passed on; a benchmark overrides what it watches.
class ForwardingPlatform : public TEnginePlatform {
 public:
  std::uint32_t TickCount() override { return native_.TickCount(); }
  void SleepMs(std::uint32_t ms) override { native_.SleepMs(ms); }
  bool SetProcessPriorityClass(std::uint32_t value) override {
    return native_.SetProcessPriorityClass(value);
  }
  bool SetCurrentThreadPriority(int value) override { return native_.SetCurrentThreadPriority(value); }
  platform::TPrioritiesApplied SetRunPriorities(std::uint32_t win32_class, int priority) override {
    return native_.SetRunPriorities(win32_class, priority);
  }
  bool PreferShortTimeSlice(bool on) override { return native_.PreferShortTimeSlice(on); }
  TThreadHandle CreateParkedThread(void (*body)(void*), void* context) override {
    return native_.CreateParkedThread(body, context);
  }
  void CloseStartGate() override { native_.CloseStartGate(); }
  void OpenStartGate(std::int32_t waiting) override { native_.OpenStartGate(waiting); }
  void ResumeThread(TThreadHandle handle) override { native_.ResumeThread(handle); }
  bool ThreadIsAlive(TThreadHandle handle) override { return native_.ThreadIsAlive(handle); }
  void CloseThread(TThreadHandle handle) override { native_.CloseThread(handle); }

 protected:
  TEnginePlatform& native_ = NativeEnginePlatform();
};

// The native platform with timestamps of the first and last creation and release, and
// of the moments the workers' bodies began and returned.
class TimedPlatform : public ForwardingPlatform {
 public:
  bool PreferShortTimeSlice(bool on) override {
    return native_.PreferShortTimeSlice(on && short_slice);
  }
  TThreadHandle CreateParkedThread(void (*body)(void*), void* context) override;
  void OpenStartGate(std::int32_t waiting) override;
  void ResumeThread(TThreadHandle handle) override;

  bool short_slice = true;
  std::int32_t expected = 0;  // RSS is read when this many workers exist
  std::int32_t created = 0, resumed = 0;
  double first_create = 0, last_create = 0, first_resume = 0, last_resume = 0;
  // The gate's opening for the run: its call's start and return; other threads wait for
  // gate_opened, which is written last.
  double gate_opening = 0;
  std::int32_t gate_waiting = 0;
  std::atomic<double> gate_opened{0};
  std::uint64_t rss_prepared_kib = 0;
  std::atomic<std::int32_t> running{0}, ended{0};  // bodies begun, bodies returned
  LatestMoment first_start, last_start, last_end;  // first_start: marked by the first body only

 private:
  struct Trampoline {
    void (*body)(void*);
    void* context;
    TimedPlatform* owner;
  };
  static void TimedBody(void* trampoline);

  std::vector<std::unique_ptr<Trampoline>> trampolines_;
};

// A clock read behind a virtual call, for the cost of an indirect call in the spin.
struct SpinClock {
  virtual ~SpinClock() = default;
  virtual std::uint32_t Tick() = 0;
};
// Defined in another translation unit, so that a caller cannot see its type.
SpinClock& OpaqueSpinClock();

// A host that shows nothing and calls `on_messages` on each message pass.
class BenchHost : public TRunHost {
 public:
  void SetStatusText(std::u16string_view) override {}
  void SetProgressMax(std::uint32_t) override {}
  void SetProgressPosition(std::uint32_t) override { updates.push_back(NowMs()); }
  void SetTaskbarProgress(std::uint64_t, std::uint64_t) override {}
  void SetTitle(std::u16string_view) override {}
  void ProcessMessages() override {
    if (on_messages) on_messages();
  }
  bool Terminated() const override { return false; }
  void ShowBusyCursor() override {}
  void RestoreCursor() override {}
  void ShowMessage(std::u16string_view) override {}
  void UsageStart() override;
  void UsageCalc() override;
  std::uint32_t dtPrevPercent() const override { return prev_percent_; }
  void bGoButClick_Stop() override {}

  std::function<void()> on_messages;
  std::vector<double> updates;  // when the once-a-second progress update came

 private:
  std::uint32_t prev_percent_ = 0;
};

}  // namespace velkaro::bench
