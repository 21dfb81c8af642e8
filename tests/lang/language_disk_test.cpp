// The language code over real files in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "lang/language_file.h"
#include "lang/language_menu.h"
#include "lang/string_table.h"
#include "lang_test_files.h"
#include "temp_folder.h"

namespace velkaro {
namespace {

using platform::testing::ToText;
using testing::Bytes;
using testing::Utf16LeBytes;
using testing::Utf8Bytes;

class LanguageDiskTest : public platform::testing::TempFolderTest {
 protected:
  void TearDown() override {
    ClearTranslations();
    TempFolderTest::TearDown();
  }
  void Write(const char* name, const Bytes& bytes) {
    WriteFile(name, std::string(bytes.begin(), bytes.end()));
  }
  std::u16string Folder() const {
    std::u16string folder = ToText(folder_);
#ifdef _WIN32
    folder += u'\\';
#else
    folder += u'/';
#endif
    return folder;
  }
};

TEST_F(LanguageDiskTest, ListsLoadsAndNamesTheFilesOfAFolder) {
  Write("de.lng", Utf16LeBytes(u"Deutsch\r\ninfo=x\r\n150=Belastungszeit:\r\n"));
  Write("u8.lng", Utf8Bytes(u"Deutsch\r\n150=Belastungszeit:\r\n", true));
  Write("notes.lngx", Utf16LeBytes(u"Notes\r\n"));
  Write("readme.txt", Utf16LeBytes(u"Readme\r\n"));
  MakeFolder("folder.lng");

  const std::vector<std::u16string> folders{Folder()};
  std::vector<TLanguageFile> files = FindLanguageFiles(folders);
  std::sort(files.begin(), files.end(),
            [](const TLanguageFile& a, const TLanguageFile& b) { return a.Code < b.Code; });
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].Code, u"de");
  EXPECT_EQ(files[0].Name, u"Deutsch");
  EXPECT_EQ(files[0].Path, Folder() + u"de.lng");
  EXPECT_EQ(files[1].Code, u"u8");
  EXPECT_EQ(files[1].Name, u"");

  TLanguageMenu menu;
  menu.BuildLanguageMenu(files, u"de");
  EXPECT_EQ(menu.Item(1).Caption, u"Deutsch");
  EXPECT_TRUE(menu.Item(1).Checked);
  EXPECT_EQ(menu.Item(2).Caption, u"u8");

  TLanguageLoader loader(folders);
  EXPECT_EQ(loader.ReloadLanguage(u"de"), TLangLoad::llLoaded);
  EXPECT_EQ(LangText(TextId::StressTimeLabel), u"Belastungszeit:");
  EXPECT_EQ(loader.ReloadLanguage(u"u8"), TLangLoad::llOtherEncoding);
  EXPECT_EQ(LangText(TextId::StressTimeLabel), u"Stress time:");
  EXPECT_EQ(loader.ReloadLanguage(u"folder"), TLangLoad::llMissing);
  EXPECT_EQ(loader.ReloadLanguage(u"notes"), TLangLoad::llMissing);
}

TEST_F(LanguageDiskTest, ReadsAtMostTenMebibytes) {
  // The mark, 150, filler lines up to exactly the limit, then 151 behind it.
  std::u16string text = u"\uFEFFName\r\n150=a\r\n";
  const std::size_t units = static_cast<std::size_t>(kLanguageFileBytes / 2);
  const std::u16string filler = u"x\r\n";
  while (text.size() + filler.size() <= units) text += filler;
  text.append(units - text.size(), u'x');
  ASSERT_EQ(text.size() * 2, kLanguageFileBytes);
  text += u"\r\n151=b\r\n";
  Write("big.lng", Utf16LeBytes(text, false));

  TLanguageLoader loader({Folder()});
  ASSERT_EQ(loader.ReloadLanguage(u"big"), TLangLoad::llLoaded);
  EXPECT_EQ(LangText(TextId::StressTimeLabel), u"a");
  EXPECT_EQ(LangText(TextId::PriorityLabel), u"Stress threads priorities:");
}

TEST_F(LanguageDiskTest, ANameLongerThanTheHeadIsCut) {
  Write("long.lng", Utf16LeBytes(std::u16string(20000, u'n') + u"\r\n150=x"));
  EXPECT_EQ(ReadLanguageName(Folder() + u"long.lng"),
            std::u16string(static_cast<std::size_t>(kLanguageNameBytes / 2 - 1), u'n'));
  EXPECT_EQ(ReadLanguageName(Folder() + u"absent.lng"), u"");
}

}  // namespace
}  // namespace velkaro
