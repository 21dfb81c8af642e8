// The window through many runs in one process: velkaro.exe driven from outside as a
// user would, with Esc at a random point of each run (at once, during the preparation
// and release, during the run) or none (the run ends at its time). Prints the
// program's handle count (GetProcessHandleCount, and its entries in the system's handle
// table), its GDI and USER objects (GetGuiResources; 0 where the system does not count
// them) and its working set at the start, every --every runs
// and at the end, and whether the end is back within the bound it states.
//
//   bench_window_soak [--runs 200] [--every 20] [--seed S]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "main_window_driver.h"

namespace {

using velkaro::win32::driver::ProgramPath;
using velkaro::win32::driver::Velkaro;
using velkaro::win32::driver::WaitFor;
using namespace velkaro::win32::main_window;
using namespace std::chrono_literals;

constexpr wchar_t kIdleCaption[] = L"Velkaro - Emulator of CPU load";

// The handles of process `pid` in the system's handle table (SystemHandleInformation),
// or -1 where the system does not list them.
long SystemHandlesOf(DWORD pid) {
  struct Entry {
    ULONG process_id;
    BYTE object_type;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<unsigned char> buffer(1 << 20);
  for (int attempt = 0; attempt < 8; ++attempt) {
    ULONG needed = 0;
    const LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) {
      const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
      const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
      long mine = 0;
      for (ULONG i = 0; i < count; ++i) mine += entries[i].process_id == pid ? 1 : 0;
      return mine;
    }
    if (status != static_cast<LONG>(0xC0000004)) return -1;  // not STATUS_INFO_LENGTH_MISMATCH
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 65536));
  }
  return -1;
}

// What the window's process holds.
struct Holdings {
  long system_handles = -1;
  BOOL counted = FALSE;
  DWORD handles = 0;
  DWORD gdi = 0;
  DWORD user = 0;
  std::uint64_t working_set_kib = 0;
};

Holdings ReadNow(HANDLE process) {
  Holdings h;
  h.counted = GetProcessHandleCount(process, &h.handles);
  h.system_handles = SystemHandlesOf(GetProcessId(process));
  h.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  h.user = GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    h.working_set_kib = counters.WorkingSetSize / 1024;
  }
  return h;
}

// Handles of the threads that just ended may still be on their way out (Wine closes
// them in its server a little later): reads until two readings a second apart agree,
// for at most 10 s.
Holdings Read(HANDLE process) {
  Holdings before = ReadNow(process);
  for (int i = 0; i < 10; ++i) {
    std::this_thread::sleep_for(1s);
    const Holdings now = ReadNow(process);
    if (now.system_handles == before.system_handles && now.handles == before.handles) return now;
    before = now;
  }
  return before;
}

void Print(const char* when, int runs, const Holdings& h) {
  std::printf("| %-7s | %4d | %7s | %7ld | %5lu | %5lu | %9llu |\n", when, runs,
              h.counted ? std::to_string(h.handles).c_str() : "failed", h.system_handles, h.gdi,
              h.user, static_cast<unsigned long long>(h.working_set_kib));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 200;
  int every = 20;
  unsigned seed = std::random_device{}();
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    if (option == "--every") every = std::max(1, std::atoi(argv[i + 1]));
    if (option == "--seed") seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
  }
  std::printf("# bench_window_soak on %s; %d runs, seed %u\n", velkaro::bench::MachineLine().c_str(),
              runs, seed);
  std::printf("# each run: 1 to 50 threads, 1 to 3 s, Esc at once, after 0-300 ms, after 0.3-2.5 s,\n"
              "# or none; the next run starts once the window is idle again\n");
  Velkaro app(ProgramPath(VELKARO_EXE_PATH));
  if (!app.Started() || !WaitFor([&] { return app.Caption() == kIdleCaption; })) {
    std::printf("velkaro.exe did not start\n");
    return 1;
  }
  std::mt19937 random(seed);
  const auto draw = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  std::printf("| when    | runs | handles | in the system table |   GDI |  USER | WS KiB    |\n"
              "|---|---|---|---|---|---|---|\n");
  // The first run creates what the window keeps for later ones (the chart's buffers, the
  // meter's readings): the start is read after it.
  app.SetRun(0, 1, 1);
  app.PressKey(VK_RETURN);
  WaitFor([&] { return app.Caption() != kIdleCaption; }, 10s);
  WaitFor([&] { return app.Caption() == kIdleCaption; }, 30s);
  const Holdings start = Read(app.Process());
  Print("start", 0, start);
  int stuck = 0;
  int stops[4] = {};
  for (int run = 1; run <= runs; ++run) {
    app.SetRun(0, draw(1, 3), draw(1, 50));
    app.PressKey(VK_RETURN);
    const int kind = draw(0, 3);
    ++stops[kind];
    if (kind == 1) std::this_thread::sleep_for(std::chrono::milliseconds(draw(0, 300)));
    if (kind == 2) std::this_thread::sleep_for(std::chrono::milliseconds(draw(300, 2500)));
    if (kind != 3) {
      // Esc at once can come before the run has begun: it then stops nothing, and the
      // run goes on to its end, which the wait below covers.
      app.PressKey(VK_ESCAPE);
    }
    std::this_thread::sleep_for(50ms);
    if (!WaitFor([&] { return app.Caption() == kIdleCaption; }, 30s)) {
      ++stuck;
      app.PressKey(VK_ESCAPE);
      WaitFor([&] { return app.Caption() == kIdleCaption; }, 30s);
    }
    if (run % every == 0 || run == runs) Print(run == runs ? "end" : "", run, Read(app.Process()));
  }
  const Holdings end = Read(app.Process());
  // The bound: the handle count back within 10 of the start, the GDI and USER objects
  // within 5, the working set within 4 MiB.
  const bool handles_ok = end.handles <= start.handles + 10 &&
                          end.system_handles <= start.system_handles + 10;
  const bool gui_ok = end.gdi <= start.gdi + 5 && end.user <= start.user + 5;
  const bool memory_ok = end.working_set_kib <= start.working_set_kib + 4096;
  std::printf("# Esc at once %d, early %d, during the run %d, none %d; runs not back to idle within 30 s: %d\n",
              stops[0], stops[1], stops[2], stops[3], stuck);
  std::printf("# bound: handles +10, GDI and USER objects +5, working set +4 MiB: %s\n",
              handles_ok && gui_ok && memory_ok && stuck == 0 ? "held" : "EXCEEDED");
  app.Close();
  app.ExitCode(20s);
  return handles_ok && gui_ok && memory_ok && stuck == 0 ? 0 : 1;
}
