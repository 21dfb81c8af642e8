#include "support/pie_progress.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velkaro {
namespace {

constexpr int kSamples = 5;  // per pixel and axis
constexpr double kWeightScale = 1000;

std::uint8_t* PixelAddress(const PixelView& view, std::int64_t x, std::int64_t y) {
  return view.bits + static_cast<std::ptrdiff_t>(y) * view.stride +
         static_cast<std::ptrdiff_t>(x) * view.bytes_per_pixel;
}

}  // namespace

Color PixelView::At(std::int64_t x, std::int64_t y) const {
  const std::uint8_t* p = PixelAddress(*this, x, y);
  return RgbColor(p[2], p[1], p[0]);
}

void PixelView::Set(std::int64_t x, std::int64_t y, Color color) const {
  std::uint8_t* p = PixelAddress(*this, x, y);
  p[0] = BlueOf(color);
  p[1] = GreenOf(color);
  p[2] = RedOf(color);
}

std::vector<PiePart> PieProgressParts(double fraction, Color rest, Color done) {
  if (fraction == 0) return {{kWeightScale, rest}};
  if (fraction == 1) return {{kWeightScale, done}};
  return {{fraction * kWeightScale + 1, done}, {(1 - fraction) * kWeightScale + 1, rest}};
}

bool DrawPie(const PixelView& canvas, const Rect& rect, std::span<const PiePart> parts, Color rim) {
  const std::int64_t r = (rect.Width() >= 0 ? rect.Width() : rect.Width() - 1) / 2;
  if (r <= 1 || parts.empty()) return false;
  double total = 0;
  for (const PiePart& part : parts) {
    if (!(part.weight >= 0)) return false;  // also refuses NaN
    total += part.weight;
  }
  if (!(total > 0) || !std::isfinite(total)) return false;

  const double b = static_cast<double>(kSamples * r);
  const double inner = (1 - kSamples / b) * (1 - kSamples / b);
  const auto colour_at = [&](std::int64_t i, std::int64_t j, Color beneath) {
    const double y = (static_cast<double>(i) - b + 0.5) / b;
    const double x = (static_cast<double>(j) - b + 0.5) / b;
    const double q = x * x + y * y;
    if (q >= 1) return beneath;
    if (q >= inner) return rim;
    const double turn = std::acos(x / std::sqrt(q)) * (y < 0 ? -1 : 1) / (2 * std::numbers::pi);
    const double v = (turn + 0.5) * total;
    double end = 0;
    for (const PiePart& part : parts) {
      end += part.weight;
      if (v < end) return part.color;
    }
    return parts.back().color;
  };

  // Only the pixels that land on the canvas are worked out, each from its own block of
  // samples, so the blend reads the pixel beneath before it is overwritten.
  if (canvas.bits == nullptr) return true;
  const std::int64_t size = 2 * r;
  const std::int64_t first_x = std::max<std::int64_t>(0, -std::int64_t{rect.left});
  const std::int64_t last_x = std::min<std::int64_t>(size, canvas.width - std::int64_t{rect.left});
  const std::int64_t first_y = std::max<std::int64_t>(0, -std::int64_t{rect.top});
  const std::int64_t last_y = std::min<std::int64_t>(size, canvas.height - std::int64_t{rect.top});
  for (std::int64_t py = first_y; py < last_y; ++py) {
    const std::int64_t cy = std::int64_t{rect.top} + py;
    for (std::int64_t px = first_x; px < last_x; ++px) {
      const std::int64_t cx = std::int64_t{rect.left} + px;
      const Color beneath = canvas.At(cx, cy);
      unsigned sum_r = 0;
      unsigned sum_g = 0;
      unsigned sum_b = 0;
      for (int si = 0; si < kSamples; ++si) {
        for (int sj = 0; sj < kSamples; ++sj) {
          const Color c = colour_at(py * kSamples + si, px * kSamples + sj, beneath);
          sum_r += RedOf(c);
          sum_g += GreenOf(c);
          sum_b += BlueOf(c);
        }
      }
      constexpr unsigned kCount = kSamples * kSamples;
      canvas.Set(cx, cy,
                 RgbColor(static_cast<std::uint8_t>((sum_r + kCount / 2) / kCount),
                          static_cast<std::uint8_t>((sum_g + kCount / 2) / kCount),
                          static_cast<std::uint8_t>((sum_b + kCount / 2) / kCount)));
    }
  }
  return true;
}

bool DrawPieProgress(const PixelView& canvas, const Rect& rect, Color rest, Color done, Color rim,
                     double fraction) {
  const std::vector<PiePart> parts = PieProgressParts(fraction, rest, done);
  return DrawPie(canvas, rect, parts, rim);
}

}  // namespace velkaro
