// Shape: the processor time of one worker over whole periods of its rhythm against
// the ideal busy share, and the mean share of the random rhythms against its expected
// value. Also the cost of the spin loop with direct and with virtual platform calls.
//   bench_shape [--periods N] [--random-seconds S] [--workers N] [--spin-ms MS]
//               [--only "roller coaster"] [--simulate-ms MS] [--priority INDEX]
// --priority: the thread priority's list position, 0 (idle) to 6 (time critical; on
// Linux as root a real-time level, which other programs' ordinary threads cannot take
// the processor from); default 3 (normal).
// --simulate-ms also runs the roller coaster on a simulated clock for that long (at most
// 4,000,000,000) and prints its mean and the spread of 60-second runs.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench_support.h"
#include "engine/native_worker_platform.h"
#include "platform/clock.h"

namespace velkaro::bench {
namespace {

struct ShapeCase {
  const char* name;
  TStressStyle style;
  std::uint32_t period_ms;  // 0: a random rhythm, measured over --random-seconds
  double ideal;             // busy share, 0..1
};

// Roller coaster: per pair of steps a spin of one draw, a sleep of one draw and a spin
// of another, each uniform in 0..999 ms: busy 2 x 499.5 of 1498.5 ms.
const ShapeCase kCases[] = {
    {"mono", TStressStyle::ssMono, 2000, 1.0},
    {"comb", TStressStyle::ssCombRhythm, 2000, 0.5},
    {"long comb", TStressStyle::ssLongCombRhythm, 8000, 0.5},
    {"down-up", TStressStyle::ssDownUp, 10000, 0.5},
    {"slightly broken", TStressStyle::ssSlightlyBrokenRhythm, 0, 1.0},
    {"quite broken", TStressStyle::ssQuiteBrokenRhythm, 0, 1.0},
    {"roller coaster", TStressStyle::ssRollerCoasterRhythm, 0, 999.0 / 1498.5},
};

void MeasureShape(const ShapeCase& c, std::uint32_t time_ms, std::int32_t workers,
                  std::int32_t priority_index) {
  BenchHost host;
  TRunController controller(host);
  std::u16string error;
  std::int32_t started = 0;
  const double cpu0 = ProcessCpuMs();
  const double t0 = NowMs();
  controller.RunStress(0x20, workers, priority_index, time_ms, c.style, error, started);
  const double wall = NowMs() - t0;
  const double cpu = ProcessCpuMs() - cpu0;
  // Over the run's own time and over the wall time measured around RunStress, which
  // also holds the creation and the stop wait.
  const double share = cpu / (static_cast<double>(time_ms) * workers);
  const double wall_share = cpu / (wall * workers);
  std::printf("| %-15s | %7u | %7.0f | %6.2f %% | %6.2f %% | %6.1f %% | %+6.2f | %+6.2f |\n", c.name,
              time_ms, wall, 100.0 * share, 100.0 * wall_share, 100.0 * c.ideal,
              100.0 * (share - c.ideal), 100.0 * (wall_share - c.ideal));
  std::fflush(stdout);
}

// The spin loop with the platform as a template parameter (as in production) and the
// same loop reading the clock through a virtual call on an object of another
// translation unit, which the compiler cannot see through (the build has no link-time
// optimisation), so the call stays indirect.
struct DirectPlatform {
  std::uint64_t reads = 0;
  std::uint32_t TickCount() {
    ++reads;
    return platform::TickCount();
  }
  void SleepMs(std::uint32_t ms) { platform::SleepMs(ms); }
  void SetThreadPriority(int) {}
  void Randomize() {}
  std::uint32_t Random(std::uint32_t) { return 0; }
};
struct VirtualPlatform {
  SpinClock* clock;  // OpaqueSpinClock()
  std::uint64_t reads = 0;
  std::uint32_t TickCount() {
    ++reads;
    return clock->Tick();
  }
  void SleepMs(std::uint32_t ms) { platform::SleepMs(ms); }
  void SetThreadPriority(int) {}
  void Randomize() {}
  std::uint32_t Random(std::uint32_t) { return 0; }
};

// The roller coaster on a simulated clock that moves 1 ms per tick read and by the
// length of each sleep, with the production generator: its busy share is the time not
// asleep.
struct SimPlatform {
  std::uint32_t now = 0;
  std::uint64_t slept = 0;
  TNativeWorkerPlatform generator;
  std::uint32_t TickCount() { return now++; }
  void SleepMs(std::uint32_t ms) {
    now += ms;
    slept += ms;
  }
  void SetThreadPriority(int) {}
  void Randomize() { generator.Randomize(); }
  std::uint32_t Random(std::uint32_t n) { return generator.Random(n); }
};

double SimulatedShare(std::uint32_t ms) {
  std::atomic<bool> run{true};
  SimPlatform sim;
  TStressParams params{&run, 0, 3, TStressStyle::ssRollerCoasterRhythm, ms};
  TStressWorker<SimPlatform>(params, sim).Execute();
  return 1.0 - static_cast<double>(sim.slept) / static_cast<double>(sim.now);
}

// The mean over `total_ms` and the spread of `runs` runs of `run_ms`.
void SimulateRollerCoaster(std::uint32_t total_ms, std::uint32_t run_ms, int runs) {
  const double ideal = 999.0 / 1498.5;
  const double mean = SimulatedShare(total_ms);
  double sum = 0, sum2 = 0, low = 1, high = 0;
  for (int i = 0; i < runs; ++i) {
    const double share = SimulatedShare(run_ms);
    sum += share;
    sum2 += share * share;
    low = std::min(low, share);
    high = std::max(high, share);
  }
  const double run_mean = sum / runs;
  const double sd = std::sqrt(std::max(0.0, sum2 / runs - run_mean * run_mean));
  std::printf("# roller coaster simulated (worker code, production generator, simulated clock):\n"
              "#   over %u ms: %.3f %% (ideal %.3f %%, %+.3f points)\n"
              "#   %d runs of %u ms: mean %.2f %%, %.2f to %.2f %%, standard deviation %.2f points;\n"
              "#   a real run needs about %.0f worker-seconds for a standard error of 0.33 point\n",
              total_ms, 100.0 * mean, 100.0 * ideal, 100.0 * (mean - ideal), runs, run_ms,
              100.0 * run_mean, 100.0 * low, 100.0 * high, 100.0 * sd,
              std::pow(100.0 * sd / 0.33, 2) * run_ms / 1000.0);
}

template <class P>
double SpinReadsPerMicrosecond(P& p, std::uint32_t ms) {
  std::atomic<bool> run{true};
  const std::uint32_t start = platform::TickCount();
  TStressParams params{&run, 0, 3, TStressStyle::ssMono, start + ms};
  const double t0 = NowMs();
  TStressWorker<P>(params, p).Execute();
  return static_cast<double>(p.reads) / ((NowMs() - t0) * 1000.0);
}

}  // namespace
}  // namespace velkaro::bench

int main(int argc, char** argv) {
  using namespace velkaro::bench;
  std::uint32_t periods = 2;
  std::uint32_t random_seconds = 20;
  std::int32_t workers = 1;
  std::uint32_t spin_ms = 1000;
  std::uint32_t simulate_ms = 0;
  std::string only;
  std::int32_t priority_index = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--only") == 0) {
      only = argv[i + 1];
      continue;
    }
    const auto value = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    if (std::strcmp(argv[i], "--periods") == 0) periods = value;
    if (std::strcmp(argv[i], "--random-seconds") == 0) random_seconds = value;
    if (std::strcmp(argv[i], "--workers") == 0) workers = static_cast<std::int32_t>(value);
    if (std::strcmp(argv[i], "--spin-ms") == 0) spin_ms = value;
    if (std::strcmp(argv[i], "--simulate-ms") == 0) simulate_ms = value;
    if (std::strcmp(argv[i], "--priority") == 0) priority_index = static_cast<std::int32_t>(std::min(value, 6u));
  }
  std::printf("# bench_shape on %s\n", MachineLine().c_str());
  std::printf("# %d worker(s), normal class, thread priority %d (win32 %d); busy share = process CPU time /\n"
              "# (run time x workers), and the same over the wall time measured around RunStress;\n"
              "# periodic rhythms over %u whole period(s), random ones over %u s\n",
              workers, priority_index, velkaro::ThreadPriorities[static_cast<std::size_t>(priority_index)],
              periods, random_seconds);
  std::printf("| rhythm | time ms | wall ms | share of time | share of wall | ideal | points (time) | points (wall) |\n");
  std::printf("|---|---|---|---|---|---|---|---|\n");
  for (const auto& c : kCases) {
    if (!only.empty() && only != c.name) continue;
    const std::uint32_t time_ms = c.period_ms != 0 ? c.period_ms * periods : random_seconds * 1000;
    MeasureShape(c, time_ms, workers, priority_index);
  }
  if (simulate_ms > 0) SimulateRollerCoaster(simulate_ms, 60000, 12);
  if (spin_ms > 0) {
    DirectPlatform direct;
    VirtualPlatform through_virtual{&OpaqueSpinClock()};
    const double a = SpinReadsPerMicrosecond(direct, spin_ms);
    const double b = SpinReadsPerMicrosecond(through_virtual, spin_ms);
    std::printf("# spin loop, tick reads per microsecond: template %.1f, virtual %.1f (%.1f %% fewer)\n",
                a, b, 100.0 * (a - b) / a);
  }
  return 0;
}
