// A text canvas with simple, exact metrics that records what is drawn:
//  - every character is 10 pixels wide, 12 in bold, U+200B is 0 wide;
//  - a font of s pixels (points * ppi / 72, or the absolute pixel height) has ascent s,
//    descent s / 4 and height ascent + descent;
//  - system colours (0xFF0000nn) resolve to kSystemRgb.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "richtext/text_canvas.h"

namespace velkaro::fakes {

class FakeTextCanvas : public TextCanvas {
 public:
  static constexpr Color kSystemRgb = 0x00808080;

  struct Drawn {
    bool in_cell = false;  // DrawTextInCell rather than DrawTextAt
    Rect cell;             // for DrawTextAt only left and top are set
    std::u16string text;
    Color color = 0;
    FontRequest font;
  };

  std::int32_t PixelsPerInch() const override { return ppi; }
  void SelectFont(const FontRequest& request) override { font = request; }
  std::int32_t CharWidth(char16_t c) override {
    if (c == u'\u200B') return 0;
    return (font.style & kFontBold) != 0 ? 12 : 10;
  }
  FontMetrics Metrics() override {
    const std::int32_t size = font.in_points ? font.size * ppi / 72 : std::abs(font.size);
    return FontMetrics{size + size / 4, size, size / 4};
  }
  Color ColorToRgb(Color color) const override {
    return (color & 0xFF000000u) == 0xFF000000u ? kSystemRgb : color;
  }
  void DrawTextAt(Point top_left, std::u16string_view text, Color color) override {
    drawn.push_back({false, Rect{top_left.x, top_left.y, 0, 0}, std::u16string(text), color, font});
  }
  void DrawTextInCell(const Rect& cell, std::u16string_view text, Color color) override {
    drawn.push_back({true, cell, std::u16string(text), color, font});
  }

  std::int32_t ppi = 96;
  FontRequest font;
  std::vector<Drawn> drawn;
};

}  // namespace velkaro::fakes
