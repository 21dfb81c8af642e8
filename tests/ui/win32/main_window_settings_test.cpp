// velkaro.exe's settings seen from outside: what a restart brings back, what the
// eleven-field command line of a clone overrides, the defaults, and a stored value of
// the wrong kind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "main_window_driver.h"

namespace velkaro::win32::driver {
namespace {

using namespace main_window;

const std::wstring kProgram = ProgramPath(VELKARO_EXE_PATH);

int Selected(const Velkaro& app, int id) {
  DWORD_PTR index = 0;
  ::SendMessageTimeoutW(app.Control(id), CB_GETCURSEL, 0, 0, SMTO_NORMAL, 5000, &index);
  return static_cast<int>(static_cast<LRESULT>(index));
}

void Select(const Velkaro& app, int id, int index) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(app.Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0,
                        SMTO_NORMAL, 5000, &result);
}

// The six run values as the window shows them.
struct Shown {
  std::wstring pause, time, threads;
  int priority, priority_class, rhythm;
  bool operator==(const Shown&) const = default;
};
void PrintTo(const Shown& s, std::ostream* out) {
  *out << "pause " << std::string(s.pause.begin(), s.pause.end()) << ", time "
       << std::string(s.time.begin(), s.time.end()) << ", threads "
       << std::string(s.threads.begin(), s.threads.end()) << ", lists " << s.priority << " "
       << s.priority_class << " " << s.rhythm;
}

Shown ShownBy(const Velkaro& app) {
  return {app.ControlText(kEdStPause), app.ControlText(kEdTime), app.ControlText(kEdThreads),
          Selected(app, kCbPriority),  Selected(app, kCbPriorClass), Selected(app, kCbStyle)};
}

// Values in the settings key, written as another program or the user would.
void StoreNumber(const wchar_t* name, DWORD value, const std::wstring& subkey = L"") {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(kSettingsKey) + subkey;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  ::RegCloseKey(key);
}

std::optional<DWORD> StoredNumber(const wchar_t* name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD value = 0;
  DWORD size = sizeof(value);
  DWORD type = 0;
  const LSTATUS status =
      ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value;
}

void CloseNormally(Velkaro& app) {
  app.Close();
  ASSERT_EQ(app.ExitCode(10s), 0u);
}

TEST(MainWindowSettingsTest, ChangedValuesComeBackAfterARestart) {
  {
    Velkaro app(kProgram);
    ASSERT_TRUE(app.Started());
    app.SetText(kEdStPause, L"7");
    app.SetText(kEdTime, L"33");
    app.SetText(kEdThreads, L"4");
    Select(app, kCbPriority, 2);
    Select(app, kCbPriorClass, 1);
    Select(app, kCbStyle, 4);
    CloseNormally(app);
  }
  Velkaro again(kProgram, L"", Settings::kKept);
  ASSERT_TRUE(again.Started());
  ASSERT_TRUE(WaitFor([&] { return again.ControlText(kEdTime) == L"33"; }));
  EXPECT_EQ(ShownBy(again), (Shown{L"7", L"33", L"4", 2, 1, 4}));
}

TEST(MainWindowSettingsTest, ElevenArgumentsWinOverTheStoredValues) {
  ClearSettings();
  StoreNumber(L"PauseBefore", 9);
  StoreNumber(L"Time", 99);
  StoreNumber(L"Threads", 9);
  // Pause, duration (shown as unsigned), the three positions (the class beyond its
  // list), the thread count above the limit, compact, auto-pin, pin, left and top.
  Velkaro clone(kProgram, L"5 -5 0 9 3 250000 1 0 1 100 120", Settings::kKept);
  ASSERT_TRUE(clone.Started());
  ASSERT_TRUE(WaitFor([&] { return clone.ControlText(kEdTime) == L"4294967291"; }));
  EXPECT_EQ(ShownBy(clone), (Shown{L"5", L"4294967291", L"100000", 0, 5, 3}));
  RECT bounds{};
  ::GetWindowRect(clone.Window(), &bounds);
  EXPECT_EQ(bounds.left, 100);
  EXPECT_EQ(bounds.top, 120);
  // Field 9 puts the pin down, and the window on top of the others.
  EXPECT_TRUE(WaitFor([&] {
    return ::SendMessageW(clone.Control(kSbPin), BM_GETCHECK, 0, 0) == BST_CHECKED &&
           (::GetWindowLongPtrW(clone.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  }));
}

TEST(MainWindowSettingsTest, TenArgumentsAreNoCloneLine) {
  ClearSettings();
  StoreNumber(L"Time", 99);
  Velkaro app(kProgram, L"5 -5 0 9 3 250000 1 0 1 100", Settings::kKept);
  ASSERT_TRUE(app.Started());
  EXPECT_TRUE(WaitFor([&] { return app.ControlText(kEdTime) == L"99"; }));
  EXPECT_EQ(::SendMessageW(app.Control(kSbPin), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(MainWindowSettingsTest, RestoreDefaultsThenCloseStoresTheDefaults) {
  Velkaro app(kProgram);
  ASSERT_TRUE(app.Started());
  app.SetRun(0, 60, 8);
  Select(app, kCbStyle, 6);
  ::PostMessageW(app.Window(), WM_COMMAND, kMiRestore, 0);
  ASSERT_TRUE(WaitFor([&] { return app.ControlText(kEdTime) == L"20"; }));
  EXPECT_EQ(ShownBy(app), (Shown{L"3", L"20", L"1", 5, 3, 0}));
  CloseNormally(app);
  const struct {
    const wchar_t* name;
    DWORD value;
  } stored[] = {{L"PauseBefore", 3}, {L"Time", 20}, {L"Priority", 5},
                {L"ClassPriority", 3}, {L"Rhythm", 0}, {L"Threads", 1}};
  for (const auto& value : stored) {
    EXPECT_EQ(StoredNumber(value.name), value.value) << std::string(value.name, value.name + 5);
  }
}

// A clone's place far off the screen is kept on the window's monitor, with at least
// five pixels of the window on it.
TEST(MainWindowSettingsTest, AClonePlaceOffTheMonitorIsKeptOnIt) {
  ClearSettings();
  const HMONITOR monitor = ::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{sizeof(info), {}, {}, 0};
  ASSERT_TRUE(::GetMonitorInfoW(monitor, &info));
  Velkaro clone(kProgram, L"0 1 3 2 0 1 0 0 0 50000 -50000", Settings::kKept);
  ASSERT_TRUE(clone.Started());
  RECT bounds{};
  ASSERT_TRUE(WaitFor([&] {
    ::GetWindowRect(clone.Window(), &bounds);
    return bounds.left == info.rcMonitor.right - 5;
  }));
  EXPECT_EQ(bounds.top, info.rcMonitor.top);
}

// The two window options are stored the moment they are toggled.
TEST(MainWindowSettingsTest, TogglingAWindowOptionStoresItAtOnce) {
  Velkaro app(kProgram, L"", Settings::kEmpty);
  ASSERT_TRUE(app.Started());
  EXPECT_FALSE(StoredNumber(L"Compact").has_value());
  ::PostMessageW(app.Window(), WM_COMMAND, kMiCompact, 0);
  EXPECT_TRUE(WaitFor([] { return StoredNumber(L"Compact") == 0u; }));
  ::PostMessageW(app.Window(), WM_COMMAND, kMiAutoPin, 0);
  EXPECT_TRUE(WaitFor([] { return StoredNumber(L"AutoPin") == 0u; }));
  ::PostMessageW(app.Window(), WM_COMMAND, kMiCompact, 0);
  EXPECT_TRUE(WaitFor([] { return StoredNumber(L"Compact") == 1u; }));
}

// The program's message box, and the texts of its controls.
std::vector<std::wstring> MessageBoxTexts(const Velkaro& app, HWND& box) {
  box = FindTopWindow([&](HWND window) {
    return ProcessOf(window) == app.ProcessId() && ClassOf(window) == L"#32770";
  });
  std::vector<std::wstring> texts;
  if (box == nullptr) return texts;
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    texts.push_back(app.Text(child));
  }
  return texts;
}

TEST(MainWindowSettingsTest, AValueOfTheWrongKindIsReportedAndTheProgramGoesOn) {
  ClearSettings();
  StoreNumber(L"PauseBefore", 7);
  HKEY key = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key),
            ERROR_SUCCESS);
  // A text that fits four bytes: longer data would fail as "Failed to get data".
  const wchar_t text[] = L"6";
  ::RegSetValueExW(key, L"Priority", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
  ::RegCloseKey(key);

  Velkaro app(kProgram, L"", Settings::kKept);
  ASSERT_TRUE(app.Started());
  HWND box = nullptr;
  std::vector<std::wstring> texts;
  ASSERT_TRUE(WaitFor([&] { return !(texts = MessageBoxTexts(app, box)).empty(); }));
  EXPECT_NE(std::find(texts.begin(), texts.end(), L"Invalid data type for 'Priority'"), texts.end());
  // The values before the wrong one were loaded; the program goes on after the box.
  EXPECT_EQ(app.ControlText(kEdStPause), L"7");
  EXPECT_EQ(app.ControlText(kEdTime), L"20");
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitFor([&] { return MessageBoxTexts(app, box).empty(); }));
  EXPECT_EQ(app.ExitCode(0ms), static_cast<DWORD>(STILL_ACTIVE));
  CloseNormally(app);
}

}  // namespace
}  // namespace velkaro::win32::driver
