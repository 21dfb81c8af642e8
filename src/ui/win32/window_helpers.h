// Small helpers for input state, queued input and the position of controls.
#pragma once

#include <windows.h>

namespace velkaro::win32 {

// True while the key or mouse button is held down (for VK_LBUTTON, the left button).
bool IsKeyDown(int virtual_key);

// Drops every keyboard message queued for the calling thread.
void FlushKeyboardMessages();
// Drops every mouse message queued for the window (and its children).
void FlushMouseMessages(HWND window);

// Right and bottom edge of a control in its parent's client coordinates (for a
// top-level window, in screen coordinates).
int ControlRight(HWND control);
int ControlBottom(HWND control);
// Moves the control to x, y in its parent's client coordinates, keeping its size.
void SetControlPos(HWND control, int x, int y);

// The control with `id` among the window's children at any depth (GetDlgItem looks
// at direct children only); nullptr when there is none.
HWND FindControlById(HWND window, int id);

}  // namespace velkaro::win32
