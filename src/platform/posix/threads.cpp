#include "platform/threads.h"

#include <linux/futex.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <new>

#include "engine/priority_map.h"

namespace velkaro::platform {

struct ParkedThread {
  pthread_t thread{};
  void (*body)(void*) = nullptr;
  void* context = nullptr;
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

}  // namespace

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

ParkedThread* CreateParkedThread(void (*body)(void*), void* context, int* error) {
  auto* thread = new (std::nothrow) ParkedThread;
  if (thread == nullptr) {
    if (error != nullptr) *error = ENOMEM;
    return nullptr;
  }
  thread->body = body;
  thread->context = context;

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

bool SetProcessPriorityClass(std::uint32_t win32_class) {
  if (!Apply(MapLinuxPriority(win32_class, t_thread_priority))) return false;
  g_process_class.store(win32_class, std::memory_order_relaxed);
  return true;
}

}  // namespace velkaro::platform
