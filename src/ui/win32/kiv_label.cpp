#include "ui/win32/kiv_label.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "ui/win32/gdi_text_canvas.h"
#include "ui/win32/scoped_handle.h"

namespace velkaro::win32 {
namespace {

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The font a new label takes: the first ancestor's that answers WM_GETFONT, else the
// system's GUI font.
HFONT InheritedFont(HWND parent) {
  for (HWND window = parent; window != nullptr; window = ::GetParent(window)) {
    if (const HFONT font = Window(window).Font(); font != nullptr) return font;
  }
  return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

int ScreenPixelsPerInch() {
  const ScopedGetDc screen(nullptr);
  return screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
}

}  // namespace

UINT ToDrawTextFlags(LabelTextFlags flags) {
  struct Pair {
    LabelTextFlags label;
    UINT draw_text;
  };
  static constexpr Pair kPairs[] = {
      {kDtCalcRect, DT_CALCRECT}, {kDtExpandTabs, DT_EXPANDTABS}, {kDtWordBreak, DT_WORDBREAK},
      {kDtRight, DT_RIGHT},       {kDtCenter, DT_CENTER},         {kDtNoPrefix, DT_NOPREFIX},
      {kDtVCenter, DT_VCENTER},   {kDtBottom, DT_BOTTOM},         {kDtSingleLine, DT_SINGLELINE},
      {kDtNoClip, DT_NOCLIP},
  };
  UINT result = DT_LEFT | DT_TOP;
  for (const Pair& pair : kPairs) {
    if ((flags & pair.label) != 0) result |= pair.draw_text;
  }
  return result;
}

LabelFont LabelFontOf(HFONT font, int pixels_per_inch) {
  LabelFont result;
  LOGFONTW log{};
  if (font == nullptr || ::GetObjectW(font, sizeof(log), &log) == 0) return result;
  result.name.assign(log.lfFaceName, log.lfFaceName + ::lstrlenW(log.lfFaceName));
  // A positive height is the cell's, a negative one the characters'; points count the
  // characters, and the difference is too small to matter for a label.
  result.size = ::MulDiv(std::abs(log.lfHeight), 72, pixels_per_inch);
  result.style = 0;
  if (log.lfWeight >= FW_BOLD) result.style |= kFontBold;
  if (log.lfItalic) result.style |= kFontItalic;
  if (log.lfUnderline) result.style |= kFontUnderline;
  if (log.lfStrikeOut) result.style |= kFontStrikeOut;
  return result;
}

void GdiPlainText::DrawPlainText(std::u16string_view text, Rect& r, LabelTextFlags flags,
                                 Color color) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  RECT rect = ToRECT(r);
  const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
  if ((flags & kDtCalcRect) == 0) {
    ::SetBkMode(dc_, TRANSPARENT);
    ::SetTextColor(dc_, (color & 0x80000000u) != 0
                            ? ::GetSysColor(static_cast<int>(color & 0xFFu))
                            : color);
  }
  ::DrawTextW(dc_, reinterpret_cast<const wchar_t*>(text.data()), length, &rect,
              ToDrawTextFlags(flags));
  if ((flags & kDtCalcRect) != 0) r = Rect{rect.left, rect.top, rect.right, rect.bottom};
}

bool TKivLabel::Create(HWND parent, int id, const Rect& bounds) {
  SetPainted(true);
  if (!CreateWindowOfClass(kKivLabelClassName, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, bounds,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), u"")) {
    return false;
  }
  SetLabelFont(InheritedFont(parent));
  return true;
}

void TKivLabel::Changed() {
  AsWindow().Invalidate();
  AdjustBounds();
}

void TKivLabel::SetCaption(std::u16string_view value) {
  label_.SetCaption(value);
  Changed();
}

void TKivLabel::SetFormated(bool value) {
  if (label_.SetFormated(value)) AsWindow().Invalidate();
}

void TKivLabel::SetAlignment(TAlignment alignment) {
  label_.FAlignment = alignment;
  AsWindow().Invalidate();
}

void TKivLabel::SetAlignmentV(TVAlignment alignment) {
  label_.FAlignmentV = alignment;
  AsWindow().Invalidate();
}

void TKivLabel::SetWordWrap(bool word_wrap) {
  label_.FWordWrap = word_wrap;
  Changed();
}

void TKivLabel::SetAutoSize(bool auto_size) {
  label_.FAutoSize = auto_size;
  AdjustBounds();
}

void TKivLabel::SetShowAccelChar(bool show) {
  label_.FShowAccelChar = show;
  Changed();
}

void TKivLabel::SetEffect(TTextEffect effect) {
  label_.FEffect = effect;
  Changed();
}

void TKivLabel::SetTransparent(bool transparent) {
  transparent_ = transparent;
  AsWindow().Invalidate();
}

void TKivLabel::SetBackColor(Color color) {
  parent_color_ = false;
  SetColor(color);
}

void TKivLabel::SetFontColor(Color color) {
  label_.FFont.color = color;
  AsWindow().Invalidate();
}

void TKivLabel::SetLabelFont(HFONT font) {
  font_ = font;
  const Color color = label_.FFont.color;
  label_.FFont = LabelFontOf(font, ScreenPixelsPerInch());
  label_.FFont.color = color;
}

void TKivLabel::SyncState() {
  label_.FEnabled = AsWindow().IsEnabled();
  const WindowBase* parent = FromHandle(::GetParent(Handle()));
  label_.FColor = parent_color_ && parent != nullptr ? parent->GetColor() : GetColor();
}

void TKivLabel::AdjustBounds() {
  if (!label_.FAutoSize || Handle() == nullptr) return;
  const ScopedGetDc screen(nullptr);
  if (!screen) return;
  SyncState();
  Rect wanted;
  const Rect bounds = AsWindow().Bounds();
  {
    GdiTextCanvas canvas(screen.Get());
    GdiPlainText plain(screen.Get());
    wanted = label_.AutoSizeBounds(canvas, plain, bounds);
  }
  if (wanted != bounds) AsWindow().SetBounds(wanted);
}

void TKivLabel::PaintParentBackground(HDC dc) const {
  // The parent paints its client area into our buffer, moved so that the part under
  // the label lands on it; only its own drawing, not its children's.
  const HWND parent = ::GetParent(Handle());
  if (parent == nullptr) return;
  POINT origin{0, 0};
  ::MapWindowPoints(Handle(), parent, &origin, 1);
  const int saved = ::SaveDC(dc);
  ::SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
  ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  ::RestoreDC(dc, saved);
}

void TKivLabel::OnPaint(HDC dc, const RECT& client) {
  SyncState();
  if (transparent_) {
    PaintParentBackground(dc);
  } else if (const WindowBase* parent = FromHandle(::GetParent(Handle()));
             parent_color_ && parent != nullptr) {
    ::FillRect(dc, &client, parent->BackgroundBrush());
  }
  GdiTextCanvas canvas(dc);
  GdiPlainText plain(dc);
  label_.PaintText(canvas, plain, Rect{client.left, client.top, client.right, client.bottom});
}

void TKivLabel::OnMouseDown(UINT button_message, Point at) {
  if (on_mouse_down_) on_mouse_down_(button_message, at);
}

LRESULT TKivLabel::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SETTEXT:
      SetCaption(l != 0 ? std::u16string_view(reinterpret_cast<const char16_t*>(l))
                        : std::u16string_view());
      return TRUE;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(label_.Caption().size());
    case WM_GETTEXT: {
      // Like any window: as much as fits with the terminating zero; the count copied.
      if (w == 0 || l == 0) return 0;
      auto* buffer = reinterpret_cast<char16_t*>(l);
      const std::size_t count = std::min<std::size_t>(label_.Caption().size(), w - 1);
      std::copy_n(label_.Caption().data(), count, buffer);
      buffer[count] = u'\0';
      return static_cast<LRESULT>(count);
    }
    case WM_SETFONT:
      SetLabelFont(reinterpret_cast<HFONT>(w));
      own_font_ = true;
      AdjustBounds();
      if (LOWORD(l) != 0) AsWindow().Invalidate();
      return 0;
    case WM_GETFONT:
      // A font taken from the parent is the parent's to replace (a form makes a new
      // one for another DPI), so it is asked again rather than kept.
      return reinterpret_cast<LRESULT>(own_font_ ? font_ : InheritedFont(::GetParent(Handle())));
    case WM_ENABLE:
      // The disabled look takes a pixel more each way.
      Changed();
      return 0;
    default:
      return WindowBase::HandleMessage(message, w, l);
  }
}

}  // namespace velkaro::win32
