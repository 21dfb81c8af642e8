#include "platform/process.h"

#include <windows.h>

namespace velkaro::platform {
namespace {

std::uint64_t ToUnits(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

bool ReadProcessTimes(ProcessTimes& times) {
  FILETIME creation, exit, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) return false;
  times.kernel = ToUnits(kernel);
  times.user = ToUnits(user);
  return true;
}

void EmergencyExit() {
  TerminateProcess(GetCurrentProcess(), 1);
  // TerminateProcess does not return for the own process; this only satisfies noreturn.
  ExitProcess(1);
}

}  // namespace velkaro::platform
