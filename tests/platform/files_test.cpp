#include "platform/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#endif

#include "support/text.h"
#include "temp_folder.h"

namespace velkaro::platform {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::TempFolderTest;
using testing::ToPath;
using testing::ToText;

#ifdef _WIN32
constexpr char16_t kDelimiter = u'\\';
constexpr std::u16string_view kProgramName = u"platform_tests.exe";
#else
constexpr char16_t kDelimiter = u'/';
constexpr std::u16string_view kProgramName = u"platform_tests";
#endif

TEST(ProgramPathTest, NamesThisProgramAndItsFolder) {
  const std::u16string path = ProgramPath();
  const std::u16string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), kDelimiter);
  EXPECT_EQ(path, folder + std::u16string(kProgramName));
  EXPECT_TRUE(ToPath(path).is_absolute()) << ToUtf8(path);
  EXPECT_TRUE(FileExistsNoDir(path));
}

using FileExistsTest = TempFolderTest;

TEST_F(FileExistsTest, TrueOnlyForExistingFiles) {
  const auto file = WriteFile("present.txt", "x");
  const auto empty = WriteFile("empty.txt", "");
  const auto sub = MakeFolder("sub.txt");
  struct Case {
    std::u16string path;
    bool expected;
  };
  const Case cases[] = {
      {ToText(file), true},
      {ToText(empty), true},
      {ToText(sub), false},
      {ToText(sub) + kDelimiter, false},
      {ToText(folder_ / "missing.txt"), false},
      {ToText(folder_ / "missing" / "x.txt"), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileExistsNoDir(c.path), c.expected) << ToUtf8(c.path);
  }
}

using ReadFileTest = TempFolderTest;

// Sets the file's size without writing its bytes; false when the system refuses.
bool MakeSparse(const std::filesystem::path& path, std::int64_t size) {
#ifdef _WIN32
  const HANDLE file = CreateFileW(path.wstring().c_str(), GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD ignored = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  LARGE_INTEGER end{};
  end.QuadPart = size;
  const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
#else
  std::error_code error;
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size), error);
  return !error;
#endif
}

TEST_F(ReadFileTest, BytesUpToTheLimitWithTruncation) {
  const std::u16string ten = ToText(WriteFile("ten.bin", "0123456789"));
  const std::u16string empty = ToText(WriteFile("empty.bin", ""));
  struct Case {
    const std::u16string* path;
    std::uint64_t limit;
    std::string expected;
    bool truncated;
  };
  const Case cases[] = {
      {&ten, 1, "0", true},      {&ten, 4, "0123", true},         {&ten, 9, "012345678", true},
      {&ten, 10, "0123456789", false}, {&ten, 11, "0123456789", false},
      {&ten, 10485760, "0123456789", false}, {&empty, 10, "", false},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes{1, 2, 3};  // stale content must go
    bool truncated = !c.truncated;
    ASSERT_TRUE(ReadFileBytes(*c.path, c.limit, bytes, truncated)) << c.limit;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.expected) << c.limit;
    EXPECT_EQ(truncated, c.truncated) << c.limit;
  }
}

TEST_F(ReadFileTest, FailsForMissingFilesAndFolders) {
  const std::u16string paths[] = {ToText(folder_ / "missing.bin"), ToText(MakeFolder("dir"))};
  for (const std::u16string& path : paths) {
    std::vector<std::uint8_t> bytes;
    bool truncated = true;
    EXPECT_FALSE(ReadFileBytes(path, 100, bytes, truncated)) << ToUtf8(path);
    EXPECT_THAT(bytes, IsEmpty());
    std::u16string text = u"stale";
    EXPECT_FALSE(ReadFileUtf16(path, 100, text)) << ToUtf8(path);
  }
}

TEST_F(ReadFileTest, Utf16KeepsTheByteOrderMarkAndReadsWholeUnits) {
  // BOM, "A", "ä" and one dangling byte.
  const std::u16string path =
      ToText(WriteFile("lang.lng", std::string("\xFF\xFE\x41\x00\xE4\x00\x5A", 7)));
  struct Case {
    std::uint64_t limit;
    std::u16string expected;
  };
  const Case cases[] = {
      {1, u""},
      {2, u"\uFEFF"},
      {5, u"\uFEFFA"},
      {6, u"\uFEFFA\u00E4"},
      {7, u"\uFEFFA\u00E4"},
      {10240, u"\uFEFFA\u00E4"},
  };
  for (const Case& c : cases) {
    std::u16string text = u"stale";
    ASSERT_TRUE(ReadFileUtf16(path, c.limit, text)) << c.limit;
    EXPECT_EQ(text, c.expected) << c.limit;
  }
}

TEST_F(ReadFileTest, FilesOfFourGibibytesAndMoreAreAlwaysTruncated) {
  // A sparse file: no disk space is used for its zeros.
  const auto path = WriteFile("huge.bin", "");
  if (!MakeSparse(path, 0x100000000LL + 3)) GTEST_SKIP() << "no large sparse files here";
  std::vector<std::uint8_t> bytes;
  bool truncated = false;
  EXPECT_TRUE(ReadFileBytes(ToText(path), 16, bytes, truncated));
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(16, 0));
  EXPECT_TRUE(truncated);
  std::u16string text;
  EXPECT_TRUE(ReadFileUtf16(ToText(path), 9, text));
  EXPECT_EQ(text, std::u16string(4, u'\0'));
}

class ListFilesTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    WriteFile("a.lng", "abc");
    WriteFile("B.LNG", "");
    WriteFile("x.lngx", "");
    WriteFile("readme.txt", "");
    WriteFile("lng", "");
    WriteFile(std::filesystem::path("sub") / "c.lng", "");
    WriteFile(std::filesystem::path("sub") / "deep" / "d.lng", "");
    MakeFolder("folder.lng");
  }

  std::vector<ListedFile> List(std::u16string_view file_mask, std::u16string_view folder_mask,
                               ListMode mode, bool recursive, std::size_t max_count = 2147483647,
                               bool filter_long_names = true, bool with_details = false) {
    std::vector<ListedFile> list;
    ListFiles(list, ToText(folder_), file_mask, folder_mask, mode, recursive, filter_long_names,
              max_count, with_details);
    return list;
  }

  // The paths of `list` relative to the test folder, with "/" between folders, sorted
  // (the listing order is the file system's).
  std::vector<std::string> Names(const std::vector<ListedFile>& list) {
    std::u16string base = ToText(folder_);
    base += kDelimiter;
    std::vector<std::string> names;
    for (const ListedFile& entry : list) {
      EXPECT_TRUE(StartsWithCI(base, entry.path)) << ToUtf8(entry.path);
      std::string name = ToUtf8(std::u16string_view(entry.path).substr(base.size()));
      std::replace(name.begin(), name.end(), '\\', '/');
      if (entry.is_folder) name += '/';
      names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(ListFilesTest, LanguageFilesByTheirExtensionOnly) {
  EXPECT_THAT(Names(List(u"*.lng", u"", ListMode::kFiles, false)), ElementsAre("B.LNG", "a.lng"));
}

TEST_F(ListFilesTest, ModesMasksAndRecursion) {
  struct Case {
    std::u16string_view file_mask;
    std::u16string_view folder_mask;
    ListMode mode;
    bool recursive;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {u"*.lng", u"", ListMode::kFiles, true,
       {"B.LNG", "a.lng", "sub/c.lng", "sub/deep/d.lng"}},
      {u"*.lng", u"", ListMode::kFolders, false, {"folder.lng/", "sub/"}},
      {u"*.lng", u"s*", ListMode::kFilesAndFolders, true,
       {"B.LNG", "a.lng", "sub/", "sub/c.lng"}},
      {u"*.txt;lng", u"", ListMode::kFiles, false, {"lng", "readme.txt"}},
      {u"?.lng", u"", ListMode::kFiles, false, {"B.LNG", "a.lng"}},
      {u"*.none", u"", ListMode::kFiles, true, {}},
  };
  for (const Case& c : cases) {
    EXPECT_THAT(Names(List(c.file_mask, c.folder_mask, c.mode, c.recursive)),
                ElementsAreArray(c.expected))
        << ToUtf8(c.file_mask) << " " << ToUtf8(c.folder_mask);
  }
}

TEST_F(ListFilesTest, StopsAtTheMaximumCount) {
  for (const std::size_t max_count : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
    EXPECT_EQ(List(u"*.lng", u"", ListMode::kFilesAndFolders, true, max_count).size(), max_count);
  }
  std::vector<ListedFile> full(2);
  ListFiles(full, ToText(folder_), u"*", u"", ListMode::kFiles, false, true, 2, false);
  EXPECT_EQ(full.size(), 2u);
}

TEST_F(ListFilesTest, FolderWithOrWithoutDelimiterAndMissingFolder) {
  std::vector<ListedFile> list;
  ListFiles(list, ToText(folder_) + kDelimiter, u"a.lng", u"", ListMode::kFiles, false, true, 10,
            false);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].path, ToText(folder_ / "a.lng"));
  ListFiles(list, ToText(folder_ / "missing"), u"*", u"", ListMode::kFilesAndFolders, true, true,
            10, false);
  EXPECT_EQ(list.size(), 1u);
}

TEST_F(ListFilesTest, DetailsGiveSizeAndModificationTime) {
  const auto list = List(u"a.lng", u"", ListMode::kFiles, false, 10, true, true);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].size, 3u);
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  EXPECT_NEAR(static_cast<double>(list[0].modified_time), static_cast<double>(now), 86400.0);
  const auto plain = List(u"a.lng", u"", ListMode::kFiles, false);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].size, 0u);
  EXPECT_EQ(plain[0].modified_time, 0);
}

#ifdef _WIN32
// The system's search also matches the 8.3 short name of x.lngx, which ends in .LNG.
TEST_F(ListFilesTest, LongNameFilterDropsMatchesOfShortNames) {
  WIN32_FIND_DATAW data{};
  const HANDLE find = FindFirstFileW((folder_ / "x.lngx").wstring().c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  const std::wstring short_name = data.cAlternateFileName;
  ASSERT_TRUE(short_name.size() > 4 && short_name.substr(short_name.size() - 4) == L".LNG")
      << "short name: " << std::string(short_name.begin(), short_name.end());
  EXPECT_THAT(Names(List(u"*.lng", u"", ListMode::kFiles, false, 100, false)),
              ElementsAre("B.LNG", "a.lng", "x.lngx"));
  EXPECT_THAT(Names(List(u"*.lng", u"", ListMode::kFiles, false, 100, true)),
              ElementsAre("B.LNG", "a.lng"));
}
#else
TEST_F(ListFilesTest, LinksToFoldersAreNotFollowed) {
  std::filesystem::create_directory_symlink(folder_, folder_ / "sub" / "loop");
  std::filesystem::create_symlink(folder_ / "a.lng", folder_ / "link.lng");
  EXPECT_THAT(Names(List(u"*.lng", u"", ListMode::kFilesAndFolders, true)),
              ElementsAre("B.LNG", "a.lng", "folder.lng/", "link.lng", "sub/", "sub/c.lng",
                          "sub/deep/", "sub/deep/d.lng"));
}
#endif

}  // namespace
}  // namespace velkaro::platform
