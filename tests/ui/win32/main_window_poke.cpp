// Drives the velkaro.exe window on screen for screenshots:
//   win32ui_main_window_poke PAUSE SECONDS   sets the run and presses Enter
//   win32ui_main_window_poke threads TEXT    types TEXT into the thread count
//   win32ui_main_window_poke hover           puts the mouse on the start button
//   win32ui_main_window_poke park            puts the mouse in the screen's corner
//   win32ui_main_window_poke command ID      sends the window the menu command ID
//   win32ui_main_window_poke key VK          presses key VK in the foreground window
//   win32ui_main_window_poke menu LETTER     opens the menu of that letter, as Alt+LETTER does
//   win32ui_main_window_poke type TEXT       types TEXT into the foreground window
//   win32ui_main_window_poke language CODE   picks the language CODE in the Language
//                                            menu ("" or "en": Default English)
//   win32ui_main_window_poke select ID N     selects item N of the list ID
#include <windows.h>

#include <cwchar>
#include <string>

#include "language_commands.h"

#include "ui/win32/main_window_ids.h"
#include "ui/win32/window_helpers.h"

namespace {

// The program's forms: the main window is the one with a menu; an open dialog is a
// visible, enabled form without one.
HWND FindForm(bool main) {
  struct Search {
    bool main;
    HWND found;
  } search{main, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (std::wstring(name) != velkaro::win32::main_window::kFormClassName) return TRUE;
        const bool has_menu = ::GetMenu(window) != nullptr;
        if (s->main ? has_menu
                    : !has_menu && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace velkaro::win32::main_window;
  using velkaro::win32::FindControlById;
  if (argc < 2) return 2;
  const HWND window = FindForm(true);
  if (window == nullptr) return 1;
  const std::wstring command = argv[1];
  if (command == L"threads" && argc >= 3) {
    const HWND field = FindControlById(window, kEdThreads);
    ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    // Typed, so that the field reacts as it does to the keyboard.
    for (const wchar_t* c = argv[2]; *c != L'\0'; ++c) ::SendMessageW(field, WM_CHAR, *c, 1);
    return 0;
  }
  if (command == L"hover") {
    RECT button{};
    ::GetWindowRect(FindControlById(window, kBDo), &button);
    const int x = (button.left + button.right) / 2;
    const int y = (button.top + button.bottom) / 2;
    ::SetCursorPos(x - 5, y);
    ::SetCursorPos(x, y);
    return 0;
  }
  if (command == L"command" && argc >= 3) {
    ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(std::wcstol(argv[2], nullptr, 10)), 0);
    return 0;
  }
  if (command == L"key" && argc >= 3) {
    const auto key = static_cast<WPARAM>(std::wcstol(argv[2], nullptr, 10));
    const HWND dialog = FindForm(false);
    const HWND target = dialog != nullptr ? dialog : window;
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    return 0;
  }
  if (command == L"menu" && argc >= 3) {
    ::PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(argv[2][0]));
    return 0;
  }
  if (command == L"type" && argc >= 3) {
    for (const wchar_t* c = argv[2]; *c != L'\0'; ++c) {
      INPUT inputs[2] = {};
      for (int i = 0; i < 2; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wScan = *c;
        inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
      }
      ::SendInput(2, inputs, sizeof(INPUT));
    }
    return 0;
  }
  if (command == L"language" && argc >= 3) {
    // The menu lists the files of the running program's folder, so that folder decides.
    DWORD process_id = 0;
    ::GetWindowThreadProcessId(window, &process_id);
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
    if (process == nullptr) return 1;
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    const bool named = ::QueryFullProcessImageNameW(process, 0, path, &length) != FALSE;
    ::CloseHandle(process);
    if (!named) return 1;
    const std::wstring code = argv[2] == std::wstring(L"en") ? L"" : argv[2];
    const auto id = velkaro::win32::driver::LanguageCommand(
        velkaro::win32::driver::LangsFolderOf(path), code);
    if (!id) return 3;
    ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(*id), 0);
    return 0;
  }
  if (command == L"select" && argc >= 4) {
    const HWND list = FindControlById(window, static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(std::wcstol(argv[3], nullptr, 10)), 0);
    return 0;
  }
  if (command == L"park") {
    ::SetCursorPos(0, 0);
    return 0;
  }
  if (argc < 3) return 2;
  ::SendMessageW(FindControlById(window, kEdStPause), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
  ::SendMessageW(FindControlById(window, kEdTime), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
  ::PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
  return 0;
}
