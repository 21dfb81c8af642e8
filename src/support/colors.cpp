#include "support/colors.h"

#include <algorithm>

namespace velkaro {
namespace {

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {
  const std::int64_t q = n / d;
  return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

std::uint8_t Channel(std::int64_t v) {
  return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
}

template <class PerChannel>
Color EachChannel(Color a, Color b, PerChannel f) {
  return RgbColor(Channel(f(RedOf(a), RedOf(b))), Channel(f(GreenOf(a), GreenOf(b))),
                  Channel(f(BlueOf(a), BlueOf(b))));
}

}  // namespace

Color AverageColor(Color a, Color b) {
  return EachChannel(a, b, [](std::int64_t x, std::int64_t y) { return (x + y) / 2; });
}

Color MixColors(Color a, Color b, int weight_a, int weight_b) {
  const std::int64_t total = std::int64_t{weight_a} + weight_b;
  if (total == 0) return EachChannel(a, a, [](std::int64_t x, std::int64_t) { return x; });
  return EachChannel(a, b, [&](std::int64_t x, std::int64_t y) {
    return FloorDiv(weight_a * x + weight_b * y, total);
  });
}

Color BlendColorStep(Color a, Color b, int steps, int step) {
  if (steps == 0) return EachChannel(a, a, [](std::int64_t x, std::int64_t) { return x; });
  return EachChannel(a, b,
                     [&](std::int64_t x, std::int64_t y) { return x + step * (y - x) / steps; });
}

}  // namespace velkaro
