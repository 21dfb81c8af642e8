#include "platform/version.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "support/utf.h"
#include "temp_folder.h"
#include "velkaro_version.h"

namespace velkaro::platform {
namespace {

using testing::TempFolderTest;
using testing::ToText;

void ExpectMissing(const FileVersionInfo& info) {
  EXPECT_EQ(info.version, u"CRASH");
  EXPECT_EQ(info.release, 0);
  EXPECT_EQ(info.build, -1);
  EXPECT_TRUE(info.debug);
  EXPECT_EQ(info.product_suffix, u"");
}

TEST(GetFileVersionTest, OwnProgramCarriesTheProjectVersion) {
  const std::string product = VELKARO_PRODUCT_VERSION;
  const std::size_t blank = product.find(' ');
  const std::u16string suffix =
      blank == std::string::npos ? u"" : FromUtf8(product.substr(blank + 1));
  for (const bool want_suffix : {false, true}) {
    const FileVersionInfo info = GetFileVersion(ProgramPath(), want_suffix);
    EXPECT_EQ(info.version, FromUtf8(std::to_string(VELKARO_VERSION_MAJOR) + "." +
                                     std::to_string(VELKARO_VERSION_MINOR)));
    EXPECT_EQ(info.release, VELKARO_VERSION_RELEASE);
    EXPECT_EQ(info.build, VELKARO_VERSION_BUILD);
    EXPECT_FALSE(info.debug);
    EXPECT_EQ(info.product_suffix, want_suffix ? suffix : u"");
  }
}

using GetFileVersionFileTest = TempFolderTest;

TEST_F(GetFileVersionFileTest, FilesWithoutVersionGiveCrash) {
  const std::u16string paths[] = {ToText(WriteFile("plain.txt", "no version here")),
                                  ToText(folder_ / "missing.exe"), u""};
  for (const std::u16string& path : paths) {
    SCOPED_TRACE(ToUtf8(path));
    ExpectMissing(GetFileVersion(path, true));
  }
}

#ifdef _WIN32
// The child program's resource holds 2.3.4.5, the debug flag and a product version
// with a suffix, so that every part is read from its own field.
TEST(GetFileVersionTest, ReadsEveryPartOfAnotherProgram) {
  const std::u16string child = ProgramFolder() + u"platform_test_child.exe";
  const FileVersionInfo info = GetFileVersion(child, true);
  EXPECT_EQ(info.version, u"2.3");
  EXPECT_EQ(info.release, 4);
  EXPECT_EQ(info.build, 5);
  EXPECT_TRUE(info.debug);
  EXPECT_EQ(info.product_suffix, u"beta 7");
  EXPECT_EQ(GetFileVersion(child, false).product_suffix, u"");
}
#else
TEST(GetFileVersionTest, OtherProgramsHaveNone) {
  ExpectMissing(GetFileVersion(u"/bin/sh", true));
  ExpectMissing(GetFileVersion(ProgramFolder() + u"other", true));
}
#endif

}  // namespace
}  // namespace velkaro::platform
