// Sets the pause and duration of the velkaro.exe window on screen and presses Enter.
#include <windows.h>

#include <cwchar>
#include <string>

#include "ui/win32/main_window_ids.h"

namespace {

HWND ControlOf(HWND window, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (::GetDlgCtrlID(child) != s->id) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace velkaro::win32::main_window;
  if (argc < 3) return 2;
  const HWND window = ::FindWindowW(kFormClassName, nullptr);
  if (window == nullptr) return 1;
  ::SendMessageW(ControlOf(window, kEdStPause), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
  ::SendMessageW(ControlOf(window, kEdTime), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
  ::PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
  return 0;
}
