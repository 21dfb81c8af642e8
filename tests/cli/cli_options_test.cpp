#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include "support/utf.h"

#include <string>
#include <vector>

namespace velkaro {
namespace {

struct ParseCase {
  const char* name;
  std::vector<std::string> args;
  TCliAction action;
  TCliOptions expected;        // compared for caRun
  const char* text_contains;   // in the help, version or error text
};

TCliOptions With(void (*change)(TCliOptions&)) {
  TCliOptions options;
  change(options);
  return options;
}

const ParseCase kParseCases[] = {
    {"Defaults", {}, TCliAction::caRun, TCliOptions{}, ""},
    {"ShortOptions", {"-p", "0", "-t", "1", "-P", "1", "-c", "7", "-r", "7", "-n", "2"},
     TCliAction::caRun,
     With([](TCliOptions& o) {
       o.pause_s = 0; o.time_s = 1; o.priority = 1; o.priority_class = 7; o.rhythm = 7;
       o.threads = 2; o.threads_requested = 2;
     }), ""},
    {"LongOptionsAndJson",
     {"--pause=5", "--time", "2147483", "--priority", "7", "--class", "1", "--rhythm", "3",
      "--threads", "0", "--json"},
     TCliAction::caRun,
     With([](TCliOptions& o) {
       o.pause_s = 5; o.time_s = 2'147'483; o.priority = 7; o.priority_class = 1; o.rhythm = 3;
       o.threads = 0; o.threads_requested = 0; o.json = true;
     }), ""},
    {"ThreadsAboveTheLimitRunTheLimit", {"-n", "250000"}, TCliAction::caRun,
     With([](TCliOptions& o) { o.threads = 100'000; o.threads_requested = 250'000; }), ""},
    {"HugeThreadCountIsStillJustTooMany", {"-n", "99999999999999999999999"}, TCliAction::caRun,
     With([](TCliOptions& o) { o.threads = 100'000; o.threads_requested = 1'000'000'000'000'000; }), ""},
    {"ThreadsNotANumber", {"-n", "abc"}, TCliAction::caBadArguments, {}, "--threads: \"abc\" is not a whole number"},
    {"ThreadsNegative", {"--threads", "-1"}, TCliAction::caBadArguments, {}, "--threads: -1 is out of range"},
    {"TimeTooLongForTheRun", {"-t", "2147484"}, TCliAction::caBadArguments, {}, "--time: 2147484 is out of range (0 to 2147483 seconds)"},
    {"PauseTooLong", {"-p", "99999999999"}, TCliAction::caBadArguments, {}, "--pause: 99999999999 is out of range"},
    {"PauseWithBlank", {"-p", "1 "}, TCliAction::caBadArguments, {}, "--pause: \"1 \" is not a whole number"},
    {"PriorityZero", {"-P", "0"}, TCliAction::caBadArguments, {}, "--priority: 0 is out of range (1 to 7)"},
    {"PriorityEight", {"--priority", "8"}, TCliAction::caBadArguments, {}, "--priority: 8"},
    {"ClassTwoIsNoClass", {"-c", "2"}, TCliAction::caBadArguments, {}, "--class: 2 is not a class number"},
    {"ClassEight", {"-c", "8"}, TCliAction::caBadArguments, {}, "--class: 8 is not a class number"},
    {"ClassHex", {"-c", "0x5"}, TCliAction::caBadArguments, {}, "--class: \"0x5\" is not a whole number"},
    {"RhythmEmpty", {"--rhythm="}, TCliAction::caBadArguments, {}, "--rhythm"},
    {"UnknownOption", {"--bogus"}, TCliAction::caBadArguments, {}, "--bogus"},
    {"MissingValue", {"-t"}, TCliAction::caBadArguments, {}, "-t"},
    {"Help", {"-h"}, TCliAction::caHelp, {}, "--threads"},
    {"LongHelp", {"--help"}, TCliAction::caHelp, {}, "Duration of CPU stress in seconds"},
    {"Version", {"--version"}, TCliAction::caVersion, {}, "velkaro-cli 1."},
    {"List", {"--list", "-n", "3"}, TCliAction::caList, {}, ""},
};

class ParseCliArgumentsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCliArgumentsTest, Parses) {
  const ParseCase& c = GetParam();
  const TCliCommand command = ParseCliArguments(c.args, u",");
  ASSERT_EQ(command.action, c.action) << command.text;
  EXPECT_NE(command.text.find(c.text_contains), std::string::npos) << command.text;
  if (c.action != TCliAction::caRun) return;
  const TCliOptions& o = command.options;
  EXPECT_EQ(o.pause_s, c.expected.pause_s);
  EXPECT_EQ(o.time_s, c.expected.time_s);
  EXPECT_EQ(o.priority, c.expected.priority);
  EXPECT_EQ(o.priority_class, c.expected.priority_class);
  EXPECT_EQ(o.rhythm, c.expected.rhythm);
  EXPECT_EQ(o.threads, c.expected.threads);
  EXPECT_EQ(o.threads_requested, c.expected.threads_requested);
  EXPECT_EQ(o.json, c.expected.json);
  EXPECT_EQ(command.warning.empty(), o.threads_requested <= 100'000);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseCliArgumentsTest, ::testing::ValuesIn(kParseCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(CliOptionsTest, WarningIsText302WithoutMarkupAndGrouped) {
  EXPECT_EQ(ParseCliArguments({"-n", "100001"}, u",").warning,
            u"Too many threads! The number will be limited to 100,000.");
  EXPECT_EQ(ParseCliArguments({"-n", "100001"}, u"\u00a0").warning,
            u"Too many threads! The number will be limited to 100\u00a0000.");
  EXPECT_EQ(ParseCliArguments({"-n", "100000"}, u",").warning, u"");
}

TEST(CliOptionsTest, ValuesMapToListPositions) {
  TCliOptions defaults;
  EXPECT_EQ(PriorityIndex(defaults), 5);       // "6 - HIGH"
  EXPECT_EQ(PriorityClassIndex(defaults), 3);  // "5 - Above normal"
  EXPECT_EQ(RhythmIndex(defaults), 0);         // monotonous
  const int expected_positions[] = {0, -1, 1, 2, 3, 4, 5};
  for (int number = 1; number <= 7; ++number) {
    TCliOptions options;
    options.priority_class = number;
    EXPECT_EQ(PriorityClassIndex(options), expected_positions[number - 1]) << number;
  }
}

TEST(CliOptionsTest, ListShowsTheThreeListsInOrder) {
  const std::u16string list = ListText();
  const std::u16string expected_in_order[] = {
      u"Stress threads priorities:\n  1 - Work only when the system idles\n  2 - Lowest\n",
      u"  6 - HIGH\n  7 - TIME CRITICAL !!! Attention! Maybe hard to stop !!!\n",
      u"Base program priority:\n  1 - Work only when the system idles\n  3 - Below normal\n",
      u"  6 - HIGH\n  7 - REAL TIME !!! ATTENTION! Very hard to stop !!!\n",
      u"Stress style:\n  1 - Monotonous constant CPU loading\n",
      u"  7 - Rhythm \"Down-Up\"\n"};
  std::size_t from = 0;
  for (const std::u16string& piece : expected_in_order) {
    const std::size_t at = list.find(piece, from);
    ASSERT_NE(at, std::u16string::npos) << ToUtf8(piece);
    from = at + piece.size();
  }
  EXPECT_EQ(from, list.size());
}

}  // namespace
}  // namespace velkaro
