#include "ui/win32/window_helpers.h"

namespace velkaro::win32 {
namespace {

constexpr UINT kFirstKeyMessage = WM_KEYFIRST;
constexpr UINT kLastKeyMessage = 0x0109;  // WM_UNICHAR, the last one on every version
constexpr UINT kFirstMouseMessage = WM_MOUSEFIRST;
constexpr UINT kLastMouseMessage = 0x020E;  // WM_MOUSEHWHEEL
static_assert(kFirstKeyMessage == 256 && kFirstMouseMessage == 512);

void FlushMessages(HWND window, UINT first, UINT last) {
  MSG message;
  while (::PeekMessageW(&message, window, first, last, PM_REMOVE | PM_NOYIELD)) {
  }
}

RECT RectInParent(HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(HWND_DESKTOP, ::GetAncestor(control, GA_PARENT),
                    reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

bool IsKeyDown(int virtual_key) { return ::GetKeyState(virtual_key) < 0; }

void FlushKeyboardMessages() { FlushMessages(nullptr, kFirstKeyMessage, kLastKeyMessage); }

void FlushMouseMessages(HWND window) {
  FlushMessages(window, kFirstMouseMessage, kLastMouseMessage);
}

int ControlRight(HWND control) { return RectInParent(control).right; }

int ControlBottom(HWND control) { return RectInParent(control).bottom; }

void SetControlPos(HWND control, int x, int y) {
  ::SetWindowPos(control, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FindControlById(HWND window, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (::GetDlgCtrlID(child) != s->id) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace velkaro::win32
