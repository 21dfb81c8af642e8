// One worker of a stress run: it spins on the tick counter until the run's deadline
// and shapes the load by sleeping or changing its own priority in one of seven rhythms.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace velkaro {

// The rhythm; the value is the item position of the rhythm list.
enum class TStressStyle : std::uint8_t {
  ssMono = 0,
  ssSlightlyBrokenRhythm = 1,
  ssQuiteBrokenRhythm = 2,
  ssRollerCoasterRhythm = 3,
  ssCombRhythm = 4,
  ssLongCombRhythm = 5,
  ssDownUp = 6,
};
inline constexpr int kStressStyleCount = 7;

// Win32 thread priorities by the item position of the thread priority list; the
// platform layer maps them onto the running system.
inline constexpr std::array<int, 7> ThreadPriorities = {-15, -2, -1, 0, 1, 2, 15};
inline constexpr int kThreadPriorityNormal = 0;
inline constexpr int kThreadPriorityNormalIndex = 3;

// Win32 priority classes by the item position of the process priority list.
inline constexpr std::array<std::uint32_t, 6> PriorityClasses = {
    0x40, 0x4000, 0x20, 0x8000, 0x80, 0x100};
inline constexpr int kPriorityClassNormalIndex = 2;

// The fixed part of a worker, written before the worker is released.
struct TStressParams {
  const std::atomic<bool>* FPIsRunEmulation = nullptr;
  int FMainPriority = kThreadPriorityNormal;
  int FCurMainPriorityIndex = kThreadPriorityNormalIndex;
  TStressStyle FStyle = TStressStyle::ssMono;
  std::uint32_t FStressLastTime = 0;  // start tick + duration, modulo 2^32
};

// The state a rhythm carries from one step to the next.
struct TRhythmState {
  std::uint32_t NextStepTick = 0;
  bool Toggle = false;
  bool DownUpShrinking = false;
  int DownUpSleep = 0;
  // The timed rhythms' slots are counted from the tick of their first slot, so that
  // sleeps that end late and steps that run a tick late never add up over a run.
  bool SlotsBegun = false;
  std::uint32_t SlotStart = 0;  // start of the current slot (comb: of its idle half)
};

// Worker operations over a platform `P` that provides
//   std::uint32_t TickCount();  void SleepMs(std::uint32_t);
//   void SetThreadPriority(int win32_priority);  std::uint32_t Random(std::uint32_t n);
//   void Randomize();
// A template rather than an interface, so that the spin loop stays a plain loop.
template <class P>
class TStressWorker {
 public:
  TStressWorker(const TStressParams& params, P& platform) : p_(params), platform_(platform) {}

  // The thread body: returns at the deadline or when the run flag drops.
  void Execute() {
    if (!RunFlag()) return;
    if (platform_.TickCount() > p_.FStressLastTime) return;
    platform_.SetThreadPriority(p_.FMainPriority);
    platform_.Randomize();
    state_ = TRhythmState{};
    for (;;) {
      if (p_.FStyle != TStressStyle::ssMono && platform_.TickCount() > state_.NextStepTick) {
        Step();
      }
      if (!RunFlag()) return;
      if (platform_.TickCount() > p_.FStressLastTime) return;
    }
  }

  void StepBrokenRhythm(bool quite) {
    state_.Toggle = !state_.Toggle;
    if (state_.Toggle) {
      platform_.SetThreadPriority(p_.FMainPriority);
    } else if (quite) {
      const auto below = static_cast<std::uint32_t>(p_.FCurMainPriorityIndex < 0 ? 0 : p_.FCurMainPriorityIndex);
      const std::uint32_t index = platform_.Random(below);
      platform_.SetThreadPriority(ThreadPriorities[index < ThreadPriorities.size() ? index : 0]);
    } else {
      platform_.SetThreadPriority(kThreadPriorityNormal);
    }
    state_.NextStepTick = platform_.TickCount() + platform_.Random(3000);
  }

  void StepRollerCoaster() {
    state_.Toggle = !state_.Toggle;
    if (!state_.Toggle) platform_.SleepMs(platform_.Random(1000));
    state_.NextStepTick = platform_.TickCount() + platform_.Random(1000);
  }

  void StepComb(bool long_comb) {
    const std::uint32_t half_period = long_comb ? 4000 : 1000;
    state_.Toggle = !state_.Toggle;
    if (!state_.Toggle) {
      const std::uint32_t now = BeginSlot();
      SleepUntil(state_.SlotStart + half_period, now);
      state_.SlotStart += 2 * half_period;
      state_.NextStepTick = state_.SlotStart;
    }
  }

  void StepDownUp() {
    if (state_.DownUpShrinking) {
      state_.DownUpSleep -= 200;
      if (state_.DownUpSleep < 0) {
        state_.DownUpSleep = 200;
        state_.DownUpShrinking = false;
      }
    } else {
      state_.DownUpSleep += 200;
      if (state_.DownUpSleep > 1000) {
        state_.DownUpSleep = 800;
        state_.DownUpShrinking = true;
      }
    }
    const std::uint32_t now = BeginSlot();
    SleepUntil(state_.SlotStart + static_cast<std::uint32_t>(state_.DownUpSleep), now);
    state_.SlotStart += 1000;
    state_.NextStepTick = state_.SlotStart;
  }

  const TRhythmState& State() const { return state_; }

 private:
  bool RunFlag() const { return p_.FPIsRunEmulation->load(std::memory_order_relaxed); }

  // The present tick; the first slot of the rhythm starts at it.
  std::uint32_t BeginSlot() {
    const std::uint32_t now = platform_.TickCount();
    if (!state_.SlotsBegun) {
      state_.SlotsBegun = true;
      state_.SlotStart = now;
    }
    return now;
  }

  // Sleeps until the tick `until`; not at all once it has passed (a worker that fell
  // behind catches up by shortening its idle time, not by moving its slots).
  void SleepUntil(std::uint32_t until, std::uint32_t now) {
    const auto ahead = static_cast<std::int32_t>(until - now);
    if (ahead > 0) platform_.SleepMs(static_cast<std::uint32_t>(ahead));
  }

  void Step() {
    switch (p_.FStyle) {
      case TStressStyle::ssSlightlyBrokenRhythm: StepBrokenRhythm(false); break;
      case TStressStyle::ssQuiteBrokenRhythm: StepBrokenRhythm(true); break;
      case TStressStyle::ssRollerCoasterRhythm: StepRollerCoaster(); break;
      case TStressStyle::ssCombRhythm: StepComb(false); break;
      case TStressStyle::ssLongCombRhythm: StepComb(true); break;
      case TStressStyle::ssDownUp: StepDownUp(); break;
      case TStressStyle::ssMono: break;
    }
  }

  const TStressParams& p_;
  P& platform_;
  TRhythmState state_;
};

// A worker of a real run. The controller owns it for the whole run, so a worker
// never frees memory that the controller still reads.
class TStressThread {
 public:
  TStressThread(const std::atomic<bool>* pIsRunEmulation, int iMainPriority,
                int iCurMainPriorityIndex, TStressStyle iStyle, std::uint32_t iStressStartTime,
                std::uint32_t iTime);

  // The OS thread's entry: `context` is the TStressThread.
  static void ThreadEntry(void* context);
  void Execute();

  const TStressParams& Params() const { return params_; }

 private:
  TStressParams params_;
};

}  // namespace velkaro
