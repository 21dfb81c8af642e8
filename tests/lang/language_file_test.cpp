#include "lang/language_file.h"

#include <gtest/gtest.h>

#include <map>

#include "lang/string_table.h"
#include "lang_test_files.h"
#include "support/utf.h"

namespace velkaro {
namespace {

using testing::Bytes;
using testing::MemoryLangFiles;
using testing::Utf16BeBytes;
using testing::Utf16LeBytes;
using testing::Utf8Bytes;

std::string Show(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) {
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      out += '<';
      out += std::to_string(static_cast<unsigned>(c));
      out += '>';
    }
  }
  return out;
}

class LanguageFileTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearTranslations(); }
};

// Each case: the lines of a file (after a byte-order mark and a name line), and the
// texts that ids must show afterwards.
struct LinesCase {
  const char* what;
  std::u16string body;
  std::map<TextId, std::u16string> shown;
};

TEST_F(LanguageFileTest, TextLinesFollowTheGrammarAndTheTableOrder) {
  const std::u16string time_en(LangText(TextId::StressTimeLabel));
  const std::u16string prio_en(LangText(TextId::PriorityLabel));
  const std::u16string pin_en(LangText(TextId::PinHint));
  const LinesCase cases[] = {
      {"an id after a larger one stays English", u"150=a\r\n152=b\r\n151=c",
       {{TextId::StressTimeLabel, u"a"}, {TextId::PinHint, u"b"}, {TextId::PriorityLabel, prio_en}}},
      {"a missed id leaves the search where it was", u"151=b\r\n150=a\r\n152=c",
       {{TextId::PriorityLabel, u"b"}, {TextId::StressTimeLabel, time_en}, {TextId::PinHint, u"c"}}},
      {"a repeated id keeps the first text", u"150=x\r\n150=y", {{TextId::StressTimeLabel, u"x"}}},
      {"nothing after = defines nothing", u"150=\r\n151=p", {{TextId::StressTimeLabel, time_en},
                                                             {TextId::PriorityLabel, u"p"}}},
      {"two apostrophes give an empty text, shown in English", u"150=''",
       {{TextId::StressTimeLabel, time_en}}},
      {"apostrophes keep the blanks", u"150='  a  '", {{TextId::StressTimeLabel, u"  a  "}}},
      {"blanks stay without apostrophes too", u"150=  a   ", {{TextId::StressTimeLabel, u"  a   "}}},
      {"one apostrophe stays", u"150='a", {{TextId::StressTimeLabel, u"'a"}}},
      {"a lone apostrophe stays", u"150='", {{TextId::StressTimeLabel, u"'"}}},
      {"apostrophes inside stay", u"150=a'b'", {{TextId::StressTimeLabel, u"a'b'"}}},
      {"\\n gives CR LF", u"303=a\\nb", {{TextId::RunButtonHint, u"a\r\nb"}}},
      {"\\\\n gives a backslash and n", u"303=a\\\\nb", {{TextId::RunButtonHint, u"a\\nb"}}},
      {"\\065 gives A", u"120=\\065", {{TextId::TooManyThreadsCreated, u"A"}}},
      {"\\013 gives a lone CR", u"120=a\\013b", {{TextId::TooManyThreadsCreated, u"a\rb"}}},
      {"an escaped apostrophe pair is removed after unescaping", u"150=\\039x\\039",
       {{TextId::StressTimeLabel, u"x"}}},
      {"blanks before = make no text line", u"150 =x", {{TextId::StressTimeLabel, time_en}}},
      {"blanks before the digits make no text line", u" 150=x", {{TextId::StressTimeLabel, time_en}}},
      {"everything after the first = is the text", u"150=a=b", {{TextId::StressTimeLabel, u"a=b"}}},
      {"id 0 defines nothing", u"0=x\r\n150=y", {{TextId::StressTimeLabel, u"y"}}},
      {"leading zeros are decimal", u"00150=y", {{TextId::StressTimeLabel, u"y"}}},
      {"an id of many digits matches nothing", u"99999999999999999999999150=x\r\n150=y",
       {{TextId::StressTimeLabel, u"y"}}},
      {"an id not in the table is ignored", u"149=x\r\n150=y", {{TextId::StressTimeLabel, u"y"}}},
      {"other lines are ignored", u"picture=00FF\r\n; 151=x\r\n150=y",
       {{TextId::StressTimeLabel, u"y"}, {TextId::PriorityLabel, prio_en}}},
      {"lone LF and lone CR end lines", u"150=a\n151=b\r152=c",
       {{TextId::StressTimeLabel, u"a"}, {TextId::PriorityLabel, u"b"}, {TextId::PinHint, u"c"}}},
      {"empty lines between", u"\r\n\r\n150=a\r\n\r\n\n151=b",
       {{TextId::StressTimeLabel, u"a"}, {TextId::PriorityLabel, u"b"}}},
      {"blanks at the end of a line belong to the text", u"150=a \t\r\n",
       {{TextId::StressTimeLabel, u"a \t"}}},
      {"the first and the last id of the table", u"1=Gut\r\n800=Fehler",
       {{TextId::Ok, u"Gut"}, {TextId::SaveError, u"Fehler"}}},
  };
  for (const LinesCase& c : cases) {
    ClearTranslations();
    const std::u16string text = u"\uFEFFName\r\ninfo=x\r\n" + c.body;
    ApplyLanguageText(text);
    for (const auto& [id, expected] : c.shown) {
      EXPECT_EQ(Show(LangText(id)), Show(expected)) << c.what << ", id " << static_cast<int>(id);
    }
  }
}

TEST_F(LanguageFileTest, CountsTheStoredTranslations) {
  EXPECT_EQ(ApplyLanguageText(u"150=a\r\n152=b\r\n151=c\r\n150=d\r\n300=e"), 3u);
  EXPECT_EQ(ApplyLanguageText(u""), 0u);
  EXPECT_EQ(ApplyLanguageText(u"garbage"), 0u);
}

TEST_F(LanguageFileTest, ParsesTextLines) {
  struct Case {
    std::u16string_view line;
    std::optional<std::int64_t> id;  // nothing: no text line
    std::u16string_view raw;
  };
  const Case cases[] = {
      {u"150=x", 150, u"x"},       {u"7=  ", 7, u"  "},   {u"150=", std::nullopt, u""},
      {u"=x", std::nullopt, u""},  {u"0=x", std::nullopt, u""}, {u"000=x", std::nullopt, u""},
      {u"150", std::nullopt, u""}, {u"a150=x", std::nullopt, u""},
      {u"150x=y", std::nullopt, u""}, {u"\uFEFF150=x", std::nullopt, u""},
      {u"1234567890123=x", -1, u"x"}, {u"0000000000000000000150=z", 150, u"z"},
  };
  for (const Case& c : cases) {
    const std::optional<TLangTextLine> parsed = ParseTextLine(c.line);
    ASSERT_EQ(parsed.has_value(), c.id.has_value()) << Show(c.line);
    if (!parsed) continue;
    EXPECT_EQ(parsed->Id, *c.id) << Show(c.line);
    EXPECT_EQ(Show(parsed->Raw), Show(c.raw)) << Show(c.line);
  }
}

TEST_F(LanguageFileTest, DecidesTheEncodingFromTheHead) {
  const std::u16string file = u"Deutsch\r\ninfo=x\r\n150=Belastungszeit:\r\n";
  const std::u16string cyrillic = u"Русский\r\n150=Время нагрузки:\r\n151=Приоритет потоков:";
  struct Case {
    const char* what;
    Bytes bytes;
    bool utf16le;
  };
  const Case cases[] = {
      {"UTF-16 LE with mark", Utf16LeBytes(file), true},
      {"UTF-16 LE without mark", Utf16LeBytes(file, false), true},
      {"UTF-16 LE Cyrillic without mark", Utf16LeBytes(cyrillic, false), true},
      {"UTF-16 LE one line without mark", Utf16LeBytes(u"150=x", false), true},
      {"UTF-16 LE only a mark", Utf16LeBytes(u""), true},
      {"UTF-8 without mark", Utf8Bytes(file), false},
      {"UTF-8 with mark", Utf8Bytes(file, true), false},
      {"UTF-8 Cyrillic without mark", Utf8Bytes(cyrillic), false},
      {"UTF-8 Cyrillic with mark", Utf8Bytes(cyrillic, true), false},
      {"UTF-16 BE with mark", Utf16BeBytes(file), false},
      {"UTF-16 BE without mark", Utf16BeBytes(file, false), false},
      {"UTF-32 LE mark", Bytes{0xFF, 0xFE, 0, 0, '1', 0, 0, 0}, false},
      {"UTF-32 BE mark", Bytes{0, 0, 0xFE, 0xFF, 0, 0, 0, '1'}, false},
      {"empty", Bytes{}, false},
      {"one byte", Bytes{'1'}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LooksLikeUtf16Le(c.bytes), c.utf16le) << c.what;
    EXPECT_EQ(DecodeLanguageBytes(c.bytes).has_value(), c.utf16le) << c.what;
  }

  // Only the head decides: UTF-16 LE text far into a UTF-8 file does not make it one.
  Bytes mixed = Utf8Bytes(std::u16string(kLanguageNameBytes, u'x'));
  const Bytes tail = Utf16LeBytes(u"150=x\r\n151=y\r\n", false);
  mixed.insert(mixed.end(), tail.begin(), tail.end());
  EXPECT_FALSE(LooksLikeUtf16Le(mixed));
}

TEST_F(LanguageFileTest, DecodesUnitsAndDropsAnOddByte) {
  Bytes bytes = Utf16LeBytes(u"A\u0416", true);
  bytes.push_back('Z');
  const std::optional<std::u16string> text = DecodeLanguageBytes(bytes);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(*text, u"\uFEFFA\u0416");
}

TEST_F(LanguageFileTest, NameIsTheTrimmedFirstLine) {
  struct Case {
    const char* what;
    std::u16string text;
    std::u16string_view name;
  };
  const Case cases[] = {
      {"mark and blanks", u"\uFEFF \tDeutsch \r\n150=x", u"Deutsch"},
      {"no mark", u"Français\n150=x", u"Français"},
      {"lone CR", u"Polski\r150=x", u"Polski"},
      {"a text line is a name too", u"150=x\r\n151=y", u"150=x"},
      {"empty first line", u"\r\nDeutsch", u""},
      {"only a mark", u"\uFEFF", u""},
      {"only blanks", u"\uFEFF   \r\nDeutsch", u""},
      {"empty", u"", u""},
      {"blanks inside stay", u"Norsk bokmål\r\n", u"Norsk bokmål"},
  };
  for (const Case& c : cases) EXPECT_EQ(Show(LanguageNameOfText(c.text)), Show(c.name)) << c.what;
}

TEST_F(LanguageFileTest, ReadsTheNameFromTheHeadOnly) {
  MemoryLangFiles files;
  files.Add(u"/l/de.lng", Utf16LeBytes(u"Deutsch\r\n150=x"));
  files.Add(u"/l/long.lng", Utf16LeBytes(std::u16string(6000, u'n') + u"\r\n"));
  files.Add(u"/l/u8.lng", Utf8Bytes(u"Deutsch\r\n150=x", true));
  files.MakeUnreadable(u"/l/locked.lng");

  EXPECT_EQ(ReadLanguageName(u"/l/de.lng", files), u"Deutsch");
  EXPECT_EQ(files.Limits().back(), kLanguageNameBytes);
  // 10,240 bytes hold the mark and 5,119 characters of the line.
  EXPECT_EQ(ReadLanguageName(u"/l/long.lng", files), std::u16string(5119, u'n'));
  EXPECT_EQ(ReadLanguageName(u"/l/u8.lng", files), u"");
  EXPECT_EQ(ReadLanguageName(u"/l/locked.lng", files), u"");
  EXPECT_EQ(ReadLanguageName(u"/l/none.lng", files), u"");
}

TEST_F(LanguageFileTest, FindsFilesFolderByFolderInListingOrder) {
  MemoryLangFiles files;
  files.Add(u"/a/pl.lng", Utf16LeBytes(u"Polski\r\n"));
  files.Add(u"/a/de.lng", Utf16LeBytes(u"Deutsch\r\n"));
  files.Add(u"/a/DE.lng", Utf16LeBytes(u"DEUTSCH\r\n"));  // another case: hidden
  files.Add(u"/a/notes.txt", Utf16LeBytes(u"x"));
  files.Add(u"/a/sub/it.lng", Utf16LeBytes(u"Italiano\r\n"));
  files.Add(u"/b/de.lng", Utf16LeBytes(u"Deutsch (installed)\r\n"));  // hidden by /a
  files.Add(u"/b/u8.lng", Utf8Bytes(u"Nom\r\n"));
  files.Add(u"/b/fr.lng", Utf16LeBytes(u"\r\n150=x"));

  const std::vector<std::u16string> folders{u"/a/", u"/b/"};
  const std::vector<TLanguageFile> found = FindLanguageFiles(folders, files);
  ASSERT_EQ(found.size(), 4u);
  const std::u16string_view expected[][3] = {
      {u"pl", u"/a/pl.lng", u"Polski"},
      {u"de", u"/a/de.lng", u"Deutsch"},
      {u"u8", u"/b/u8.lng", u""},
      {u"fr", u"/b/fr.lng", u""},
  };
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].Code, expected[i][0]) << i;
    EXPECT_EQ(found[i].Path, expected[i][1]) << i;
    EXPECT_EQ(found[i].Name, expected[i][2]) << i;
  }

  EXPECT_EQ(FindLanguageFile(folders, u"de", files), u"/a/de.lng");
  EXPECT_EQ(FindLanguageFile(folders, u"DE", files), u"/a/DE.lng");
  EXPECT_EQ(FindLanguageFile(folders, u"Fr", files), u"/b/fr.lng");
  EXPECT_EQ(FindLanguageFile(folders, u"it", files), std::nullopt);
  EXPECT_EQ(FindLanguageFile(folders, u"sub/it", files), std::nullopt);
  EXPECT_EQ(FindLanguageFile(folders, u"../a/de", files), std::nullopt);
  EXPECT_EQ(FindLanguageFile(folders, u"", files), std::nullopt);
}

class LanguageLoaderTest : public LanguageFileTest {
 protected:
  LanguageLoaderTest() {
    files_.Add(u"/l/de.lng", Utf16LeBytes(u"Deutsch\r\ninfo=Velkaro\r\n150=Belastungszeit:\r\n51=x"));
    files_.Add(u"/l/fr.lng", Utf16LeBytes(u"Français\r\n51=Arrêt\r\n150=Durée :"));
    files_.Add(u"/l/empty.lng", Bytes{});
    files_.Add(u"/l/mark.lng", Bytes{0xFF});
    files_.Add(u"/l/u8.lng", Utf8Bytes(u"Deutsch\r\n150=Belastungszeit:"));
    files_.Add(u"/l/u8bom.lng", Utf8Bytes(u"Deutsch\r\n150=Belastungszeit:", true));
    files_.Add(u"/l/locked.lng", Utf16LeBytes(u"X\r\n150=x"));
    files_.MakeUnreadable(u"/l/locked.lng");
  }

  std::u16string Time() const { return std::u16string(LangText(TextId::StressTimeLabel)); }
  std::u16string Stop() const { return std::u16string(LangText(TextId::StopButton)); }

  MemoryLangFiles files_;
  TLanguageLoader loader_{{u"/l/"}, files_};
};

TEST_F(LanguageLoaderTest, LoadsTheActiveCodeAndReturnsToEnglish) {
  EXPECT_EQ(loader_.LoadedLangCode(), u"");
  EXPECT_EQ(loader_.ReloadLanguage(u"de"), TLangLoad::llLoaded);
  EXPECT_EQ(loader_.ActiveLangCode(), u"de");
  EXPECT_EQ(loader_.LoadedLangCode(), u"de");
  EXPECT_EQ(Time(), u"Belastungszeit:");
  EXPECT_EQ(Stop(), u"Stop");  // 51 came after 150
  EXPECT_EQ(files_.Limits().back(), kLanguageFileBytes);

  // Another language first clears the old one's texts.
  EXPECT_EQ(loader_.ReloadLanguage(u"fr"), TLangLoad::llLoaded);
  EXPECT_EQ(Stop(), u"Arrêt");
  EXPECT_EQ(Time(), u"Durée :");

  EXPECT_EQ(loader_.ReloadLanguage(u""), TLangLoad::llEnglish);
  EXPECT_EQ(loader_.LoadedLangCode(), u"");
  EXPECT_EQ(Time(), u"Stress time:");
  EXPECT_EQ(Stop(), u"Stop");
}

TEST_F(LanguageLoaderTest, ReloadsOnlyWhenTheCodeDiffersExactly) {
  ASSERT_EQ(loader_.ReloadLanguage(u"de"), TLangLoad::llLoaded);
  files_.Replace(u"/l/de.lng", Utf16LeBytes(u"Deutsch\r\n150=Neu:"));
  const std::size_t reads = files_.Limits().size();
  EXPECT_EQ(loader_.ReloadLanguage(u"de"), TLangLoad::llUnchanged);
  EXPECT_EQ(files_.Limits().size(), reads);
  EXPECT_EQ(Time(), u"Belastungszeit:");

  // Another letter case is another code: it loads again, and finds the same file.
  EXPECT_EQ(loader_.ReloadLanguage(u"DE"), TLangLoad::llLoaded);
  EXPECT_EQ(loader_.LoadedLangCode(), u"DE");
  EXPECT_EQ(Time(), u"Neu:");

  // English twice: the second does nothing either.
  EXPECT_EQ(loader_.ReloadLanguage(u""), TLangLoad::llEnglish);
  EXPECT_EQ(loader_.ReloadLanguage(u""), TLangLoad::llUnchanged);
}

TEST_F(LanguageLoaderTest, FilesWithoutUsableTextsLeaveEnglish) {
  struct Case {
    std::u16string_view code;
    TLangLoad result;
  };
  const Case cases[] = {
      {u"missing", TLangLoad::llMissing},       {u"empty", TLangLoad::llMissing},
      {u"mark", TLangLoad::llMissing},          {u"locked", TLangLoad::llMissing},
      {u"u8", TLangLoad::llOtherEncoding},      {u"u8bom", TLangLoad::llOtherEncoding},
      {u"../l/de", TLangLoad::llMissing},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(loader_.ReloadLanguage(u"de"), TLangLoad::llLoaded);
    EXPECT_EQ(loader_.ReloadLanguage(c.code), c.result) << Show(c.code);
    EXPECT_EQ(loader_.LoadedLangCode(), c.code) << Show(c.code);
    EXPECT_EQ(loader_.ActiveLangCode(), c.code) << Show(c.code);
    EXPECT_EQ(Time(), u"Stress time:") << Show(c.code);
  }
}

TEST_F(LanguageLoaderTest, SearchesTheFoldersInOrder) {
  files_.Add(u"/m/de.lng", Utf16LeBytes(u"Deutsch\r\n150=zweiter Ordner"));
  files_.Add(u"/m/pl.lng", Utf16LeBytes(u"Polski\r\n150=Czas obciążenia:"));
  TLanguageLoader loader({u"/l/", u"/m/"}, files_);
  EXPECT_EQ(loader.ReloadLanguage(u"de"), TLangLoad::llLoaded);
  EXPECT_EQ(Time(), u"Belastungszeit:");
  EXPECT_EQ(loader.ReloadLanguage(u"pl"), TLangLoad::llLoaded);
  EXPECT_EQ(Time(), u"Czas obciążenia:");
}

}  // namespace
}  // namespace velkaro
