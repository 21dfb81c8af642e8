#include "platform/shell.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/files.h"
#include "support/shell_text.h"
#include "temp_folder.h"

namespace velkaro::platform {
namespace {

using testing::TempFolderTest;
using testing::ToText;

class ShellTest : public TempFolderTest {
 protected:
  // A copy of the child program in a folder whose name needs quoting.
  std::filesystem::path CopyChild() {
    const auto target = MakeFolder("with blank") / "child.exe";
    std::filesystem::copy_file(testing::ToPath(ProgramFolder() + u"platform_test_child.exe"),
                               target);
    return target;
  }

  // Waits for the child's marker file; empty when it does not come within a generous time.
  static std::wstring WaitForMarker(const std::filesystem::path& marker) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
      if (std::filesystem::exists(marker)) {
        std::wstring content(std::filesystem::file_size(marker) / sizeof(wchar_t), L'\0');
        std::ifstream in(marker, std::ios::binary);
        in.read(reinterpret_cast<char*>(content.data()),
                static_cast<std::streamsize>(content.size() * sizeof(wchar_t)));
        return content;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
  }
};

TEST_F(ShellTest, RunCommandLineStartsAQuotedProgramWithItsParameters) {
  const auto child = CopyChild();
  const auto marker = folder_ / "run marker.txt";
  const std::u16string command = QuoteIfNeeded(ToText(child)) + u" \"" + ToText(marker) +
                                 u"\" first \"second part\"";
  ASSERT_EQ(command.front(), u'"');

  wchar_t current[MAX_PATH] = {};
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
  EXPECT_EQ(RunCommandLine(command), 0u);
  const std::wstring content = WaitForMarker(marker);
  ASSERT_FALSE(content.empty()) << "the child program did not run";
  const std::wstring folder = std::filesystem::path(current).wstring();
  const std::wstring expected_start = L"first|second part|\n";
  EXPECT_EQ(content.substr(0, expected_start.size()), expected_start);
  // The child runs in the caller's current folder (its trailing "\" aside).
  std::wstring child_folder = content.substr(expected_start.size());
  EXPECT_TRUE(std::filesystem::equivalent(child_folder, folder));
}

TEST_F(ShellTest, RunCommandLineReportsAMissingProgram) {
  struct Case {
    std::u16string command;
  };
  const Case cases[] = {
      {ToText(folder_ / "missing.exe")},
      {QuoteIfNeeded(ToText(folder_ / "no such folder" / "missing.exe")) + u" argument"},
  };
  for (const Case& c : cases) {
    EXPECT_NE(RunCommandLine(c.command), 0u) << std::string(c.command.begin(), c.command.end());
  }
}

TEST_F(ShellTest, OpenDocumentOpensAProgram) {
  const auto child = CopyChild();
  const auto marker = folder_ / "open marker.txt";
  ASSERT_TRUE(SetEnvironmentVariableW(L"VELKARO_TEST_MARKER", marker.wstring().c_str()));
  OpenDocument(ToText(child), false);
  SetEnvironmentVariableW(L"VELKARO_TEST_MARKER", nullptr);
  EXPECT_FALSE(WaitForMarker(marker).empty()) << "the child program did not run";
}

}  // namespace
}  // namespace velkaro::platform
