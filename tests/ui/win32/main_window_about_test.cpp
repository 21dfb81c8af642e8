// velkaro.exe's About box and update check, seen from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "main_window_driver.h"
#include "ui/win32/about_box.h"
#include "velkaro_version.h"

namespace velkaro::win32::driver {
namespace {

using namespace main_window;

constexpr wchar_t kIdleCaption[] = L"Velkaro - Emulator of CPU load";
constexpr wchar_t kHttpCommandKey[] = L"http\\shell\\open\\command";

// The project's version as the About box writes it, and as the update address carries it.
std::wstring VersionPart(int n) { return std::to_wstring(n); }
const std::wstring kLongVersion = VersionPart(VELKARO_VERSION_MAJOR) + L"." +
                                  VersionPart(VELKARO_VERSION_MINOR) + L"." +
                                  VersionPart(VELKARO_VERSION_RELEASE) + L" (build " +
                                  VersionPart(VELKARO_VERSION_BUILD) + L")";
const std::wstring kVersionKey = VersionPart(VELKARO_VERSION_MAJOR) + L"_" +
                                 VersionPart(VELKARO_VERSION_MINOR) + L"_" +
                                 VersionPart(VELKARO_VERSION_RELEASE) + L"~" +
                                 VersionPart(VELKARO_VERSION_BUILD);

class MainWindowAboutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_.Started()) << "velkaro.exe did not show its window";
    ASSERT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
    ::SetForegroundWindow(app_.Window());
    ASSERT_TRUE(WaitFor([this] { return ::GetForegroundWindow() == app_.Window(); }));
  }

  void Command(int id) const {
    ::PostMessageW(app_.Window(), WM_COMMAND, static_cast<WPARAM>(id), 0);
  }

  // The program's visible form other than its main window: the open dialog.
  HWND OpenDialog() const {
    return FindTopWindow([this](HWND window) {
      return ProcessOf(window) == app_.ProcessId() && window != app_.Window() &&
             ClassOf(window) == main_window::kFormClassName;
    });
  }

  Velkaro app_{ProgramPath(VELKARO_EXE_PATH)};
};

TEST_F(MainWindowAboutTest, AboutShowsTheVersionAndClosesWithEscAndEnter) {
  for (const WORD key : {WORD{VK_ESCAPE}, WORD{VK_RETURN}}) {
    Command(kMiAbout);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = OpenDialog()) != nullptr; }));
    EXPECT_EQ(app_.Text(box), L"About");
    EXPECT_FALSE(::IsWindowEnabled(app_.Window())) << "the box is modal";
    const auto text = [&](int id) { return app_.Text(FindControlById(box, id)); };
    EXPECT_EQ(text(about_box::kLbProgName), L"Velkaro");
    EXPECT_EQ(text(about_box::kLbVers), kLongVersion);
    EXPECT_EQ(text(about_box::kLbCop), L"Copyright (c) 2026 Quenmark");
    EXPECT_EQ(text(about_box::kLbOrg), L"Quenmark");
    EXPECT_EQ(text(about_box::kLbURL), L"www.example.com/velkaro");
    EXPECT_EQ(text(about_box::kBOk), L"Ok");

    ::SetForegroundWindow(box);
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == box; }));
    app_.TypeKey(key);
    EXPECT_TRUE(WaitFor([&] { return OpenDialog() == nullptr; })) << "key " << key;
    EXPECT_TRUE(WaitFor([this] { return ::IsWindowEnabled(app_.Window()) != FALSE; }));
  }
}

// The update check hands the shell the maker's address with the program's version. A
// stand-in browser, registered for http for the length of the test, writes down what
// it was given.
TEST_F(MainWindowAboutTest, CheckForUpdatesOpensTheUpdateAddressWithTheVersion) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring marker = std::wstring(temp) + L"velkaro-update-" +
                              std::to_wstring(::GetCurrentProcessId()) + L".txt";
  ::DeleteFileW(marker.c_str());

  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, kHttpCommandKey, 0, nullptr, 0,
                              KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  wchar_t old_command[1024] = {};
  DWORD old_size = sizeof(old_command);
  const bool had_command = ::RegQueryValueExW(key, nullptr, nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(old_command), &old_size) ==
                           ERROR_SUCCESS;
  const std::wstring command =
      L"\"" + ProgramPath(VELKARO_CHILD_PATH) + L"\" \"" + marker + L"\" \"%1\"";
  ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));

  Command(kMiUpdates);
  const bool opened =
      WaitFor([&] { return ::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20s);

  if (had_command) {
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_command), old_size);
  } else {
    ::RegDeleteValueW(key, nullptr);
  }
  ::RegCloseKey(key);

  ASSERT_TRUE(opened) << "the shell started no browser";
  std::wstring content;
  if (FILE* in = _wfopen(marker.c_str(), L"rb")) {
    wchar_t buffer[512];
    for (std::size_t n; (n = std::fread(buffer, sizeof(wchar_t), 512, in)) > 0;) content.append(buffer, n);
    std::fclose(in);
  }
  ::DeleteFileW(marker.c_str());
  EXPECT_EQ(content.substr(0, content.find(L'|')),
            L"http://updates.example.com/kq/checkupdate/" + kVersionKey);
}

// The help viewer's window of the program's process, once it is on the screen.
HWND HelpViewer(const Velkaro& app) { return app.FindVisibleWindow(L"HH Parent"); }

// F1 and "Cautions!" open the compiled help beside the program in the system's viewer
// (Wine's viewer shows the file's contents but draws no page without Wine Gecko, so
// the test sees which file opened, by the viewer's title from the help project).
TEST_F(MainWindowAboutTest, F1AndCautionsOpenTheHelpFileBesideTheProgram) {
  app_.PressKey(VK_F1);
  HWND viewer = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (viewer = HelpViewer(app_)) != nullptr; }, 20s));
  // The viewer shows its window before it takes the help file's title.
  WaitFor([&] { return app_.Text(viewer) == L"Velkaro Help"; }, 10s);
  EXPECT_EQ(app_.Text(viewer), L"Velkaro Help");
  ::PostMessageW(viewer, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return HelpViewer(app_) == nullptr; }));

  Command(kMiCautions);
  EXPECT_TRUE(WaitFor([&] { return (viewer = HelpViewer(app_)) != nullptr; }, 20s));
}

// During a run the Help menu is disabled, and F1 with it.
TEST_F(MainWindowAboutTest, F1DoesNothingDuringARun) {
  app_.SetRun(0, 60);
  app_.PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([this] { return app_.Caption() == L"CPU STRESSING!!!"; }));
  app_.PressKey(VK_F1);
  EXPECT_FALSE(WaitFor([&] { return HelpViewer(app_) != nullptr; }, 2s));
  app_.PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([this] { return app_.Caption() == kIdleCaption; }));
}

}  // namespace
}  // namespace velkaro::win32::driver
