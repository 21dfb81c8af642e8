// velkaro.exe: the taskbar object, the application, the main window and the message loop.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "ui/win32/application.h"
#include "ui/win32/hint_window.h"
#include "ui/win32/main_window.h"
#include "ui/win32/taskbar.h"

namespace {

// The program's parameters after its own name.
std::vector<std::u16string> ProgramArguments() {
  std::vector<std::u16string> arguments;
  int count = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (argv == nullptr) return arguments;
  for (int i = 1; i < count; ++i) {
    const std::wstring argument = argv[i];
    arguments.emplace_back(argument.begin(), argument.end());
  }
  ::LocalFree(argv);
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int /*show*/) {
  using namespace velkaro::win32;
  // Created before any window and kept for the whole run, so that every window's
  // taskbar button can show progress.
  const TaskbarProgress taskbar(true);
  TApplication application(instance);
  // Every control's tooltip is drawn by the hint window in the system's message font.
  InitHintFont();
  const ApplicationHints hints(application);
  int exit_code = 0;
  {
    TfmMain fmMain(taskbar, ProgramArguments());
    try {
      if (!fmMain.Construct()) return 2;
    } catch (...) {
      HandleCurrentException();
      return 2;
    }
    fmMain.Show();
    exit_code = application.Run();
  }
  return exit_code;
}
