#include "platform/threads.h"

#include <windows.h>

#include <atomic>
#include <new>

namespace velkaro::platform {

struct ParkedThread {
  HANDLE handle = nullptr;
  void (*body)(void*) = nullptr;
  void* context = nullptr;
  TStartGate* gate = nullptr;
  std::atomic<bool> resumed{false};
};

namespace {

DWORD WINAPI ParkedEntry(LPVOID argument) {
  auto* self = static_cast<ParkedThread*>(argument);
  if (self->gate != nullptr) self->gate->Wait();
  self->body(self->context);
  return 0;
}

}  // namespace

// Windows wakes every thread that waits for a manual-reset event inside the one call that
// sets it, so the woken threads go on at once.
TStartGate::TStartGate() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

TStartGate::~TStartGate() {
  if (event_ != nullptr) CloseHandle(event_);
}

void TStartGate::Close() {
  open_.store(0, std::memory_order_relaxed);
  if (event_ != nullptr) ResetEvent(event_);
}

void TStartGate::Open(std::int32_t) {
  open_.store(1, std::memory_order_release);
  if (event_ != nullptr) SetEvent(event_);
}

void TStartGate::Wait() {
  if (open_.load(std::memory_order_acquire) != 0) return;
  if (event_ != nullptr) {
    WaitForSingleObject(event_, INFINITE);
  } else {
    // No event (the system refused one): poll, which only a starved system would see.
    while (open_.load(std::memory_order_acquire) == 0) Sleep(1);
  }
}

ParkedThread* CreateParkedThread(void (*body)(void*), void* context, int* error,
                                 TStartGate* gate) {
  auto* thread = new (std::nothrow) ParkedThread;
  if (thread == nullptr) {
    if (error != nullptr) *error = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  thread->body = body;
  thread->context = context;
  thread->gate = gate;
  thread->handle = CreateThread(nullptr, kParkedStackReservation, ParkedEntry, thread,
                                CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread->handle == nullptr) {
    if (error != nullptr) *error = static_cast<int>(GetLastError());
    delete thread;
    return nullptr;
  }
  return thread;
}

void ResumeParkedThread(ParkedThread* thread) {
  if (!thread->resumed.exchange(true)) ResumeThread(thread->handle);
}

bool ParkedThreadIsAlive(ParkedThread* thread) {
  DWORD code = 0;
  return GetExitCodeThread(thread->handle, &code) && code == STILL_ACTIVE;
}

void CloseParkedThread(ParkedThread* thread) {
  ResumeParkedThread(thread);
  WaitForSingleObject(thread->handle, INFINITE);
  CloseHandle(thread->handle);
  delete thread;
}

bool SetCurrentThreadPriority(int win32_priority) {
  return SetThreadPriority(GetCurrentThread(), win32_priority) != FALSE;
}

bool SetProcessPriorityClass(std::uint32_t win32_class) {
  return SetPriorityClass(GetCurrentProcess(), win32_class) != FALSE;
}

TPrioritiesApplied SetRunPriorities(std::uint32_t win32_class, int win32_priority) {
  const bool class_set = SetProcessPriorityClass(win32_class);
  return {class_set, SetCurrentThreadPriority(win32_priority)};
}

// Windows already boosts a thread that wakes from a wait and one that has been starved
// for a few seconds.
bool PreferShortTimeSlice(bool) { return false; }

}  // namespace velkaro::platform
