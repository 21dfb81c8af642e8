// A fresh folder in the system's temporary folder, removed with everything in it when
// the test ends, and conversions between test paths and the core's UTF-16 text.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "support/utf.h"

namespace velkaro::platform::testing {

inline std::u16string ToText(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring wide = path.wstring();
  return std::u16string(wide.begin(), wide.end());
#else
  return FromUtf8(path.string());
#endif
}

inline std::filesystem::path ToPath(std::u16string_view text) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
  return std::filesystem::path(ToUtf8(text));
#endif
}

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("velkaro_") + info->test_suite_name() + "_" + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    folder_ = std::filesystem::temp_directory_path() / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    ASSERT_TRUE(std::filesystem::create_directories(folder_));
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Writes `bytes` to the file `name` of the folder and returns its path.
  std::filesystem::path WriteFile(const std::filesystem::path& name, std::string_view bytes) {
    const std::filesystem::path path = folder_ / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::filesystem::path MakeFolder(const std::filesystem::path& name) {
    const std::filesystem::path path = folder_ / name;
    std::filesystem::create_directories(path);
    return path;
  }

  std::filesystem::path folder_;
};

}  // namespace velkaro::platform::testing
