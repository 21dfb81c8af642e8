#include "settings/run_settings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "memory_settings_store.h"
#include "recording_target.h"
#include "support/utf.h"

namespace velkaro {
namespace {

using testing::TBinaryValue;
using testing::TLongNumberValue;
using testing::TMemorySettingsStore;
using testing::TRecordingTarget;
using testing::TStoredValue;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

TEST(RunListCountsTest, AreTheEngineLists) {
  const TListCounts counts = RunListCounts();
  EXPECT_EQ(counts.priority, 7);
  EXPECT_EQ(counts.priority_class, 6);
  EXPECT_EQ(counts.rhythm, 7);
}

TEST(LoadRunSettingsTest, EmptyStoreGivesTheDefaults) {
  TMemorySettingsStore store;
  TLoadedSettings loaded;
  loaded.run = {9, 9, 0, 0, 6, 50};
  loaded.options = {false, false};
  LoadRunSettings(store, {}, RunListCounts(), loaded);
  EXPECT_EQ(loaded.run, (TRunSettings{3, 20, 5, 3, 0, 1}));
  EXPECT_EQ(loaded.options, (TWindowOptions{true, true}));
  EXPECT_TRUE(store.writes.empty());
  EXPECT_FALSE(store.HasKey(u"\\Templates"));
}

struct BoundCase {
  const char* name;
  std::u16string_view value;
  std::int32_t stored;
  TLoadedSettings expected;
};

TLoadedSettings Loaded(TRunSettings run, TWindowOptions options = {}) { return {run, options}; }

const BoundCase kBoundCases[] = {
    {"PriorityAboveTheLastIsTheLast", u"Priority", 9, Loaded({3, 20, 6, 3, 0, 1})},
    {"PriorityBelowZeroIsTheFirst", u"Priority", -3, Loaded({3, 20, 0, 3, 0, 1})},
    {"ClassSixIsTheLastOfSix", u"ClassPriority", 6, Loaded({3, 20, 5, 5, 0, 1})},
    {"RhythmHuge", u"Rhythm", kInt32Max, Loaded({3, 20, 5, 3, 6, 1})},
    {"ThreadsZeroIsOne", u"Threads", 0, Loaded({3, 20, 5, 3, 0, 1})},
    {"ThreadsNegativeIsOne", u"Threads", -4, Loaded({3, 20, 5, 3, 0, 1})},
    {"ThreadsAboveTheLimitIsTheLimit", u"Threads", 100001, Loaded({3, 20, 5, 3, 0, 100000})},
    {"ThreadsMaxIsTheLimit", u"Threads", kInt32Max, Loaded({3, 20, 5, 3, 0, 100000})},
    {"TimeUnbounded", u"Time", 100000, Loaded({3, 100000, 5, 3, 0, 1})},
    {"PauseNegativeUnbounded", u"PauseBefore", -5, Loaded({-5, 20, 5, 3, 0, 1})},
    {"CompactOff", u"Compact", 0, Loaded({}, {false, true})},
    {"CompactTwoIsNotTicked", u"Compact", 2, Loaded({}, {false, true})},
    {"AutoPinOff", u"AutoPin", 0, Loaded({}, {true, false})},
};

class LoadRunSettingsBoundTest : public ::testing::TestWithParam<BoundCase> {};

TEST_P(LoadRunSettingsBoundTest, Bounds) {
  const BoundCase& c = GetParam();
  TMemorySettingsStore store;
  store.Put({}, c.value, c.stored);
  TLoadedSettings loaded;
  LoadRunSettings(store, {}, RunListCounts(), loaded);
  EXPECT_EQ(loaded.run, c.expected.run);
  EXPECT_EQ(loaded.options, c.expected.options);
  EXPECT_EQ(ReadRunSettings(store, {}, RunListCounts()), c.expected.run);
}

INSTANTIATE_TEST_SUITE_P(Values, LoadRunSettingsBoundTest, ::testing::ValuesIn(kBoundCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(LoadRunSettingsTest, TemplateGivesTheRunValuesAndTheSettingsKeyTheOptions) {
  TMemorySettingsStore store;
  store.Put({}, u"Time", 99);
  store.Put({}, u"Compact", 0);
  store.Put(u"\\Templates\\fast", u"Time", 7);
  store.Put(u"\\Templates\\fast", u"threads", 8);  // names ignore case
  store.Put(u"\\Templates\\fast", u"Compact", 1);  // not read from a template
  TLoadedSettings loaded;
  LoadRunSettings(store, TemplateSuffix(u"fast"), RunListCounts(), loaded);
  EXPECT_EQ(loaded.run, (TRunSettings{3, 7, 5, 3, 0, 8}));
  EXPECT_EQ(loaded.options, (TWindowOptions{false, true}));
}

TEST(LoadRunSettingsTest, AValueOfTheWrongTypeStopsTheLoadThere) {
  struct Case {
    TStoredValue priority;
    const char16_t* message;
  };
  for (const Case& c : {Case{TBinaryValue{}, u"Invalid data type for 'Priority'"},
                        Case{std::u16string(u"5"), u"Invalid data type for 'Priority'"},
                        Case{TLongNumberValue{}, u"Failed to get data for 'Priority'"}}) {
    TMemorySettingsStore store;
    store.Put({}, u"PauseBefore", 1);
    store.Put({}, u"Time", 2);
    store.Put({}, u"Priority", c.priority);
    store.Put({}, u"Threads", 4);
    TLoadedSettings loaded;
    loaded.run = {9, 9, 1, 1, 1, 9};
    loaded.options = {false, false};
    try {
      LoadRunSettings(store, {}, RunListCounts(), loaded);
      ADD_FAILURE() << "no error";
    } catch (const TSettingsError& e) {
      EXPECT_EQ(e.message(), c.message);
      EXPECT_EQ(e.what(), ToUtf8(c.message));
    }
    EXPECT_EQ(loaded.run, (TRunSettings{1, 2, 1, 1, 1, 9}));
    EXPECT_EQ(loaded.options, (TWindowOptions{false, false}));
  }
}

TEST(LoadRunSettingsTest, FillsTheTargetInOrderAndStopsAtAnError) {
  TMemorySettingsStore store;
  store.Put({}, u"Rhythm", 4);
  store.Put({}, u"AutoPin", 0);
  TRecordingTarget target;
  LoadRunSettings(store, {}, RunListCounts(), target);
  EXPECT_EQ(target.calls,
            (std::vector<std::string>{"pause 3", "time 20", "priority 5", "class 3", "rhythm 4",
                                      "threads 1", "compact on", "autopin off"}));

  store.Put({}, u"ClassPriority", std::u16string(u"x"));
  TRecordingTarget stopped;
  EXPECT_THROW(LoadRunSettings(store, {}, RunListCounts(), stopped), TSettingsError);
  EXPECT_EQ(stopped.calls, (std::vector<std::string>{"pause 3", "time 20", "priority 5"}));
}

TEST(SaveRunSettingsTest, WritesTheSixValuesInOrder) {
  TMemorySettingsStore store;
  ASSERT_TRUE(SaveRunSettings(store, TemplateSuffix(u"t"), {-5, 100000, 6, 5, 4, 3}));
  EXPECT_EQ(store.writes, (std::vector<std::u16string>{
                              u"\\Templates\\t|PauseBefore", u"\\Templates\\t|Time",
                              u"\\Templates\\t|Priority", u"\\Templates\\t|ClassPriority",
                              u"\\Templates\\t|Rhythm", u"\\Templates\\t|Threads"}));
  EXPECT_EQ(ReadRunSettings(store, TemplateSuffix(u"T"), RunListCounts()),
            (TRunSettings{-5, 100000, 6, 5, 4, 3}));
}

TEST(SaveRunSettingsTest, StopsAtTheFirstFailedWrite) {
  TMemorySettingsStore store;
  store.refuse_write_number = 2;
  EXPECT_FALSE(SaveRunSettings(store, {}, {}));
  EXPECT_EQ(store.writes.size(), 3u);
  EXPECT_EQ(store.writes.back(), u"|Priority");
  EXPECT_FALSE(store.Get({}, u"Priority"));
  EXPECT_FALSE(store.Get({}, u"Rhythm"));
}

TEST(SaveRunSettingsTest, ARefusedValueRaisesItsError) {
  TMemorySettingsStore store;
  store.refuse_value = u"Time";
  try {
    SaveRunSettings(store, {}, {});
    ADD_FAILURE() << "no error";
  } catch (const TSettingsError& e) {
    EXPECT_EQ(e.message(), u"Failed to set data for 'Time'");
  }
  EXPECT_EQ(store.writes.size(), 2u);
}

// A store that refuses the write of each value in turn, over settings saved before:
// the values before the refused one are the new ones, the refused value and all after
// it are still the old ones, whether the store fails the write or throws.
class SaveRunSettingsRefusedTest : public ::testing::TestWithParam<std::size_t> {
 protected:
  static constexpr TRunSettings kOld{1, 2, 3, 4, 5, 6};
  static constexpr TRunSettings kNew{7, 8, 0, 1, 2, 9};
  static constexpr std::u16string_view kNames[] = {u"PauseBefore", u"Time",   u"Priority",
                                                   u"ClassPriority", u"Rhythm", u"Threads"};

  void SetUp() override { ASSERT_TRUE(SaveRunSettings(store, TemplateSuffix(u"t"), kOld)); }
  void ExpectNewBeforeAndOldFrom(std::size_t refused) {
    const TRunSettings read = ReadRunSettings(store, TemplateSuffix(u"t"), RunListCounts());
    const std::int32_t TRunSettings::*fields[] = {
        &TRunSettings::pause_s,  &TRunSettings::time_s, &TRunSettings::priority,
        &TRunSettings::priority_class, &TRunSettings::rhythm, &TRunSettings::threads};
    for (std::size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(read.*fields[i], (i < refused ? kNew : kOld).*fields[i]) << ToUtf8(kNames[i]);
    }
  }

  TMemorySettingsStore store;
};

TEST_P(SaveRunSettingsRefusedTest, AFailedWriteKeepsTheRestAsItWas) {
  const std::size_t refused = GetParam();
  store.refuse_write_number = store.writes.size() + refused;
  EXPECT_FALSE(SaveRunSettings(store, TemplateSuffix(u"t"), kNew));
  EXPECT_EQ(store.writes.size(), 6 + refused + 1);
  ExpectNewBeforeAndOldFrom(refused);
}

TEST_P(SaveRunSettingsRefusedTest, ARefusedValueKeepsTheRestAsItWas) {
  const std::size_t refused = GetParam();
  store.refuse_value = std::u16string(kNames[refused]);
  EXPECT_THROW(SaveRunSettings(store, TemplateSuffix(u"t"), kNew), TSettingsError);
  ExpectNewBeforeAndOldFrom(refused);
}

INSTANTIATE_TEST_SUITE_P(EachValue, SaveRunSettingsRefusedTest, ::testing::Range<std::size_t>(0, 6));

struct InputCase {
  const char* name;
  TRunInputs inputs;
  TRunSettings expected;
};

const InputCase kInputCases[] = {
    {"Plain", {u"3", u"20", 5, 3, 0, u"1"}, {3, 20, 5, 3, 0, 1}},
    {"NotNumbers", {u"abc", u"", 0, 0, 0, u"x"}, {0, 0, 0, 0, 0, 1}},
    {"BlanksAndSigns", {u" 7 ", u"+8", 6, 5, 6, u"-3"}, {7, 8, 6, 5, 6, -3}},
    {"UnsignedTextKeepsItsBits", {u"4294967291", u"-5", 0, 0, 0, u"250000"},
     {-5, -5, 0, 0, 0, 100000}},
    {"BeyondThirtyTwoBitsSaturates", {u"99999999999", u"-99999999999", 0, 0, 0, u"1"},
     {kInt32Max, std::numeric_limits<std::int32_t>::min(), 0, 0, 0, 1}},
};

class RunInputsTest : public ::testing::TestWithParam<InputCase> {};

TEST_P(RunInputsTest, ReadsTheInputs) {
  EXPECT_EQ(RunSettingsOfInputs(GetParam().inputs), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Inputs, RunInputsTest, ::testing::ValuesIn(kInputCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(RunInputsTest, ShowsPauseAndTimeAsUnsignedNumbersThatReadBack) {
  const TRunSettings run{-5, 100000, 1, 2, 3, 100000};
  const TRunInputs inputs = InputsOfRunSettings(run);
  EXPECT_EQ(inputs, (TRunInputs{u"4294967291", u"100000", 1, 2, 3, u"100000"}));
  EXPECT_EQ(RunSettingsOfInputs(inputs), run);
  EXPECT_EQ(RunValueText(std::numeric_limits<std::int32_t>::min()), u"2147483648");
}

std::vector<std::u16string> Fields(std::u16string_view line) {
  std::vector<std::u16string> fields(1);
  for (const char16_t c : line) {
    if (c == u' ') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

const Rect kMonitor{-1920, 0, 0, 1080};

TEST(CloneCommandLineTest, WritesElevenDecimalFields) {
  EXPECT_EQ(CloneCommandLine({-5, 20, 5, 3, 0, 250000}, true, false, true, -1873, 48),
            u"-5 20 5 3 0 100000 1 0 1 -1873 48");
  EXPECT_EQ(CloneCommandLine({}, false, true, false, 0, 0), u"3 20 5 3 0 1 0 1 0 0 0");
}

TEST(CloneCommandLineTest, ReadsBackWhatItWrote) {
  const TCommandLineSettings settings{{0, 3600, 6, 5, 6, 64}, {false, true}, true, -1000, 500};
  const std::u16string line = CloneCommandLine(settings.run, settings.options.compact,
                                               settings.options.auto_pin, settings.pin,
                                               settings.left, settings.top);
  const std::vector<std::u16string> args = Fields(line);
  EXPECT_EQ(ReadCommandLineSettings(args, RunListCounts(), kMonitor), settings);
}

struct CommandLineCase {
  const char* name;
  std::vector<std::u16string> args;
  std::optional<TCommandLineSettings> expected;
};

const CommandLineCase kCommandLineCases[] = {
    {"TenFieldsAreNoCloneLine", Fields(u"3 20 5 3 0 1 1 1 1 0"), std::nullopt},
    {"TwelveFieldsAreNoCloneLine", Fields(u"3 20 5 3 0 1 1 1 1 0 0 0"), std::nullopt},
    {"NoFields", {}, std::nullopt},
    {"NotNumbersTakeTheDefaults", Fields(u"a b c d e f g h i j k"),
     TCommandLineSettings{{3, 20, 5, 3, 0, 1}, {false, false}, false, -5, 0}},
    {"OnlyExactlyOneTicks", Fields(u"1 2 3 4 5 6 01 1 +1 -1000 5"),
     TCommandLineSettings{{1, 2, 3, 4, 5, 6}, {false, true}, false, -1000, 5}},
    {"PositionsAndThreadsAreBounded", Fields(u"-5 0 9 -1 99999999999 250000 1 0 1 -1000 5"),
     TCommandLineSettings{{-5, 0, 6, 0, 6, 100000}, {true, false}, true, -1000, 5}},
    {"NoThreadsIsOne", Fields(u"0 0 0 0 0 0 0 0 0 -1000 5"),
     TCommandLineSettings{{0, 0, 0, 0, 0, 1}, {false, false}, false, -1000, 5}},
    {"LeftOfTheMonitorIsItsEdge", Fields(u"3 20 5 3 0 1 0 0 0 -5000 -7"),
     TCommandLineSettings{{}, {false, false}, false, -1920, 0}},
    {"RightOfTheMonitorStaysFiveInside", Fields(u"3 20 5 3 0 1 0 0 0 0 1080"),
     TCommandLineSettings{{}, {false, false}, false, -5, 1075}},
    {"FarBeyondThirtyTwoBits", Fields(u"3 20 5 3 0 1 0 0 0 99999999999 -99999999999"),
     TCommandLineSettings{{}, {false, false}, false, -5, 0}},
};

class ReadCommandLineSettingsTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ReadCommandLineSettingsTest, Reads) {
  EXPECT_EQ(ReadCommandLineSettings(GetParam().args, RunListCounts(), kMonitor),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Fields, ReadCommandLineSettingsTest,
                         ::testing::ValuesIn(kCommandLineCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace velkaro
