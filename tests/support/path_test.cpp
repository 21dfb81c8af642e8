#include "support/path.h"

#include <gtest/gtest.h>

#include <string>

#include "printable.h"

namespace velkaro {
namespace {

TEST(IncludeTrailingBackslashTest, AppendsUnlessPresent) {
  const struct {
    const char16_t* text;
    const char16_t* expected;
  } cases[] = {
      {u"", u"\\"},
      {u"C:", u"C:\\"},
      {u"C:\\", u"C:\\"},
      {u"C:\\Langs", u"C:\\Langs\\"},
      {u"C:\\Langs\\", u"C:\\Langs\\"},
      {u"x", u"x\\"},
      {u"\\", u"\\\\"},  // a single character always gets one appended
  };
  for (const auto& c : cases) {
    std::u16string text = c.text;
    IncludeTrailingBackslash(text);
    EXPECT_EQ(text, c.expected) << Printable(c.text);
  }
}

TEST(FolderOfPathTest, KeepsUpToTheLastDelimiter) {
  EXPECT_EQ(FolderOfPath(u"C:\\Program Files\\Velkaro\\velkaro.exe", u"\\:"),
            u"C:\\Program Files\\Velkaro\\");
  EXPECT_EQ(FolderOfPath(u"C:velkaro.exe", u"\\:"), u"C:");
  EXPECT_EQ(FolderOfPath(u"velkaro.exe", u"\\:"), u"");
  EXPECT_EQ(FolderOfPath(u"", u"\\:"), u"");
  EXPECT_EQ(FolderOfPath(u"/usr/bin/velkaro-cli", u"/"), u"/usr/bin/");
}

TEST(FileTitleTest, DropsFolderAndExtension) {
  const struct {
    const char16_t* path;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\Langs\\de.lng", u"de"},
      {u"C:\\Langs.old\\readme", u"readme"},  // the folder's dot does not count
      {u"C:/a.b/c", u"c"},
      {u"C:\\Langs\\de.backup.lng", u"de.backup"},
      {u"de.lng", u"de"},
      {u"readme", u"readme"},
      {u"C:\\Langs\\.lng", u""},              // starts with its only dot
      {u".lng", u""},
      {u"C:\\Langs\\", u""},
      {u"", u""},
      {u"dir\\name.", u"name"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileTitle(c.path), c.expected) << Printable(c.path);
}

TEST(MakeValidFileNameTest, ReplacesForbiddenCharacters) {
  const struct {
    const char16_t* text;
    const char16_t* expected;
    bool unchanged;
  } cases[] = {
      {u"My template", u"My template", true},
      {u"\u00C4rger (2)", u"\u00C4rger (2)", true},
      {u"", u"", true},
      {u"say \"hi\"", u"say 'hi'", false},
      {u"a*b/c:d<e>f?g\\h|i", u"a b c d e f g h i", false},
      {u"tab\there\x01", u"tab here ", false},
  };
  for (const auto& c : cases) {
    std::u16string text = c.text;
    EXPECT_EQ(MakeValidFileName(text), c.unchanged) << Printable(c.text);
    EXPECT_EQ(text, c.expected) << Printable(c.text);
  }
}

struct MaskCase {
  const char16_t* name;
  const char16_t* mask;
  bool matches;
};

void PrintTo(const MaskCase& c, std::ostream* os) {
  *os << Printable(c.name) << ' ' << Printable(c.mask);
}

class MatchesFileMaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MatchesFileMaskTest, Matches) {
  const MaskCase& c = GetParam();
  EXPECT_EQ(MatchesFileMask(c.name, c.mask), c.matches)
      << Printable(c.name) << " against " << Printable(c.mask);
}

INSTANTIATE_TEST_SUITE_P(
    Language, MatchesFileMaskTest,
    ::testing::Values(MaskCase{u"de.lng", u"*.lng", true},
                      MaskCase{u"DE.LNG", u"*.lng", true},
                      MaskCase{u"de.Lng", u"*.LNG", true},
                      MaskCase{u"de.lngx", u"*.lng", false},  // the short name's match is no match
                      MaskCase{u"de.ln", u"*.lng", false},
                      MaskCase{u"de.lng.bak", u"*.lng", false},
                      MaskCase{u"de.old.lng", u"*.lng", true},
                      MaskCase{u".lng", u"*.lng", true},
                      MaskCase{u"lng", u"*.lng", false},
                      MaskCase{u"\u00C4.LNG", u"\u00E4.lng", true}));

INSTANTIATE_TEST_SUITE_P(
    Wildcards, MatchesFileMaskTest,
    ::testing::Values(MaskCase{u"readme", u"*", true},
                      MaskCase{u"a.b", u"*", true},          // no dot: the whole name
                      MaskCase{u"readme", u"*.*", true},     // no dot: empty extension
                      MaskCase{u"readme", u"*.txt", false},
                      MaskCase{u"ab.txt", u"??.txt", true},
                      MaskCase{u"abc.txt", u"??.txt", false},
                      MaskCase{u"a.txt", u"??.txt", false},
                      MaskCase{u"abc.txt", u"a*c.t?t", true},
                      MaskCase{u"abcbc.txt", u"a*bc.txt", true},  // needs backtracking
                      MaskCase{u"abcbd.txt", u"a*bc.txt", false},
                      MaskCase{u"a.b.c", u"a.b.c", true},
                      MaskCase{u"a.b.c", u"*.c", true},
                      MaskCase{u"a.txt", u"a.", false},
                      MaskCase{u"a", u"a.", true},
                      MaskCase{u"a.txt", u"a.txt*", true},
                      MaskCase{u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", u"*a*a*a*a*a*a*a*a*c", false}));

INSTANTIATE_TEST_SUITE_P(
    Lists, MatchesFileMaskTest,
    ::testing::Values(MaskCase{u"de.lng", u"*.txt;*.lng", true},
                      MaskCase{u"de.txt", u"*.txt;*.lng", true},
                      MaskCase{u"de.ini", u"*.txt;*.lng", false},
                      MaskCase{u"de.ini", u"*.txt;;*.lng", false},
                      MaskCase{u"de.ini", u"", false}));

}  // namespace
}  // namespace velkaro
