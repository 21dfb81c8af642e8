#include "ui/win32/window.h"

#include <windowsx.h>

#include <commctrl.h>

#include <memory>

#include "platform/win32/wide.h"
#include "ui/win32/application.h"
#include "ui/win32/screen.h"

namespace velkaro::win32 {
namespace {

HCURSOR g_screen_cursor = nullptr;

constexpr UINT_PTR kMouseDownSubclassId = 1;
// The handler of a window's mouse-down subclass, so that a second call replaces it.
constexpr wchar_t kMouseDownProperty[] = L"VelkaroMouseDown";

LRESULT CALLBACK MouseDownSubclassProc(HWND window, UINT message, WPARAM w, LPARAM l,
                                       UINT_PTR /*id*/, DWORD_PTR data) {
  auto* handler = reinterpret_cast<MouseDownHandler*>(data);
  try {
    switch (message) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        (*handler)(window, message, {GET_X_LPARAM(l), GET_Y_LPARAM(l)});
        break;
      case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, &MouseDownSubclassProc, kMouseDownSubclassId);
        ::RemovePropW(window, kMouseDownProperty);
        delete handler;
        break;
      default:
        break;
    }
  } catch (...) {
    HandleCurrentException();
  }
  return ::DefSubclassProc(window, message, w, l);
}

bool HasClass(HWND window, const wchar_t* class_name) {
  wchar_t name[32] = {};
  ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return ::lstrcmpiW(name, class_name) == 0;
}

}  // namespace

void Window::SetText(std::u16string_view text) const {
  ::SetWindowTextW(window_, platform::ToWide(text).c_str());
}

std::u16string Window::Text() const {
  const auto length = static_cast<std::size_t>(Send(WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      Send(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return platform::FromWide(text);
}

Rect Window::Bounds() const {
  RECT rect{};
  ::GetWindowRect(window_, &rect);
  if (const HWND parent = ::GetAncestor(window_, GA_PARENT);
      parent != nullptr && parent != ::GetDesktopWindow()) {
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return ToRect(rect);
}

void Window::SetBounds(const Rect& bounds) const {
  ::SetWindowPos(window_, nullptr, bounds.left, bounds.top, static_cast<int>(bounds.Width()),
                 static_cast<int>(bounds.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetPosition(int x, int y) const {
  ::SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Point Window::ClientSize() const {
  RECT rect{};
  ::GetClientRect(window_, &rect);
  return {rect.right, rect.bottom};
}

WindowBase::~WindowBase() {
  // Handlers of derived classes are gone by now; only this class's ones run.
  if (window_ != nullptr) ::DestroyWindow(window_);
}

WindowBase* WindowBase::FromHandle(HWND window) {
  if (window == nullptr ||
      ::GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&WindowProc)) {
    return nullptr;
  }
  return reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool WindowBase::SetTimer(UINT_PTR id, UINT milliseconds) {
  // Without a window the system would make a thread timer of a new id on every call,
  // which nothing could stop.
  if (window_ == nullptr) return false;
  return ::SetTimer(window_, id, milliseconds, nullptr) != 0;
}

void WindowBase::KillTimer(UINT_PTR id) {
  if (window_ != nullptr) ::KillTimer(window_, id);
}

void WindowBase::SetColor(Color color) {
  if (brush_ && color == color_) return;
  color_ = color;
  brush_.Reset(::CreateSolidBrush(color));
  if (window_ != nullptr) ::InvalidateRect(window_, nullptr, TRUE);
}

bool WindowBase::PreviewKey(UINT /*message*/, WPARAM /*key*/) { return false; }

bool WindowBase::CreateWindowOfClass(const wchar_t* class_name, DWORD ex_style, DWORD style,
                                     const Rect& bounds, HWND parent, HMENU menu_or_id,
                                     std::u16string_view text) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  if (!::GetClassInfoExW(instance, class_name, &window_class)) {
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = &WindowBase::WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    window_class.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    window_class.lpszClassName = class_name;
    if (::RegisterClassExW(&window_class) == 0) return false;
  }
  if (!brush_) SetColor(ButtonFaceColor());
  const std::wstring caption = platform::ToWide(text);
  return ::CreateWindowExW(ex_style, class_name, caption.c_str(), style, bounds.left, bounds.top,
                           static_cast<int>(bounds.Width()), static_cast<int>(bounds.Height()),
                           parent, menu_or_id, instance, this) != nullptr;
}

LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  WindowBase* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return ::DefWindowProcW(window, message, w, l);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, w, l);
  } catch (...) {
    HandleCurrentException();
    result = message == WM_NCCREATE ? FALSE : 0;
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
  }
  return result;
}

LRESULT WindowBase::DefaultHandler(UINT message, WPARAM w, LPARAM l) {
  return ::DefWindowProcW(window_, message, w, l);
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      OnTimer(w);
      return 0;
    case WM_COMMAND:
      if (OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l))) return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      OnMouseDown(message, {GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      return 0;
    case WM_SETCURSOR:
      if (g_screen_cursor != nullptr) {
        ::SetCursor(g_screen_cursor);
        return TRUE;
      }
      break;
    case WM_ERASEBKGND:
      if (!painted_) {
        RECT client{};
        ::GetClientRect(window_, &client);
        ::FillRect(reinterpret_cast<HDC>(w), &client, brush_.Get());
      }
      return 1;
    case WM_PAINT:
      if (painted_) {
        PaintBuffered();
        return 0;
      }
      break;
    case WM_PRINTCLIENT: {
      RECT client{};
      ::GetClientRect(window_, &client);
      Paint(reinterpret_cast<HDC>(w), client);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ColorControl(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
    case WM_CLOSE:
      if (OnClose()) ::DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      break;
  }
  return DefaultHandler(message, w, l);
}

void WindowBase::Paint(HDC dc, const RECT& client) {
  ::FillRect(dc, &client, brush_.Get());
  OnPaint(dc, client);
}

void WindowBase::PaintBuffered() {
  PAINTSTRUCT paint{};
  const HDC dc = ::BeginPaint(window_, &paint);
  if (dc == nullptr) return;
  RECT client{};
  ::GetClientRect(window_, &client);
  ScopedCreatedDc buffer(::CreateCompatibleDC(dc));
  ScopedBitmap bitmap(::CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (buffer && bitmap) {
    {
      ScopedSelectObject select(buffer.Get(), bitmap.Get());
      Paint(buffer.Get(), client);
      ::BitBlt(dc, 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
    }
  } else {
    Paint(dc, client);
  }
  ::EndPaint(window_, &paint);
}

LRESULT WindowBase::ColorControl(HDC dc, HWND control) {
  // Edits that are read-only or disabled also ask here; they keep the system's look.
  if (HasClass(control, L"Edit")) return DefaultHandler(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(control));
  const auto stored = reinterpret_cast<UINT_PTR>(::GetPropW(control, kTextColorProperty));
  ::SetTextColor(dc, stored != 0 ? static_cast<COLORREF>(stored - 1)
                                 : ::GetSysColor(COLOR_WINDOWTEXT));
  ::SetBkColor(dc, color_);
  return reinterpret_cast<LRESULT>(brush_.Get());
}

bool SetMouseDownHandler(HWND window, MouseDownHandler handler) {
  if (auto* installed = static_cast<MouseDownHandler*>(::GetPropW(window, kMouseDownProperty))) {
    *installed = std::move(handler);
    return true;
  }
  auto owned = std::make_unique<MouseDownHandler>(std::move(handler));
  if (!::SetWindowSubclass(window, &MouseDownSubclassProc, kMouseDownSubclassId,
                           reinterpret_cast<DWORD_PTR>(owned.get()))) {
    return false;
  }
  ::SetPropW(window, kMouseDownProperty, owned.get());
  static_cast<void>(owned.release());  // freed at WM_NCDESTROY
  return true;
}

ScopedHourglass::ScopedHourglass() : previous_override_(g_screen_cursor) {
  g_screen_cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // IDC_WAIT
  ::SetCursor(g_screen_cursor);
}

ScopedHourglass::~ScopedHourglass() {
  g_screen_cursor = previous_override_;
  ::SetCursor(g_screen_cursor != nullptr ? g_screen_cursor
                                         : ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
}

HCURSOR ScreenCursor() { return g_screen_cursor; }

Color ButtonFaceColor() { return static_cast<Color>(::GetSysColor(COLOR_BTNFACE)); }

}  // namespace velkaro::win32
