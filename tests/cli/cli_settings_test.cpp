#include "cli/cli_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_settings_store.h"
#include "support/utf.h"

namespace velkaro {

void PrintTo(const TCliOutcome& outcome, std::ostream* os) {
  *os << outcome.exit_code << " out=\"" << ToUtf8(outcome.out) << "\" err=\"" << ToUtf8(outcome.err)
      << "\"";
}

namespace {

using testing::TBinaryValue;
using testing::TMemorySettingsStore;

TCliCommand Parse(const std::vector<std::string>& args) {
  TCliCommand command = ParseCliArguments(args, u",");
  EXPECT_NE(command.action, TCliAction::caBadArguments) << command.text;
  return command;
}

TEST(CliTemplateOptionsTest, ParseIntoActionsAndNames) {
  const TCliCommand use = Parse({"--template", "fast", "-t", "5", "-r", "2"});
  EXPECT_EQ(use.action, TCliAction::caRun);
  EXPECT_EQ(use.use_template, u"fast");
  EXPECT_TRUE(use.given.time);
  EXPECT_TRUE(use.given.rhythm);
  EXPECT_FALSE(use.given.pause || use.given.priority || use.given.priority_class ||
               use.given.threads);

  const TCliCommand save = Parse({"--save-template", "a/b", "--template", "fast"});
  EXPECT_EQ(save.action, TCliAction::caSaveTemplate);
  EXPECT_EQ(save.template_name, u"a/b");
  EXPECT_EQ(save.use_template, u"fast");

  EXPECT_EQ(Parse({"--delete-template", "\xc3\xbc"}).template_name, u"\u00fc");
  EXPECT_EQ(Parse({"--delete-template", "x"}).action, TCliAction::caDeleteTemplate);
  EXPECT_EQ(Parse({"--templates"}).action, TCliAction::caTemplates);
  EXPECT_FALSE(Parse({"-t", "5"}).use_template);

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--templates", "--delete-template", "x"},
        {"--save-template", "x", "--delete-template", "y"},
        {"--template", "x", "--templates"},
        {"--save-template", "x", "-t", "-1"},
        {"--template"}}) {
    EXPECT_EQ(ParseCliArguments(args, u",").action, TCliAction::caBadArguments) << args[0];
  }
}

// The store keeps 0-based positions; the options number the items as the lists show them.
TEST(CliTemplateNumberingTest, ConvertsAtTheEdgeBothWays) {
  const std::int32_t class_numbers[] = {1, 3, 4, 5, 6, 7};
  for (std::int32_t index = 0; index < 6; ++index) {
    TMemorySettingsStore store;
    SaveRunSettings(store, TemplateSuffix(u"t"), {0, 1, index, index, index, 2});
    TCliCommand command = Parse({"--template", "t"});
    ASSERT_EQ(UseTemplate(store, command), std::nullopt);
    EXPECT_EQ(command.options.priority, index + 1);
    EXPECT_EQ(command.options.priority_class, class_numbers[index]);
    EXPECT_EQ(command.options.rhythm, index + 1);
    EXPECT_EQ(RunSettingsOfOptions(command.options), (TRunSettings{0, 1, index, index, index, 2}));
  }
  TCliOptions last;
  last.priority = 7;
  last.rhythm = 7;
  last.priority_class = 7;
  EXPECT_EQ(RunSettingsOfOptions(last), (TRunSettings{3, 20, 6, 5, 6, 1}));
}

class CliTemplatesTest : public ::testing::Test {
 protected:
  TMemorySettingsStore store_;
};

TEST_F(CliTemplatesTest, UseTakesTheTemplateWhereTheLineIsSilent) {
  store_.Put(TemplateSuffix(u"Fast"), u"Time", 600);
  store_.Put(TemplateSuffix(u"Fast"), u"Priority", 9);  // bounded to the last item
  store_.Put(TemplateSuffix(u"Fast"), u"Threads", 250000);
  store_.Put(TemplateSuffix(u"Fast"), u"PauseBefore", -5);
  TCliCommand command = Parse({"--template", "FAST", "-n", "3", "-P", "2"});
  ASSERT_EQ(UseTemplate(store_, command), std::nullopt);
  const TCliOptions& o = command.options;
  EXPECT_EQ(o.pause_s, 0);
  EXPECT_EQ(o.time_s, 600);
  EXPECT_EQ(o.priority, 2);
  EXPECT_EQ(o.priority_class, 5);  // the default class
  EXPECT_EQ(o.rhythm, 1);
  EXPECT_EQ(o.threads, 3);
  EXPECT_EQ(command.use_template, u"Fast");

  TCliCommand bounded = Parse({"--template", "Fast"});
  ASSERT_EQ(UseTemplate(store_, bounded), std::nullopt);
  EXPECT_EQ(bounded.options.priority, 7);
  EXPECT_EQ(bounded.options.threads, 100000);
  EXPECT_EQ(bounded.options.threads_requested, 100000);
}

TEST_F(CliTemplatesTest, UseFailsClearly) {
  store_.Put(TemplateSuffix(u"bad"), u"Threads", TBinaryValue{});
  store_.Put(TemplateSuffix(u"long"), u"Time", 3000000);
  store_.Put(TemplateSuffix(u"late"), u"PauseBefore", 2147484);
  struct Case {
    std::string name;
    TCliOutcome expected;
  };
  for (const Case& c : {
           Case{"none", {2, {}, u"velkaro-cli: there is no template 'none' (velkaro-cli --templates lists them)\n"}},
           Case{"", {2, {}, u"velkaro-cli: there is no template '' (velkaro-cli --templates lists them)\n"}},
           Case{"\\Templates\\bad", {2, {}, u"velkaro-cli: there is no template '\\Templates\\bad' (velkaro-cli --templates lists them)\n"}},
           Case{"bad", {4, {}, u"velkaro-cli: Invalid data type for 'Threads'\n"}},
           Case{"long", {4, {}, u"velkaro-cli: template 'long': Time 3000000 is out of range (0 to 2147483 seconds)\n"}},
           Case{"late", {4, {}, u"velkaro-cli: template 'late': PauseBefore 2147484 is out of range (0 to 2147483 seconds)\n"}},
       }) {
    TCliCommand command = Parse({"--template", c.name});
    EXPECT_EQ(UseTemplate(store_, command), c.expected) << c.name;
  }
  // A value the line overrides is never looked at.
  TCliCommand command = Parse({"--template", "long", "-t", "1"});
  EXPECT_EQ(UseTemplate(store_, command), std::nullopt);
  EXPECT_EQ(command.options.time_s, 1);
}

TEST_F(CliTemplatesTest, SaveStoresTheLineAsSettingsAndTemplate) {
  const TCliCommand command = Parse({"--save-template", "a/b:c", "-P", "7", "-c", "1", "-n", "4"});
  EXPECT_EQ(SaveTemplateCommand(store_, command),
            (TCliOutcome{0, u"Saved the template 'a b c'.\n", {}}));
  const TRunSettings expected{3, 20, 6, 0, 0, 4};
  EXPECT_EQ(ReadRunSettings(store_, {}, RunListCounts()), expected);
  EXPECT_EQ(ReadRunSettings(store_, TemplateSuffix(u"a b c"), RunListCounts()), expected);
  EXPECT_EQ(store_.writes.front(), u"|PauseBefore");
  EXPECT_EQ(store_.ReadSettingText(u"LatestTempl", u"", {}), u"a b c");

  TCliCommand copy = Parse({"--template", "A B C", "--save-template", "copy", "-r", "7"});
  ASSERT_EQ(UseTemplate(store_, copy), std::nullopt);
  EXPECT_EQ(SaveTemplateCommand(store_, copy), (TCliOutcome{0, u"Saved the template 'copy'.\n", {}}));
  EXPECT_EQ(ReadRunSettings(store_, TemplateSuffix(u"copy"), RunListCounts()),
            (TRunSettings{3, 20, 6, 0, 6, 4}));
}

TEST_F(CliTemplatesTest, SaveReportsWhatCouldNotBeWritten) {
  store_.refuse_key = u"\\Templates";
  EXPECT_EQ(SaveTemplateCommand(store_, Parse({"--save-template", "x"})),
            (TCliOutcome{4, {}, u"velkaro-cli: Save error!\n"}));
  store_.refuse_key = u"";
  EXPECT_EQ(SaveTemplateCommand(store_, Parse({"--save-template", "x"})),
            (TCliOutcome{4, {}, u"velkaro-cli: the run settings could not be saved\n"}));
  store_.refuse_key.reset();
  store_.refuse_value = u"Rhythm";
  EXPECT_EQ(SaveTemplateCommand(store_, Parse({"--save-template", "x"})),
            (TCliOutcome{4, {}, u"velkaro-cli: Failed to set data for 'Rhythm'\n"}));
  store_.refuse_value.reset();
  EXPECT_EQ(SaveTemplateCommand(store_, Parse({"--save-template", ""})),
            (TCliOutcome{0, u"Saved the run settings; no template without a name.\n", {}}));
  EXPECT_FALSE(store_.HasKey(kTemplatesSuffix));
}

TEST_F(CliTemplatesTest, ListMarksTheLatestAndDeleteRemoves) {
  EXPECT_EQ(ListTemplatesCommand(store_), (TCliOutcome{0, {}, u"(empty list)\n"}));
  for (const char* name : {"one", "two", "three"}) {
    SaveTemplateCommand(store_, Parse({"--save-template", name}));
  }
  store_.WriteSettingText(u"LatestTempl", u"TWO", {});
  EXPECT_EQ(ListTemplatesCommand(store_), (TCliOutcome{0, u"one\ntwo *\nthree\n", {}}));

  EXPECT_EQ(DeleteTemplateCommand(store_, u"Two"), (TCliOutcome{0, u"Removed the template 'two'.\n", {}}));
  EXPECT_EQ(DeleteTemplateCommand(store_, u"two"),
            (TCliOutcome{2, {}, u"velkaro-cli: there is no template 'two' (velkaro-cli --templates lists them)\n"}));
  EXPECT_EQ(ListTemplatesCommand(store_), (TCliOutcome{0, u"one\nthree\n", {}}));
  EXPECT_EQ(store_.ReadSettingText(u"LatestTempl", u"", {}), u"TWO");
}

}  // namespace
}  // namespace velkaro
