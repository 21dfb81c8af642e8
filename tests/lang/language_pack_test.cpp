// The language files shipped in Langs/, as the build copies them beside this program.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "lang/language_file.h"
#include "lang/language_folders.h"
#include "lang/string_table.h"
#include "lang_test_files.h"
#include "language_check.h"
#include "support/utf.h"
#include "temp_folder.h"

namespace velkaro {
namespace {

using testing::Bytes;
using testing::CheckLanguageFile;

const std::map<std::u16string, std::u16string> kShipped = {
    {u"de", u"Deutsch"}, {u"es", u"Español"}, {u"fr", u"Français"},
    {u"it", u"Italiano"}, {u"pl", u"Polski"}, {u"ru", u"Русский"},
};

std::u16string ShippedFolder() { return LanguageFolders().front(); }

Bytes ReadShipped(std::u16string_view code) {
  Bytes bytes;
  const std::u16string path = ShippedFolder() + std::u16string(code) + u".lng";
  EXPECT_TRUE(SystemLangFileAccess().ReadBytes(path, kLanguageFileBytes, bytes)) << ToUtf8(path);
  return bytes;
}

std::string Report(const std::vector<std::string>& problems) {
  std::string out;
  for (const std::string& problem : problems) out += "\n  " + problem;
  return out;
}

class LanguagePackTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearTranslations(); }
};

TEST_F(LanguagePackTest, EveryLanguageLiesBesideTheProgramUnderItsName) {
  const std::vector<std::u16string> folders{ShippedFolder()};
  std::map<std::u16string, std::u16string> found;
  for (const TLanguageFile& file : FindLanguageFiles(folders)) found[file.Code] = file.Name;
  EXPECT_EQ(found, kShipped);
}

TEST_F(LanguagePackTest, EveryFileKeepsTheRules) {
  for (const auto& [code, name] : kShipped) {
    const Bytes bytes = ReadShipped(code);
    const std::vector<std::string> problems = CheckLanguageFile(bytes, name);
    EXPECT_TRUE(problems.empty()) << ToUtf8(code) << ".lng:" << Report(problems);
  }
}

TEST_F(LanguagePackTest, EveryFileTranslatesTheWholeTable) {
  TLanguageLoader loader({ShippedFolder()});
  for (const auto& [code, name] : kShipped) {
    ASSERT_EQ(loader.ReloadLanguage(code), TLangLoad::llLoaded) << ToUtf8(code);
    for (const TLangRecord& record : LangTable())
      EXPECT_FALSE(record.Translated.empty()) << ToUtf8(code) << " id " << record.Id;
  }
  EXPECT_EQ(loader.ReloadLanguage(u"ru"), TLangLoad::llUnchanged);
  EXPECT_EQ(LangText(TextId::MenuStart), u"&Запустить нагрузку на ЦП!        ");
  EXPECT_EQ(LangText(TextId::TooManyThreadsCreated), u"Слишком много потоков!\rСоздано: %d.");
}

TEST(TextWidthTest, MeasuresTheWidestLine) {
  EXPECT_EQ(testing::TextWidth(u""), 0);
  EXPECT_EQ(testing::TextWidth(u"0"), testing::TextWidth(u"1"));
  EXPECT_LT(testing::TextWidth(u"iiii"), testing::TextWidth(u"WWWW"));
  EXPECT_EQ(testing::TextWidth(u"ab\rabc"), testing::TextWidth(u"abc"));
  EXPECT_GT(testing::TextWidth(u"Ж"), 0);
  EXPECT_EQ(testing::TextWidth(u"\u4E00"), 10);
}

// The English table keeps the checker's rules itself, so the rules are the right ones.
TEST_F(LanguagePackTest, TheEnglishTableKeepsTheRules) {
  for (const TLangRecord& record : LangTable()) {
    EXPECT_TRUE(testing::CheckTranslation(record.Id, record.Text, record.Text).empty()) << record.Id;
    EXPECT_TRUE(testing::CheckFit(record.Id, record.Text).empty()) << record.Id;
  }
  const auto english = [](std::int64_t id, const void*) {
    return LangText(*TextIdFromNumber(id));
  };
  EXPECT_TRUE(testing::CheckAccelerators(testing::MainMenuLevels(), english, nullptr).empty());
}

// A shipped file with one line changed, encoded as shipped.
Bytes WithLine(const Bytes& original, std::u16string_view id, std::u16string_view replacement) {
  std::u16string text = *DecodeLanguageBytes(original);
  const std::u16string key = u"\r\n" + std::u16string(id) + u"=";
  const std::size_t start = text.find(key);
  EXPECT_NE(start, std::u16string::npos);
  const std::size_t end = text.find(u"\r\n", start + 2);
  text.replace(start + 2, end - start - 2, replacement);
  if (replacement.empty()) text.erase(start, 2);
  return testing::Utf16LeBytes(std::u16string_view(text).substr(1));
}

TEST_F(LanguagePackTest, TheCheckerFindsBrokenFiles) {
  const Bytes de = ReadShipped(u"de");
  ASSERT_TRUE(CheckLanguageFile(de, u"Deutsch").empty());
  struct Case {
    const char* expected;  // part of the problem's message
    Bytes bytes;
  };
  const std::u16string text = *DecodeLanguageBytes(de);
  std::u16string lf_only = text.substr(1);
  for (std::size_t at = lf_only.find(u"\r\n"); at != std::u16string::npos; at = lf_only.find(u"\r\n", at))
    lf_only.erase(at, 1);
  const Case cases[] = {
      {"id 150: not translated", WithLine(de, u"150", u"")},
      {"id 151: after id 152", WithLine(de, u"152", u"152=Fenster anheften\r\n151=Priorität:")},
      {"id 149: not in the string table", WithLine(de, u"150", u"149=x")},
      {"line 4 is no text line", WithLine(de, u"2", u"2 =Abbrechen")},
      {"id 103: format directives %d instead of %s", WithLine(de, u"103", u"103=CPU jetzt: %d")},
      {"id 121: format directives", WithLine(de, u"121", u"121=Ausgeführte Threads: %s von %s")},
      {"id 302: markup runs differ",
       WithLine(de, u"302", u"302=[fB;Zu viele Threads! Die Anzahl wird auf [fB;%s] begrenzt.")},
      {"id 156: markup runs differ", WithLine(de, u"156", u"156=Noch eine Kopie starten ([fB;F6])")},
      {"id 303: line breaks differ",
       WithLine(de, u"303", u"303=[fB;Enter] - Last starten [fB;Esc] - Last stoppen")},
      {"id 303: line breaks differ",
       WithLine(de, u"303", u"303=[fB;Enter] - Last starten\\n[fB;Esc] - Last stoppen")},
      {"id 191: blanks at the ends differ", WithLine(de, u"191", u"191=CPU-Last &starten!")},
      {"id 161: list number lost", WithLine(de, u"161", u"161=Nur im Leerlauf")},
      {"id 305: key name Esc lost", WithLine(de, u"305", u"305=Abbruch - Last stoppen")},
      {"id 190: accelerator mark differs", WithLine(de, u"190", u"190=Datei")},
      {"id 193: accelerator S also used by id 191", WithLine(de, u"193", u"193=&Schließen")},
      {"id 211: accelerator s also used by id 198", WithLine(de, u"211", u"211=Vorlage lö&schen ...")},
      {"id 150: too wide", WithLine(de, u"150", u"150=Dauer der Belastung durch die Threads:")},
      {"id 50: too wide", WithLine(de, u"50", u"50=Prozessorbelastung starten!")},
      {"id 167: too wide",
       WithLine(de, u"167", u"167=7 - ZEITKRITISCH !!! Achtung! Eventuell schwer zu stoppen !!!")},
      {"id 103: too wide", WithLine(de, u"103", u"103=Prozessorauslastung jetzt: %s")},
      {"id 51: no translation", WithLine(de, u"51", u"51=''")},
      {"line 1 is \"German\"", testing::Utf16LeBytes(u"German" + text.substr(text.find(u"\r\n")))},
      {"line 2 is not an info= line", WithLine(de, u"info", u"about=Velkaro")},
      {"a line does not end in CR LF", testing::Utf16LeBytes(lf_only)},
      {"no UTF-16 LE byte-order mark", testing::Utf16LeBytes(text.substr(1), false)},
      {"not read as UTF-16 LE", testing::Utf8Bytes(text.substr(1), true)},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> problems = CheckLanguageFile(c.bytes, u"Deutsch");
    const bool found = std::any_of(problems.begin(), problems.end(), [&](const std::string& p) {
      return p.find(c.expected) != std::string::npos;
    });
    EXPECT_TRUE(found) << "expected \"" << c.expected << "\", got:" << Report(problems);
  }
}

class LanguagePackCopyTest : public platform::testing::TempFolderTest {};

// A broken copy in a folder of its own is caught on its way through the file system.
TEST_F(LanguagePackCopyTest, ABrokenCopyFails) {
  Bytes bytes = ReadShipped(u"fr");
  const Bytes broken = WithLine(bytes, u"104", u"104=CPU moyen : %d");
  WriteFile("fr.lng", std::string(broken.begin(), broken.end()));
  Bytes read;
  ASSERT_TRUE(SystemLangFileAccess().ReadBytes(platform::testing::ToText(folder_ / "fr.lng"),
                                               kLanguageFileBytes, read));
  const std::vector<std::string> problems = CheckLanguageFile(read, u"Français");
  ASSERT_EQ(problems.size(), 1u) << Report(problems);
  EXPECT_NE(problems[0].find("id 104: format directives"), std::string::npos) << problems[0];
}

}  // namespace
}  // namespace velkaro
