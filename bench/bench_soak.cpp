// Soak: many engine runs in one process, with random worker counts, rhythms, classes and
// priorities at or below normal, and stops at random points of a run; the process's
// threads, descriptors (Windows: handles) and resident memory at the start, every 100
// runs (--report-every) and at the end, and a verdict on the end against the start.
//   bench_soak [--runs N] [--seed S] [--max-threads N] [--report-every N]
// Exits 1 when the end exceeds the bound it prints, when a run ended otherwise than its
// stop point implies, or when the controller's thread did not keep its setting between runs.
// The controller runs on the main thread, which gets normal class and priority back after
// each run; where the system refuses that (Linux without CAP_SYS_NICE or an RLIMIT_NICE of
// 20), each run has a controller thread of its own, which ends with it.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>

#include "bench_support.h"
#include "platform/threads.h"
#include "support/utf.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace velkaro::bench {
namespace {

constexpr std::uint32_t kNormalClass = 0x20;
// Positions in PriorityClasses and ThreadPriorities up to normal: what any user may set.
constexpr int kHighestClassIndex = kPriorityClassNormalIndex;
constexpr int kHighestPriorityIndex = kThreadPriorityNormalIndex;

// Growth of the end over the start that the verdict allows. The start is taken after a
// warm-up run of the largest count, so the C library's cache of thread stacks and the
// allocator's arenas are in it; what remains is the odd lazily made object of the system.
constexpr std::int64_t kHandleMargin = 2;
constexpr std::int64_t kResidentMarginKiB = 2 * 1024;

// The comb rhythms begin with a sleep of 1 s and 4 s that neither a stop nor the deadline
// cuts short, so that each of their runs lasts that long; they come less often than the others.
constexpr std::array<int, kStressStyleCount> kStyleWeights = {4, 4, 4, 4, 2, 1, 4};
const char* const kStyleNames[kStressStyleCount] = {
    "monotonous", "slightly broken", "quite broken", "roller coaster", "comb", "long comb",
    "down-up"};

// The phases of a run in their order; where a stop lands.
enum class TPhase : std::uint8_t { phPreparing, phReleasing, phRunning, phNone };
constexpr int kPhaseCount = 4;
const char* const kPhaseNames[kPhaseCount] = {"during preparation", "during release",
                                              "during the run", "none (deadline)"};

// The native platform that tells which phase a run is in, and that can stretch the
// preparation and the release: the controller passes its messages every 100 ms, which a
// few hundred workers need far less than to be made or released.
class SoakPlatform : public ForwardingPlatform {
 public:
  TThreadHandle CreateParkedThread(void (*body)(void*), void* context) override {
    Pace(create_pace_ms, created + 1, run_start);
    const TThreadHandle handle = native_.CreateParkedThread(body, context);
    if (handle != 0) ++created;
    return handle;
  }
  void OpenStartGate(std::int32_t waiting) override {
    native_.OpenStartGate(waiting);
    if (waiting > 0) {
      gate_opened = true;
      gate_moment = NowMs();
    }
  }
  void ResumeThread(TThreadHandle handle) override {
    // Only the release counts; the stop wait resumes the rest at once.
    if (!stopping && resumed < created) {
      if (resumed == 0) release_start = NowMs();
      Pace(release_pace_ms, resumed + 1, release_start);
      ++resumed;
    }
    native_.ResumeThread(handle);
  }
  void CloseThread(TThreadHandle handle) override {
    native_.CloseThread(handle);
    ++closed;
  }

  void BeginRun() {
    created = resumed = closed = 0;
    gate_opened = stopping = false;
    run_start = NowMs();
  }
  bool GateOpened() const { return gate_opened; }
  TPhase Phase() const {
    if (gate_opened) return TPhase::phRunning;
    return resumed > 0 ? TPhase::phReleasing : TPhase::phPreparing;
  }
  // From the start of the run to the gate's opening for it.
  double ReadyMs() const { return gate_opened ? gate_moment - run_start : 0; }
  double PhaseStart(TPhase phase) const {
    switch (phase) {
      case TPhase::phPreparing: return run_start;
      case TPhase::phReleasing: return release_start;
      case TPhase::phRunning: return gate_moment;
      case TPhase::phNone: break;
    }
    return run_start;
  }

  double create_pace_ms = 0, release_pace_ms = 0;  // per worker; 0: as fast as it goes
  bool stopping = false;
  std::int32_t created = 0, resumed = 0, closed = 0;

 private:
  // Holds the n-th step until n paces after `start`.
  void Pace(double pace_ms, std::int32_t n, double start) {
    if (pace_ms <= 0 || stopping) return;
    const double wait = start + pace_ms * n - NowMs();
    if (wait > 0) native_.SleepMs(static_cast<std::uint32_t>(std::ceil(wait)));
  }

  bool gate_opened = false;
  double run_start = 0, release_start = 0, gate_moment = 0;
};

// The calling thread's scheduling as the system reports it, for comparison.
struct SchedState {
  int policy_or_class = 0;
  int nice_or_priority = 0;
  bool operator==(const SchedState&) const = default;
};

SchedState CurrentSched() {
#if defined(_WIN32)
  return {static_cast<int>(GetPriorityClass(GetCurrentProcess())),
          GetThreadPriority(GetCurrentThread())};
#else
  return {sched_getscheduler(0), getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()))};
#endif
}

// Whether a thread gets its normal setting back after a run has lowered it. Always on
// Windows; on Linux only with CAP_SYS_NICE or an RLIMIT_NICE of 20, since a raised nice
// value may not come down otherwise. Tried on a thread of its own, which then ends.
bool MayComeBackToNormal() {
  bool back = false;
  std::thread probe([&back] {
    const SchedState normal = CurrentSched();
    platform::SetRunPriorities(PriorityClasses[0], ThreadPriorities[1]);  // idle class, lowest
    const platform::TPrioritiesApplied applied =
        platform::SetRunPriorities(kNormalClass, kThreadPriorityNormal);
    back = applied.process_class && applied.thread_priority && CurrentSched() == normal;
  });
  probe.join();
  return back;
}

struct Figures {
  std::int64_t threads = 0, handles = 0;
  std::uint64_t resident_kib = 0;
};

Figures ReadFigures() { return {ThreadCount(), OpenHandleCount(), ResidentKiB()}; }

const char* HandleWord() {
#if defined(_WIN32)
  return "handles";
#else
  return "descriptors";
#endif
}

std::string Known(std::int64_t value) { return value < 0 ? "n/a" : std::to_string(value); }

void PrintFigures(const char* label, const Figures& f, const Figures* start, double seconds) {
  std::printf("%-28s %7.1f s: threads %s, %s %s, resident %llu KiB", label, seconds,
              Known(f.threads).c_str(), HandleWord(), Known(f.handles).c_str(),
              static_cast<unsigned long long>(f.resident_kib));
  if (start != nullptr) {
    std::printf(" (%+lld KiB)", static_cast<long long>(f.resident_kib) -
                                    static_cast<long long>(start->resident_kib));
  }
  std::printf("\n");
  std::fflush(stdout);
}

struct RunPlan {
  std::int32_t count = 1;
  std::uint32_t time_ms = 20;
  TStressStyle style = TStressStyle::ssMono;
  int class_index = kPriorityClassNormalIndex;
  int priority_index = kThreadPriorityNormalIndex;
  TPhase stop_phase = TPhase::phNone;
  double stop_after_ms = 0;  // into the stop phase
  double create_pace_ms = 0, release_pace_ms = 0;
};

// `ready_ms_per_worker`: what the warm-up took per worker to make and release them all.
RunPlan DrawPlan(std::mt19937& random, std::int32_t max_threads, double ready_ms_per_worker) {
  RunPlan plan;
  plan.count = std::uniform_int_distribution<std::int32_t>(1, max_threads)(random);
  plan.time_ms = std::uniform_int_distribution<std::uint32_t>(20, 300)(random);
  std::discrete_distribution<int> style(kStyleWeights.begin(), kStyleWeights.end());
  plan.style = static_cast<TStressStyle>(style(random));
  plan.class_index = std::uniform_int_distribution<int>(0, kHighestClassIndex)(random);
  plan.priority_index = std::uniform_int_distribution<int>(0, kHighestPriorityIndex)(random);
  plan.stop_phase = static_cast<TPhase>(std::uniform_int_distribution<int>(0, kPhaseCount - 1)(random));
  if (plan.stop_phase == TPhase::phPreparing || plan.stop_phase == TPhase::phReleasing) {
    // Long enough for one message pass or more; the stop comes at the first pass after
    // its moment.
    const double stretch_ms = std::uniform_real_distribution<double>(150, 400)(random);
    plan.stop_after_ms = std::uniform_real_distribution<double>(0, stretch_ms - 110)(random);
    const double pace = stretch_ms / plan.count;
    (plan.stop_phase == TPhase::phPreparing ? plan.create_pace_ms : plan.release_pace_ms) = pace;
    plan.time_ms += static_cast<std::uint32_t>(stretch_ms);  // the deadline stays after it
  }
  if (plan.stop_phase == TPhase::phRunning || plan.stop_phase == TPhase::phNone) {
    // The run's time counts from before the preparation: where making and releasing the
    // workers is slow (Wine), the deadline would otherwise come before any of them ran.
    plan.time_ms += static_cast<std::uint32_t>(std::ceil(1.5 * ready_ms_per_worker * plan.count));
  }
  if (plan.stop_phase == TPhase::phRunning) {
    plan.stop_after_ms = std::uniform_real_distribution<double>(0, plan.time_ms)(random);
  }
  return plan;
}

// How the run should have ended, given where its stop landed.
bool EndAsExpected(TPhase stopped_in, const RunPlan& plan, const TRunController& controller,
                   std::int32_t started, const std::u16string& error, const SoakPlatform& threads) {
  if (!error.empty() || threads.closed != threads.created) return false;
  if (controller.LastRunRequested() != plan.count || controller.LastRunStarted() != started) {
    return false;
  }
  const bool all_made = threads.created == plan.count;
  switch (stopped_in) {
    case TPhase::phNone:
      // A deadline that comes before the last release lets none of the workers run.
      return controller.LastRunEnd() == TRunEnd::reTimeOver && all_made &&
             started == (threads.GateOpened() ? plan.count : 0);
    case TPhase::phPreparing:
      return controller.LastRunEnd() == TRunEnd::reStopped && started == 0;
    case TPhase::phReleasing:  // the released workers wait at the gate: none has run
      return controller.LastRunEnd() == TRunEnd::reStopped && all_made && started == 0;
    case TPhase::phRunning:
      return controller.LastRunEnd() == TRunEnd::reStopped && all_made && started == plan.count;
  }
  return false;
}

int Soak(std::int32_t runs, std::uint32_t seed, std::int32_t max_threads, std::int32_t report_every) {
  const bool main_thread = MayComeBackToNormal();
  std::printf("# bench_soak on %s\n", MachineLine().c_str());
  std::printf(
      "# %d runs, seed %u: 1..%d workers, 20..300 ms, the seven rhythms (weights %d %d %d %d %d %d %d),\n"
      "#   classes and priorities at or below normal; each run stopped at random during its\n"
      "#   preparation, its release or its run, or ended by its deadline. A stop during the\n"
      "#   preparation or the release has it stretched to 150..400 ms, and the run time grows\n"
      "#   by as much; the others grow by 1.5 times the warm-up's time to make and release\n"
      "#   their count of workers.\n",
      runs, seed, max_threads, kStyleWeights[0], kStyleWeights[1], kStyleWeights[2],
      kStyleWeights[3], kStyleWeights[4], kStyleWeights[5], kStyleWeights[6]);
  std::printf("%s", main_thread
                        ? "# controller: the main thread, put back to normal class and priority after each run\n"
                        : "# controller: a thread of its own for each run, since this user may not take back\n"
                          "#   a lowered priority; the main thread keeps its setting\n");
  const double t0 = NowMs();
  PrintFigures("before the warm-up", ReadFigures(), nullptr, 0);

  SoakPlatform threads;
  BenchHost host;
  TRunController controller(host, threads);
  if (main_thread) platform::SetRunPriorities(kNormalClass, kThreadPriorityNormal);
  const SchedState controller_setting = CurrentSched();

  RunPlan plan;
  TPhase stopped_in = TPhase::phNone;
  double stop_moment = 0;
  bool warm_up = true;
  std::int64_t warm_up_threads = -1;  // while all of the warm-up's workers run
  host.on_messages = [&] {
    if (warm_up && warm_up_threads < 0 && threads.Phase() == TPhase::phRunning) {
      warm_up_threads = ThreadCount();
    }
    // The stop wait passes messages too, once the run has ended.
    if (threads.stopping || plan.stop_phase == TPhase::phNone || !controller.IsRunEmulation()) return;
    const TPhase phase = threads.Phase();
    if (phase < plan.stop_phase) return;
    if (phase == plan.stop_phase && NowMs() < threads.PhaseStart(phase) + plan.stop_after_ms) return;
    threads.stopping = true;
    stopped_in = phase;
    stop_moment = NowMs();
    controller.Stop();
  };

  std::array<int, kPhaseCount> stops{};
  std::array<int, kStressStyleCount> style_runs{};
  std::array<double, kStressStyleCount> longest_return{};  // ms from the stop or deadline
  int unexpected = 0;
  int setting_lost = 0;
  std::u16string error;
  std::int32_t started = 0;

  // Runs the plan; returns the time from its stop (or deadline) to RunStress's return.
  auto run_once = [&] {
    threads.BeginRun();
    threads.create_pace_ms = plan.create_pace_ms;
    threads.release_pace_ms = plan.release_pace_ms;
    stopped_in = TPhase::phNone;
    const double begin = NowMs();
    auto body = [&] {
      controller.RunStress(PriorityClasses[static_cast<std::size_t>(plan.class_index)], plan.count,
                           plan.priority_index, plan.time_ms, plan.style, error, started);
      if (main_thread) platform::SetRunPriorities(kNormalClass, kThreadPriorityNormal);
    };
    if (main_thread) {
      body();
    } else {
      std::thread(body).join();
    }
    const double returned = NowMs();
    host.updates.clear();
    return returned - (stopped_in == TPhase::phNone ? begin + plan.time_ms : stop_moment);
  };

  // Warm-up: the largest count at normal priority, stopped once all of its workers run
  // (and have been counted); the deadline only bounds it.
  plan = RunPlan{};
  plan.count = max_threads;
  plan.time_ms = 60000;
  plan.stop_phase = TPhase::phRunning;
  run_once();
  warm_up = false;
  const double ready_ms_per_worker = threads.ReadyMs() / max_threads;
  std::printf("# the warm-up's %d workers running: threads %s; made and released in %.0f ms\n",
              max_threads, Known(warm_up_threads).c_str(), threads.ReadyMs());
  const Figures start = ReadFigures();
  PrintFigures("start (after the warm-up)", start, nullptr, (NowMs() - t0) / 1000);

  std::mt19937 random(seed);
  for (std::int32_t run = 1; run <= runs; ++run) {
    plan = DrawPlan(random, max_threads, ready_ms_per_worker);
    const double late = run_once();
    const auto style = static_cast<std::size_t>(plan.style);
    ++style_runs[style];
    longest_return[style] = std::max(longest_return[style], late);
    ++stops[static_cast<std::size_t>(stopped_in)];
    if (!EndAsExpected(stopped_in, plan, controller, started, error, threads)) {
      ++unexpected;
      std::printf("run %d: %d workers, %s, class %d, priority %d, %u ms, stopped %s: end %d, "
                  "made %d, closed %d, started %d, error \"%s\"\n",
                  run, plan.count, kStyleNames[style], plan.class_index, plan.priority_index,
                  plan.time_ms, kPhaseNames[static_cast<std::size_t>(stopped_in)],
                  static_cast<int>(controller.LastRunEnd()), threads.created, threads.closed,
                  started, ToUtf8(error).c_str());
    }
    if (!(CurrentSched() == controller_setting)) ++setting_lost;
    if (run % report_every == 0 || run == runs) {
      const std::string label = "after run " + std::to_string(run);
      PrintFigures(label.c_str(), ReadFigures(), &start, (NowMs() - t0) / 1000);
    }
  }
  const Figures end = ReadFigures();

  std::printf("stops: ");
  for (int i = 0; i < kPhaseCount; ++i) {
    std::printf("%s%s %d", i > 0 ? ", " : "", kPhaseNames[i], stops[static_cast<std::size_t>(i)]);
  }
  std::printf("\nrhythms (runs, longest time from the stop or deadline to RunStress's return):\n");
  for (int i = 0; i < kStressStyleCount; ++i) {
    std::printf("  %-16s %4d  %6.0f ms\n", kStyleNames[i], style_runs[static_cast<std::size_t>(i)],
                longest_return[static_cast<std::size_t>(i)]);
  }
  std::printf("runs that ended otherwise than their stop implies: %d\n", unexpected);
  std::printf("runs after which the controller's thread had another setting: %d\n", setting_lost);

  const bool threads_ok = end.threads == start.threads;
  const bool handles_ok = end.handles <= start.handles + kHandleMargin;
  const bool resident_ok = end.resident_kib <= start.resident_kib + kResidentMarginKiB;
  const bool pass = threads_ok && handles_ok && resident_ok && unexpected == 0 && setting_lost == 0;
  std::printf("verdict: %s: threads %s (start %s, must be equal), %s %s (start %s, at most +%lld), "
              "resident %llu KiB (start %llu, at most +%lld KiB)\n",
              pass ? "PASS" : "FAIL", Known(end.threads).c_str(), Known(start.threads).c_str(),
              HandleWord(), Known(end.handles).c_str(), Known(start.handles).c_str(),
              static_cast<long long>(kHandleMargin), static_cast<unsigned long long>(end.resident_kib),
              static_cast<unsigned long long>(start.resident_kib),
              static_cast<long long>(kResidentMarginKiB));
  return pass ? 0 : 1;
}

}  // namespace
}  // namespace velkaro::bench

int main(int argc, char** argv) {
  std::int32_t runs = 1000;
  std::uint32_t seed = 1;
  std::int32_t max_threads = 500;
  std::int32_t report_every = 100;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--report-every") == 0) report_every = std::stoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::stoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--seed") == 0) seed = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    if (std::strcmp(argv[i], "--max-threads") == 0) max_threads = std::stoi(argv[i + 1]);
  }
  return velkaro::bench::Soak(runs, seed, std::clamp(max_threads, 1, 500), std::max(report_every, 1));
}
