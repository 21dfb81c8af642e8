#include "support/pie_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace velkaro {
namespace {

// The countdown pie of the main window.
constexpr Color kBack = 0x373B37;
constexpr Color kRest = 0xFFFFFF;
constexpr Color kDone = 0x808000;
constexpr Color kRim = 0x55552B;
constexpr int kDiameter = 16;  // of a 17 x 17 rectangle

class Canvas {
 public:
  Canvas(int width, int height, Color fill, int bytes_per_pixel = 3)
      : bytes_(static_cast<std::size_t>(width * height * bytes_per_pixel), 0xEE),
        view_{bytes_.data(), width, height, static_cast<std::ptrdiff_t>(width) * bytes_per_pixel,
              bytes_per_pixel} {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) view_.Set(x, y, fill);
    }
  }
  const PixelView& view() const { return view_; }
  Color At(int x, int y) const { return view_.At(x, y); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  PixelView view_;
};

// Where a pixel of the 16 x 16 pie lies, judged from its corners against the circles of
// radius 8 (the outline) and 7 (inside the rim) around the pie's centre.
enum class Coverage { kInside, kOutside, kEdge };

Coverage CoverageOf(int px, int py) {
  double farthest = 0;
  for (int cy : {py, py + 1}) {
    for (int cx : {px, px + 1}) {
      farthest = std::max(farthest, std::hypot(cx - 8.0, cy - 8.0));
    }
  }
  const double nx = std::clamp(8.0, double(px), double(px + 1));
  const double ny = std::clamp(8.0, double(py), double(py + 1));
  const double nearest = std::hypot(nx - 8.0, ny - 8.0);
  if (farthest < 7) return Coverage::kInside;
  if (nearest >= 8) return Coverage::kOutside;
  return Coverage::kEdge;
}

struct QuarterCase {
  double fraction;
  // Colour of the inner pixels in the top-left, top-right, bottom-right and bottom-left
  // quarters: the done part grows clockwise from nine o'clock.
  Color quarters[4];
};

class PieQuartersTest : public ::testing::TestWithParam<QuarterCase> {};

TEST_P(PieQuartersTest, InnerPixelsTakeThePartOfTheirQuarter) {
  const QuarterCase& c = GetParam();
  constexpr int kLeft = 2;
  constexpr int kTop = 3;
  Canvas canvas(24, 24, kBack);
  ASSERT_TRUE(DrawPieProgress(canvas.view(), {kLeft, kTop, kLeft + 17, kTop + 17}, kRest, kDone,
                              kRim, c.fraction));
  int inside = 0;
  for (int py = 0; py < kDiameter; ++py) {
    for (int px = 0; px < kDiameter; ++px) {
      const Color pixel = canvas.At(kLeft + px, kTop + py);
      switch (CoverageOf(px, py)) {
        case Coverage::kInside: {
          const int quarter = py < 8 ? (px < 8 ? 0 : 1) : (px < 8 ? 3 : 2);
          EXPECT_EQ(pixel, c.quarters[quarter]) << px << "," << py;
          ++inside;
          break;
        }
        case Coverage::kOutside:
          EXPECT_EQ(pixel, kBack) << px << "," << py;
          break;
        case Coverage::kEdge:
          break;
      }
    }
  }
  EXPECT_GT(inside, 100);
  // Nothing outside the 16 x 16 square changes, not even the 17th row and column.
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      if (x < kLeft || y < kTop || x >= kLeft + kDiameter || y >= kTop + kDiameter) {
        EXPECT_EQ(canvas.At(x, y), kBack) << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fractions, PieQuartersTest,
                         ::testing::Values(QuarterCase{0.0, {kRest, kRest, kRest, kRest}},
                                           QuarterCase{1.0, {kDone, kDone, kDone, kDone}},
                                           QuarterCase{0.5, {kDone, kDone, kRest, kRest}},
                                           QuarterCase{0.25, {kDone, kRest, kRest, kRest}},
                                           QuarterCase{0.75, {kDone, kDone, kDone, kRest}}),
                         [](const auto& test_case) {
                           return "Percent" +
                                  std::to_string(static_cast<int>(test_case.param.fraction * 100));
                         });

TEST(PieProgressTest, HalfwayPieIsTealAboveAndWhiteBelowTheMiddle) {
  Canvas canvas(17, 17, kBack);
  ASSERT_TRUE(DrawPieProgress(canvas.view(), {0, 0, 17, 17}, kRest, kDone, kRim, 0.5));
  for (int x = 2; x <= 13; ++x) {
    EXPECT_EQ(canvas.At(x, 7), kDone) << x;
    EXPECT_EQ(canvas.At(x, 8), kRest) << x;
  }
}

TEST(PieProgressTest, TheOutlineIsOnePixelOfRimColour) {
  for (double fraction : {0.0, 0.5, 1.0}) {
    Canvas canvas(17, 17, kBack);
    ASSERT_TRUE(DrawPieProgress(canvas.view(), {0, 0, 17, 17}, kRest, kDone, kRim, fraction));
    // The middle pixels of each side lie wholly within the ring between radius 7 and 8.
    for (const auto& [x, y] :
         {std::pair{7, 0}, {8, 0}, {0, 7}, {0, 8}, {15, 7}, {15, 8}, {7, 15}, {8, 15}}) {
      EXPECT_EQ(canvas.At(x, y), kRim) << fraction << " " << x << "," << y;
    }
    // Just inside them the parts begin.
    EXPECT_NE(canvas.At(8, 1), kRim);
    EXPECT_NE(canvas.At(1, 8), kRim);
  }
}

TEST(PieProgressTest, CornersBlendWithThePixelsBeneath) {
  // A white canvas beneath a black rim: a pixel of the corner holds as much white as it
  // has samples outside the circle, averaged with rounding to nearest.
  Canvas canvas(17, 17, 0xFFFFFF);
  ASSERT_TRUE(DrawPieProgress(canvas.view(), {0, 0, 17, 17}, 0x000000, 0x000000, 0x000000, 0.5));
  int blended = 0;
  for (int py = 0; py < 4; ++py) {
    for (int px = 0; px < 4; ++px) {
      int outside = 0;
      for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
          if (std::hypot(px + (j + 0.5) / 5 - 8, py + (i + 0.5) / 5 - 8) >= 8) ++outside;
        }
      }
      const auto level = static_cast<std::uint8_t>((255 * outside + 12) / 25);
      EXPECT_EQ(canvas.At(px, py), RgbColor(level, level, level)) << px << "," << py;
      if (outside > 0 && outside < 25) ++blended;
    }
  }
  EXPECT_GE(blended, 4);
  EXPECT_EQ(canvas.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(canvas.At(15, 15), 0xFFFFFFu);
}

TEST(PieProgressTest, EachPixelBlendsWithWhatLiesBeneathItself) {
  // Two colours beneath the left and right halves show up only on their own side.
  Canvas canvas(16, 16, 0x0000FF);
  for (int y = 0; y < 16; ++y) {
    for (int x = 8; x < 16; ++x) canvas.view().Set(x, y, 0xFF0000);
  }
  ASSERT_TRUE(DrawPieProgress(canvas.view(), {0, 0, 16, 16}, kRest, kDone, kRim, 0.5));
  EXPECT_EQ(canvas.At(0, 0), 0x0000FFu);
  EXPECT_EQ(canvas.At(15, 0), 0xFF0000u);
  EXPECT_LT(BlueOf(canvas.At(1, 2)), RedOf(canvas.At(1, 2)));
  EXPECT_GT(BlueOf(canvas.At(14, 2)), RedOf(canvas.At(14, 2)));
}

TEST(PieProgressTest, NarrowRectanglesDrawNothing) {
  for (int width : {3, 2, 1, 0, -5}) {
    Canvas canvas(8, 8, kBack);
    const std::vector<std::uint8_t> before = canvas.bytes();
    EXPECT_FALSE(DrawPieProgress(canvas.view(), {1, 1, 1 + width, 8}, kRest, kDone, kRim, 0.5));
    EXPECT_EQ(canvas.bytes(), before) << width;
  }
  // Four pixels wide: a 4 x 4 pie, whatever the rectangle's height.
  Canvas canvas(8, 8, kBack);
  const std::vector<std::uint8_t> before = canvas.bytes();
  EXPECT_TRUE(DrawPieProgress(canvas.view(), {1, 1, 5, 2}, kRest, kDone, kRim, 0.5));
  EXPECT_NE(canvas.bytes(), before);
  EXPECT_NE(canvas.At(2, 4), kBack);
  EXPECT_EQ(canvas.At(5, 1), kBack);
  EXPECT_EQ(canvas.At(1, 5), kBack);
}

TEST(PieProgressTest, UnusableFractionsDrawNothing) {
  for (double fraction : {1.5, -0.25, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity()}) {
    Canvas canvas(17, 17, kBack);
    const std::vector<std::uint8_t> before = canvas.bytes();
    EXPECT_FALSE(DrawPieProgress(canvas.view(), {0, 0, 17, 17}, kRest, kDone, kRim, fraction));
    EXPECT_EQ(canvas.bytes(), before) << fraction;
  }
  Canvas canvas(17, 17, kBack);
  const PiePart nothing[] = {{0, kDone}, {0, kRest}};
  EXPECT_FALSE(DrawPie(canvas.view(), {0, 0, 17, 17}, nothing, kRim));
  EXPECT_FALSE(DrawPie(canvas.view(), {0, 0, 17, 17}, {}, kRim));
}

TEST(PieProgressTest, APieAcrossTheCanvasEdgeDrawsItsVisiblePart) {
  Canvas whole(16, 16, kBack);
  ASSERT_TRUE(DrawPieProgress(whole.view(), {0, 0, 17, 17}, kRest, kDone, kRim, 0.3));
  Canvas clipped(10, 10, kBack);
  ASSERT_TRUE(DrawPieProgress(clipped.view(), {-8, -6, 9, 11}, kRest, kDone, kRim, 0.3));
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const Color expected = x < 8 ? whole.At(x + 8, y + 6) : kBack;
      EXPECT_EQ(clipped.At(x, y), expected) << x << "," << y;
    }
  }
  // Far off the canvas, or huge, without touching memory it does not own.
  EXPECT_TRUE(
      DrawPieProgress(clipped.view(), {-100000, -100000, -99000, -99000}, kRest, kDone, kRim, 0.3));
  EXPECT_TRUE(
      DrawPieProgress(clipped.view(), {-2000000000, -5, 2000000000, 5}, kRest, kDone, kRim, 0.3));
}

TEST(PieProgressTest, ThirtyTwoBitPixelsMatchTwentyFourAndKeepTheirFourthByte) {
  Canvas narrow(17, 17, kBack, 3);
  Canvas wide(17, 17, kBack, 4);
  ASSERT_TRUE(DrawPieProgress(narrow.view(), {0, 0, 17, 17}, kRest, kDone, kRim, 0.6));
  ASSERT_TRUE(DrawPieProgress(wide.view(), {0, 0, 17, 17}, kRest, kDone, kRim, 0.6));
  for (int y = 0; y < 17; ++y) {
    for (int x = 0; x < 17; ++x) {
      EXPECT_EQ(wide.At(x, y), narrow.At(x, y)) << x << "," << y;
      EXPECT_EQ(wide.bytes()[static_cast<std::size_t>((y * 17 + x) * 4 + 3)], 0xEE);
    }
  }
}

TEST(PieProgressTest, PartsOfTheProgressPie) {
  const std::vector<PiePart> none = PieProgressParts(0, kRest, kDone);
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].color, kRest);
  const std::vector<PiePart> all = PieProgressParts(1, kRest, kDone);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].color, kDone);
  const std::vector<PiePart> some = PieProgressParts(0.25, kRest, kDone);
  ASSERT_EQ(some.size(), 2u);
  EXPECT_EQ(some[0].color, kDone);
  EXPECT_DOUBLE_EQ(some[0].weight, 251);
  EXPECT_EQ(some[1].color, kRest);
  EXPECT_DOUBLE_EQ(some[1].weight, 751);
}

}  // namespace
}  // namespace velkaro
