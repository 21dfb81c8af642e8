#include "lang/language_menu.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "lang/language_folders.h"
#include "platform/files.h"

namespace velkaro {
namespace {

const std::vector<TLanguageFile> kFiles = {
    {u"pl", u"/l/pl.lng", u"Polski"},
    {u"De", u"/l/De.lng", u"Deutsch"},
    {u"xx", u"/l/xx.lng", u""},
};

// The ticked items of the menu, by position.
std::vector<std::size_t> Ticked(const TLanguageMenu& menu) {
  std::vector<std::size_t> ticked;
  for (std::size_t i = 0; i < menu.Count(); ++i) {
    if (menu.Item(i).Checked) ticked.push_back(i);
  }
  return ticked;
}

TEST(LanguageMenuTest, ListsDefaultEnglishThenTheFilesInOrder) {
  TLanguageMenu menu;
  menu.BuildLanguageMenu(kFiles, u"");
  ASSERT_EQ(menu.Count(), 4u);
  EXPECT_EQ(menu.Item(0).Caption, u"Default English");
  EXPECT_EQ(menu.Item(1).Caption, u"Polski");
  EXPECT_EQ(menu.Item(2).Caption, u"Deutsch");
  EXPECT_EQ(menu.Item(3).Caption, u"xx");  // no name: the code shows
  EXPECT_EQ(menu.FLangCodesList(), (std::vector<std::u16string>{u"pl", u"De", u"xx"}));
  EXPECT_THROW(menu.Item(4), std::out_of_range);

  // Built again, the old items go.
  menu.BuildLanguageMenu({}, u"pl");
  ASSERT_EQ(menu.Count(), 1u);
  EXPECT_TRUE(Ticked(menu).empty());
}

TEST(LanguageMenuTest, TicksTheActiveCodeWithoutRegardToCase) {
  struct Case {
    std::u16string_view active;
    std::vector<std::size_t> ticked;
  };
  const Case cases[] = {
      {u"", {0}}, {u"pl", {1}}, {u"PL", {1}}, {u"de", {2}}, {u"DE", {2}}, {u"xx", {3}},
      {u"gone", {}}, {u"p", {}}, {u"pl ", {}},
  };
  for (const Case& c : cases) {
    TLanguageMenu menu;
    menu.BuildLanguageMenu(kFiles, c.active);
    EXPECT_EQ(Ticked(menu), c.ticked) << std::string(c.active.begin(), c.active.end());
  }

  TLanguageMenu menu;
  menu.BuildLanguageMenu(kFiles, u"pl");
  for (const Case& c : cases) {
    menu.RefreshLanguageChecks(c.active);
    EXPECT_EQ(Ticked(menu), c.ticked) << "refreshed";
  }
}

TEST(LanguageMenuTest, AnItemChoosesItsCode) {
  TLanguageMenu menu;
  menu.BuildLanguageMenu(kFiles, u"pl");
  EXPECT_EQ(menu.LanguageItemClick(0), u"");
  EXPECT_EQ(menu.LanguageItemClick(1), u"pl");
  EXPECT_EQ(menu.LanguageItemClick(2), u"De");
  EXPECT_EQ(menu.LanguageItemClick(3), u"xx");
  EXPECT_EQ(menu.LanguageItemClick(4), std::nullopt);

  TLanguageMenu empty;
  EXPECT_EQ(empty.LanguageItemClick(1), std::nullopt);
}

TEST(LanguageFoldersTest, LangsBesideTheProgramComeFirst) {
  struct Case {
    std::u16string_view program;
    std::u16string_view installed;
    std::vector<std::u16string> folders;
  };
  const Case cases[] = {
      {u"/opt/v/", u"/usr/share/velkaro/Langs", {u"/opt/v/Langs/", u"/usr/share/velkaro/Langs/"}},
      {u"/opt/v/", u"/usr/share/velkaro/Langs/", {u"/opt/v/Langs/", u"/usr/share/velkaro/Langs/"}},
      {u"C:\\Tools\\", u"", {u"C:\\Tools\\Langs\\"}},
      {u"/opt/v", u"", {u"/opt/v/Langs/"}},
      {u"/opt/v/", u"/opt/v/Langs", {u"/opt/v/Langs/"}},
      {u"", u"/usr/share/velkaro/Langs", {u"/usr/share/velkaro/Langs/"}},
      {u"", u"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(LanguageFolders(c.program, c.installed), c.folders);
}

TEST(LanguageFoldersTest, TheProgramsFoldersAreBesideItAndInstalled) {
  const std::vector<std::u16string> folders = LanguageFolders();
  ASSERT_FALSE(folders.empty());
#ifdef _WIN32
  EXPECT_EQ(folders.front(), platform::ProgramFolder() + u"Langs\\");
  EXPECT_EQ(folders.size(), 1u);
#else
  EXPECT_EQ(folders.front(), platform::ProgramFolder() + u"Langs/");
  ASSERT_EQ(folders.size(), 2u);
  const std::u16string_view tail = u"/share/velkaro/Langs/";
  ASSERT_GT(folders[1].size(), tail.size());
  EXPECT_EQ(std::u16string_view(folders[1]).substr(folders[1].size() - tail.size()), tail);
#endif
}

}  // namespace
}  // namespace velkaro
