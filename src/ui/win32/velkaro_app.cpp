// velkaro.exe: the taskbar object, the application, the main window and the message loop.
#include <windows.h>

#include "ui/win32/application.h"
#include "ui/win32/hint_window.h"
#include "ui/win32/main_window.h"
#include "ui/win32/taskbar.h"

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
    TfmMain fmMain(taskbar);
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
