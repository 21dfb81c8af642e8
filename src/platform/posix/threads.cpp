#include "platform/threads.h"

#include <linux/capability.h>
#include <linux/futex.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <ctime>
#include <new>

#include "platform/priority_map.h"

namespace velkaro::platform {

struct ParkedThread {
  pthread_t thread{};
  void (*body)(void*) = nullptr;
  void* context = nullptr;
  TStartGate* gate = nullptr;
  std::atomic<std::uint32_t> released{0};  // the futex word
  std::atomic<bool> finished{false};
};

namespace {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));

long Futex(std::atomic<std::uint32_t>& word, int op, std::uint32_t value) {
  return syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), op, value, nullptr,
                 nullptr, 0);
}

void* ParkedEntry(void* argument) {
  auto* self = static_cast<ParkedThread*>(argument);
  while (self->released.load(std::memory_order_acquire) == 0) {
    Futex(self->released, FUTEX_WAIT_PRIVATE, 0);
  }
  if (self->gate != nullptr) self->gate->Wait();
  self->body(self->context);
  self->finished.store(true, std::memory_order_release);
  return nullptr;
}

// The process's class as the program set it last; each thread applies it together
// with its own priority, since Linux keeps these settings per thread.
std::atomic<std::uint32_t> g_process_class{0x20};
thread_local int t_thread_priority = 0;

bool Apply(const TLinuxSchedSetting& setting) {
  const auto tid = static_cast<id_t>(gettid());
  sched_param param{};
  switch (setting.policy) {
    case TLinuxPolicy::lpOther:
      if (sched_getscheduler(0) != SCHED_OTHER &&
          sched_setscheduler(0, SCHED_OTHER, &param) != 0) {
        return false;
      }
      return setpriority(PRIO_PROCESS, tid, setting.nice) == 0;
    case TLinuxPolicy::lpIdle:
      return sched_setscheduler(0, SCHED_IDLE, &param) == 0;
    case TLinuxPolicy::lpRoundRobin:
      param.sched_priority = setting.rt_priority;
      return sched_setscheduler(0, SCHED_RR, &param) == 0;
  }
  return false;
}

// The calling thread's present setting, as far as the mapping knows settings.
TLinuxSchedSetting CurrentSetting() {
  TLinuxSchedSetting setting;
  const int policy = sched_getscheduler(0);
  if (policy == SCHED_IDLE) setting.policy = TLinuxPolicy::lpIdle;
  if (policy == SCHED_RR || policy == SCHED_FIFO) {
    setting.policy = TLinuxPolicy::lpRoundRobin;
    sched_param param{};
    if (sched_getparam(0, &param) == 0) setting.rt_priority = param.sched_priority;
  }
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  if (errno == 0) setting.nice = nice;
  return setting;
}

bool HasCapSysNice() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  return (data[CAP_SYS_NICE / 32].effective & (1u << (CAP_SYS_NICE % 32))) != 0;
}

TSchedPermissions CurrentPermissions() {
  TSchedPermissions permissions;
  permissions.cap_sys_nice = HasCapSysNice();
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) == 0) permissions.rlimit_nice = limit.rlim_cur;
  if (getrlimit(RLIMIT_RTPRIO, &limit) == 0) permissions.rlimit_rtprio = limit.rlim_cur;
  return permissions;
}

// The kernel's sched_attr (glibc has no wrapper for sched_setattr before 2.41).
struct SchedAttr {
  std::uint32_t size;
  std::uint32_t sched_policy;
  std::uint64_t sched_flags;
  std::int32_t sched_nice;
  std::uint32_t sched_priority;
  std::uint64_t sched_runtime;
  std::uint64_t sched_deadline;
  std::uint64_t sched_period;
};

std::int64_t MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Time the opening thread may need per woken thread: the wake itself and the woken
// thread's short run up to its sleep (about 6 us each at 10,000 threads on 2 processors),
// with room to spare. A thread woken after the moment goes on at once.
constexpr std::int64_t kWakeAllowanceNs = 20000;
constexpr std::int64_t kOpenLeadNs = 1000 * 1000;  // the lead beyond the allowance per thread

}  // namespace

TStartGate::TStartGate() = default;
TStartGate::~TStartGate() = default;

void TStartGate::Close() { open_.store(0, std::memory_order_relaxed); }

void TStartGate::Open(std::int32_t waiting) {
  // A thread woken here that went on at once would take the processor from this one,
  // which then waits its turn after each wake: one wake of 2,000 spinning threads took
  // seconds. So the woken ones sleep until a moment after all should be awake, and the
  // timer wakes them from the kernel's interrupt, which no thread interrupts.
  const std::int64_t lead =
      waiting > 0 ? kOpenLeadNs + static_cast<std::int64_t>(waiting) * kWakeAllowanceNs : 0;
  go_on_ns_.store(lead > 0 ? MonotonicNs() + lead : 0, std::memory_order_relaxed);
  open_.store(1, std::memory_order_release);
  Futex(open_, FUTEX_WAKE_PRIVATE, INT_MAX);
}

void TStartGate::Wait() {
  while (open_.load(std::memory_order_acquire) == 0) Futex(open_, FUTEX_WAIT_PRIVATE, 0);
  const std::int64_t go_on = go_on_ns_.load(std::memory_order_relaxed);
  if (go_on == 0) return;
  timespec until{};
  until.tv_sec = static_cast<time_t>(go_on / 1000000000);
  until.tv_nsec = static_cast<long>(go_on % 1000000000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

bool PreferShortTimeSlice(bool on) {
  if (sched_getscheduler(0) != SCHED_OTHER) return false;
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  if (errno != 0) return false;
  SchedAttr attr{};
  attr.size = sizeof attr;
  attr.sched_policy = SCHED_OTHER;
  attr.sched_nice = nice;
  attr.sched_runtime = on ? 100 * 1000 : 0;  // 0.1 ms, the shortest the kernel takes; 0: default
  return syscall(SYS_sched_setattr, 0, &attr, 0) == 0;
}

ParkedThread* CreateParkedThread(void (*body)(void*), void* context, int* error,
                                 TStartGate* gate) {
  auto* thread = new (std::nothrow) ParkedThread;
  if (thread == nullptr) {
    if (error != nullptr) *error = ENOMEM;
    return nullptr;
  }
  thread->body = body;
  thread->context = context;
  thread->gate = gate;

  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kParkedStackReservation);
  // Workers start with every signal blocked, so that the program's signal handlers
  // always run on the thread that expects them.
  sigset_t all;
  sigfillset(&all);
  pthread_attr_setsigmask_np(&attr, &all);
  const int result = pthread_create(&thread->thread, &attr, ParkedEntry, thread);
  pthread_attr_destroy(&attr);
  if (result != 0) {
    delete thread;
    if (error != nullptr) *error = result;
    return nullptr;
  }
  return thread;
}

void ResumeParkedThread(ParkedThread* thread) {
  if (thread->released.exchange(1, std::memory_order_release) == 0) {
    Futex(thread->released, FUTEX_WAKE_PRIVATE, 1);
  }
}

bool ParkedThreadIsAlive(ParkedThread* thread) {
  return !thread->finished.load(std::memory_order_acquire);
}

void CloseParkedThread(ParkedThread* thread) {
  ResumeParkedThread(thread);
  pthread_join(thread->thread, nullptr);
  delete thread;
}

bool SetCurrentThreadPriority(int win32_priority) {
  if (!Apply(MapLinuxPriority(g_process_class.load(std::memory_order_relaxed), win32_priority))) {
    return false;
  }
  t_thread_priority = win32_priority;
  return true;
}

TPrioritiesApplied SetRunPriorities(std::uint32_t win32_class, int win32_priority) {
  // The class is what every worker combines with its own priority from now on, even
  // where this thread may not take the combination.
  g_process_class.store(win32_class, std::memory_order_relaxed);
  const TLinuxSchedSetting before = CurrentSetting();
  if (Apply(MapLinuxPriority(win32_class, win32_priority))) {
    t_thread_priority = win32_priority;
    return {};
  }
  return RefusedPart(before, win32_class, CurrentPermissions());
}

bool SetProcessPriorityClass(std::uint32_t win32_class) {
  if (!Apply(MapLinuxPriority(win32_class, t_thread_priority))) return false;
  g_process_class.store(win32_class, std::memory_order_relaxed);
  return true;
}

}  // namespace velkaro::platform
