#include "ui/about/version_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "support/utf.h"

namespace velkaro {
namespace {

struct VersionCase {
  const char* what;
  FileVersionInfo version;
  const char* build_word;
  const char* long_text;
  const char* key;
};

const VersionCase kCases[] = {
    {"a release", {u"1.4", 0, 25, false, u""}, "build", "1.4.0 (build 25)", "1_4_0~25"},
    {"with a product suffix", {u"10.2", 3, 4567, false, u"beta"}, "build",
     "10.2.3 (build 4567) beta", "10_2_3~4567"},
    {"without version information", MissingFileVersion(), "build", "CRASH.0 (build -1)",
     "CRASH_0~-1"},
    // The word follows the language; the key does not.
    {"in another language", {u"1.4", 0, 25, false, u""}, "Build-Nr.", "1.4.0 (Build-Nr. 25)",
     "1_4_0~25"},
    {"a suffix the address must encode", {u"2.0", 1, 7, false, u"rc 1"}, "build",
     "2.0.1 (build 7) rc 1", "2_0_1~7"},
};

TEST(VersionTextsTest, LongTextAndUpdateKey) {
  for (const VersionCase& c : kCases) {
    const std::u16string text = GetVersionTexts(c.version, FromUtf8(c.build_word));
    EXPECT_EQ(ToUtf8(text), c.long_text) << c.what;
    EXPECT_EQ(ToUtf8(VersionKey(text, c.version.build)), c.key) << c.what;
  }
}

TEST(VersionTextsTest, KeyCharactersOutsideTheSafeSetAreEncoded) {
  EXPECT_EQ(ToUtf8(VersionKey(u"1.0/ä.2 (build 3)", 3)), "1_0%2F%C3%A4_2~3");
}

TEST(VersionTextsTest, UpdateAddressPutsTheKeyUnderTheCheckPath) {
  EXPECT_EQ(ToUtf8(UpdateAddress(u"updates.example.com", u"1_4_0~25")),
            "http://updates.example.com/kq/checkupdate/1_4_0~25");
}

}  // namespace
}  // namespace velkaro
