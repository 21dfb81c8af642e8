#include "ui/about/help_files.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/utf.h"

namespace velkaro {
namespace {

// A stand-in for the system's viewer: it knows which files exist, refuses the ones
// it is told to, and records every request in order.
class FakeViewer final : public THelpViewer {
 public:
  std::set<std::string> files;
  std::set<std::string> refused;
  std::vector<std::string> requests;

  bool FileExists(std::u16string_view path) override {
    return files.count(ToUtf8(path)) != 0;
  }
  bool DisplayDefaultPage(std::u16string_view file) override { return Request("page ", file); }
  bool DisplayContents(std::u16string_view file) override { return Request("contents ", file); }
  bool DisplayPage(std::u16string_view file_and_page) override {
    return Request("topic ", file_and_page);
  }

 private:
  bool Request(const char* kind, std::u16string_view target) {
    const std::string name = ToUtf8(target);
    requests.push_back(kind + name);
    for (const std::string& r : refused) {
      if (name.rfind(r, 0) == 0) return false;
    }
    return true;
  }
};

constexpr char16_t kDocs[] = u"C:\\Velkaro\\Docs\\";
const std::string kDe = "C:\\Velkaro\\Docs\\Velkaro (de).chm";
const std::string kEn = "C:\\Velkaro\\Docs\\Velkaro (en).chm";
const std::string kPlain = "C:\\Velkaro\\Docs\\Velkaro.chm";

struct Case {
  const char* what;
  const char16_t* code;
  std::set<std::string> files;
  std::set<std::string> refused;
  std::string shown;
  std::vector<std::string> requests;
};

TEST(OpenHelpTest, TriesTheLanguageThenEnglishThenThePlainFile) {
  const Case cases[] = {
      {"the language's own file", u"de", {kDe, kEn, kPlain}, {}, kDe, {"page " + kDe}},
      {"German with only the English file", u"de", {kEn}, {}, kEn, {"page " + kEn}},
      {"English skips the language step", u"", {kDe, kEn}, {}, kEn, {"page " + kEn}},
      {"English without its file takes the plain one", u"", {kPlain}, {}, kPlain,
       {"page " + kPlain}},
      {"a refused file makes way for the next", u"de", {kDe, kEn}, {kDe}, kEn,
       {"page " + kDe, "page " + kEn}},
      {"nothing there: nothing shown", u"de", {}, {}, "", {}},
  };
  for (const Case& c : cases) {
    FakeViewer viewer;
    viewer.files = c.files;
    viewer.refused = c.refused;
    EXPECT_EQ(ToUtf8(OpenHelp(viewer, kDocs, c.code, u"")), c.shown) << c.what;
    EXPECT_EQ(viewer.requests, c.requests) << c.what;
  }
}

TEST(OpenHelpTest, ATopicOpensTheContentsAndThenItsPage) {
  FakeViewer viewer;
  viewer.files = {kEn};
  EXPECT_EQ(ToUtf8(OpenHelp(viewer, kDocs, u"", u"cautions")), kEn);
  EXPECT_EQ(viewer.requests,
            (std::vector<std::string>{"contents " + kEn, "topic " + kEn + "::/cautions.htm"}));
}

TEST(OpenHelpTest, RefusedContentsSkipThePageAndTryTheNextFile) {
  FakeViewer viewer;
  viewer.files = {kDe, kEn};
  viewer.refused = {"C:\\Velkaro\\Docs\\Velkaro (de).chm"};
  EXPECT_EQ(ToUtf8(OpenHelp(viewer, kDocs, u"de", u"cautions")), kEn);
  EXPECT_EQ(viewer.requests,
            (std::vector<std::string>{"contents " + kDe, "contents " + kEn,
                                      "topic " + kEn + "::/cautions.htm"}));
}

}  // namespace
}  // namespace velkaro
