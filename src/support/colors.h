// Colour arithmetic on 0x00BBGGRR values (red in the low byte), channel by channel.
#pragma once

#include <cstdint>

namespace velkaro {

using Color = std::uint32_t;

constexpr Color RgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return Color{red} | Color{green} << 8 | Color{blue} << 16;
}
constexpr std::uint8_t RedOf(Color c) { return static_cast<std::uint8_t>(c); }
constexpr std::uint8_t GreenOf(Color c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(Color c) { return static_cast<std::uint8_t>(c >> 16); }

// (a + b) / 2, rounded down.
Color AverageColor(Color a, Color b);
// (weight_a * a + weight_b * b) / (weight_a + weight_b), rounded down; `a` when the
// weights add up to 0. Channels stay within 0..255 whatever the weights.
Color MixColors(Color a, Color b, int weight_a, int weight_b);
// Step `step` of `steps` from `a` towards `b`, truncated towards zero; `a` when
// `steps` is 0. Steps beyond the ends stop at 0 or 255.
Color BlendColorStep(Color a, Color b, int steps, int step);

}  // namespace velkaro
