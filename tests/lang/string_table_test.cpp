#include "lang/string_table.h"

#include <gtest/gtest.h>

#include <set>

#include "lang/lang_format.h"

namespace velkaro {
namespace {

class StringTableTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearTranslations(); }
};

TEST_F(StringTableTest, HoldsEveryEntryOnceInAscendingOrder) {
  const auto table = LangTable();
  ASSERT_EQ(table.size(), 77u);  // with the two refusals of a start, 310 and 311
  for (std::size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i - 1].Id, table[i].Id);
  EXPECT_EQ(table.front().Id, 1);
  EXPECT_EQ(table.back().Id, 800);
  for (const TLangRecord& record : table) {
    EXPECT_FALSE(record.Text.empty()) << record.Id;
    EXPECT_TRUE(record.Translated.empty()) << record.Id;
    auto id = TextIdFromNumber(record.Id);
    ASSERT_TRUE(id.has_value()) << record.Id;
    EXPECT_EQ(LangText(*id), record.Text);
  }
}

TEST_F(StringTableTest, KnowsOnlyTheTableIds) {
  for (std::int64_t n : {0LL, -1LL, 3LL, 301LL, 503LL, 801LL, 1LL << 40}) {
    EXPECT_FALSE(TextIdFromNumber(n).has_value()) << n;
  }
  EXPECT_EQ(TextIdFromNumber(502), TextId::Copyright);
}

TEST_F(StringTableTest, EnglishTextsStandExactly) {
  EXPECT_EQ(LangText(TextId::StressTimeLabel), u"Stress time:");
  EXPECT_EQ(LangText(TextId::TooManyThreadsCreated), u"Too many threads!\rCreated: %d.");
  EXPECT_EQ(LangText(TextId::MenuStart), u"&Run CPU Stressing!        ");
  EXPECT_EQ(LangText(TextId::StyleRollerCoaster), u"4 - Rhythm \"Roller Coaster\"");
  EXPECT_EQ(LangText(TextId::RunButtonHint), u"[fB;Enter] - Run Stressing\r[fB;Esc] - Stop Stressing");
}

TEST_F(StringTableTest, TranslationReplacesTextUntilCleared) {
  std::size_t position = 0;
  ASSERT_TRUE(SetTranslation(position, 150, u"Belastungszeit:"));
  EXPECT_EQ(LangText(TextId::StressTimeLabel), u"Belastungszeit:");
  ClearTranslations();
  EXPECT_EQ(LangText(TextId::StressTimeLabel), u"Stress time:");
}

TEST_F(StringTableTest, EmptyTranslationShowsEnglish) {
  std::size_t position = 0;
  ASSERT_TRUE(SetTranslation(position, 51, u""));
  EXPECT_EQ(LangText(TextId::StopButton), u"Stop");
}

TEST_F(StringTableTest, SetTranslationSearchesForwardOnly) {
  std::size_t position = 0;
  ASSERT_TRUE(SetTranslation(position, 2, u"Abbrechen"));
  EXPECT_EQ(position, 2u);  // behind entry 2, the table's second row
  ASSERT_TRUE(SetTranslation(position, 150, u"Zeit:"));
  const std::size_t after150 = position;
  EXPECT_EQ(LangTable()[after150 - 1].Id, 150);

  // An id before the search position is not found and changes nothing.
  EXPECT_FALSE(SetTranslation(position, 50, u"Los!"));
  EXPECT_EQ(position, after150);
  EXPECT_EQ(LangText(TextId::RunButton), u"Run CPU Stressing!");

  // Neither is an id that is not in the table.
  EXPECT_FALSE(SetTranslation(position, 301, u"x"));
  EXPECT_EQ(position, after150);

  ASSERT_TRUE(SetTranslation(position, 800, u"Fehler!"));
  EXPECT_EQ(position, LangTable().size());
  EXPECT_FALSE(SetTranslation(position, 800, u"again"));
}

}  // namespace
}  // namespace velkaro
