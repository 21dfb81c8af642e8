#include "ui/win32/gdi_text_canvas.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace velkaro::win32 {
namespace {

const wchar_t* Wide(std::u16string_view text) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return reinterpret_cast<const wchar_t*>(text.data());
}

int WideLength(std::u16string_view text) {
  return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
}

}  // namespace

GdiTextCanvas::GdiTextCanvas(HDC dc)
    : dc_(dc), previous_color_(::GetTextColor(dc)), previous_background_mode_(::GetBkMode(dc)) {}

GdiTextCanvas::~GdiTextCanvas() {
  ::SetTextColor(dc_, previous_color_);
  if (previous_background_mode_ != 0) ::SetBkMode(dc_, previous_background_mode_);
}

std::int32_t GdiTextCanvas::PixelsPerInch() const { return ::GetDeviceCaps(dc_, LOGPIXELSY); }

void GdiTextCanvas::SelectFont(const FontRequest& font) {
  if (request_ == font) return;
  LOGFONTW log{};
  log.lfHeight = font.in_points ? -::MulDiv(font.size, PixelsPerInch(), 72) : font.size;
  log.lfWeight = (font.style & kFontBold) != 0 ? FW_BOLD : FW_NORMAL;
  log.lfItalic = (font.style & kFontItalic) != 0;
  log.lfUnderline = (font.style & kFontUnderline) != 0;
  log.lfStrikeOut = (font.style & kFontStrikeOut) != 0;
  log.lfCharSet = DEFAULT_CHARSET;
  log.lfOutPrecision = OUT_DEFAULT_PRECIS;
  log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  log.lfQuality = DEFAULT_QUALITY;
  log.lfPitchAndFamily = DEFAULT_PITCH;
  const std::size_t name_length = std::min<std::size_t>(font.name.size(), LF_FACESIZE - 1);
  std::copy_n(Wide(font.name), name_length, log.lfFaceName);

  ScopedFont created(::CreateFontIndirectW(&log));
  if (!created) return;
  if (!original_font_) {
    original_font_.emplace(dc_, created.Get());
    if (!original_font_->ok()) {
      original_font_.reset();
      return;
    }
  } else if (::SelectObject(dc_, created.Get()) == nullptr) {
    return;
  }
  font_ = std::move(created);  // deletes the font selected before, now out of the DC
  request_ = font;
}

std::int32_t GdiTextCanvas::CharWidth(char16_t c) {
  SIZE size{};
  const wchar_t unit = static_cast<wchar_t>(c);
  return ::GetTextExtentPoint32W(dc_, &unit, 1, &size) ? size.cx : 0;
}

FontMetrics GdiTextCanvas::Metrics() {
  TEXTMETRICW metrics{};
  if (!::GetTextMetricsW(dc_, &metrics)) return {};
  return FontMetrics{metrics.tmHeight, metrics.tmAscent, metrics.tmDescent};
}

Color GdiTextCanvas::ColorToRgb(Color color) const {
  if ((color & 0x80000000u) != 0) return ::GetSysColor(static_cast<int>(color & 0xFFu));
  return color;
}

void GdiTextCanvas::PrepareText(Color color) {
  ::SetBkMode(dc_, TRANSPARENT);
  ::SetTextColor(dc_, ColorToRgb(color));
}

void GdiTextCanvas::DrawTextAt(Point top_left, std::u16string_view text, Color color) {
  PrepareText(color);
  // Each character advances by the width it was measured with, so the drawn run ends
  // where the layout put the next one (a renderer may place glyphs on its own grid).
  std::vector<INT> advances(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) advances[i] = CharWidth(text[i]);
  ::ExtTextOutW(dc_, top_left.x, top_left.y, 0, nullptr, Wide(text),
                static_cast<UINT>(WideLength(text)), advances.data());
}

void GdiTextCanvas::DrawTextInCell(const Rect& cell, std::u16string_view text, Color color) {
  PrepareText(color);
  RECT rect{cell.left, cell.top, cell.right, cell.bottom};
  ::DrawTextW(dc_, Wide(text), WideLength(text), &rect, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
}

void DrawMarkupText(std::u16string_view text, HDC dc, Rect& r, const ColorTextArgs& args,
                    bool is_calc_rect) {
  GdiTextCanvas canvas(dc);
  velkaro::DrawMarkupText(text, canvas, r, args, is_calc_rect);
}

}  // namespace velkaro::win32
