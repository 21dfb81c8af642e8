#include "ui/win32/application.h"

#include <commctrl.h>

#include <exception>

#include "platform/win32/registry.h"
#include "platform/win32/wide.h"
#include "support/utf.h"
#include "ui/win32/window.h"

namespace velkaro::win32 {
namespace {

constexpr wchar_t kTaskbarWindowClass[] = L"VelkaroApplication";

TApplication* g_application = nullptr;

void ShowErrorBox(std::u16string_view message, HWND owner, const std::wstring& title) {
  const std::wstring text = platform::ToWide(message);
  ::MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

bool IsKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

bool IsInputMessage(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
         (message >= WM_KEYFIRST && message <= WM_KEYLAST);
}

}  // namespace

std::u16string CurrentExceptionText() {
  try {
    throw;
  } catch (const platform::RegistryError& error) {
    return error.message();
  } catch (const std::exception& error) {
    return FromUtf8(error.what());
  } catch (...) {
    return u"Unknown error";
  }
}

void HandleCurrentException() noexcept {
  if (g_application != nullptr) {
    g_application->HandleException();
    return;
  }
  try {
    ShowErrorBox(CurrentExceptionText(), nullptr, L"Error");
  } catch (...) {
  }
}

TApplication::TApplication(HINSTANCE instance)
    : instance_(instance), previous_(g_application) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                                      ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &TApplication::TaskbarWindowProc;
  window_class.hInstance = instance_;
  window_class.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(1));
  window_class.lpszClassName = kTaskbarWindowClass;
  ::RegisterClassExW(&window_class);
  // Zero-sized and never activated by itself: only its taskbar button is seen.
  handle_ = ::CreateWindowExW(0, kTaskbarWindowClass, L"",
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                              nullptr, nullptr, instance_, this);
  g_application = this;
}

TApplication::~TApplication() {
  g_application = previous_;
  if (handle_ != nullptr) ::DestroyWindow(handle_);
}

TApplication* TApplication::Current() { return g_application; }

void TApplication::SetTitle(std::u16string_view title) {
  ::SetWindowTextW(handle_, platform::ToWide(title).c_str());
}

std::u16string TApplication::Title() const {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(handle_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(handle_, text.data(), static_cast<int>(text.size()))));
  return platform::FromWide(text);
}

int TApplication::Run() {
  while (!terminated_) ProcessMessage(true);
  return exit_code_;
}

void TApplication::RunUntil(const std::function<bool()>& done) {
  while (!terminated_ && !done()) ProcessMessage(true);
}

void TApplication::ProcessMessages() {
  while (!terminated_ && ProcessMessage(false)) {
  }
}

bool TApplication::ProcessMessage(bool wait) {
  MSG message;
  if (wait) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return false;
    if (got == 0) message.message = WM_QUIT;
  } else if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    return false;
  }
  if (message.message == WM_QUIT) {
    terminated_ = true;
    exit_code_ = static_cast<int>(message.wParam);
    return true;
  }
  Dispatch(message);
  return true;
}

void TApplication::Dispatch(MSG& message) {
  if (input_observer_ && IsInputMessage(message.message)) {
    try {
      input_observer_(message);
    } catch (...) {
      HandleCurrentException();
    }
  }
  const HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr) {
    if (IsKeyMessage(message.message)) {
      // The form sees the key before the focused control and may keep it.
      if (WindowBase* form = WindowBase::FromHandle(root); form != nullptr) {
        bool consumed = false;
        try {
          consumed = form->PreviewKey(message.message, message.wParam);
        } catch (...) {
          HandleCurrentException();
          consumed = true;
        }
        if (consumed) return;
      }
    }
    // Tab, arrows and mnemonics move between the controls as in a dialog.
    if (::IsDialogMessageW(root, &message)) return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

void TApplication::HandleException() noexcept {
  try {
    const std::u16string text = CurrentExceptionText();
    if (error_handler_) {
      error_handler_(text);
    } else {
      ShowErrorBox(text, main_window_, platform::ToWide(Title()));
    }
  } catch (...) {
    // An error handler that fails has nobody left to report to.
  }
}

void TApplication::Minimize() {
  if (main_window_ != nullptr) ::ShowWindow(main_window_, SW_HIDE);
  ::ShowWindow(handle_, SW_MINIMIZE);
}

void TApplication::Restore() {
  ::ShowWindow(handle_, SW_RESTORE);
  if (main_window_ != nullptr) {
    ::ShowWindow(main_window_, SW_SHOW);
    ::SetForegroundWindow(main_window_);
  }
}

LRESULT CALLBACK TApplication::TaskbarWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  try {
    auto* self = reinterpret_cast<TApplication*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
      self = static_cast<TApplication*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) return ::DefWindowProcW(window, message, w, l);
    switch (message) {
      case WM_SYSCOMMAND:
        switch (w & 0xFFF0) {
          case SC_MINIMIZE:
            self->Minimize();
            return 0;
          case SC_RESTORE:
            self->Restore();
            return 0;
          case SC_CLOSE:
            if (self->main_window_ != nullptr) ::PostMessageW(self->main_window_, WM_CLOSE, 0, 0);
            return 0;
          default:
            break;
        }
        break;
      case WM_ACTIVATE:
        // A click on the taskbar button activates this window; the main window takes over.
        if (LOWORD(w) != WA_INACTIVE && self->main_window_ != nullptr &&
            ::IsWindowEnabled(self->main_window_) && ::IsWindowVisible(self->main_window_)) {
          ::SetActiveWindow(self->main_window_);
          return 0;
        }
        break;
      case WM_CLOSE:
        if (self->main_window_ != nullptr) ::PostMessageW(self->main_window_, WM_CLOSE, 0, 0);
        return 0;
      default:
        break;
    }
    return ::DefWindowProcW(window, message, w, l);
  } catch (...) {
    HandleCurrentException();
    return 0;
  }
}

}  // namespace velkaro::win32
