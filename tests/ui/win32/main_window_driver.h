// Drives velkaro.exe from another process as a user would: finds its controls by id,
// types into the inputs, presses keys and buttons, and reads texts, the progress
// position and pixels of the chart back.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ui/win32/dib.h"
#include "ui/win32/main_window_ids.h"
#include "ui/win32/scoped_handle.h"
#include "ui/win32/window_helpers.h"

namespace velkaro::win32::driver {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The program beside the build: a path of the Linux file system is reached through
// Wine's drive Z:.
inline std::wstring ProgramPath(const char* built_path) {
  std::wstring path;
  for (const char* c = built_path; *c != '\0'; ++c) path += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
  if (!path.empty() && path[0] == L'\\') path = L"Z:" + path;
  return path;
}

// The thousands separator of the user's locale, which the program groups numbers with.
inline std::wstring UserThousandsSeparator() {
  wchar_t separator[8] = {};
  ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator,
                    static_cast<int>(std::size(separator)));
  return separator;
}

// True once `condition` holds, checked every 5 ms until `timeout` passes.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = 10s) {
  const auto end = Clock::now() + timeout;
  while (Clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return condition();
}

// The first visible top-level window for which `match` holds; nullptr when none does.
inline HWND FindTopWindow(const std::function<bool(HWND)>& match) {
  struct Search {
    const std::function<bool(HWND)>* match;
    HWND found;
  } search{&match, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (!::IsWindowVisible(window) || !(*s->match)(window)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

inline DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process;
}

// The program's settings key in the registry of the current user.
inline constexpr wchar_t kSettingsKey[] = L"Software\\Quenmark\\Velkaro";

inline void ClearSettings() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

inline bool SettingsKeyExists() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  ::RegCloseKey(key);
  return true;
}

// kEmpty: no settings key at all, as on a first start. kFresh: none either but the two
// window options off, so that a run keeps the full window. kKept: what is stored.
enum class Settings { kEmpty, kFresh, kKept };

inline void StoreOption(const wchar_t* name, DWORD value) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  ::RegCloseKey(key);
}

class Velkaro {
 public:
  // Starts the program with `arguments`. With fresh settings the settings key is removed
  // first, and the start waits until the window has loaded the defaults (a duration of
  // 20 s), so that nothing a test types is overwritten by the load after the first show.
  explicit Velkaro(const std::wstring& program, const std::wstring& arguments = L"",
                   Settings settings = Settings::kFresh) {
    if (settings != Settings::kKept) ClearSettings();
    if (settings == Settings::kFresh) {
      StoreOption(L"Compact", 0);
      StoreOption(L"AutoPin", 0);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + program + L"\"";
    if (!arguments.empty()) command += L" " + arguments;
    if (::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, &startup, &process_)) {
      ::CloseHandle(process_.hThread);
      process_.hThread = nullptr;
      WaitFor([this] { return (window_ = FindMainWindow()) != nullptr; }, 30s);
      if (window_ != nullptr && settings != Settings::kKept && arguments.empty()) {
        WaitFor([this] { return ControlText(main_window::kEdTime) == L"20"; });
      }
    } else {
      process_ = {};
    }
  }
  Velkaro(const Velkaro&) = delete;
  Velkaro& operator=(const Velkaro&) = delete;
  ~Velkaro() {
    if (process_.hProcess == nullptr) return;
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_.hProcess, 99);
      ::WaitForSingleObject(process_.hProcess, 10000);
    }
    ::CloseHandle(process_.hProcess);
  }

  bool Started() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  HANDLE Process() const { return process_.hProcess; }

  HWND Control(int id) const { return FindControlById(window_, id); }

  std::wstring Text(HWND window) const {
    wchar_t buffer[512] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                          SMTO_NORMAL, 5000, &copied);
    return std::wstring(buffer, copied);
  }
  std::wstring Caption() const { return Text(window_); }
  std::wstring ControlText(int id) const { return Text(Control(id)); }

  void SetText(int id, const std::wstring& text) const {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_NORMAL, 5000, &result);
  }

  // Sets the pause, the duration and the thread count of the next run.
  void SetRun(int pause, int seconds, int threads = 1) const {
    SetText(main_window::kEdStPause, std::to_wstring(pause));
    SetText(main_window::kEdTime, std::to_wstring(seconds));
    SetText(main_window::kEdThreads, std::to_wstring(threads));
  }

  // A key press as the message loop sees it.
  void PressKey(WPARAM key) const {
    ::PostMessageW(window_, WM_KEYDOWN, key, 1);
    ::PostMessageW(window_, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  }
  // A key pressed on the keyboard: it goes to whatever has the focus in the foreground
  // window, and nothing routes it to the main window first.
  void TypeKey(WORD key) const {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
  }
  // A click into a control, which gives an edit the focus.
  void ClickInto(int id) const {
    ::PostMessageW(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }
  // The control with the keyboard focus in the program's window thread.
  HWND Focused() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const DWORD thread = ::GetWindowThreadProcessId(window_, nullptr);
    return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
  }
  void ClickDo() const { ::PostMessageW(Control(main_window::kBDo), BM_CLICK, 0, 0); }
  void Close() const { ::PostMessageW(window_, WM_CLOSE, 0, 0); }

  int ProgressPosition() const {
    DWORD_PTR position = 0;
    ::SendMessageTimeoutW(Control(main_window::kPbTime), PBM_GETPOS, 0, 0, SMTO_NORMAL, 5000,
                          &position);
    return static_cast<int>(position);
  }

  // The acceleration table of an up-down control, read back inside the program's
  // process: the message copies the table into memory of the program.
  std::vector<UDACCEL> UpDownAccel(int id) const {
    const HWND control = Control(id);
    DWORD_PTR count = 0;
    ::SendMessageTimeoutW(control, UDM_GETACCEL, 0, 0, SMTO_NORMAL, 5000, &count);
    std::vector<UDACCEL> table(count);
    if (count == 0) return table;
    void* remote = ::VirtualAllocEx(process_.hProcess, nullptr, count * sizeof(UDACCEL),
                                    MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) return {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(control, UDM_GETACCEL, count, reinterpret_cast<LPARAM>(remote),
                          SMTO_NORMAL, 5000, &copied);
    SIZE_T read = 0;
    if (copied != count || !::ReadProcessMemory(process_.hProcess, remote, table.data(),
                                                 count * sizeof(UDACCEL), &read)) {
      table.clear();
    }
    ::VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return table;
  }

  // The colour of a pixel of a control as the screen shows it (client coordinates).
  COLORREF Pixel(int id, int x, int y) const {
    POINT at{x, y};
    ::ClientToScreen(Control(id), &at);
    const HDC screen = ::GetDC(nullptr);
    const COLORREF color = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return color;
  }

  // A visible top-level window of the program of that class, or nullptr.
  HWND FindVisibleWindow(const wchar_t* class_name) const {
    return FindTopWindow([&](HWND window) {
      return ProcessOf(window) == process_.dwProcessId && ClassOf(window) == class_name;
    });
  }
  DWORD ProcessId() const { return process_.dwProcessId; }

  // The smallest rectangle around the pixels of a control's client area that show
  // `color` on the screen (empty when none do); one copy of the area, so that large
  // areas are searched quickly.
  RECT BoundsOfColor(int id, COLORREF color) const {
    RECT client{};
    ::GetClientRect(Control(id), &client);
    POINT origin{0, 0};
    ::ClientToScreen(Control(id), &origin);
    const ScopedGetDc screen(nullptr);
    const ScopedCreatedDc memory(::CreateCompatibleDC(screen.Get()));
    std::uint32_t* pixels = nullptr;
    const ScopedBitmap bitmap = CreateDib32(memory.Get(), client.right, client.bottom, pixels);
    RECT found{};
    if (bitmap) {
      const ScopedSelectObject select(memory.Get(), bitmap.Get());
      ::BitBlt(memory.Get(), 0, 0, client.right, client.bottom, screen.Get(), origin.x, origin.y,
               SRCCOPY);
      ::GdiFlush();
      // A DIB holds 0x00RRGGBB, a COLORREF 0x00BBGGRR.
      const DWORD wanted = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
      bool any = false;
      for (LONG y = 0; y < client.bottom; ++y) {
        for (LONG x = 0; x < client.right; ++x) {
          if ((pixels[y * client.right + x] & 0xFFFFFFu) != wanted) continue;
          if (!any) found = {x, y, x + 1, y + 1};
          any = true;
          found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
                   std::max(found.bottom, y + 1)};
        }
      }
    }
    return found;
  }

  // The exit code once the process has ended within `timeout`; STILL_ACTIVE otherwise.
  DWORD ExitCode(std::chrono::milliseconds timeout) const {
    if (::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) !=
        WAIT_OBJECT_0) {
      return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  HWND FindMainWindow() const { return FindVisibleWindow(main_window::kFormClassName); }

  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

}  // namespace velkaro::win32::driver
