// Shape: the processor time of one worker over whole periods of its rhythm against
// the ideal busy share, and the mean share of the random rhythms against its expected
// value. Also the cost of the spin loop with direct and with virtual platform calls.
//   bench_shape [--periods N] [--random-seconds S] [--workers N] [--spin-ms MS]
//               [--only "roller coaster"]
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench_support.h"
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

void MeasureShape(const ShapeCase& c, std::uint32_t time_ms, std::int32_t workers) {
  BenchHost host;
  TRunController controller(host);
  std::u16string error;
  std::int32_t started = 0;
  const double cpu0 = ProcessCpuMs();
  const double t0 = NowMs();
  controller.RunStress(0x20, workers, 3, time_ms, c.style, error, started);
  const double wall = NowMs() - t0;
  const double cpu = ProcessCpuMs() - cpu0;
  const double share = cpu / (static_cast<double>(time_ms) * workers);
  std::printf("| %-15s | %7u | %7.0f | %6.1f %% | %6.1f %% | %+6.2f |\n", c.name, time_ms, wall,
              100.0 * share, 100.0 * c.ideal, 100.0 * (share - c.ideal));
  std::fflush(stdout);
}

// The spin loop with the platform as a template parameter (as in production) and the
// same loop through a virtual interface.
struct SpinClock {
  virtual ~SpinClock() = default;
  virtual std::uint32_t Tick() = 0;
};
struct NativeSpinClock final : SpinClock {
  std::uint32_t Tick() override { return platform::TickCount(); }
};

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
  SpinClock* clock;
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
  std::string only;
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
  }
  std::printf("# bench_shape on %s\n", MachineLine().c_str());
  std::printf("# %d worker(s), normal class and priority; busy share = process CPU time /\n"
              "# (run time x workers); periodic rhythms over %u whole period(s), random ones over %u s\n",
              workers, periods, random_seconds);
  std::printf("| rhythm          | time ms | wall ms | share    | ideal    | points |\n");
  std::printf("|---|---|---|---|---|---|\n");
  for (const auto& c : kCases) {
    if (!only.empty() && only != c.name) continue;
    const std::uint32_t time_ms = c.period_ms != 0 ? c.period_ms * periods : random_seconds * 1000;
    MeasureShape(c, time_ms, workers);
  }
  if (spin_ms > 0) {
    DirectPlatform direct;
    NativeSpinClock native_clock;
    VirtualPlatform through_virtual{&native_clock};
    const double a = SpinReadsPerMicrosecond(direct, spin_ms);
    const double b = SpinReadsPerMicrosecond(through_virtual, spin_ms);
    std::printf("# spin loop, tick reads per microsecond: template %.1f, virtual %.1f (%.1f %% fewer)\n",
                a, b, 100.0 * (a - b) / a);
  }
  return 0;
}
