// Thin wrappers of the standard controls, one per kind: typed methods over one message
// each, not owning the control. The controls of our own classes (panel, speed button)
// follow after them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/win32/handle.h"
#include "ui/win32/window.h"

namespace velkaro::win32 {

struct ImageListTraits {
  using Handle = HIMAGELIST;
  static Handle Null() { return nullptr; }
  static void Close(Handle handle) { ::ImageList_Destroy(handle); }
};
using ScopedImageList = platform::ScopedHandle<ImageListTraits>;

struct MenuTraits {
  using Handle = HMENU;
  static Handle Null() { return nullptr; }
  static void Close(Handle handle) { ::DestroyMenu(handle); }
};
// A menu not (yet) attached to a window; a window destroys its own menu.
using ScopedMenu = platform::ScopedHandle<MenuTraits>;

enum class TextAlignment { kLeft, kCenter, kRight };

// Static text.
class Label : public Window {
 public:
  using Window::Window;
  // nullopt: the system's window text colour.
  void SetTextColor(std::optional<Color> color) const;
  void SetAlignment(TextAlignment alignment) const;
  // Sizes the label to its text in its font, keeping its left-top corner.
  void AutoSize() const;
};

// Single-line edit.
class Edit : public Window {
 public:
  using Window::Window;
  void SetReadOnly(bool read_only) const { Send(EM_SETREADONLY, read_only, 0); }
  void SelectAll() const { Send(EM_SETSEL, 0, -1); }
};

// Up-down arrows bound to an edit that shows their position.
class UpDown : public Window {
 public:
  using Window::Window;
  void SetBuddy(HWND edit) const { Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0); }
  HWND Buddy() const { return reinterpret_cast<HWND>(Send(UDM_GETBUDDY, 0, 0)); }
  void SetRange(int minimum, int maximum) const {
    Send(UDM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
  }
  int Minimum() const;
  int Maximum() const;
  void SetPosition(int position) const { Send(UDM_SETPOS32, 0, position); }
  // The position read from the edit's text; nullopt when that text is no number in range.
  std::optional<int> Position() const;
  // The amount one click of an arrow adds.
  void SetIncrement(int increment) const;
};

// Drop-down list without free text.
class ComboBox : public Window {
 public:
  using Window::Window;
  void Clear() const { Send(CB_RESETCONTENT, 0, 0); }
  // Position of the new item; -1 on failure.
  int AddItem(std::u16string_view text) const;
  int Count() const { return static_cast<int>(Send(CB_GETCOUNT, 0, 0)); }
  std::u16string ItemText(int index) const;
  // -1 when nothing is selected.
  int ItemIndex() const { return static_cast<int>(Send(CB_GETCURSEL, 0, 0)); }
  // -1 clears the selection; an index beyond the items gives false and changes nothing.
  bool SetItemIndex(int index) const;
  // Stops (false) or resumes (true) redrawing, around a batch of item changes.
  void SetRedraw(bool redraw) const;
};

// Push button, optionally with an image beside its caption.
class Button : public Window {
 public:
  using Window::Window;
  // Shows image `index` of `images` (nullptr: no image). The button keeps an icon made
  // from it; the icon it showed before is destroyed.
  void SetImage(HIMAGELIST images, int index) const;
  void Click() const { Send(BM_CLICK, 0, 0); }
};

// Progress bar. A paused bar is drawn dull (yellow with visual styles).
class ProgressBar : public Window {
 public:
  using Window::Window;
  void SetMaximum(int maximum) const { Send(PBM_SETRANGE32, 0, maximum); }
  int Maximum() const { return static_cast<int>(Send(PBM_GETRANGE, FALSE, 0)); }
  void SetPosition(int position) const { Send(PBM_SETPOS, static_cast<WPARAM>(position), 0); }
  int Position() const { return static_cast<int>(Send(PBM_GETPOS, 0, 0)); }
  void SetDull(bool dull) const { Send(PBM_SETSTATE, dull ? PBST_PAUSED : PBST_NORMAL, 0); }
  // Only with visual styles (common controls 6); otherwise always false.
  bool IsDull() const { return Send(PBM_GETSTATE, 0, 0) == PBST_PAUSED; }
};

// A speed button of ours (TSpeedButton), driven by the button messages, so that it
// works from other processes too.
class SpeedButton : public Window {
 public:
  using Window::Window;
  bool IsDown() const { return Send(BM_GETCHECK, 0, 0) == BST_CHECKED; }
  // Without a click notification; a button of a group pushes the others up.
  void SetDown(bool down) const { Send(BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0); }
  void Click() const { Send(BM_CLICK, 0, 0); }
};

// A main menu or pop-up menu, not owned. Items are addressed by command id, the
// pop-ups of a menu bar by position. "&" marks the mnemonic in captions.
class Menu {
 public:
  Menu(HMENU menu = nullptr) : menu_(menu) {}  // NOLINT: converts like a handle
  HMENU Get() const { return menu_; }

  bool AppendItem(UINT id, std::u16string_view caption) const;
  // Appends a new pop-up, owned by this menu from then on; nullptr on failure.
  Menu AppendPopup(std::u16string_view caption) const;
  bool AppendSeparator() const { return ::AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr) != FALSE; }
  int Count() const { return ::GetMenuItemCount(menu_); }

  bool SetChecked(UINT id, bool checked) const;
  bool IsChecked(UINT id) const;
  bool EnableItem(UINT id, bool enable) const;
  bool IsItemEnabled(UINT id) const;
  bool EnablePosition(int position, bool enable) const;
  bool IsPositionEnabled(int position) const;
  bool SetCaption(UINT id, std::u16string_view caption) const;
  std::u16string Caption(UINT id) const;
  bool SetPositionCaption(int position, std::u16string_view caption) const;

 private:
  bool SetItemCaption(UINT item, bool by_position, std::u16string_view caption) const;

  HMENU menu_;
};

// A panel of its own colour that holds controls and passes their notifications to its
// parent. Painting is double-buffered; `on_draw` draws on the colour.
class TPanel : public WindowBase {
 public:
  using DrawHandler = std::function<void(HDC dc, const RECT& client)>;
  using MouseDownHandler = std::function<void(UINT button_message, Point at)>;

  bool Create(HWND parent, int id, const Rect& bounds, DWORD extra_style = 0);
  void SetOnDraw(DrawHandler handler) { on_draw_ = std::move(handler); }
  void SetOnMouseDown(MouseDownHandler handler) { on_mouse_down_ = std::move(handler); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override;
  void OnPaint(HDC dc, const RECT& client) override;
  void OnMouseDown(UINT button_message, Point at) override;

 private:
  DrawHandler on_draw_;
  MouseDownHandler on_mouse_down_;
};

// A flat button that can stay down. Buttons with the same group index under one
// parent act as a group: pressing one pushes the others up; with `allow_all_up` a
// click on the down button lets it up. Group 0 is a plain button. A click notifies the
// parent with WM_COMMAND BN_CLICKED like a push button.
class TSpeedButton : public WindowBase {
 public:
  // Images for up, disabled, pressed and staying down, from `first` on in the list;
  // with fewer than four, the last one given stands for the rest.
  struct Images {
    HIMAGELIST list = nullptr;
    int first = 0;
    int count = 0;
  };

  bool Create(HWND parent, int id, const Rect& bounds, std::u16string_view caption);
  void SetGroup(int group_index, bool allow_all_up);
  void SetImages(const Images& images);
  bool IsDown() const { return down_; }
  void SetDown(bool down);
  // What a click of the mouse does: the group rule, then the notification.
  void Click();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override;
  void OnPaint(HDC dc, const RECT& client) override;

 private:
  int ImageOfState() const;

  int group_ = 0;
  bool allow_all_up_ = false;
  bool down_ = false;
  bool pressed_ = false;
  bool hot_ = false;
  Images images_;
  HFONT font_ = nullptr;  // the form's
};

}  // namespace velkaro::win32
