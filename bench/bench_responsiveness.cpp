// Responsiveness: with many mono workers at normal priority, the time from a stop
// request to the end of the last worker (and to RunStress's return), and the largest gap between two of the
// controller's once-a-second updates.
//   bench_responsiveness [--counts 2,100,1000,10000] [--stop-after S] [--time S]
//                        [--short-slice 0|1]
// The stop request is due --stop-after seconds after the start; the controller sees it
// at its next message pass, so a late pass counts against the latency.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench_support.h"

namespace velkaro::bench {
namespace {

void Measure(std::int32_t count, std::uint32_t stop_after_ms, std::uint32_t time_ms,
             bool short_slice) {
  TimedPlatform threads;
  threads.short_slice = short_slice;
  BenchHost host;
  TRunController controller(host, threads);
  const double t0 = NowMs();
  const double stop_due = t0 + stop_after_ms;
  double stop_seen = 0;
  std::int32_t running_at_stop = 0;
  double max_pass_gap = 0;
  double last_pass = t0;
  host.on_messages = [&] {
    const double now = NowMs();
    max_pass_gap = std::max(max_pass_gap, now - last_pass);
    last_pass = now;
    if (stop_seen == 0 && now >= stop_due) {
      stop_seen = now;
      running_at_stop = threads.running.load();
      controller.Stop();
    }
  };
  std::u16string error;
  std::int32_t started = 0;
  controller.RunStress(0x20, count, 3, time_ms, TStressStyle::ssMono, error, started);
  const double end = NowMs();
  // updates[0] is the progress reset at the start; the once-a-second updates follow it.
  double max_gap = 0;
  for (std::size_t i = 2; i < host.updates.size(); ++i) {
    max_gap = std::max(max_gap, host.updates[i] - host.updates[i - 1]);
  }
  const double first_update = host.updates.size() < 2 ? -1 : host.updates[1] - t0;
  std::printf("| %6d | %7d | %7d | %9.0f | %8.0f | %8.0f | %9.0f | %7zu | %9.0f | %8.0f | %s\n",
              count, started, running_at_stop, threads.last_create - t0,
              stop_seen != 0 ? stop_seen - stop_due : -1.0,
              stop_seen != 0 ? threads.last_end.Ms() - stop_due : -1.0,
              stop_seen != 0 ? end - stop_due : -1.0, host.updates.size() - (host.updates.empty() ? 0 : 1), first_update, max_gap,
              stop_seen != 0 ? "" : "(stop never seen: run ended at its deadline)");
  std::printf("|        |         | largest gap between message passes: %.0f ms\n", max_pass_gap);
  std::fflush(stdout);
}

}  // namespace
}  // namespace velkaro::bench

int main(int argc, char** argv) {
  using namespace velkaro::bench;
  std::string counts = "2,100,1000,10000";
  std::uint32_t stop_after_s = 6;
  std::uint32_t time_s = 60;
  bool short_slice = true;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--counts") == 0) counts = argv[i + 1];
    if (std::strcmp(argv[i], "--stop-after") == 0) stop_after_s = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    if (std::strcmp(argv[i], "--time") == 0) time_s = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    if (std::strcmp(argv[i], "--short-slice") == 0) short_slice = std::strcmp(argv[i + 1], "0") != 0;
  }
  std::printf("# bench_responsiveness on %s\n", MachineLine().c_str());
  std::printf("# mono workers, normal class and priority; stop due %u s after the start; run time %u s.\n"
              "# started = released by the controller; running = bodies begun when the stop was seen;\n"
              "# late = stop due -> controller saw it (its next message pass); last end = stop due ->\n"
              "# the last worker's body returned; return = stop due -> RunStress returned (with the\n"
              "# stop wait's 50 ms polls); updates = once-a-second progress updates; first = start ->\n"
              "# the first of them (preparation and release included); gap = the largest time\n"
              "# between two of them.\n"
              "# controller thread with a short time slice: %s\n",
              stop_after_s, time_s, short_slice ? "yes" : "no");
  std::printf("| threads | started | running | prepare ms | late ms | last end | return ms | updates | first ms | gap ms |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
  for (const std::int32_t count : ParseCounts(counts, 100000)) {
    Measure(count, stop_after_s * 1000, time_s * 1000, short_slice);
  }
  return 0;
}
