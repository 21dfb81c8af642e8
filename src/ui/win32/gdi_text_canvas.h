// Marked-up text on a GDI device context: fonts made from the runs' formats, widths of
// single characters, TextOutW on one baseline and the engraved look of disabled text.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "richtext/color_text.h"
#include "richtext/text_canvas.h"
#include "ui/win32/scoped_handle.h"

namespace velkaro::win32 {

// Colours with the top bit set are system colours: the low byte is the GetSysColor index.
class GdiTextCanvas final : public TextCanvas {
 public:
  // The device context stays the caller's; its font, text colour and background mode
  // are put back when the canvas goes.
  explicit GdiTextCanvas(HDC dc);
  ~GdiTextCanvas() override;
  GdiTextCanvas(const GdiTextCanvas&) = delete;
  GdiTextCanvas& operator=(const GdiTextCanvas&) = delete;

  std::int32_t PixelsPerInch() const override;
  // Keeps the previous font when the new one cannot be created.
  void SelectFont(const FontRequest& font) override;
  std::int32_t CharWidth(char16_t c) override;
  FontMetrics Metrics() override;

  Color ColorToRgb(Color color) const override;
  void DrawTextAt(Point top_left, std::u16string_view text, Color color) override;
  void DrawTextInCell(const Rect& cell, std::u16string_view text, Color color) override;

 private:
  void PrepareText(Color color);

  HDC dc_;
  COLORREF previous_color_;
  int previous_background_mode_;
  std::optional<FontRequest> request_;
  ScopedFont font_;
  // Declared after the font so that the device context's own font is back before the
  // created one is deleted.
  std::optional<ScopedSelectObject> original_font_;
};

// Parses `text` and draws it on `dc` inside `r`, or with `is_calc_rect` only measures
// it and sets `r` to its bounding rectangle.
void DrawMarkupText(std::u16string_view text, HDC dc, Rect& r, const ColorTextArgs& args,
                    bool is_calc_rect);

}  // namespace velkaro::win32
