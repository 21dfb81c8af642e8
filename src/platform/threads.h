// Threads with small stacks that start parked, and the scheduling settings of the
// calling thread and of the process, given as Win32 values and mapped onto the
// running system.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/priority_map.h"

namespace velkaro::platform {

// Address space reserved for a parked thread's stack; little of it is ever touched.
inline constexpr std::size_t kParkedStackReservation = 64 * 1024;

// A gate at which released threads wait, so that many threads start together. A thread
// that runs on at once would take a processor from the one that releases the others;
// opening the gate lets all of them go with one call instead.
class TStartGate {
 public:
  TStartGate();
  ~TStartGate();
  TStartGate(const TStartGate&) = delete;
  TStartGate& operator=(const TStartGate&) = delete;

  // Closes the gate for the next start. No thread may be waiting at it.
  void Close();
  // Lets every thread at the gate, and every later one, go on. `waiting` is about how
  // many wait: where waking them is work of the opening thread that the woken ones
  // could interrupt (Linux), they go on together once all are awake; 0 lets each go on
  // as soon as it wakes (threads that only end).
  void Open(std::int32_t waiting);
  // Returns once the gate is open.
  void Wait();

 private:
  std::atomic<std::uint32_t> open_{0};
#if defined(_WIN32)
  void* event_ = nullptr;  // a manual-reset event
#else
  std::atomic<std::int64_t> go_on_ns_{0};  // the monotonic moment to go on at
#endif
};

struct ParkedThread;  // owned through the functions below

// Creates a thread that runs `body(context)` only after ResumeParkedThread, and with a
// `gate`, only once that gate is open as well. Returns nullptr when the system refuses
// another thread; `error` then receives its error code.
ParkedThread* CreateParkedThread(void (*body)(void*), void* context, int* error = nullptr,
                                 TStartGate* gate = nullptr);
// Lets the thread run its body; a second call does nothing.
void ResumeParkedThread(ParkedThread* thread);
// False once the body has returned.
bool ParkedThreadIsAlive(ParkedThread* thread);
// Resumes the thread if it never was, waits until it has ended and frees everything it
// held. The caller must have arranged for the body to return, and opened its gate.
void CloseParkedThread(ParkedThread* thread);

// The calling thread's priority, a Win32 thread priority (-15 .. 15). Returns false
// when the system did not allow it; the thread then keeps its previous setting.
bool SetCurrentThreadPriority(int win32_priority);
// The process's priority class, a Win32 class value (0x40 idle .. 0x100 real-time).
// On Linux the class sets the base of the per-thread nice values and applies to the
// calling thread; threads started later inherit it.
bool SetProcessPriorityClass(std::uint32_t win32_class);

// The process's class and the calling thread's priority of a run, set together. Linux
// keeps both in one setting of each thread, and a thread whose nice value has risen may
// not lower it again: setting the class first and the priority after it would refuse
// combinations the user may set. Tells which of the two the system refused.
TPrioritiesApplied SetRunPriorities(std::uint32_t win32_class, int win32_priority);

// Asks the scheduler to run the calling thread soon after it wakes, ahead of threads
// of the same priority that use their whole time slice (Linux 6.12 and later: a short
// custom slice); `on` false returns to the default. The thread's share of processor time
// stays what its priority gives. Threads created meanwhile inherit the setting. Returns
// false where the system has no such setting; a later priority change may undo it.
bool PreferShortTimeSlice(bool on);

}  // namespace velkaro::platform
