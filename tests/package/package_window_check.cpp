// Starts velkaro.exe from an unpacked release package, as a user would: with the
// German language chosen in the settings, it must show its window in German (so it
// found the package's Langs folder beside itself), and end with exit code 0 as soon
// as the window is closed.
//
//   package_window_check FOLDER
//
// FOLDER is the package's folder (a Linux path is reached through Wine's drive Z:).
// Exit code 0 when everything held; 1 with a message otherwise.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include "ui/win32/main_window_ids.h"
#include "ui/win32/window_helpers.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace ids = velkaro::win32::main_window;

constexpr wchar_t kSettingsKey[] = L"Software\\Quenmark\\Velkaro";
constexpr wchar_t kCheckedLanguage[] = L"de";
constexpr wchar_t kRunButtonTextId[] = L"50=";

int Fail(const std::wstring& message) {
  std::fwprintf(stdout, L"package_window_check: %ls\n", message.c_str());
  std::fflush(stdout);
  return 1;
}

std::wstring WindowsPath(const wchar_t* path) {
  std::wstring result;
  for (const wchar_t* c = path; *c != L'\0'; ++c) result += *c == L'/' ? L'\\' : *c;
  if (!result.empty() && result[0] == L'\\') result = L"Z:" + result;
  while (!result.empty() && result.back() == L'\\') result.pop_back();
  return result;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The text of one entry of a language file (UTF-16LE with a byte order mark, one
// "id=text" a line), or nothing when the file or the entry is missing.
std::optional<std::wstring> LanguageText(const std::wstring& file, const std::wstring& prefix) {
  std::ifstream in(file.c_str(), std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return std::nullopt;
  if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
      static_cast<unsigned char>(bytes[1]) != 0xFE) {
    return std::nullopt;
  }
  std::wstring text;
  for (std::size_t k = 2; k + 1 < bytes.size(); k += 2) {
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[k]) |
                                 (static_cast<unsigned char>(bytes[k + 1]) << 8));
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    if (text.compare(start, prefix.size(), prefix) == 0) {
      return text.substr(start + prefix.size(), end - start - prefix.size());
    }
    start = end + 1;
  }
  return std::nullopt;
}

bool WaitFor(const auto& condition, std::chrono::milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  while (Clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return condition();
}

HWND FindProgramWindow(DWORD process) {
  struct Search {
    DWORD process;
    HWND found;
  } search{process, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
        if (owner != s->process || std::wstring(name) != ids::kFormClassName ||
            !::IsWindowVisible(window)) {
          return TRUE;
        }
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring ControlText(HWND window, int id) {
  const HWND found = velkaro::win32::FindControlById(window, id);
  if (found == nullptr) return L"";
  wchar_t buffer[256] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(found, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_NORMAL, 5000, &copied);
  return std::wstring(buffer, copied);
}

// The settings the check leaves behind are none: the key goes before and after.
struct SettingsKey {
  SettingsKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
  ~SettingsKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
  bool ChooseLanguage(const wchar_t* code) const {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                          KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    const DWORD bytes = static_cast<DWORD>((std::wcslen(code) + 1) * sizeof(wchar_t));
    const bool written = ::RegSetValueExW(key, L"LangCode", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(code), bytes) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return Fail(L"usage: package_window_check FOLDER");
  const std::wstring folder = WindowsPath(argv[1]);
  const std::wstring program = folder + L"\\velkaro.exe";
  if (!FileExists(program)) return Fail(L"no velkaro.exe in " + folder);
  const std::wstring language_file = folder + L"\\Langs\\" + kCheckedLanguage + L".lng";
  const std::optional<std::wstring> expected = LanguageText(language_file, kRunButtonTextId);
  if (!expected || expected->empty()) {
    return Fail(L"no run button text in " + language_file);
  }

  const SettingsKey settings;
  if (!settings.ChooseLanguage(kCheckedLanguage)) return Fail(L"cannot write the settings key");

  // Started from another folder: the program must find its files beside itself, not in
  // the working folder.
  const std::wstring working = folder.substr(0, folder.find_last_of(L'\\'));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + program + L"\"";
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        working.empty() ? nullptr : working.c_str(), &startup, &process)) {
    return Fail(L"cannot start " + program + L", error " + std::to_wstring(::GetLastError()));
  }
  ::CloseHandle(process.hThread);
  struct Ending {
    HANDLE process;
    ~Ending() {
      if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process, 99);
        ::WaitForSingleObject(process, 5000);
      }
      ::CloseHandle(process);
    }
  } ending{process.hProcess};

  HWND window = nullptr;
  if (!WaitFor([&] { return (window = FindProgramWindow(process.dwProcessId)) != nullptr; }, 20s)) {
    return Fail(L"velkaro.exe showed no window of class VelkaroForm within 20 s");
  }
  std::wstring shown;
  if (!WaitFor([&] { return (shown = ControlText(window, ids::kBDo)) == *expected; }, 5s)) {
    return Fail(L"the run button says \"" + shown + L"\", the package's " + kCheckedLanguage +
                L".lng says \"" + *expected + L"\"");
  }
  std::fwprintf(stdout, L"package_window_check: window up, run button \"%ls\"\n", shown.c_str());

  const auto closed_at = Clock::now();
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    return Fail(L"velkaro.exe still runs 10 s after WM_CLOSE");
  }
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(process.hProcess, &code);
  if (code != 0) return Fail(L"velkaro.exe ended with exit code " + std::to_wstring(code));
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - closed_at);
  std::fwprintf(stdout, L"package_window_check: closed with exit code 0 after %lld ms\n",
                static_cast<long long>(took.count()));
  return 0;
}
