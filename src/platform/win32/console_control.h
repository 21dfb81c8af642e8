// The console control handler that ConsoleBegin installs, for tests that deliver an
// interrupt the way the system does, on a thread of their own.
#pragma once

#include <windows.h>

namespace velkaro::platform {

BOOL WINAPI ConsoleControlHandler(DWORD type);

}  // namespace velkaro::platform
