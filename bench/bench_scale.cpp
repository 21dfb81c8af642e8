// Scale: preparation, release and stop of many mono workers, and their resident
// memory, beside plain threads with the same small stacks (the floor).
//   bench_scale [--counts 1000,10000,max] [--time SECONDS] [--margin N] [--over-limit 0|1]
//               [--floor 0|1] [--tree 0|1] [--hold SECONDS] [--raise-limits 0|1]
// --hold: how long the engine's workers run after they went on before the stop.
// --raise-limits 1 (Linux, as root): raises kernel.pid_max, kernel.threads-max and
// vm.max_map_count for 100,000 threads and the process limit, prints what it set, and
// puts them back at the end.
// "max" is the most threads the system allows (found by creating plain threads until
// creation fails, up to 100,000) minus the margin; with "max", a last run asks for 1,000
// more than the limit to show the failure and the limit named.
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "engine/reached_limit.h"
#include "platform/thread_limits.h"
#include "support/utf.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <linux/futex.h>
#include <pthread.h>
#include <dirent.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace velkaro::bench {
namespace {

constexpr std::int32_t kMaxThreads = 100000;
constexpr std::size_t kStack = 64 * 1024;

struct RawShared {
  std::atomic<std::uint32_t> go{0};
  std::atomic<bool> run{true};
  std::atomic<std::int32_t> started{0};
  LatestMoment last_start, last_end;

  void Began() {
    last_start.Mark();
    started.fetch_add(1);
  }
};

#if defined(_WIN32)
using RawThread = HANDLE;

DWORD WINAPI RawBody(LPVOID argument) {
  auto* shared = static_cast<RawShared*>(argument);
  shared->Began();
  while (shared->run.load(std::memory_order_relaxed)) {
  }
  shared->last_end.Mark();
  return 0;
}
bool RawCreate(RawShared& shared, RawThread& thread) {
  thread = CreateThread(nullptr, kStack, RawBody, &shared,
                        CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  return thread != nullptr;
}
void RawRelease(RawShared&, std::vector<RawThread>& threads) {
  for (HANDLE thread : threads) ResumeThread(thread);
}
void RawJoin(RawThread thread) {
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}
#else
using RawThread = pthread_t;

void* RawBody(void* argument) {
  auto* shared = static_cast<RawShared*>(argument);
  while (shared->go.load(std::memory_order_acquire) == 0) {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&shared->go), FUTEX_WAIT_PRIVATE, 0,
            nullptr, nullptr, 0);
  }
  shared->Began();
  while (shared->run.load(std::memory_order_relaxed)) {
  }
  shared->last_end.Mark();
  return nullptr;
}
bool RawCreate(RawShared& shared, RawThread& thread) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kStack);
  const int result = pthread_create(&thread, &attr, RawBody, &shared);
  pthread_attr_destroy(&attr);
  return result == 0;
}
void RawRelease(RawShared& shared, std::vector<RawThread>&) {
  shared.go.store(1, std::memory_order_release);
  syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&shared.go), FUTEX_WAKE_PRIVATE, INT_MAX,
          nullptr, nullptr, 0);
}
void RawJoin(RawThread thread) { pthread_join(thread, nullptr); }
#endif

// Runs `measure` in a child process where the system allows it, so that each
// measurement starts from a fresh process (no cached stacks, no grown heap).
template <class F>
void Isolated(F measure) {
  std::fflush(stdout);
#if defined(_WIN32)
  measure();
#else
  const pid_t child = fork();
  if (child == 0) {
    measure();
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
#endif
}

std::string Fixed1(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// Waits until every one of `count` threads has begun or `wait_ms` have passed.
void WaitForAll(const RawShared& shared, std::int32_t count, std::uint32_t wait_ms) {
  const double until = NowMs() + wait_ms;
  while (shared.started.load() < count && NowMs() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// `ran` is the number of bodies begun when the stop was requested.
void PrintRawRow(const char* kind, std::int32_t created, double prepare_ms, double kib,
                 double release_from, double release_to, const RawShared& shared,
                 std::int32_t ran, double stop_request, double joined) {
  const bool all_ran = ran == created;
  std::printf(
      "| %7d | %s | %9.1f | %6.1f | %8.2f | %9.1f | %10s | %9s | %8.1f | %9.1f | %9llu |\n",
      created, kind, prepare_ms, prepare_ms * 1000.0 / created, kib, release_to - release_from,
      all_ran ? Fixed1(shared.last_start.Ms() - release_from).c_str()
              : (std::to_string(ran) + " ran").c_str(),
      all_ran ? Fixed1(stop_request - shared.last_start.Ms()).c_str() : "-",
      shared.last_end.Ms() - stop_request, joined - stop_request,
      static_cast<unsigned long long>(PeakResidentKiB() / 1024));
}

// Plain threads: create all parked, release all with one wake, wait until all run (at
// most `wait_ms`), drop the flag.
void MeasureRaw(std::int32_t count, std::uint32_t wait_ms, bool probe_only) {
  RawShared shared;
  std::vector<RawThread> threads;
  threads.reserve(static_cast<std::size_t>(count));
  const std::uint64_t rss_before = ResidentKiB();
  const double t0 = NowMs();
  for (std::int32_t i = 0; i < count; ++i) {
    RawThread thread{};
    if (!RawCreate(shared, thread)) break;
    threads.push_back(thread);
  }
  const double t1 = NowMs();
  const std::uint64_t rss_prepared = ResidentKiB();
  const auto created = static_cast<std::int32_t>(threads.size());
  if (probe_only) {
    shared.run = false;
    RawRelease(shared, threads);
    for (RawThread thread : threads) RawJoin(thread);
    std::printf("PROBE %d %.1f\n", created, t1 - t0);
    return;
  }
  const double t2 = NowMs();
  RawRelease(shared, threads);
  const double t3 = NowMs();
  WaitForAll(shared, created, wait_ms);
  const std::int32_t ran = shared.started.load();
  const double stop_request = NowMs();
  shared.run = false;
  for (RawThread thread : threads) RawJoin(thread);
  PrintRawRow("floor ", created, t1 - t0, static_cast<double>(rss_prepared - rss_before) / created,
              t2, t3, shared, ran, stop_request, NowMs());
}

#if !defined(_WIN32)
// Plain threads woken along a binary tree: the releasing thread wakes the first, and
// each woken thread wakes two more before it spins, so the release needs one wake of
// the releasing thread and then only the woken threads' own time.
struct TreeNode {
  std::atomic<std::uint32_t> go{0};
  RawShared* shared = nullptr;
  TreeNode* next[2] = {nullptr, nullptr};
  pthread_t thread{};
};

void TreeWake(TreeNode* node) {
  node->go.store(1, std::memory_order_release);
  syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&node->go), FUTEX_WAKE_PRIVATE, 1, nullptr,
          nullptr, 0);
}

void* TreeBody(void* argument) {
  auto* node = static_cast<TreeNode*>(argument);
  while (node->go.load(std::memory_order_acquire) == 0) {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&node->go), FUTEX_WAIT_PRIVATE, 0,
            nullptr, nullptr, 0);
  }
  for (TreeNode* next : node->next) {
    if (next != nullptr) TreeWake(next);
  }
  RawShared& shared = *node->shared;
  shared.Began();
  while (shared.run.load(std::memory_order_relaxed)) {
  }
  shared.last_end.Mark();
  return nullptr;
}

void MeasureTree(std::int32_t count, std::uint32_t wait_ms) {
  RawShared shared;
  std::vector<TreeNode> nodes(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    nodes[i].shared = &shared;
    for (std::size_t k = 0; k < 2; ++k) {
      const std::size_t child = 2 * i + 1 + k;
      if (child < nodes.size()) nodes[i].next[k] = &nodes[child];
    }
  }
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kStack);
  const std::uint64_t rss_before = ResidentKiB();
  const double t0 = NowMs();
  std::int32_t created = 0;
  for (TreeNode& node : nodes) {
    if (pthread_create(&node.thread, &attr, TreeBody, &node) != 0) break;
    ++created;
  }
  pthread_attr_destroy(&attr);
  const double t1 = NowMs();
  const std::uint64_t rss_prepared = ResidentKiB();
  if (created != count) {
    std::printf("| %7d | tree   | only %d threads created |\n", count, created);
    shared.run = false;
    for (TreeNode& node : nodes) TreeWake(&node);
    for (std::int32_t i = 0; i < created; ++i) pthread_join(nodes[static_cast<std::size_t>(i)].thread, nullptr);
    return;
  }
  const double t2 = NowMs();
  TreeWake(&nodes[0]);
  const double t3 = NowMs();
  WaitForAll(shared, count, wait_ms);
  const std::int32_t ran = shared.started.load();
  const double stop_request = NowMs();
  shared.run = false;
  for (TreeNode& node : nodes) TreeWake(&node);  // those the tree has not reached yet
  for (TreeNode& node : nodes) pthread_join(node.thread, nullptr);
  PrintRawRow("tree  ", created, t1 - t0, static_cast<double>(rss_prepared - rss_before) / created,
              t2, t3, shared, ran, stop_request, NowMs());
}
#endif

#if !defined(_WIN32)
// Threads of this process that are running or ready to run, read from /proc; the
// calling thread is not counted.
std::int32_t CountRunnableThreads() {
  std::int32_t runnable = 0;
  const std::string self = std::to_string(gettid());
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return -1;
  while (const dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] == '.' || self == entry->d_name) continue;
    const std::string path = std::string("/proc/self/task/") + entry->d_name + "/stat";
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) continue;
    char line[512] = {};
    const bool got = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    const char* paren = got ? std::strrchr(line, ')') : nullptr;
    if (paren != nullptr && paren[1] == ' ' && paren[2] == 'R') ++runnable;
  }
  closedir(tasks);
  return runnable;
}

// The measuring thread runs above the workers where the system allows it (as root), so
// that what it reads is not delayed by them.
bool RaiseMeasuringThread() {
  sched_param param{};
  param.sched_priority = 1;
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}
#endif

// The engine: mono workers through TRunController. A measuring thread waits until the
// first worker's body begins (the woken workers go on from the gate), counts the
// runnable threads 100 ms later, and requests the stop `hold_ms` after that moment.
void MeasureEngine(std::int32_t count, std::uint32_t time_ms, std::uint32_t hold_ms) {
  TimedPlatform threads;
  threads.expected = count;
  BenchHost host;
  TRunController controller(host, threads);
  std::atomic<double> stop_request{0};
  std::atomic<bool> done{false};
  std::int32_t runnable = -1;
  std::int32_t running_at_stop = 0;
  bool raised = false;
  double go_on = 0;
  std::thread measuring([&] {
#if !defined(_WIN32)
    raised = RaiseMeasuringThread();
#endif
    // The first body begins when the woken workers go on from the gate.
    while (!done.load() && threads.first_start.Ns() == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (done.load()) return;
    go_on = threads.first_start.Ms();
    const auto sleep_until = [&](double ms) {
      while (!done.load() && NowMs() < ms) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    sleep_until(go_on + 100);
#if !defined(_WIN32)
    if (!done.load()) runnable = CountRunnableThreads();
#endif
    sleep_until(go_on + hold_ms);
    if (done.load()) return;
    running_at_stop = threads.running.load();
    stop_request = NowMs();
    controller.Stop();
  });
  std::u16string error;
  std::int32_t started = 0;
  const std::uint64_t rss_before = ResidentKiB();
  const double t0 = NowMs();
  controller.RunStress(0x20, count, 3, time_ms, TStressStyle::ssMono, error, started);
  const double t_end = NowMs();
  done = true;
  measuring.join();
  if (!error.empty()) {
    const auto* limit = LikelyReachedThreadLimit(controller.ThreadLimitsAtFailure());
    std::printf("| %7d | engine | failed: %s (limit: %s) |\n", count, ToUtf8(error).c_str(),
                limit ? std::string(limit->name).c_str() : "not named");
    return;
  }
  const double prepare = threads.last_create - t0;
  const double kib = static_cast<double>(threads.rss_prepared_kib - rss_before) / count;
  if (stop_request.load() == 0) {
    std::printf("| %7d | engine | %9.1f | %6.1f | %8.2f | the run ended at its %u s deadline with %d of %d"
                " started, the gate %s |\n",
                count, prepare, prepare * 1000.0 / count, kib, time_ms / 1000, started, count,
                threads.gate_opened.load() == 0 ? "never opened for the run" : "opened");
    return;
  }
  const double stop = stop_request.load();
  std::printf(
      "| %7d | engine | %9.1f | %6.1f | %8.2f | %9.1f | %7.1f | %7.1f | %8s | %6d in %5.0f | %8.1f | %9.1f | %9llu |%s\n",
      count, prepare, prepare * 1000.0 / count, kib, threads.last_resume - threads.first_resume,
      threads.gate_opened.load() - threads.gate_opening, go_on - threads.first_resume,
      runnable < 0 ? "-" : std::to_string(runnable).c_str(), running_at_stop,
      stop - go_on, threads.last_end.Ms() - stop, t_end - stop,
      static_cast<unsigned long long>(PeakResidentKiB() / 1024),
      raised ? "" : " (measuring thread not raised)");
}

#if !defined(_WIN32)
// The system settings that cap the thread count, raised for a run of 100,000 and put
// back afterwards (as root only).
struct SystemSetting {
  const char* name;  // as sysctl names it
  const char* path;
  std::uint64_t wanted;
  std::string saved;
};

std::string ReadSetting(const char* path) {
  std::string text;
  if (FILE* file = std::fopen(path, "r")) {
    char buffer[64] = {};
    if (std::fgets(buffer, sizeof buffer, file) != nullptr) text = buffer;
    std::fclose(file);
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

bool WriteSetting(const char* path, const std::string& value) {
  FILE* file = std::fopen(path, "w");
  if (file == nullptr) return false;
  const bool written = std::fputs(value.c_str(), file) >= 0;
  return std::fclose(file) == 0 && written;
}

class RaisedLimits {
 public:
  RaisedLimits() {
    settings_ = {{"kernel.pid_max", "/proc/sys/kernel/pid_max", 200000, {}},
                 {"kernel.threads-max", "/proc/sys/kernel/threads-max", 300000, {}},
                 {"vm.max_map_count", "/proc/sys/vm/max_map_count", 300000, {}}};
    for (SystemSetting& setting : settings_) {
      setting.saved = ReadSetting(setting.path);
      const std::uint64_t now = setting.saved.empty() ? 0 : std::stoull(setting.saved);
      if (now >= setting.wanted) {
        std::printf("# %s = %s, left as it is\n", setting.name, setting.saved.c_str());
        setting.saved.clear();  // nothing to put back
        continue;
      }
      const bool set = WriteSetting(setting.path, std::to_string(setting.wanted));
      std::printf("# %s = %s -> %llu%s\n", setting.name, setting.saved.c_str(),
                  static_cast<unsigned long long>(setting.wanted), set ? "" : " FAILED (not root?)");
      if (!set) setting.saved.clear();
    }
    rlimit nproc{};
    if (getrlimit(RLIMIT_NPROC, &nproc) == 0) {
      saved_nproc_ = nproc;
      rlimit raised{RLIM_INFINITY, RLIM_INFINITY};
      const bool set = setrlimit(RLIMIT_NPROC, &raised) == 0;
      nproc_raised_ = set;
      std::printf("# ulimit -u = %s -> unlimited%s\n",
                  nproc.rlim_cur == RLIM_INFINITY ? "unlimited" : std::to_string(nproc.rlim_cur).c_str(),
                  set ? "" : (geteuid() == 0 ? " refused (root is not bound by it)" : " FAILED"));
    }
  }
  ~RaisedLimits() {
    for (const SystemSetting& setting : settings_) {
      if (setting.saved.empty()) continue;
      const bool put_back = WriteSetting(setting.path, setting.saved);
      std::printf("# %s put back to %s%s\n", setting.name, setting.saved.c_str(),
                  put_back ? "" : " FAILED");
    }
    if (nproc_raised_) setrlimit(RLIMIT_NPROC, &saved_nproc_);
  }
  RaisedLimits(const RaisedLimits&) = delete;
  RaisedLimits& operator=(const RaisedLimits&) = delete;

 private:
  std::vector<SystemSetting> settings_;
  rlimit saved_nproc_{};
  bool nproc_raised_ = false;
};
#endif

}  // namespace
}  // namespace velkaro::bench

int main(int argc, char** argv) {
  using namespace velkaro::bench;
  std::string counts_text = "1000,10000,max";
  std::uint32_t time_s = 30;
  std::int32_t margin = 300;
  bool over_limit = true;
  bool floor = true;
  bool tree = true;
  std::uint32_t hold_s = 3;
  bool raise_limits = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--raise-limits") == 0) raise_limits = std::strcmp(argv[i + 1], "0") != 0;
    if (std::strcmp(argv[i], "--hold") == 0) hold_s = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    if (std::strcmp(argv[i], "--counts") == 0) counts_text = argv[i + 1];
    if (std::strcmp(argv[i], "--time") == 0) time_s = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    if (std::strcmp(argv[i], "--margin") == 0) margin = std::stoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--floor") == 0) floor = std::strcmp(argv[i + 1], "0") != 0;
    if (std::strcmp(argv[i], "--tree") == 0) tree = std::strcmp(argv[i + 1], "0") != 0;
    if (std::strcmp(argv[i], "--over-limit") == 0) over_limit = std::strcmp(argv[i + 1], "0") != 0;
  }
  std::printf("# bench_scale on %s\n", MachineLine().c_str());
#if !defined(_WIN32)
  // Raised before the probe, put back when main returns.
  std::unique_ptr<RaisedLimits> raised;
  if (raise_limits) raised = std::make_unique<RaisedLimits>();
#else
  (void)raise_limits;
#endif
  std::int32_t max_count = kMaxThreads;
  if (counts_text.find("max") != std::string::npos) {
    // The probe prints the number it could create; read it back through a file.
    std::fflush(stdout);
#if !defined(_WIN32)
    int pipe_fds[2];
    if (pipe(pipe_fds) == 0) {
      const pid_t child = fork();
      if (child == 0) {
        dup2(pipe_fds[1], 1);
        MeasureRaw(kMaxThreads, 0, true);
        std::fflush(stdout);
        _exit(0);
      }
      close(pipe_fds[1]);
      char buffer[64] = {};
      const ssize_t got = read(pipe_fds[0], buffer, sizeof buffer - 1);
      close(pipe_fds[0]);
      waitpid(child, nullptr, 0);
      int probed = 0;
      double probe_ms = 0;
      if (got > 0 && std::sscanf(buffer, "PROBE %d %lf", &probed, &probe_ms) == 2) {
        max_count = probed - margin;
        // The floor of preparation at that count: plain threads with the same stacks,
        // parked, made one after another.
        std::printf("# probe: %d plain parked threads created in %.1f ms (%.1f us each)\n", probed,
                    probe_ms, probed > 0 ? probe_ms * 1000.0 / probed : 0.0);
      }
    }
#endif
    std::printf("# largest count: %d (plain threads created before failure or %d, minus %d)\n",
                max_count + margin, kMaxThreads, margin);
  }
  std::printf(
      "# floor: plain threads parked on one futex, released by one wake. tree (Linux): plain\n"
      "#   threads woken along a binary tree, one wake by the releasing thread. Both wait (at\n"
      "#   most the run time) until all run, then drop the flag. Times in ms. resume: first to\n"
      "#   last release call of the releasing thread (floor, tree: its one wake). all run: first\n"
      "#   release call -> the last body began (else how many ran). acts late: the last body\n"
      "#   began -> stop requested (the 10 ms poll). last end: stop requested -> the last body\n"
      "#   returned. return: stop requested -> all joined. KiB/thr: resident memory per thread\n"
      "#   once all exist.\n"
      "# engine: mono workers through TRunController at normal class and priority, %u s run.\n"
      "#   release: the controller's first to last release call (the workers wait at the start\n"
      "#   gate). gate: its opening call. go on: first release call -> the first worker's body\n"
      "#   began (the woken workers go on together). runnable: threads running or ready 100 ms after\n"
      "#   that (from /proc; Linux). begun: worker bodies begun when the stop was requested,\n"
      "#   %u ms after the go-on moment (each needs its first turn on a processor). last end:\n"
      "#   stop requested -> the last body returned. return: -> RunStress returned (with the\n"
      "#   stop wait's 50 ms polls).\n",
      time_s, hold_s * 1000);
  const std::vector<std::int32_t> counts = ParseCounts(counts_text, max_count);
  if (floor || tree) {
    std::printf("| threads | kind   | prepare ms | us/thr | KiB/thr  | resume ms | all run ms | acts late | last end | return ms | peak MiB  |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const std::int32_t count : counts) {
      if (floor) Isolated([&] { MeasureRaw(count, time_s * 1000, false); });
#if !defined(_WIN32)
      if (tree) Isolated([&] { MeasureTree(count, time_s * 1000); });
#else
      (void)tree;  // the tree of wakes is measured on Linux only
#endif
    }
  }
  std::printf("\n| threads | kind   | prepare ms | us/thr | KiB/thr  | release ms | gate ms | go on ms | runnable | begun by the stop (ms after go-on) | last end | return ms | peak MiB |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  for (const std::int32_t count : counts) {
    Isolated([&] { MeasureEngine(count, time_s * 1000, hold_s * 1000); });
  }
  if (over_limit && max_count + margin < kMaxThreads) {
    // Past the limit: the run must fail with the error text and name the limit.
    Isolated([&] { MeasureEngine(max_count + margin + 1000, time_s * 1000, hold_s * 1000); });
  }
  return 0;
}
