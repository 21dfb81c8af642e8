// Sets the pause and duration of the velkaro.exe window on screen and presses Enter.
#include <windows.h>

#include <cwchar>
#include <string>

#include "ui/win32/main_window_ids.h"
#include "ui/win32/window_helpers.h"

int wmain(int argc, wchar_t** argv) {
  using namespace velkaro::win32::main_window;
  using velkaro::win32::FindControlById;
  if (argc < 3) return 2;
  const HWND window = ::FindWindowW(kFormClassName, nullptr);
  if (window == nullptr) return 1;
  ::SendMessageW(FindControlById(window, kEdStPause), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
  ::SendMessageW(FindControlById(window, kEdTime), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
  ::PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
  return 0;
}
