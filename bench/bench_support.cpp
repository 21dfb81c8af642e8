#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/clock.h"
#include "platform/process.h"

#if defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#else
#include <dirent.h>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>
#endif

namespace velkaro::bench {

double NowMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

double ProcessCpuMs() {
  platform::ProcessTimes times;
  if (!platform::ReadProcessTimes(times)) return 0;
  return static_cast<double>(times.kernel + times.user) / 10000.0;
}

#if defined(_WIN32)
std::uint64_t ResidentKiB() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.WorkingSetSize / 1024;
}
std::uint64_t PeakResidentKiB() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize / 1024;
}
std::int64_t ThreadCount() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  const DWORD self = GetCurrentProcessId();
  std::int64_t count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == self) ++count;
  }
  CloseHandle(snapshot);
  return count;
}
namespace {
// The system's handle table as NtQuerySystemInformation gives it (class 16).
struct SystemHandleEntry {
  ULONG owner_pid;
  BYTE object_type;
  BYTE flags;
  USHORT value;
  void* object;
  ACCESS_MASK access;
};
struct SystemHandles {
  ULONG count;
  SystemHandleEntry entries[1];
};

// The process's entries in the system's handle table; -1 when it cannot be read.
std::int64_t HandlesInSystemTable() {
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<unsigned char> buffer(1 << 16);
  for (;;) {
    ULONG needed = 0;
    const LONG status = query(kSystemHandleInformation, buffer.data(),
                              static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) {
      buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
      continue;
    }
    if (status < 0) return -1;
    break;
  }
  const auto* table = reinterpret_cast<const SystemHandles*>(buffer.data());
  const DWORD self = GetCurrentProcessId();
  std::int64_t count = 0;
  for (ULONG i = 0; i < table->count; ++i) {
    if (table->entries[i].owner_pid == self) ++count;
  }
  return count;
}
}  // namespace

std::int64_t OpenHandleCount() {
  DWORD count = 0;
  // Wine answers 0, which no Windows process has; its handle table still tells.
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
  return HandlesInSystemTable();
}
std::string MachineLine() {
  return std::to_string(std::thread::hardware_concurrency()) + " processors, Windows (or Wine)";
}
#else
std::uint64_t ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) / 1024;
}
std::uint64_t PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::uint64_t>(usage.ru_maxrss);
}
std::int64_t ThreadCount() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Threads:", 0) == 0) return std::stoll(line.substr(8));
  }
  return -1;
}
std::int64_t OpenHandleCount() {
  DIR* folder = opendir("/proc/self/fd");
  if (folder == nullptr) return -1;
  std::int64_t count = 0;
  while (const dirent* entry = readdir(folder)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(folder);
  return count - 1;  // the folder's own descriptor
}
std::string MachineLine() {
  std::string model = "unknown processor";
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.rfind("model name", 0) == 0) {
      model = line.substr(line.find(':') + 2);
      break;
    }
  }
  utsname name{};
  uname(&name);
  return std::to_string(std::thread::hardware_concurrency()) + " processors, " + model + ", " +
         name.sysname + " " + name.release;
}
#endif

std::vector<std::int32_t> ParseCounts(const std::string& text, std::int32_t max_value) {
  std::vector<std::int32_t> counts;
  std::stringstream stream(text);
  for (std::string item; std::getline(stream, item, ',');) {
    counts.push_back(item == "max" ? max_value : static_cast<std::int32_t>(std::stol(item)));
  }
  return counts;
}

void LatestMoment::Mark() {
  const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
  std::int64_t seen = ns_.load();
  while (seen < now && !ns_.compare_exchange_weak(seen, now)) {
  }
}

double LatestMoment::Ms() const { return static_cast<double>(ns_.load()) / 1e6; }

void TimedPlatform::TimedBody(void* argument) {
  auto* trampoline = static_cast<Trampoline*>(argument);
  TimedPlatform& owner = *trampoline->owner;
  owner.last_start.Mark();
  if (owner.running.fetch_add(1) == 0) owner.first_start.Mark();
  trampoline->body(trampoline->context);
  owner.last_end.Mark();
  owner.ended.fetch_add(1);
}

TThreadHandle TimedPlatform::CreateParkedThread(void (*body)(void*), void* context) {
  if (created == 0) first_create = NowMs();
  trampolines_.push_back(std::make_unique<Trampoline>(Trampoline{body, context, this}));
  const TThreadHandle handle = native_.CreateParkedThread(&TimedBody, trampolines_.back().get());
  if (handle != 0) {
    ++created;
    last_create = NowMs();
    if (created == expected) rss_prepared_kib = ResidentKiB();
  }
  return handle;
}

void TimedPlatform::ResumeThread(TThreadHandle handle) {
  // Only the releases of the run loop count, not those of the stop wait.
  if (resumed < created) {
    if (resumed == 0) first_resume = NowMs();
    ++resumed;
    last_resume = NowMs();
  }
  native_.ResumeThread(handle);
}

void TimedPlatform::OpenStartGate(std::int32_t waiting) {
  const double opening = NowMs();
  native_.OpenStartGate(waiting);
  if (waiting > 0) {  // the opening for the run, not the one for its end
    gate_opening = opening;
    gate_waiting = waiting;
    gate_opened.store(NowMs());
  }
}

namespace {
struct NativeSpinClock : SpinClock {
  std::uint32_t Tick() override { return platform::TickCount(); }
};
}  // namespace

SpinClock& OpaqueSpinClock() {
  static NativeSpinClock clock;
  return clock;
}

void BenchHost::UsageStart() { prev_percent_ = platform::TickCount(); }
void BenchHost::UsageCalc() { prev_percent_ = platform::TickCount(); }

}  // namespace velkaro::bench
