// What the marked-up text layout needs from a drawing surface: fonts, the widths of
// single characters, font metrics and, for drawing, text output. The layout decides
// everything; a surface only measures and paints.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/colors.h"
#include "support/geometry.h"

namespace velkaro {

// A set of font styles, one bit each.
using FontStyles = std::uint8_t;
inline constexpr FontStyles kFontBold = 1;
inline constexpr FontStyles kFontItalic = 2;
inline constexpr FontStyles kFontUnderline = 4;
inline constexpr FontStyles kFontStrikeOut = 8;

// The font of one run as the layout asks for it.
struct FontRequest {
  std::u16string name;
  // `size` is in points when true; otherwise it is a height in pixels, negative for
  // the character height without internal leading.
  bool in_points = true;
  std::int32_t size = 0;
  FontStyles style = 0;
  friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

struct FontMetrics {
  std::int32_t height = 0;
  std::int32_t ascent = 0;
  std::int32_t descent = 0;
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;

  // The resolution that point sizes are converted with.
  virtual std::int32_t PixelsPerInch() const = 0;
  virtual void SelectFont(const FontRequest& font) = 0;
  // The advance of `c` drawn alone in the selected font, without kerning.
  virtual std::int32_t CharWidth(char16_t c) = 0;
  virtual FontMetrics Metrics() = 0;
};

// Colours handed to a canvas may be system colours (0xFF0000nn, nn the system colour
// index), which the canvas resolves itself.
class TextCanvas : public TextMeasurer {
 public:
  // The RGB value of `color`, resolving a system colour.
  virtual Color ColorToRgb(Color color) const = 0;
  // Draws `text` in the selected font with a transparent background, its cell's
  // top-left corner at `top_left`.
  virtual void DrawTextAt(Point top_left, std::u16string_view text, Color color) = 0;
  // Draws `text` on one line at the top-left of `cell`, unclipped, "&" shown as is,
  // with a transparent background.
  virtual void DrawTextInCell(const Rect& cell, std::u16string_view text, Color color) = 0;
};

}  // namespace velkaro
