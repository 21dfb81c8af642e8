// The formatted label as a child window of our own class: it draws its caption (plain
// or with the colored-text markup) double-buffered with GDI, sizes itself to it and
// answers WM_GETTEXT with the caption, so a driver in another process can read it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "richtext/kiv_label.h"
#include "ui/win32/window.h"

namespace velkaro::win32 {

inline constexpr wchar_t kKivLabelClassName[] = L"VelkaroKivLabel";

// The DrawText flags of the label's flags.
UINT ToDrawTextFlags(LabelTextFlags flags);

// The label's font, colour aside, as the markup takes it: the face, the size in
// points at `pixels_per_inch`, the styles.
LabelFont LabelFontOf(HFONT font, int pixels_per_inch);

// Plain text with DrawTextW on a device context, in the font selected there.
class GdiPlainText final : public PlainTextDrawer {
 public:
  explicit GdiPlainText(HDC dc) : dc_(dc) {}
  void DrawPlainText(std::u16string_view text, Rect& r, LabelTextFlags flags,
                     Color color) override;

 private:
  HDC dc_;
};

class TKivLabel : public WindowBase {
 public:
  using MouseDownHandler = std::function<void(UINT button_message, Point at)>;

  // Creates the label in the font of the parent (or of the nearest ancestor that has
  // one) and, until SetBackColor, in the parent's colour. The model's defaults apply:
  // sized automatically, top-aligned, not formatted, no word wrap.
  bool Create(HWND parent, int id,
              const Rect& bounds = {0, 0, TCustomKivLabel::kDefaultWidth,
                                    TCustomKivLabel::kDefaultHeight});

  void SetCaption(std::u16string_view value);
  const std::u16string& Caption() const { return label_.Caption(); }
  // Markup in the caption is drawn as formats when on, as its characters when off.
  void SetFormated(bool value);
  bool Formated() const { return label_.Formated(); }

  void SetAlignment(TAlignment alignment);
  void SetAlignmentV(TVAlignment alignment);
  void SetWordWrap(bool word_wrap);
  // Turning it on sizes the label at once.
  void SetAutoSize(bool auto_size);
  // Off: "&" is drawn as it is instead of underlining the next character.
  void SetShowAccelChar(bool show);
  void SetEffect(TTextEffect effect);
  // The parent's background shows under the caption instead of the label's colour.
  void SetTransparent(bool transparent);
  bool Transparent() const { return transparent_; }
  // The label's own background colour, also the base of the disabled look; from then
  // on the parent's colour no longer applies.
  void SetBackColor(Color color);
  // The caption's default colour (a system colour is allowed).
  void SetFontColor(Color color);

  void SetOnMouseDown(MouseDownHandler handler) { on_mouse_down_ = std::move(handler); }

  // Sizes the label to its caption when it sizes itself.
  void AdjustBounds();

  // The label's state as it is drawn now.
  const TCustomKivLabel& Model() const { return label_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override;
  void OnPaint(HDC dc, const RECT& client) override;
  void OnMouseDown(UINT button_message, Point at) override;

 private:
  void SetLabelFont(HFONT font);
  // Brings the model's colour and enabled state up to date with the window's.
  void SyncState();
  void PaintParentBackground(HDC dc) const;
  void Changed();

  TCustomKivLabel label_;
  HFONT font_ = nullptr;  // the parent's or the caller's; not owned
  bool own_font_ = false;  // set through WM_SETFONT rather than taken from the parent
  bool transparent_ = false;
  bool parent_color_ = true;
  MouseDownHandler on_mouse_down_;
};

}  // namespace velkaro::win32
