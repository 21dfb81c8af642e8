#include "platform/posix/settings_file_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "settings/run_settings.h"
#include "settings/templates.h"
#include "support/utf.h"
#include "temp_folder.h"

namespace velkaro::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using testing::TempFolderTest;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class SettingsFileStoreTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    settings_folder_ = folder_ / "config" / "velkaro";
  }
  TSettingsFileStore Store() {
    return TSettingsFileStore(settings_folder_.string(), [this](std::u16string_view message) {
      reports_.push_back(ToUtf8(message));
    });
  }
  fs::path File() const { return settings_folder_ / "settings.json"; }
  void WriteSettings(std::string_view text) { WriteFile(fs::path("config/velkaro/settings.json"), text); }
  std::vector<fs::path> FilesThere() const {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(settings_folder_)) {
      names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path settings_folder_;
  std::vector<std::string> reports_;
};

TEST_F(SettingsFileStoreTest, ReadsWhatItWroteAsReadableJson) {
  {
    TSettingsFileStore store = Store();
    EXPECT_EQ(store.ReadSettingNumber(u"Time", 20, {}), 20);
    EXPECT_FALSE(fs::exists(settings_folder_)) << "reading creates nothing";
    ASSERT_TRUE(SaveRunSettings(store, {}, {-5, 60, 6, 5, 4, 3}));
    ASSERT_TRUE(SaveRunSettings(store, TemplateSuffix(u"Schnell \u00fc"), {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(store.WriteSettingText(u"LatestTempl", u"Schnell \u00fc", {}));
    ASSERT_TRUE(store.WriteSettingNumber(u"time", 61, {}));  // the same value: names ignore case
  }
  TSettingsFileStore store = Store();
  EXPECT_EQ(ReadRunSettings(store, {}, RunListCounts()), (TRunSettings{-5, 61, 6, 5, 4, 3}));
  EXPECT_EQ(ReadRunSettings(store, TemplateSuffix(u"SCHNELL \u00dc"), RunListCounts()),
            (TRunSettings{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(store.ReadSettingText(u"LatestTempl", u"", {}), u"Schnell \u00fc");
  EXPECT_EQ(store.ReadSettingText(u"LangCode", u"en", {}), u"en");

  const nlohmann::ordered_json json = nlohmann::ordered_json::parse(Contents(File()));
  EXPECT_EQ(json.dump(),
            "{\"PauseBefore\":-5,\"Time\":61,\"Priority\":6,\"ClassPriority\":5,\"Rhythm\":4,"
            "\"Threads\":3,\"Templates\":{\"Schnell \xc3\xbc\":{\"PauseBefore\":1,\"Time\":2,"
            "\"Priority\":3,\"ClassPriority\":4,\"Rhythm\":5,\"Threads\":6}},"
            "\"LatestTempl\":\"Schnell \xc3\xbc\"}");
  EXPECT_THAT(Contents(File()), HasSubstr("\n  \"Time\": 61,\n"));
  EXPECT_THAT(FilesThere(), ElementsAre("settings.json", "settings.json.lock"));
  EXPECT_THAT(reports_, IsEmpty());
}

TEST_F(SettingsFileStoreTest, ASettingsFileThatIsALinkStaysALink) {
  const fs::path real = WriteFile("dotfiles/velkaro.json", "{\"Time\": 7}");
  fs::create_directories(settings_folder_);
  fs::create_symlink(real, File());
  TSettingsFileStore store = Store();
  ASSERT_TRUE(store.WriteSettingNumber(u"Threads", 2, {}));
  EXPECT_TRUE(fs::is_symlink(File()));
  EXPECT_EQ(nlohmann::json::parse(Contents(real)), nlohmann::json::parse("{\"Time\": 7, \"Threads\": 2}"));
  EXPECT_THAT(FilesThere(), ElementsAre("settings.json", "settings.json.lock"));
}

TEST_F(SettingsFileStoreTest, ListsSubkeysInTheOrderTheyWereMadeAndRemovesThem) {
  TSettingsFileStore store = Store();
  EXPECT_EQ(store.ListSettingSubkeys(kTemplatesSuffix), std::nullopt);
  for (const char16_t* name : {u"c", u"a", u"b"}) {
    ASSERT_TRUE(store.WriteSettingNumber(u"Time", 1, TemplateSuffix(name)));
  }
  ASSERT_TRUE(store.WriteSettingNumber(u"Time", 1, u"\\Templates\\a\\below"));
  ASSERT_TRUE(store.WriteSettingNumber(u"NotAKey", 1, kTemplatesSuffix));
  EXPECT_EQ(store.ListSettingSubkeys(kTemplatesSuffix),
            (std::vector<std::u16string>{u"c", u"a", u"b"}));
  EXPECT_EQ(store.ListSettingSubkeys(TemplateSuffix(u"b")), std::vector<std::u16string>{});

  EXPECT_TRUE(store.RemoveSettingKey(TemplateSuffix(u"A")));
  EXPECT_FALSE(store.RemoveSettingKey(TemplateSuffix(u"a")));
  EXPECT_FALSE(store.RemoveSettingKey(u"\\Templates\\NotAKey"));
  EXPECT_EQ(store.ListSettingSubkeys(kTemplatesSuffix),
            (std::vector<std::u16string>{u"c", u"b"}));
  EXPECT_EQ(store.ReadSettingNumber(u"Time", 7, u"\\Templates\\a\\below"), 7);
  EXPECT_EQ(store.ReadSettingNumber(u"NotAKey", 7, kTemplatesSuffix), 1);
}

TEST_F(SettingsFileStoreTest, TemplatesListInTheOrderTheyWereSaved) {
  TSettingsFileStore store = Store();
  TTemplates templates(store);
  for (const char16_t* name : {u"zeta", u"alpha", u"mid"}) templates.SaveTemplate(name, {});
  TSettingsFileStore other = Store();
  TTemplates reread(other);
  reread.RefreshTemplates();
  EXPECT_EQ(reread.TemplateNames(), (std::vector<std::u16string>{u"zeta", u"alpha", u"mid"}));
  EXPECT_EQ(reread.Menu().items.back().bold, true);
}

struct StoredNumberCase {
  const char* name;
  const char* json_value;
  std::optional<std::int32_t> value;  // nothing: the error
  const char* error;
};

const StoredNumberCase kStoredNumberCases[] = {
    {"Number", "-5", -5, ""},
    {"UnsignedHighHalfIsTheSameBits", "4294967295", -1, ""},
    {"LowestSigned", "-2147483648", std::numeric_limits<std::int32_t>::min(), ""},
    {"SubkeyIsNoValue", "{}", 20, ""},
    {"Text", "\"5\"", std::nullopt, "Invalid data type for 'Time'"},
    {"Fraction", "5.5", std::nullopt, "Invalid data type for 'Time'"},
    {"Boolean", "true", std::nullopt, "Invalid data type for 'Time'"},
    {"Null", "null", std::nullopt, "Invalid data type for 'Time'"},
    {"Array", "[1]", std::nullopt, "Invalid data type for 'Time'"},
    {"AboveThirtyTwoBits", "4294967296", std::nullopt, "Failed to get data for 'Time'"},
    {"BelowThirtyTwoBits", "-2147483649", std::nullopt, "Failed to get data for 'Time'"},
    {"BeyondSixtyFourBits", "123456789012345678901234", std::nullopt,
     "Failed to get data for 'Time'"},
};

class StoredNumberTest : public SettingsFileStoreTest,
                         public ::testing::WithParamInterface<StoredNumberCase> {};

TEST_P(StoredNumberTest, ReadsOrRaises) {
  const StoredNumberCase& c = GetParam();
  WriteSettings(std::string("{\"time\": ") + c.json_value + "}");
  TSettingsFileStore store = Store();
  if (c.value) {
    EXPECT_EQ(store.ReadSettingNumber(u"Time", 20, {}), *c.value);
  } else {
    try {
      store.ReadSettingNumber(u"Time", 20, {});
      ADD_FAILURE() << "no error";
    } catch (const TSettingsError& e) {
      EXPECT_EQ(ToUtf8(e.message()), c.error);
    }
  }
  // A text read of something else than a text gives the default, as an empty text does.
  if (c.json_value[0] != '"') {
    EXPECT_EQ(store.ReadSettingText(u"Time", u"none", {}), u"none");
  }
  EXPECT_THAT(reports_, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Values, StoredNumberTest, ::testing::ValuesIn(kStoredNumberCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(SettingsFileStoreTest, ValueAndKeyNeverOverwriteEachOther) {
  TSettingsFileStore store = Store();
  ASSERT_TRUE(store.WriteSettingNumber(u"Time", 1, TemplateSuffix(u"t")));
  ASSERT_TRUE(store.WriteSettingNumber(u"Threads", 1, {}));
  EXPECT_THROW(store.WriteSettingNumber(u"templates", 5, {}), TSettingsError);
  EXPECT_FALSE(store.WriteSettingText(u"Templates", u"x", {}));
  EXPECT_FALSE(store.WriteSettingNumber(u"x", 1, u"\\Threads"));
  EXPECT_EQ(store.ListSettingSubkeys(kTemplatesSuffix), std::vector<std::u16string>{u"t"});
  EXPECT_EQ(store.ReadSettingNumber(u"Threads", 9, {}), 1);
}

TEST_F(SettingsFileStoreTest, ADamagedFileIsReportedSetAsideAndNeverOverwritten) {
  const std::string damaged = "{\n  \"Time\": 5,\n  oops\n}\n";
  WriteSettings(damaged);
  TSettingsFileStore store = Store();
  EXPECT_EQ(store.ReadSettingNumber(u"Time", 20, {}), 20);
  ASSERT_THAT(reports_, SizeIs(1));
  EXPECT_THAT(reports_[0], HasSubstr("'" + File().string() + "'"));
  EXPECT_THAT(reports_[0], HasSubstr("line 3, column 3"));
  EXPECT_THAT(reports_[0], HasSubstr("defaults"));
  const std::vector<fs::path> files = FilesThere();
  ASSERT_THAT(files, SizeIs(2));
  EXPECT_THAT(files[0].string(), ::testing::StartsWith("settings.json.damaged-"));
  EXPECT_THAT(reports_[0], HasSubstr(files[0].string()));
  EXPECT_EQ(Contents(settings_folder_ / files[0]), damaged);

  ASSERT_TRUE(store.WriteSettingNumber(u"Threads", 2, {}));
  EXPECT_EQ(Contents(settings_folder_ / files[0]), damaged);
  EXPECT_EQ(store.ReadSettingNumber(u"Time", 20, {}), 20);
  EXPECT_EQ(store.ReadSettingNumber(u"Threads", 1, {}), 2);
  EXPECT_THAT(reports_, SizeIs(1));
}

// nlohmann reports a number beyond the range of a double as an out-of-range error, not
// as a parse error; found by fuzzing, where it ended the program.
TEST_F(SettingsFileStoreTest, ANumberBeyondADoubleIsADamagedFile) {
  for (const char* number : {"4e949", "-1e400", "1e99999999999999999999"}) {
    fs::remove_all(settings_folder_);
    const std::string damaged = std::string("{\n  \"Time\": 5,\n  \"Priority\": ") + number + "\n}\n";
    WriteSettings(damaged);
    reports_.clear();
    TSettingsFileStore store = Store();
    EXPECT_EQ(store.ReadSettingNumber(u"Time", 20, {}), 20) << number;
    ASSERT_THAT(reports_, SizeIs(1)) << number;
    EXPECT_THAT(reports_[0], HasSubstr("line 3, column ")) << number;
    const std::vector<fs::path> files = FilesThere();
    ASSERT_THAT(files, SizeIs(2)) << number;
    EXPECT_EQ(Contents(settings_folder_ / files[0]), damaged);
    ASSERT_TRUE(store.WriteSettingNumber(u"Threads", 2, {}));
    EXPECT_EQ(store.ReadSettingNumber(u"Threads", 1, {}), 2);
  }
}

TEST_F(SettingsFileStoreTest, AFileWithoutAnObjectIsDamagedToo) {
  for (const char* text : {"[1, 2]", "", "\"text\""}) {
    fs::remove_all(settings_folder_);
    WriteSettings(text);
    reports_.clear();
    TSettingsFileStore store = Store();
    ASSERT_TRUE(store.WriteSettingNumber(u"Time", 5, {}));
    ASSERT_THAT(reports_, SizeIs(1)) << text;
    EXPECT_THAT(reports_[0], HasSubstr("line 1"));
    EXPECT_THAT(FilesThere(), SizeIs(3)) << text;  // the new file, the lock, the damaged one
    EXPECT_EQ(store.ReadSettingNumber(u"Time", 20, {}), 5);
  }
}

TEST_F(SettingsFileStoreTest, AFailureBetweenWriteAndRenameKeepsTheOldFile) {
  TSettingsFileStore store = Store();
  ASSERT_TRUE(store.WriteSettingNumber(u"Time", 1, {}));
  const std::string old = Contents(File());
  store.SetHooks({{}, [] { return false; }});
  EXPECT_FALSE(store.WriteSettingNumber(u"Time", 2, {}));
  EXPECT_FALSE(store.RemoveSettingKey({}));
  EXPECT_EQ(Contents(File()), old);
  EXPECT_THAT(FilesThere(), ElementsAre("settings.json", "settings.json.lock"));
}

TEST_F(SettingsFileStoreTest, AProgramKilledBetweenWriteAndRenameLeavesTheOldFile) {
  TSettingsFileStore store = Store();
  ASSERT_TRUE(store.WriteSettingNumber(u"Time", 1, {}));
  const std::string old = Contents(File());
  EXPECT_EXIT(
      {
        store.SetHooks({{}, []() -> bool { _exit(9); }});
        store.WriteSettingNumber(u"Time", 2, {});
      },
      ::testing::ExitedWithCode(9), "");
  EXPECT_EQ(Contents(File()), old);
  TSettingsFileStore after = Store();
  EXPECT_EQ(after.ReadSettingNumber(u"Time", 20, {}), 1);
  ASSERT_TRUE(after.WriteSettingNumber(u"Threads", 3, {}));
  EXPECT_EQ(after.ReadSettingNumber(u"Time", 20, {}), 1);
}

TEST_F(SettingsFileStoreTest, TwoStoresOnOneFileKeepEachOthersChanges) {
  TSettingsFileStore first = Store();
  TSettingsFileStore second = Store();
  for (std::int32_t i = 0; i < 5; ++i) {
    ASSERT_TRUE(first.WriteSettingNumber(u"Time", i, {}));
    ASSERT_TRUE(second.WriteSettingNumber(u"Threads", i + 10, TemplateSuffix(u"b")));
  }
  EXPECT_EQ(second.ReadSettingNumber(u"Time", 20, {}), 4);
  EXPECT_EQ(first.ReadSettingNumber(u"Threads", 1, TemplateSuffix(u"b")), 14);
}

// While one change has read the file and not yet replaced it, a second one must wait
// for it rather than read the old file; otherwise one of the two values is lost.
TEST_F(SettingsFileStoreTest, AChangeWaitsForTheOneUnderWay) {
  TSettingsFileStore first = Store();
  TSettingsFileStore second = Store();
  ASSERT_TRUE(first.WriteSettingNumber(u"Start", 0, {}));
  std::mutex mutex;
  std::condition_variable changed;
  bool second_read = false;
  second.SetHooks({[&] {
                     const std::lock_guard<std::mutex> lock(mutex);
                     second_read = true;
                     changed.notify_all();
                   },
                   {}});
  std::thread other;
  first.SetHooks({{}, [&] {
                    other = std::thread([&] { EXPECT_TRUE(second.WriteSettingNumber(u"B", 2, {})); });
                    // Gives the second change every chance to read the old file, which
                    // the lock must prevent; the wait ends early only without the lock.
                    std::unique_lock<std::mutex> lock(mutex);
                    changed.wait_for(lock, std::chrono::milliseconds(300), [&] { return second_read; });
                    return true;
                  }});
  ASSERT_TRUE(first.WriteSettingNumber(u"A", 1, {}));
  other.join();
  TSettingsFileStore check = Store();
  EXPECT_EQ(check.ReadSettingNumber(u"A", 0, {}), 1);
  EXPECT_EQ(check.ReadSettingNumber(u"B", 0, {}), 2);
}

TEST_F(SettingsFileStoreTest, AnUnwritableFolderFailsTheWriteAndKeepsTheOldFile) {
  TSettingsFileStore store = Store();
  ASSERT_TRUE(store.WriteSettingNumber(u"Time", 1, {}));
  const std::string old = Contents(File());
  // A folder where the new file would go stops it even for root.
  const fs::path temp = settings_folder_ / "settings.json.tmp";
  fs::create_directory(temp);
  EXPECT_FALSE(store.WriteSettingNumber(u"Time", 2, {}));
  EXPECT_FALSE(store.WriteSettingText(u"LangCode", u"de", {}));
  EXPECT_EQ(Contents(File()), old);
  ASSERT_THAT(reports_, SizeIs(1));  // the same message twice in a row is said once
  EXPECT_EQ(reports_[0], "The settings file '" + File().string() + "' could not be written ('" +
                             temp.string() + "': Is a directory); it is unchanged.");
  fs::remove(temp);

  if (geteuid() != 0) {
    fs::permissions(settings_folder_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(store.WriteSettingNumber(u"Time", 2, {}));
    fs::permissions(settings_folder_, fs::perms::owner_all);
    EXPECT_EQ(Contents(File()), old);
    ASSERT_THAT(reports_, SizeIs(2));
    EXPECT_THAT(reports_[1], HasSubstr("Permission denied"));
  }
}

TEST_F(SettingsFileStoreTest, AFolderThatCannotBeMadeFailsEveryWrite) {
  WriteFile("config", "a file where the folder should be");
  TSettingsFileStore store = Store();
  EXPECT_EQ(store.ReadSettingNumber(u"Time", 20, {}), 20);
  EXPECT_FALSE(store.WriteSettingNumber(u"Time", 2, {}));
  EXPECT_FALSE(store.RemoveSettingKey(kTemplatesSuffix));
  EXPECT_EQ(store.ListSettingSubkeys({}), std::nullopt);
  ASSERT_THAT(reports_, SizeIs(1));
  EXPECT_THAT(reports_[0], HasSubstr("('" + settings_folder_.string() + "': Not a directory)"));
}

// The settings folder on a small file system of its own, filled up after a valid
// settings file was put there.
class FullSettingsFolderTest : public SettingsFileStoreTest {
 protected:
  void SetUp() override {
    SettingsFileStoreTest::SetUp();
    fs::create_directories(settings_folder_);
    if (mount("velkaro-test", settings_folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
              "size=64k,mode=0700") != 0) {
      GTEST_SKIP() << "a tmpfs cannot be mounted here (" << std::strerror(errno)
                   << "): the tests of a full folder need root or CAP_SYS_ADMIN";
    }
    mounted_ = true;
    WriteSettings(kOldSettings);
    ASSERT_EQ(Contents(File()), kOldSettings);
    Fill();
  }
  void TearDown() override {
    if (mounted_) {
      EXPECT_EQ(umount(settings_folder_.c_str()), 0) << std::strerror(errno);
    }
    SettingsFileStoreTest::TearDown();
  }

  // Writes a file until the file system refuses another byte.
  void Fill() {
    const int fd = open((settings_folder_ / kFiller).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    const std::string block(4096, 'x');
    std::size_t total = 0;
    for (;;) {
      const ssize_t n = write(fd, block.data(), block.size());
      if (n <= 0) break;
      total += static_cast<std::size_t>(n);
    }
    const int error = errno;
    close(fd);
    ASSERT_EQ(error, ENOSPC);
    ASSERT_GT(total, 0u);
  }

  static constexpr char kOldSettings[] =
      "{\n  \"PauseBefore\": 3,\n  \"Time\": 20,\n  \"Templates\": {\n    \"kept\": {\n"
      "      \"Threads\": 4\n    }\n  }\n}\n";
  static constexpr char kFiller[] = "filler";
  bool mounted_ = false;
};

struct FullFolderChange {
  const char* name;
  std::function<bool(TSettingsFileStore&)> change;
};

const FullFolderChange kFullFolderChanges[] = {
    {"Number", [](TSettingsFileStore& s) { return s.WriteSettingNumber(u"Time", 21, {}); }},
    {"Text", [](TSettingsFileStore& s) { return s.WriteSettingText(u"LangCode", u"de", {}); }},
    {"NewTemplate",
     [](TSettingsFileStore& s) { return SaveRunSettings(s, TemplateSuffix(u"new"), {1, 2, 3, 4, 5, 6}); }},
    {"RemovedTemplate", [](TSettingsFileStore& s) { return s.RemoveSettingKey(TemplateSuffix(u"kept")); }},
};

void PrintTo(const FullFolderChange& change, std::ostream* out) { *out << change.name; }

class FullSettingsFolderChangeTest : public FullSettingsFolderTest,
                                     public ::testing::WithParamInterface<FullFolderChange> {};

TEST_P(FullSettingsFolderChangeTest, FailsWithTheReasonAndKeepsTheOldFile) {
  TSettingsFileStore store = Store();
  EXPECT_FALSE(GetParam().change(store));
  EXPECT_EQ(Contents(File()), kOldSettings);
  EXPECT_THAT(FilesThere(), ElementsAre(kFiller, "settings.json", "settings.json.lock"));
  ASSERT_THAT(reports_, SizeIs(1));
  EXPECT_EQ(reports_[0], "The settings file '" + File().string() + "' could not be written ('" +
                             File().string() + ".tmp': No space left on device); it is unchanged.");
  EXPECT_EQ(store.ReadSettingNumber(u"Time", 0, {}), 20);
  EXPECT_EQ(store.ReadSettingNumber(u"Threads", 0, TemplateSuffix(u"kept")), 4);

  // With room again the same change goes through.
  fs::remove(settings_folder_ / kFiller);
  EXPECT_TRUE(GetParam().change(store));
  EXPECT_NE(Contents(File()), kOldSettings);
  EXPECT_THAT(FilesThere(), ElementsAre("settings.json", "settings.json.lock"));
  EXPECT_THAT(reports_, SizeIs(1));
}

INSTANTIATE_TEST_SUITE_P(Changes, FullSettingsFolderChangeTest, ::testing::ValuesIn(kFullFolderChanges),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(SettingsFileStoreTest, AFileThatCannotBeReadIsReportedOnceAndKept) {
  fs::create_directories(File());
  TSettingsFileStore store = Store();
  EXPECT_EQ(store.ReadSettingNumber(u"Time", 20, {}), 20);
  EXPECT_EQ(store.ReadSettingNumber(u"Threads", 1, {}), 1);
  EXPECT_FALSE(store.WriteSettingNumber(u"Time", 2, {}));
  ASSERT_THAT(reports_, SizeIs(1));
  EXPECT_THAT(reports_[0], HasSubstr("'" + File().string() + "' cannot be read"));
  EXPECT_TRUE(fs::is_directory(File()));
}

TEST_F(SettingsFileStoreTest, NoFolderAtAllIsReported) {
  TSettingsFileStore store(std::string(), [this](std::u16string_view m) { reports_.push_back(ToUtf8(m)); });
  EXPECT_EQ(store.ReadSettingNumber(u"Time", 20, {}), 20);
  EXPECT_FALSE(store.WriteSettingNumber(u"Time", 2, {}));
  ASSERT_THAT(reports_, SizeIs(1));
  EXPECT_THAT(reports_[0], HasSubstr("no folder"));
}

TEST(UserSettingsFolderTest, FollowsTheBaseDirectoryRules) {
  EXPECT_EQ(UserSettingsFolder("/x/cfg", "/home/u", "/acct"), "/x/cfg/velkaro");
  EXPECT_EQ(UserSettingsFolder("relative", "/home/u", "/acct"), "/home/u/.config/velkaro");
  EXPECT_EQ(UserSettingsFolder("", "/home/u", "/acct"), "/home/u/.config/velkaro");
  EXPECT_EQ(UserSettingsFolder(nullptr, nullptr, "/acct"), "/acct/.config/velkaro");
  EXPECT_EQ(UserSettingsFolder(nullptr, "", "/acct"), "/acct/.config/velkaro");
  EXPECT_EQ(UserSettingsFolder(nullptr, nullptr, nullptr), "");
}

}  // namespace
}  // namespace velkaro::platform
