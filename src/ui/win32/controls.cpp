#include "ui/win32/controls.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/win32/wide.h"

namespace velkaro::win32 {
namespace {

constexpr wchar_t kPanelClass[] = L"VelkaroPanel";
constexpr wchar_t kSpeedButtonClass[] = L"VelkaroSpeedButton";

}  // namespace

void Label::SetTextColor(std::optional<Color> color) const {
  if (color) {
    ::SetPropW(window_, kTextColorProperty, reinterpret_cast<HANDLE>(UINT_PTR{*color} + 1));
  } else {
    ::RemovePropW(window_, kTextColorProperty);
  }
  Invalidate();
}

void Label::SetAlignment(TextAlignment alignment) const {
  auto style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
  style &= ~static_cast<DWORD>(SS_TYPEMASK);
  style |= alignment == TextAlignment::kLeft     ? SS_LEFT
           : alignment == TextAlignment::kCenter ? SS_CENTER
                                                 : SS_RIGHT;
  ::SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(style));
  Invalidate();
}

void Label::AutoSize() const {
  const std::u16string text = Text();
  ScopedGetDc dc(window_);
  ScopedSelectObject font(dc.Get(), Font());
  RECT rect{};
  std::wstring wide = platform::ToWide(text.empty() ? u" " : text);
  ::DrawTextW(dc.Get(), wide.data(), static_cast<int>(wide.size()), &rect,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  ::SetWindowPos(window_, nullptr, 0, 0, rect.right, rect.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int UpDown::Minimum() const {
  int minimum = 0;
  Send(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&minimum), 0);
  return minimum;
}

int UpDown::Maximum() const {
  int maximum = 0;
  Send(UDM_GETRANGE32, 0, reinterpret_cast<LPARAM>(&maximum));
  return maximum;
}

std::optional<int> UpDown::Position() const {
  BOOL error = FALSE;
  const auto position = static_cast<int>(Send(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
  if (error) return std::nullopt;
  return position;
}

void UpDown::SetIncrement(int increment) const {
  UDACCEL accel{0, static_cast<UINT>(std::max(increment, 1))};
  Send(UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

int ComboBox::AddItem(std::u16string_view text) const {
  const std::wstring item = platform::ToWide(text);
  const auto index = static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
  return index < 0 ? -1 : index;
}

std::u16string ComboBox::ItemText(int index) const {
  const auto length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied =
      Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
  return platform::FromWide(text);
}

bool ComboBox::SetItemIndex(int index) const {
  // Systems differ on whether an index out of range clears the selection.
  if (index < -1 || index >= Count()) return false;
  // CB_SETCURSEL answers CB_ERR both for a failure and for a cleared selection.
  const auto result = Send(CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  return index == -1 || result == index;
}

void ComboBox::SetRedraw(bool redraw) const {
  Send(WM_SETREDRAW, redraw, 0);
  if (redraw) Invalidate();
}

void Button::SetImage(HIMAGELIST images, int index) const {
  const HICON icon = images != nullptr ? ::ImageList_GetIcon(images, index, ILD_NORMAL) : nullptr;
  const auto previous = reinterpret_cast<HICON>(
      Send(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
  if (previous != nullptr) ::DestroyIcon(previous);
}

bool Menu::AppendItem(UINT id, std::u16string_view caption) const {
  return ::AppendMenuW(menu_, MF_STRING, id, platform::ToWide(caption).c_str()) != FALSE;
}

Menu Menu::AppendPopup(std::u16string_view caption) const {
  ScopedMenu popup(::CreatePopupMenu());
  if (!popup) return Menu();
  if (!::AppendMenuW(menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.Get()),
                     platform::ToWide(caption).c_str())) {
    return Menu();
  }
  return Menu(popup.Release());
}

bool Menu::SetChecked(UINT id, bool checked) const {
  return ::CheckMenuItem(menu_, id, MF_BYCOMMAND | static_cast<UINT>(checked ? MF_CHECKED : MF_UNCHECKED)) !=
         static_cast<DWORD>(-1);
}

bool Menu::IsChecked(UINT id) const {
  const UINT state = ::GetMenuState(menu_, id, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

bool Menu::EnableItem(UINT id, bool enable) const {
  return ::EnableMenuItem(menu_, id, MF_BYCOMMAND | static_cast<UINT>(enable ? MF_ENABLED : MF_GRAYED)) != -1;
}

bool Menu::IsItemEnabled(UINT id) const {
  const UINT state = ::GetMenuState(menu_, id, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool Menu::EnablePosition(int position, bool enable) const {
  return ::EnableMenuItem(menu_, static_cast<UINT>(position),
                          MF_BYPOSITION | static_cast<UINT>(enable ? MF_ENABLED : MF_GRAYED)) != -1;
}

bool Menu::IsPositionEnabled(int position) const {
  const UINT state = ::GetMenuState(menu_, static_cast<UINT>(position), MF_BYPOSITION);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool Menu::SetItemCaption(UINT item, bool by_position, std::u16string_view caption) const {
  std::wstring text = platform::ToWide(caption);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = text.data();
  return ::SetMenuItemInfoW(menu_, item, by_position ? TRUE : FALSE, &info) != FALSE;
}

bool Menu::SetCaption(UINT id, std::u16string_view caption) const {
  return SetItemCaption(id, false, caption);
}

std::u16string Menu::Caption(UINT id) const {
  wchar_t text[256] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = text;
  info.cch = static_cast<UINT>(std::size(text));
  if (!::GetMenuItemInfoW(menu_, id, FALSE, &info)) return {};
  return platform::FromWide(text);
}

bool Menu::SetPositionCaption(int position, std::u16string_view caption) const {
  return SetItemCaption(static_cast<UINT>(position), true, caption);
}

bool TPanel::Create(HWND parent, int id, const Rect& bounds, DWORD extra_style) {
  SetPainted(true);
  return CreateWindowOfClass(kPanelClass, WS_EX_CONTROLPARENT,
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | extra_style,
                             bounds, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), u"");
}

LRESULT TPanel::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_VSCROLL:
    case WM_HSCROLL:
      // The form handles the controls of its panels as its own.
      return ::SendMessageW(::GetParent(Handle()), message, w, l);
    default:
      return WindowBase::HandleMessage(message, w, l);
  }
}

void TPanel::OnPaint(HDC dc, const RECT& client) {
  if (on_draw_) on_draw_(dc, client);
}

void TPanel::OnMouseDown(UINT button_message, Point at) {
  if (on_mouse_down_) on_mouse_down_(button_message, at);
}

bool TSpeedButton::Create(HWND parent, int id, const Rect& bounds, std::u16string_view caption) {
  SetPainted(true);
  return CreateWindowOfClass(kSpeedButtonClass, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, bounds,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), caption);
}

void TSpeedButton::SetGroup(int group_index, bool allow_all_up) {
  group_ = group_index;
  allow_all_up_ = allow_all_up;
}

void TSpeedButton::SetImages(const Images& images) {
  images_ = images;
  AsWindow().Invalidate();
}

void TSpeedButton::SetDown(bool down) {
  if (down == down_) return;
  down_ = down;
  if (down_ && group_ != 0) {
    for (HWND sibling = ::GetWindow(Handle(), GW_HWNDFIRST);
         sibling != nullptr; sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
      auto* other = dynamic_cast<TSpeedButton*>(FromHandle(sibling));
      if (other != nullptr && other != this && other->group_ == group_) other->SetDown(false);
    }
  }
  AsWindow().Invalidate();
}

void TSpeedButton::Click() {
  if (group_ != 0) {
    if (!down_) {
      SetDown(true);
    } else if (allow_all_up_) {
      SetDown(false);
    }
  }
  const HWND window = Handle();
  ::SendMessageW(::GetParent(window), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(::GetDlgCtrlID(window)), BN_CLICKED),
                 reinterpret_cast<LPARAM>(window));
}

int TSpeedButton::ImageOfState() const {
  int state = 0;  // up
  if (!AsWindow().IsEnabled()) {
    state = 1;
  } else if (pressed_ && hot_) {
    state = 2;
  } else if (down_) {
    state = 3;
  }
  return images_.first + std::min(state, std::max(images_.count - 1, 0));
}

LRESULT TSpeedButton::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case BM_GETCHECK:
      return down_ ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      SetDown(w == BST_CHECKED);
      return 0;
    case BM_CLICK:
      if (AsWindow().IsEnabled()) Click();
      return 0;
    case WM_ENABLE:
      AsWindow().Invalidate();
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      if (LOWORD(l) != 0) AsWindow().Invalidate();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      hot_ = true;
      ::SetCapture(Handle());
      AsWindow().Invalidate();
      return 0;
    case WM_MOUSEMOVE: {
      RECT client{};
      ::GetClientRect(Handle(), &client);
      const bool inside = ::PtInRect(&client, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}) != FALSE;
      if (inside != hot_) {
        hot_ = inside;
        AsWindow().Invalidate();
      }
      if (inside && !pressed_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
        ::TrackMouseEvent(&track);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      hot_ = false;
      AsWindow().Invalidate();
      return 0;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        ::ReleaseCapture();
        AsWindow().Invalidate();
        if (hot_) Click();
      }
      return 0;
    case WM_CAPTURECHANGED:
      pressed_ = false;
      AsWindow().Invalidate();
      return 0;
    default:
      return WindowBase::HandleMessage(message, w, l);
  }
}

void TSpeedButton::OnPaint(HDC dc, const RECT& client) {
  // Flat: the face is the parent's background.
  if (const WindowBase* parent = FromHandle(::GetParent(Handle())); parent != nullptr) {
    ::FillRect(dc, &client, parent->BackgroundBrush());
  }
  RECT face = client;
  const bool sunken = down_ || (pressed_ && hot_);
  if (sunken) {
    ::DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  } else if (hot_) {
    ::DrawEdge(dc, &face, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  }
  const int offset = sunken ? 1 : 0;
  if (images_.list != nullptr) {
    int width = 0;
    int height = 0;
    ::ImageList_GetIconSize(images_.list, &width, &height);
    ::ImageList_Draw(images_.list, ImageOfState(), dc,
                     (client.right - width) / 2 + offset, (client.bottom - height) / 2 + offset,
                     ILD_TRANSPARENT);
    return;
  }
  const std::u16string caption = AsWindow().Text();
  if (caption.empty()) return;
  std::wstring text = platform::ToWide(caption);
  ScopedSelectObject font(dc, AsWindow().Font());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(AsWindow().IsEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  ::OffsetRect(&face, offset, offset);
  ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &face,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace velkaro::win32
