#include "settings/templates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_settings_store.h"
#include "recording_target.h"

namespace velkaro {
namespace {

using testing::TMemorySettingsStore;
using testing::TRecordingTarget;

class TemplatesTest : public ::testing::Test {
 protected:
  // What the submenu last showed, and how often it was told.
  std::vector<TTemplateMenuItem> Items() const { return shown_.items; }
  std::u16string Latest() { return store_.ReadSettingText(u"LatestTempl", u"", {}); }
  std::vector<std::u16string> WritesTo(std::u16string_view suffix) const {
    std::vector<std::u16string> names;
    for (const std::u16string& write : store_.writes) {
      const std::size_t bar = write.find(u'|');
      if (write.substr(0, bar) == suffix) names.push_back(write.substr(bar + 1));
    }
    return names;
  }

  TMemorySettingsStore store_;
  TTemplateMenu shown_;
  int shown_count_ = 0;
  TTemplates templates_{store_, [this](const TTemplateMenu& menu) {
                          shown_ = menu;
                          ++shown_count_;
                        }};
};

TEST_F(TemplatesTest, StartsEmptyAndLoadsOnce) {
  EXPECT_FALSE(templates_.TemplatesLoaded());
  EXPECT_TRUE(templates_.Menu().empty_list_visible);
  store_.Put(u"\\Templates\\slow", u"Time", 1);
  store_.Put({}, u"LatestTempl", std::u16string(u"SLOW"));
  templates_.CheckRefreshTemplates();
  EXPECT_TRUE(templates_.TemplatesLoaded());
  EXPECT_FALSE(shown_.empty_list_visible);
  EXPECT_EQ(Items(), (std::vector<TTemplateMenuItem>{{u"slow", 0, true}}));
  store_.Put(u"\\Templates\\later", u"Time", 1);
  templates_.CheckRefreshTemplates();
  EXPECT_EQ(shown_count_, 1);
  EXPECT_EQ(templates_.TemplateNames(), (std::vector<std::u16string>{u"slow"}));
}

TEST_F(TemplatesTest, SaveWritesTheSettingsThenTheTemplateAndMarksIt) {
  const TRunSettings run{0, 60, 6, 5, 2, 8};
  const TTemplateSaveResult result = templates_.SaveTemplate(u"a/b:c", run);
  EXPECT_EQ(result.name, u"a b c");
  EXPECT_EQ(result.outcome, TTemplateSave::tsSaved);
  EXPECT_TRUE(result.settings_saved);
  ASSERT_GE(store_.writes.size(), 12u);
  EXPECT_EQ(store_.writes[0], u"|PauseBefore");
  EXPECT_EQ(store_.writes[6], u"\\Templates\\a b c|PauseBefore");
  EXPECT_EQ(ReadRunSettings(store_, {}, RunListCounts()), run);
  EXPECT_EQ(ReadRunSettings(store_, TemplateSuffix(u"a b c"), RunListCounts()), run);
  EXPECT_EQ(Latest(), u"a b c");
  EXPECT_EQ(templates_.LatestTemplate(), u"a b c");
  EXPECT_TRUE(templates_.TemplatesLoaded());
  EXPECT_FALSE(shown_.empty_list_visible);
  EXPECT_EQ(Items(), (std::vector<TTemplateMenuItem>{{u"a b c", 0, true}}));
}

TEST_F(TemplatesTest, SaveWithAnEmptyNameStoresOnlyTheSettings) {
  store_.Put({}, u"LatestTempl", std::u16string(u"old"));
  const TTemplateSaveResult result = templates_.SaveTemplate(u"", {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(result.outcome, TTemplateSave::tsSettingsOnly);
  EXPECT_TRUE(result.settings_saved);
  EXPECT_EQ(WritesTo({}).size(), 6u);
  EXPECT_EQ(store_.writes.size(), 6u);
  EXPECT_FALSE(store_.HasKey(kTemplatesSuffix));
  EXPECT_EQ(Latest(), u"old");
  EXPECT_EQ(shown_count_, 0);
}

TEST_F(TemplatesTest, ATemplateThatCannotBeWrittenIsASaveErrorAndStillMarked) {
  store_.refuse_key = u"\\Templates";
  const TTemplateSaveResult result = templates_.SaveTemplate(u"big", {});
  EXPECT_EQ(result.outcome, TTemplateSave::tsSaveError);
  EXPECT_TRUE(result.settings_saved);
  EXPECT_EQ(Latest(), u"big");
  EXPECT_TRUE(templates_.TemplatesLoaded());
  EXPECT_TRUE(shown_.empty_list_visible);
}

TEST_F(TemplatesTest, ARefusedValueEndsTheSaveBeforeTheMark) {
  store_.Put({}, u"LatestTempl", std::u16string(u"old"));
  store_.refuse_value = u"Threads";
  EXPECT_THROW(templates_.SaveTemplate(u"new", {}), TSettingsError);
  EXPECT_EQ(Latest(), u"old");
  EXPECT_FALSE(templates_.TemplatesLoaded());
}

// Saving a template over earlier settings and an earlier template while the store
// refuses one write: the six settings (writes 0 to 5), the six values of the template
// (6 to 11) or the mark of the latest one (12). The save goes on to its end, reports
// what failed, and the earlier template is untouched.
class TemplatesRefusedWriteTest : public TemplatesTest,
                                  public ::testing::WithParamInterface<std::size_t> {};

TEST_P(TemplatesRefusedWriteTest, ReportsTheFailureAndKeepsTheEarlierTemplate) {
  const std::size_t refused = GetParam();
  const TRunSettings old_run{1, 2, 3, 4, 5, 6};
  const TRunSettings new_run{0, 60, 6, 5, 2, 8};
  templates_.SaveTemplate(u"old", old_run);
  const std::size_t before = store_.writes.size();
  store_.refuse_write_number = before + refused;

  const TTemplateSaveResult result = templates_.SaveTemplate(u"new", new_run);
  EXPECT_EQ(result.settings_saved, refused >= 6);
  EXPECT_EQ(result.outcome, refused >= 6 && refused < 12 ? TTemplateSave::tsSaveError
                                                         : TTemplateSave::tsSaved);
  // A failed write ends the six values it belongs to; the rest of the save still runs.
  const std::size_t writes = refused < 6 ? refused + 8 : refused < 12 ? refused + 2 : 13;
  EXPECT_EQ(store_.writes.size(), before + writes);
  EXPECT_EQ(ReadRunSettings(store_, TemplateSuffix(u"old"), RunListCounts()), old_run);
  if (refused >= 6) {
    EXPECT_EQ(ReadRunSettings(store_, {}, RunListCounts()), new_run);
  }
  if (refused < 6 || refused == 12) {
    EXPECT_EQ(ReadRunSettings(store_, TemplateSuffix(u"new"), RunListCounts()), new_run);
  }
  // A refused mark leaves the stored one, which the menu then shows.
  EXPECT_EQ(Latest(), refused == 12 ? u"old" : u"new");
  EXPECT_EQ(templates_.LatestTemplate(), Latest());
  // The template key is made by its first value: refused there, there is no key.
  const std::vector<std::u16string> names =
      refused == 6 ? std::vector<std::u16string>{u"old"} : std::vector<std::u16string>{u"old", u"new"};
  EXPECT_EQ(templates_.TemplateNames(), names);
}

INSTANTIATE_TEST_SUITE_P(EachWrite, TemplatesRefusedWriteTest, ::testing::Range<std::size_t>(0, 13));

TEST_F(TemplatesTest, ListsInTheStoresOrderAndOverwritesWithoutRegardToCase) {
  for (const char16_t* name : {u"b", u"a", u"c"}) templates_.SaveTemplate(name, {});
  templates_.SaveTemplate(u"A", {1, 1, 1, 1, 1, 1});
  EXPECT_EQ(templates_.TemplateNames(), (std::vector<std::u16string>{u"b", u"a", u"c"}));
  EXPECT_EQ(ReadRunSettings(store_, TemplateSuffix(u"a"), RunListCounts()),
            (TRunSettings{1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(Items(), (std::vector<TTemplateMenuItem>{
                         {u"b", 0, false}, {u"a", 1, true}, {u"c", 2, false}}));
}

TEST_F(TemplatesTest, SetLatestMovesTheBoldMark) {
  templates_.SaveTemplate(u"fast", {});
  templates_.SaveTemplate(u"slow", {});
  templates_.SetLatestTemplate(u"FAST");
  EXPECT_EQ(Items(), (std::vector<TTemplateMenuItem>{{u"fast", 0, true}, {u"slow", 1, false}}));
  templates_.SetLatestTemplate(u"");
  EXPECT_EQ(Items(), (std::vector<TTemplateMenuItem>{{u"fast", 0, false}, {u"slow", 1, false}}));
  EXPECT_EQ(Latest(), u"");
}

TEST_F(TemplatesTest, DeleteRemovesTheTemplateAndKeepsTheLatestName) {
  templates_.SaveTemplate(u"keep", {});
  store_.Put(u"\\Templates\\gone\\deeper", u"x", 1);
  templates_.SaveTemplate(u"gone", {});
  templates_.DeleteTemplate(u"GONE");
  EXPECT_FALSE(store_.HasKey(u"\\Templates\\gone"));
  EXPECT_EQ(templates_.TemplateNames(), (std::vector<std::u16string>{u"keep"}));
  EXPECT_EQ(templates_.LatestTemplate(), u"gone");
  EXPECT_EQ(Items(), (std::vector<TTemplateMenuItem>{{u"keep", 0, false}}));

  templates_.DeleteTemplate(u"missing");
  templates_.DeleteTemplate(u"keep");
  EXPECT_TRUE(shown_.empty_list_visible);
  EXPECT_TRUE(Items().empty());
}

TEST_F(TemplatesTest, DeleteNeverReachesBeyondOneTemplate) {
  templates_.SaveTemplate(u"one", {});
  templates_.SaveTemplate(u"two", {});
  for (const char16_t* name : {u"", u"\\", u"one\\..", u"\\\\"}) {
    templates_.DeleteTemplate(name);
    EXPECT_EQ(templates_.TemplateNames(), (std::vector<std::u16string>{u"one", u"two"}))
        << "name of " << std::u16string_view(name).size() << " units";
  }
}

TEST_F(TemplatesTest, ApplyingAnItemLoadsItsValuesAndMarksIt) {
  store_.Put({}, u"AutoPin", 0);
  templates_.SaveTemplate(u"x", {1, 2, 3, 4, 5, 6});
  templates_.SaveTemplate(u"y", {7, 8, 1, 1, 1, 9});
  TRecordingTarget target;
  ASSERT_TRUE(templates_.TemplateItemClick(0, RunListCounts(), target));
  EXPECT_EQ(target.loaded.run, (TRunSettings{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(target.loaded.options, (TWindowOptions{true, false}));
  EXPECT_EQ(Latest(), u"x");
  EXPECT_EQ(Items()[0].bold, true);

  const std::size_t writes = store_.writes.size();
  const std::size_t calls = target.calls.size();
  EXPECT_FALSE(templates_.TemplateItemClick(2, RunListCounts(), target));
  EXPECT_FALSE(templates_.TemplateItemClick(-1, RunListCounts(), target));
  EXPECT_EQ(store_.writes.size(), writes);
  EXPECT_EQ(target.calls.size(), calls);
}

TEST_F(TemplatesTest, ApplyingAVanishedTemplateGivesTheDefaults) {
  templates_.SaveTemplate(u"x", {1, 2, 3, 4, 5, 6});
  store_.RemoveSettingKey(TemplateSuffix(u"x"));
  TRecordingTarget target;
  target.loaded.run = {1, 2, 3, 4, 5, 6};
  ASSERT_TRUE(templates_.TemplateItemClick(0, RunListCounts(), target));
  EXPECT_EQ(target.loaded.run, TRunSettings{});
}

}  // namespace
}  // namespace velkaro
