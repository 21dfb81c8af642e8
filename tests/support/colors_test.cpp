#include "support/colors.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

struct MixCase {
  Color a;
  Color b;
  int weight_a;
  int weight_b;
  Color expected;
};

TEST(ColorsTest, AverageRoundsDownPerChannel) {
  EXPECT_EQ(AverageColor(0x000000, 0xFFFFFF), 0x7F7F7Fu);
  // Red 0xFF + 0x01, green 0x80 + 0x01, blue 0x00 + 0x01.
  EXPECT_EQ(AverageColor(0x0080FF, 0x010101), 0x004080u);
  EXPECT_EQ(AverageColor(0x123456, 0x123456), 0x123456u);
}

TEST(ColorsTest, MixWeighsEachChannel) {
  const MixCase cases[] = {
      // The frame colour: button shadow and button face, 1 : 2.
      {0xA0A0A0, 0xF0F0F0, 1, 2, 0xD5D5D5},
      // Red 255/3, blue 510/3, each on its own byte.
      {0x0000FF, 0xFF0000, 1, 2, 0xAA0055},
      {0x0000FF, 0xFF0000, 1, 0, 0x0000FF},
      {0x0000FF, 0xFF0000, 0, 5, 0xFF0000},
      {0x102030, 0x405060, 0, 0, 0x102030},
  };
  for (const MixCase& c : cases) {
    EXPECT_EQ(MixColors(c.a, c.b, c.weight_a, c.weight_b), c.expected)
        << std::hex << c.a << " " << c.b << " " << std::dec << c.weight_a << ":" << c.weight_b;
  }
}

TEST(ColorsTest, MixWithNegativeWeightsStaysInsideEachChannel) {
  // 2 * 0xFF - 1 * 0x00 would be 0x1FE and spill into the next channel.
  EXPECT_EQ(MixColors(0x0000FF, 0x000000, 2, -1), 0x0000FFu);
  EXPECT_EQ(MixColors(0x000000, 0x0000FF, 2, -1), 0x000000u);
}

TEST(ColorsTest, BlendStepTruncatesTowardZero) {
  // The highlight: 30 of 100 steps from a light face colour towards orange. Green goes
  // 240 - 33.6, which truncates to 207 (flooring would give 206).
  EXPECT_EQ(BlendColorStep(0xF0F0F0, 0x0080FF, 100, 30), 0xA8CFF4u);
  EXPECT_EQ(BlendColorStep(0xF0F0F0, 0x0080FF, 100, 0), 0xF0F0F0u);
  EXPECT_EQ(BlendColorStep(0xF0F0F0, 0x0080FF, 100, 100), 0x0080FFu);
  EXPECT_EQ(BlendColorStep(0x000000, 0xFFFFFF, 3, 1), 0x555555u);
  EXPECT_EQ(BlendColorStep(0xFFFFFF, 0x000000, 3, 1), 0xAAAAAAu);
  EXPECT_EQ(BlendColorStep(0x123456, 0xFFFFFF, 0, 7), 0x123456u);
}

TEST(ColorsTest, BlendStepBeyondTheEndsStopsAtTheChannelLimits) {
  EXPECT_EQ(BlendColorStep(0x000080, 0x0000FF, 1, 3), 0x0000FFu);
  EXPECT_EQ(BlendColorStep(0x000080, 0x0000FF, 1, -3), 0x000000u);
}

TEST(ColorsTest, TheUnusedHighByteIsIgnored) {
  EXPECT_EQ(AverageColor(0xFF000000, 0x80000000), 0u);
  EXPECT_EQ(MixColors(0x01102030, 0x02102030, 1, 1), 0x102030u);
}

}  // namespace
}  // namespace velkaro
