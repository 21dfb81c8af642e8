#include "support/version_info.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

TEST(VersionInfoTest, MissingInformationGivesTheCrashParts) {
  const FileVersionInfo info = MissingFileVersion();
  EXPECT_EQ(info.version, u"CRASH");
  EXPECT_EQ(info.release, 0);
  EXPECT_EQ(info.build, -1);
  EXPECT_TRUE(info.debug);
  EXPECT_EQ(info.product_suffix, u"");
}

TEST(VersionInfoTest, DecodesTheFixedFields) {
  // 2.15.7.1234, release build
  const FileVersionInfo info = DecodeFileVersion(0x0002000F, 0x000704D2, 0x3F, 0x0, std::nullopt);
  EXPECT_EQ(info.version, u"2.15");
  EXPECT_EQ(info.release, 7);
  EXPECT_EQ(info.build, 1234);
  EXPECT_FALSE(info.debug);
  EXPECT_EQ(info.product_suffix, u"");

  const FileVersionInfo largest = DecodeFileVersion(0xFFFFFFFF, 0xFFFFFFFF, 0, 0, std::nullopt);
  EXPECT_EQ(largest.version, u"65535.65535");
  EXPECT_EQ(largest.release, 65535);
  EXPECT_EQ(largest.build, 65535);

  const FileVersionInfo zero = DecodeFileVersion(0, 0, 0, 0, std::nullopt);
  EXPECT_EQ(zero.version, u"0.0");
  EXPECT_EQ(zero.release, 0);
  EXPECT_EQ(zero.build, 0);
}

TEST(VersionInfoTest, DebugNeedsTheFlagInMaskAndFlags) {
  const struct {
    std::uint32_t mask;
    std::uint32_t flags;
    bool debug;
  } cases[] = {
      {0x3F, 0x01, true},
      {0x01, 0x01, true},
      {0x3F, 0x00, false},
      {0x00, 0x01, false},  // a flag the mask does not declare is not valid
      {0x3E, 0x3E, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeFileVersion(0x00010000, 0, c.mask, c.flags, std::nullopt).debug, c.debug)
        << "mask " << c.mask << " flags " << c.flags;
  }
}

TEST(VersionInfoTest, ProductSuffixIsEverythingAfterTheFirstBlank) {
  const struct {
    std::optional<std::u16string_view> product_version;
    const char16_t* suffix;
  } cases[] = {
      {u"1.3 beta 2", u"beta 2"},
      {u"1.3 RC", u"RC"},
      {u"1.3", u""},
      {u"1.3 ", u""},
      {u" x", u"x"},
      {u"", u""},
      {std::nullopt, u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeFileVersion(0x00010003, 0, 0, 0, c.product_version).product_suffix, c.suffix);
  }
}

}  // namespace
}  // namespace velkaro
