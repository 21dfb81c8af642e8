#include "support/shell_text.h"

#include <gtest/gtest.h>

#include "printable.h"

namespace velkaro {
namespace {

TEST(QuoteIfNeededTest, QuotesOnlyWhatTheShellWouldSplit) {
  const struct {
    const char16_t* text;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\Tools\\velkaro.exe", u"C:\\Tools\\velkaro.exe"},
      {u"C:\\Program Files\\velkaro.exe", u"\"C:\\Program Files\\velkaro.exe\""},
      {u"a&b", u"\"a&b\""},
      {u"a(b", u"\"a(b\""},
      {u"a)b", u"a)b"},  // a closing parenthesis alone does not
      {u"a,b", u"\"a,b\""},
      {u"a;b", u"\"a;b\""},
      {u"a=b", u"\"a=b\""},
      {u"a^b", u"\"a^b\""},
      {u"a\tb", u"\"a\tb\""},
      {u"a\x01", u"\"a\x01\""},
      {u"\"C:\\Program Files\\x.exe\"", u"\"C:\\Program Files\\x.exe\""},  // already quoted
      {u"\"half quoted", u"\"half quoted"},
      {u"x \"y\"", u"\"x \"y\"\""},
      {u"\u00C4rger.exe", u"\u00C4rger.exe"},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteIfNeeded(c.text), c.expected) << Printable(c.text);
}

TEST(SplitCommandLineTest, SplitsAtTheFirstBlankOutsideQuotes) {
  const struct {
    const char16_t* line;
    const char16_t* file;
    const char16_t* parameters;
  } cases[] = {
      {u"velkaro.exe 1 2 3", u"velkaro.exe", u"1 2 3"},
      {u"\"C:\\Program Files\\velkaro.exe\" 1 2", u"\"C:\\Program Files\\velkaro.exe\"", u"1 2"},
      {u"C:\\a\" b\"c d", u"C:\\a\" b\"c", u"d"},  // each quote toggles, wherever it stands
      {u"velkaro.exe", u"velkaro.exe", u""},
      {u"\"C:\\Program Files\\velkaro.exe\"", u"\"C:\\Program Files\\velkaro.exe\"", u""},
      {u"velkaro.exe ", u"velkaro.exe", u""},
      {u"velkaro.exe  2", u"velkaro.exe", u" 2"},
      {u" velkaro.exe", u"", u"velkaro.exe"},
      {u"\"unclosed quote 1", u"\"unclosed quote 1", u""},
      {u"", u"", u""},
  };
  for (const auto& c : cases) {
    const CommandLineParts parts = SplitCommandLine(c.line);
    EXPECT_EQ(parts.file, c.file) << Printable(c.line);
    EXPECT_EQ(parts.parameters, c.parameters) << Printable(c.line);
  }
}

TEST(SplitCommandLineTest, QuotedProgramPathRoundTrips) {
  const std::u16string program = u"C:\\Program Files (x86)\\Velkaro\\velkaro.exe";
  const CommandLineParts parts =
      SplitCommandLine(QuoteIfNeeded(program) + u" 5 60 3 2 0 100 1 0 1 10 20");
  EXPECT_EQ(parts.file, u"\"" + program + u"\"");
  EXPECT_EQ(parts.parameters, u"5 60 3 2 0 100 1 0 1 10 20");
}

}  // namespace
}  // namespace velkaro
