// The small anti-aliased progress pie, rasterised into a pixel buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "support/colors.h"
#include "support/geometry.h"

namespace velkaro {

// A non-owning view of 24- or 32-bit pixels stored blue, green, red (and one unused
// byte), rows `stride` bytes apart from the top row down; a negative stride walks a
// bottom-up buffer.
struct PixelView {
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
  int bytes_per_pixel = 4;

  // (x, y) must lie on the buffer.
  Color At(std::int64_t x, std::int64_t y) const;
  void Set(std::int64_t x, std::int64_t y, Color color) const;
};

struct PiePart {
  double weight = 0;
  Color color = 0;
};

// The parts of a progress pie: all `rest` at 0, all `done` at 1, otherwise the done
// part followed by the rest, each weighted by its share (in thousandths) plus one.
std::vector<PiePart> PieProgressParts(double fraction, Color rest, Color done);

// Draws a disc of the given parts, clockwise from nine o'clock, with a one-pixel `rim`,
// into the top-left square of `rect` (diameter: the width rounded down to even).
// Pixels are supersampled five times over; where the disc does not cover a pixel fully
// it blends with the canvas pixel beneath. Only pixels on the canvas are touched.
// Returns false, drawing nothing, for a radius of 1 or less, a negative weight or no
// weight at all.
bool DrawPie(const PixelView& canvas, const Rect& rect, std::span<const PiePart> parts, Color rim);

// The pie of PieProgressParts; `fraction` runs from 0 to 1.
bool DrawPieProgress(const PixelView& canvas, const Rect& rect, Color rest, Color done, Color rim,
                     double fraction);

}  // namespace velkaro
