// How quickly the window reacts while it loads the processors: velkaro.exe driven from
// outside as a user would (Enter, Esc), for several thread counts.
//
//   bench_window [--counts 2,100,1000] [--watch 6]
//
// Per count: Enter to the run's caption, the number of progress-bar updates and the
// largest gap between two of them while the run goes on for --watch seconds, and Esc
// to the "Fulfilled threads" status and to the idle caption.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "main_window_driver.h"

namespace {

using velkaro::win32::driver::Clock;
using velkaro::win32::driver::ProgramPath;
using velkaro::win32::driver::Velkaro;
using velkaro::win32::driver::WaitFor;
using namespace velkaro::win32::main_window;
using namespace std::chrono_literals;

constexpr wchar_t kRunCaption[] = L"CPU STRESSING!!!";
constexpr wchar_t kIdleCaption[] = L"Velkaro - Emulator of CPU load";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Measure(const std::wstring& program, int threads, int watch_seconds) {
  Velkaro app(program);
  if (!app.Started() || !WaitFor([&] { return app.Caption() == kIdleCaption; })) {
    std::printf("%8d | velkaro.exe did not start\n", threads);
    return;
  }
  // Long enough to outlast the watch; Esc ends it.
  app.SetRun(0, watch_seconds + 60, threads);
  const auto enter = Clock::now();
  app.PressKey(VK_RETURN);
  if (!WaitFor([&] { return app.Caption() == kRunCaption; }, 60s)) {
    std::printf("%8d | the run did not begin within 60 s\n", threads);
    return;
  }
  const double start_ms = Ms(Clock::now() - enter);

  // The progress bar moves on with every update of the window during the run; the
  // longest wait for a move is the window's worst stall while its workers spin. (The
  // CPU readout may show the same 100.000% every second.)
  int last = app.ProgressPosition();
  auto last_change = Clock::now();
  Clock::duration largest_gap{};
  int updates = 0;
  const auto watch_end = Clock::now() + std::chrono::seconds(watch_seconds);
  while (Clock::now() < watch_end) {
    const int position = app.ProgressPosition();
    if (position != last) {
      const auto at = Clock::now();
      if (updates > 0) largest_gap = std::max(largest_gap, at - last_change);
      last = position;
      last_change = at;
      ++updates;
    }
    std::this_thread::sleep_for(5ms);
  }
  largest_gap = std::max(largest_gap, Clock::now() - last_change);

  const auto esc = Clock::now();
  app.PressKey(VK_ESCAPE);
  const bool stopped = WaitFor(
      [&] { return app.ControlText(kLbState).rfind(L"Fulfilled threads:", 0) == 0; }, 60s);
  const double stop_ms = Ms(Clock::now() - esc);
  const bool idle = WaitFor([&] { return app.Caption() == kIdleCaption; }, 60s);
  const double idle_ms = Ms(Clock::now() - esc);
  std::printf("%8d | %13.0f | %7d | %14.0f | %14s | %12s\n", threads, start_ms, updates,
              Ms(largest_gap), stopped ? std::to_string(static_cast<int>(stop_ms)).c_str() : "-",
              idle ? std::to_string(static_cast<int>(idle_ms)).c_str() : "-");
  app.Close();
  app.ExitCode(20s);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::int32_t> counts{2, 100, 1000};
  int watch_seconds = 6;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--counts") counts = velkaro::bench::ParseCounts(argv[i + 1], 100000);
    if (option == "--watch") watch_seconds = std::max(2, std::atoi(argv[i + 1]));
  }
  std::printf("%s\n", velkaro::bench::MachineLine().c_str());
  const std::wstring program = ProgramPath(VELKARO_EXE_PATH);
  std::printf("velkaro.exe driven through window messages; watch %d s per count\n",
              watch_seconds);
  std::printf("%8s | %13s | %7s | %14s | %14s | %12s\n", "threads", "enter->run ms", "updates",
              "largest gap ms", "esc->status ms", "esc->idle ms");
  for (const std::int32_t threads : counts) Measure(program, threads, watch_seconds);
  return 0;
}
