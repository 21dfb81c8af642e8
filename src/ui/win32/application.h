// The application object: the message loop with the forms' keyboard preview, the
// title on the taskbar button, the terminate flag, and the general error handler that
// every window procedure's exception barrier reports to.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace velkaro::win32 {

class TApplication {
 public:
  // Shows the message of an error that escaped a handler; the program goes on.
  using ErrorHandler = std::function<void(std::u16string_view message)>;

  // Registers the common controls and creates the taskbar window. One per program; a
  // second one (a test's) stands in for the first until it goes.
  explicit TApplication(HINSTANCE instance);
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;
  ~TApplication();

  // The living application object, or nullptr.
  static TApplication* Current();

  HINSTANCE Instance() const { return instance_; }
  // The hidden-caption window that owns the main window and carries the taskbar button,
  // so that the button's text (the title) can differ from the main window's caption.
  HWND Handle() const { return handle_; }

  void SetTitle(std::u16string_view title);
  std::u16string Title() const;

  // The window whose closing ends Run; it is shown, minimized and restored together
  // with the taskbar button.
  void SetMainWindow(HWND window) { main_window_ = window; }
  HWND MainWindow() const { return main_window_; }

  // Handles messages until Terminate or WM_QUIT; returns WM_QUIT's exit code (0 after
  // Terminate).
  int Run();
  // Handles every message waiting now, then returns; the nested loop of a long
  // operation calls it between its steps.
  void ProcessMessages();
  // Handles messages, waiting for each, until `done` holds, Terminate or WM_QUIT: the
  // loop of a modal dialog.
  void RunUntil(const std::function<bool()>& done);
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  // Shows the text of the exception being handled through the error handler. Call it
  // only inside a catch block.
  void HandleException() noexcept;
  // The default handler shows a message box; tests put in one that records the text.
  void SetErrorHandler(ErrorHandler handler) { error_handler_ = std::move(handler); }

  // Minimizes the program to its taskbar button, and brings it back.
  void Minimize();
  void Restore();

  // Sees every mouse and key message the loop takes, before it is dispatched; the
  // application's tooltips follow the mouse this way. An empty observer removes it.
  using InputObserver = std::function<void(const MSG& message)>;
  void SetInputObserver(InputObserver observer) { input_observer_ = std::move(observer); }

 private:
  // False when no message was waiting.
  bool ProcessMessage(bool wait);
  void Dispatch(MSG& message);
  static LRESULT CALLBACK TaskbarWindowProc(HWND window, UINT message, WPARAM w, LPARAM l);

  HINSTANCE instance_;
  TApplication* previous_;
  HWND handle_ = nullptr;
  HWND main_window_ = nullptr;
  bool terminated_ = false;
  int exit_code_ = 0;
  ErrorHandler error_handler_;
  InputObserver input_observer_;
};

// The barrier's end: reports the exception being handled to the application's error
// handler (a message box when there is no application). Call only inside a catch block.
void HandleCurrentException() noexcept;

// The text of the exception being handled. Call only inside a catch block.
std::u16string CurrentExceptionText();

}  // namespace velkaro::win32
