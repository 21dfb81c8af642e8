// What the run controller needs of the operating system, as one interface so that a
// test can drive the controller with a fake clock and fake threads.
#pragma once

#include <cstdint>

#include "platform/priority_map.h"

namespace velkaro {

// A worker's OS thread as the controller sees it; 0 means "none" or "known to have ended".
using TThreadHandle = std::uintptr_t;

class TEnginePlatform {
 public:
  virtual ~TEnginePlatform() = default;

  virtual std::uint32_t TickCount() = 0;
  virtual void SleepMs(std::uint32_t milliseconds) = 0;
  // Both return false when the system refused the setting (it is then left as it was).
  virtual bool SetProcessPriorityClass(std::uint32_t win32_class) = 0;
  virtual bool SetCurrentThreadPriority(int win32_priority) = 0;
  // The run's class and the calling thread's priority as one setting; by default the
  // two calls above, class first.
  virtual platform::TPrioritiesApplied SetRunPriorities(std::uint32_t win32_class,
                                                        int win32_priority) {
    const bool class_set = SetProcessPriorityClass(win32_class);
    return {class_set, SetCurrentThreadPriority(win32_priority)};
  }
  // Lets the calling thread run soon after it wakes even among busy threads of its own
  // priority (`on` false: back to the default); false where the system offers nothing of
  // the kind. Threads created meanwhile inherit it.
  virtual bool PreferShortTimeSlice(bool on) {
    (void)on;
    return false;
  }

  // Creates a thread that runs `body(context)` only after ResumeThread and once the start
  // gate is open; 0 on failure.
  virtual TThreadHandle CreateParkedThread(void (*body)(void*), void* context) = 0;
  // The start gate of the threads made above: a resumed thread waits at it, so that the
  // threads already released never take the processors from the release of the others.
  // CloseStartGate while no thread waits (before a run); OpenStartGate lets all go on
  // together with one call (`waiting`: how many wait; 0 when they are only to end).
  virtual void CloseStartGate() = 0;
  virtual void OpenStartGate(std::int32_t waiting) = 0;
  virtual void ResumeThread(TThreadHandle thread) = 0;
  // False once the thread's body has returned.
  virtual bool ThreadIsAlive(TThreadHandle thread) = 0;
  // Waits for a resumed thread's end and frees what it holds (handle, stack).
  virtual void CloseThread(TThreadHandle thread) = 0;
};

// The running system's implementation.
TEnginePlatform& NativeEnginePlatform();

}  // namespace velkaro
