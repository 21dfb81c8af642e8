#include "ui/win32/gdi_text_canvas.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>

#include "pixel_bounds.h"
#include "ui/win32/dib.h"
#include "ui/win32/scoped_handle.h"

namespace velkaro::win32 {
namespace {

// Fonts differ between Windows and Wine (Tahoma may be a substitute), so the checks
// compare renderings with each other instead of expecting fixed pixel positions.
class MarkupDrawingTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 240;
  static constexpr Color kWhite = 0xFFFFFF;

  void SetUp() override {
    dc_.Reset(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc_);
    bitmap_ = CreateDib32(dc_.Get(), kWidth, kHeight, bits_);
    ASSERT_TRUE(bitmap_);
    select_.emplace(dc_.Get(), bitmap_.Get());
    ASSERT_TRUE(select_->ok());
  }

  static ColorTextArgs Args() {
    ColorTextArgs args;
    args.def_font_color = 0x000000;
    args.def_font_name = u"Tahoma";
    args.def_font_size = 12;
    return args;
  }

  void Draw(std::u16string_view text, const ColorTextArgs& args) {
    for (int i = 0; i < kWidth * kHeight; ++i) bits_[i] = 0x00FFFFFF;
    Rect r{0, 0, kWidth, kHeight};
    DrawMarkupText(text, dc_.Get(), r, args, false);
    ::GdiFlush();
  }

  Rect Measure(std::u16string_view text, const ColorTextArgs& args) {
    Rect r{0, 0, 0, 0};
    DrawMarkupText(text, dc_.Get(), r, args, true);
    return r;
  }

  Color Pixel(int x, int y) const {
    const std::uint32_t v = bits_[y * kWidth + x];  // 0x00RRGGBB in a DIB
    return RgbColor(static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                    static_cast<std::uint8_t>(v));
  }

  // The smallest rectangle holding every pixel of `area` that `match` accepts; nothing
  // when none does.
  std::optional<Rect> Bounds(const std::function<bool(Color)>& match,
                             Rect area = {0, 0, kWidth, kHeight}) const {
    return testing::PixelBounds(area, [this](int x, int y) { return Pixel(x, y); }, match);
  }

  static bool IsInk(Color c) { return c != kWhite; }
  static bool IsRed(Color c) { return RedOf(c) >= 200 && GreenOf(c) <= 60 && BlueOf(c) <= 60; }
  static bool IsDarkGray(Color c) {
    return RedOf(c) <= 100 && std::abs(RedOf(c) - GreenOf(c)) <= 16 &&
           std::abs(RedOf(c) - BlueOf(c)) <= 16;
  }

  ScopedCreatedDc dc_;
  ScopedBitmap bitmap_;
  std::optional<ScopedSelectObject> select_;  // goes first: the bitmap is put out of the DC
  std::uint32_t* bits_ = nullptr;
};

TEST_F(MarkupDrawingTest, BoldRunIsWiderThanTheSameTextPlain) {
  Draw(u"Measure the weight", Args());
  const auto plain = Bounds(IsInk);
  Draw(u"[fB;Measure the weight]", Args());
  const auto bold = Bounds(IsInk);
  ASSERT_TRUE(plain && bold);
  EXPECT_GT(bold->right, plain->right) << "ink " << plain->left << ".." << plain->right << " and "
                                       << bold->left << ".." << bold->right;

  const Rect plain_measured = Measure(u"Measure the weight", Args());
  const Rect bold_measured = Measure(u"[fB;Measure the weight]", Args());
  EXPECT_GT(bold_measured.right, plain_measured.right);
  // The drawn ink stays within the measured box (a pixel of overhang allowed).
  EXPECT_LE(bold->right, bold_measured.right + 1);
  EXPECT_LE(bold->bottom, bold_measured.bottom);
}

TEST_F(MarkupDrawingTest, TwoLinesStandOneAboveTheOther) {
  const Rect one_line = Measure(u"First line", Args());
  const Rect two_lines = Measure(u"First line\rSecond line", Args());
  const std::int32_t line = one_line.bottom;
  ASSERT_GT(line, 0);
  EXPECT_EQ(two_lines.bottom, 2 * line);

  Draw(u"First line\rSecond line", Args());
  const auto first = Bounds(IsInk, {0, 0, kWidth, line});
  const auto second = Bounds(IsInk, {0, line, kWidth, kHeight});
  ASSERT_TRUE(first && second);
  EXPECT_LE(second->bottom, 2 * line);
  EXPECT_LT(first->left, 10);
  EXPECT_LT(second->left, 10);
  // "Second line" is the longer text.
  EXPECT_GT(second->right, first->right);
}

TEST_F(MarkupDrawingTest, ColouredRunHasItsColour) {
  const Rect red_part = Measure(u"[fB Red +6;HHHH]", Args());
  Draw(u"[fB Red +6;HHHH] HHHH", Args());
  const auto red = Bounds(IsRed);
  ASSERT_TRUE(red);
  EXPECT_LE(red->right, red_part.right + 1);
  // The plain part keeps the default colour.
  const Rect rest{red_part.right + 1, 0, kWidth, kHeight};
  EXPECT_FALSE(Bounds(IsRed, rest));
  EXPECT_TRUE(Bounds(IsDarkGray, rest));
}

TEST_F(MarkupDrawingTest, DisabledTextIsEngraved) {
  ColorTextArgs args = Args();
  args.enabled = false;
  args.color_font_for_disabled = 0x808080;
  Draw(u"[fB +6;HHHH]", args);
  // Dark text 0x585858 over a light copy 0xA8A8A8 one pixel right and down.
  const auto dark = Bounds([](Color c) { return c == 0x585858; });
  const auto light = Bounds([](Color c) { return c == 0xA8A8A8; });
  ASSERT_TRUE(dark && light);
  EXPECT_EQ(light->right, dark->right + 1);
  EXPECT_EQ(light->bottom, dark->bottom + 1);
  EXPECT_FALSE(Bounds([](Color c) { return c == 0x000000; }));
}

TEST_F(MarkupDrawingTest, CanvasMeasuresSingleCharactersAndPutsTheFontBack) {
  const HGDIOBJ original = ::GetCurrentObject(dc_.Get(), OBJ_FONT);
  {
    GdiTextCanvas canvas(dc_.Get());
    const std::int32_t ppi = canvas.PixelsPerInch();
    ASSERT_GT(ppi, 0);
    canvas.SelectFont({u"Tahoma", true, 12, 0});
    const FontMetrics by_points = canvas.Metrics();
    const std::int32_t w_width = canvas.CharWidth(u'W');
    canvas.SelectFont({u"Tahoma", false, -::MulDiv(12, ppi, 72), 0});
    const FontMetrics by_pixels = canvas.Metrics();
    EXPECT_EQ(by_points.height, by_pixels.height);
    EXPECT_EQ(by_points.ascent, by_pixels.ascent);
    EXPECT_GT(by_points.ascent, 0);
    EXPECT_EQ(by_points.height, by_points.ascent + by_points.descent);
    EXPECT_GT(w_width, 0);

    canvas.SelectFont({u"Tahoma", false, -40, 0});
    EXPECT_GT(canvas.Metrics().ascent, by_points.ascent);
    EXPECT_GT(canvas.CharWidth(u'W'), w_width);
    EXPECT_NE(::GetCurrentObject(dc_.Get(), OBJ_FONT), original);

    // Measuring adds up the single characters.
    canvas.SelectFont({u"Tahoma", true, 12, kFontBold});
    const std::int32_t expected = canvas.CharWidth(u'A') + canvas.CharWidth(u'V');
    ColorTextArgs args = Args();
    args.def_font_style = kFontBold;
    Rect r{0, 0, 0, 0};
    velkaro::DrawMarkupText(u"AV", canvas, r, args, true);
    EXPECT_EQ(r.right, expected);
  }
  EXPECT_EQ(::GetCurrentObject(dc_.Get(), OBJ_FONT), original);
}

TEST_F(MarkupDrawingTest, SystemColoursResolveToTheirRgbValue) {
  GdiTextCanvas canvas(dc_.Get());
  EXPECT_EQ(canvas.ColorToRgb(0xFF000000u | COLOR_WINDOWTEXT), ::GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(canvas.ColorToRgb(0xFF000000u | COLOR_INFOBK), ::GetSysColor(COLOR_INFOBK));
  EXPECT_EQ(canvas.ColorToRgb(0x123456), 0x123456u);
}

}  // namespace
}  // namespace velkaro::win32
