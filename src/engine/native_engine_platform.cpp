#include "engine/engine_platform.h"

#include "platform/clock.h"
#include "platform/threads.h"

namespace velkaro {
namespace {

platform::ParkedThread* AsThread(TThreadHandle handle) {
  return reinterpret_cast<platform::ParkedThread*>(handle);
}

class TNativeEnginePlatform final : public TEnginePlatform {
 public:
  std::uint32_t TickCount() override { return platform::TickCount(); }
  void SleepMs(std::uint32_t milliseconds) override { platform::SleepMs(milliseconds); }
  bool SetProcessPriorityClass(std::uint32_t win32_class) override {
    return platform::SetProcessPriorityClass(win32_class);
  }
  bool SetCurrentThreadPriority(int win32_priority) override {
    return platform::SetCurrentThreadPriority(win32_priority);
  }
  platform::TPrioritiesApplied SetRunPriorities(std::uint32_t win32_class,
                                                int win32_priority) override {
    return platform::SetRunPriorities(win32_class, win32_priority);
  }
  bool PreferShortTimeSlice(bool on) override { return platform::PreferShortTimeSlice(on); }
  TThreadHandle CreateParkedThread(void (*body)(void*), void* context) override {
    return reinterpret_cast<TThreadHandle>(
        platform::CreateParkedThread(body, context, nullptr, &gate_));
  }
  void CloseStartGate() override { gate_.Close(); }
  void OpenStartGate(std::int32_t waiting) override { gate_.Open(waiting); }
  void ResumeThread(TThreadHandle thread) override { platform::ResumeParkedThread(AsThread(thread)); }
  bool ThreadIsAlive(TThreadHandle thread) override {
    return platform::ParkedThreadIsAlive(AsThread(thread));
  }
  void CloseThread(TThreadHandle thread) override { platform::CloseParkedThread(AsThread(thread)); }

 private:
  // One gate for the process: the program runs one stress run at a time.
  platform::TStartGate gate_;
};

}  // namespace

TEnginePlatform& NativeEnginePlatform() {
  static TNativeEnginePlatform platform;
  return platform;
}

}  // namespace velkaro
