#include "platform/locale.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include "support/utf.h"
#include "temp_folder.h"

namespace velkaro::platform {
namespace {

TEST(LowerCaseTableTest, MapsSingleUnitsAndLeavesNonCharactersAlone) {
  static std::array<char16_t, 0x10000> table;
  FillLowerCaseTable(table);
  struct Case {
    char16_t unit;
    char16_t lower;
  };
  const Case cases[] = {
      {u'A', u'a'},       {u'Z', u'z'},       {u'a', u'a'},          {u'0', u'0'},
      {u'[', u'['},       {u'@', u'@'},       {0x00C4, 0x00E4},      {0x00DE, 0x00FE},
      {0x0410, 0x0430},   {0x042F, 0x044F},   {0x0391, 0x03B1},      {0x0000, 0x0000},
      {0xD800, 0xD800},   {0xDBFF, 0xDBFF},   {0xDC00, 0xDC00},      {0xDFFF, 0xDFFF},
      {0xFFFE, 0xFFFE},   {0xFFFF, 0xFFFF},   {0xFF21, 0xFF41},  // fullwidth A
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<int>(table[c.unit]), static_cast<int>(c.lower))
        << "unit " << static_cast<int>(c.unit);
  }
  // Every entry is one whole character: no surrogate halves come out of others.
  for (std::size_t unit = 0; unit < table.size(); ++unit) {
    const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
    if (!surrogate) {
      EXPECT_FALSE(table[unit] >= 0xD800 && table[unit] <= 0xDFFF) << "unit " << unit;
    }
  }
}

#ifdef _WIN32
// The separators must be the ones the system itself puts into formatted numbers.
TEST(NumberFormatTest, SeparatorsAreThoseOfTheUserFormat) {
  const std::u16string thousands = ThousandsSeparator();
  const std::u16string decimal = DecimalSeparator();
  ASSERT_FALSE(decimal.empty());
  wchar_t formatted[64] = {};
  ASSERT_GT(GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, L"1234567.5", nullptr, formatted, 64),
            0);
  const std::u16string text(reinterpret_cast<const char16_t*>(formatted));
  EXPECT_NE(text.find(decimal + u"5"), std::u16string::npos) << ToUtf8(text);
  if (!thousands.empty()) {
    EXPECT_NE(text.find(thousands + u"567"), std::u16string::npos) << ToUtf8(text);
  }
}
#else
// Changes one environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value, 1);
  }
  ~ScopedEnvironment() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(NumberFormatTest, LocalesWithoutGroupingAndMissingLocalesGiveThoseOfC) {
  for (const char* locale : {"C", "C.UTF-8", "xx_NOWHERE.UTF-8"}) {
    const ScopedEnvironment environment("LC_ALL", locale);
    EXPECT_EQ(ThousandsSeparator(), u"") << locale;
    EXPECT_EQ(DecimalSeparator(), u".") << locale;
  }
}

using NumberFormatLocaleTest = testing::TempFolderTest;

// glibc's newlocale never frees the folder list it builds from LOCPATH; that leak is
// the C library's, not ours.
class LeakCheckPause {
 public:
  LeakCheckPause() {
#ifdef __SANITIZE_ADDRESS__
    __lsan_disable();
#endif
  }
  ~LeakCheckPause() {
#ifdef __SANITIZE_ADDRESS__
    __lsan_enable();
#endif
  }
  LeakCheckPause(const LeakCheckPause&) = delete;
  LeakCheckPause& operator=(const LeakCheckPause&) = delete;
};

// A German locale, compiled into the test folder, has both separators the other way round.
TEST_F(NumberFormatLocaleTest, SeparatorsFollowTheEnvironment) {
  const std::string command = "localedef -i de_DE -f UTF-8 '" +
                              (folder_ / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "cannot compile the de_DE locale";
  const ScopedEnvironment path("LOCPATH", folder_.c_str());
  const LeakCheckPause pause;
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const ScopedEnvironment all("LC_ALL", "");
    const ScopedEnvironment numeric("LC_NUMERIC", "");
    const ScopedEnvironment lang("LANG", "");
    const ScopedEnvironment chosen(variable, "de_DE.UTF-8");
    EXPECT_EQ(ThousandsSeparator(), u".") << variable;
    EXPECT_EQ(DecimalSeparator(), u",") << variable;
  }
}
#endif

}  // namespace
}  // namespace velkaro::platform
