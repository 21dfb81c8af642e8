#include "lang/lang_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <vector>

namespace velkaro {
namespace {

class LangFormatTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearTranslations(); }

  static void Translate(std::int64_t id, std::u16string text) {
    std::size_t position = 0;
    ASSERT_TRUE(SetTranslation(position, id, std::move(text)));
  }
};

TEST_F(LangFormatTest, FormatsTheBuiltInTexts) {
  EXPECT_EQ(LangFormat(TextId::Copyright, {u"2026 Quenmark"}), u"Copyright (c) 2026 Quenmark");
  EXPECT_EQ(LangFormat(TextId::ThreadsStarted, {u'0'}), u"Threads started: 0");
  EXPECT_EQ(LangFormat(TextId::TooManyThreadsCreated, {31999}), u"Too many threads!\rCreated: 31999.");
  EXPECT_EQ(LangFormat(TextId::TooManyThreadsCreated, {-5}), u"Too many threads!\rCreated: -5.");
  EXPECT_EQ(LangFormat(TextId::ThreadsLimitWarning, {u"100,000"}),
            u"[fB;Too many threads!] The number will be limited to [fB;100,000].");
  EXPECT_EQ(LangFormat(TextId::TitleIdle, {u"Velkaro"}), u"Velkaro - Emulator of CPU load");
}

TEST_F(LangFormatTest, TextWithoutDirectivesComesBackUnchanged) {
  EXPECT_EQ(LangFormat(TextId::MenuStart, {}), u"&Run CPU Stressing!        ");
  EXPECT_EQ(LangFormat(TextId::CpuStressing, {u"ignored"}), u"CPU STRESSING!!!");
}

TEST_F(LangFormatTest, MismatchedTranslationsGiveTheBadFormatText) {
  Translate(103, u"CPU jetzt: %d");
  EXPECT_EQ(LangFormat(TextId::CpuNow, {u"12.5"}), u"#103. !Bad format string!");

  Translate(121, u"%s threads of %s");
  EXPECT_EQ(LangFormat(TextId::FulfilledThreads, {u"4"}), u"#121. !Bad format string!");

  EXPECT_EQ(LangFormat(TextId::ThreadsLimitWarning, {}), u"#302. !Bad format string!");
}

TEST_F(LangFormatTest, PercentPercentGivesOnePercentSign) {
  Translate(104, u"CPU avg (%%): %s");
  EXPECT_EQ(LangFormat(TextId::CpuAvg, {u"50.000"}), u"CPU avg (%): 50.000");
}

struct DirectiveCase {
  const char16_t* pattern;
  std::vector<LangArg> args;
  const char16_t* expected;  // nullptr: cannot be formatted
};

// Names the case by its pattern in test output.
void PrintTo(const DirectiveCase& c, std::ostream* os) {
  *os << '"';
  for (const char16_t* p = c.pattern; *p != 0; ++p) {
    if (*p >= 0x20 && *p < 0x7F) {
      *os << static_cast<char>(*p);
    } else {
      *os << "\\u" << std::hex << static_cast<unsigned>(*p) << std::dec;
    }
  }
  *os << '"';
}

class FormatDirectivesTest : public ::testing::TestWithParam<DirectiveCase> {};

TEST_P(FormatDirectivesTest, Formats) {
  const DirectiveCase& c = GetParam();
  auto result = FormatDirectives(c.pattern, c.args);
  if (c.expected == nullptr) {
    EXPECT_FALSE(result.has_value()) << (result ? std::string(result->begin(), result->end()) : "");
  } else {
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatDirectivesTest,
    ::testing::Values(
        DirectiveCase{u"plain", {}, u"plain"},
        DirectiveCase{u"", {u"x"}, u""},
        DirectiveCase{u"%s and %s", {u"a", u"b"}, u"a and b"},
        DirectiveCase{u"%s", {u'Z'}, u"Z"},
        DirectiveCase{u"%d", {0}, u"0"},
        DirectiveCase{u"%d", {INT_MIN}, u"-2147483648"},
        DirectiveCase{u"%d", {1234567}, u"1234567"},
        DirectiveCase{u"%x", {255}, u"FF"},
        DirectiveCase{u"%x", {-1}, u"FFFFFFFF"},
        DirectiveCase{u"%S|%D", {u"a", 7}, u"a|7"},
        DirectiveCase{u"[%5s]", {u"ab"}, u"[   ab]"},
        DirectiveCase{u"[%-5s]", {u"ab"}, u"[ab   ]"},
        DirectiveCase{u"[%.2s]", {u"abcdef"}, u"[ab]"},
        DirectiveCase{u"[%6.3d]", {-7}, u"[  -007]"},
        DirectiveCase{u"[%-4d]", {42}, u"[42  ]"},
        DirectiveCase{u"%1:s %0:s", {u"a", u"b"}, u"b a"},
        DirectiveCase{u"%1:s %s", {u"a", u"b", u"c"}, u"b c"},
        DirectiveCase{u"100%%", {}, u"100%"},
        DirectiveCase{u"\r[fB;%s]\r", {u"x"}, u"\r[fB;x]\r"},
        // Cannot be formatted.
        DirectiveCase{u"%s", {}, nullptr},
        DirectiveCase{u"%d", {u"12"}, nullptr},
        DirectiveCase{u"%d", {u'1'}, nullptr},
        DirectiveCase{u"%s", {12}, nullptr},
        DirectiveCase{u"%q", {u"x"}, nullptr},
        DirectiveCase{u"50%", {}, nullptr},
        DirectiveCase{u"%-", {u"x"}, nullptr},
        DirectiveCase{u"%.s", {u"x"}, nullptr},
        DirectiveCase{u"%2:s", {u"a", u"b"}, nullptr},
        DirectiveCase{u"%99999999999s", {u"x"}, nullptr},
        DirectiveCase{u"%.5000d", {1}, nullptr}));

}  // namespace
}  // namespace velkaro
