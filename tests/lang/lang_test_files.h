// Language files for tests: UTF-16 LE and UTF-8 bytes of a text, and a file system in
// memory behind the language code's file access.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lang/language_file.h"
#include "support/path.h"
#include "support/utf.h"

namespace velkaro::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Utf16LeBytes(std::u16string_view text, bool with_bom = true) {
  Bytes bytes;
  if (with_bom) bytes = {0xFF, 0xFE};
  for (const char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

inline Bytes Utf16BeBytes(std::u16string_view text, bool with_bom = true) {
  Bytes bytes;
  if (with_bom) bytes = {0xFE, 0xFF};
  for (const char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
  }
  return bytes;
}

inline Bytes Utf8Bytes(std::u16string_view text, bool with_bom = false) {
  Bytes bytes;
  if (with_bom) bytes = {0xEF, 0xBB, 0xBF};
  const std::string utf8 = ToUtf8(text);
  bytes.insert(bytes.end(), utf8.begin(), utf8.end());
  return bytes;
}

// Files by full path, listed in the order they were added; "/" delimits folders.
class MemoryLangFiles final : public LangFileAccess {
 public:
  void Add(std::u16string path, Bytes bytes) { files_.emplace_back(std::move(path), std::move(bytes)); }
  void Replace(std::u16string_view path, Bytes bytes) {
    for (auto& [name, content] : files_) {
      if (name == path) content = std::move(bytes);
    }
  }
  void MakeUnreadable(std::u16string path) { unreadable_.push_back(std::move(path)); }

  bool ReadBytes(std::u16string_view path, std::uint64_t limit, Bytes& bytes) const override {
    limits_.push_back(limit);
    bytes.clear();
    for (const std::u16string& name : unreadable_) {
      if (name == path) return false;
    }
    for (const auto& [name, content] : files_) {
      if (name != path) continue;
      const std::size_t count = std::min<std::size_t>(content.size(), static_cast<std::size_t>(limit));
      bytes.assign(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(count));
      return true;
    }
    return false;
  }

  std::vector<std::u16string> ListLanguageFiles(std::u16string_view folder) const override {
    std::vector<std::u16string> paths;
    for (const auto& [name, content] : files_) {
      if (name.size() <= folder.size() || std::u16string_view(name).substr(0, folder.size()) != folder)
        continue;
      const std::u16string_view rest = std::u16string_view(name).substr(folder.size());
      if (rest.find(u'/') == std::u16string_view::npos && MatchesFileMask(rest, u"*.lng"))
        paths.push_back(name);
    }
    return paths;
  }

  // The byte limits of every read, in order.
  const std::vector<std::uint64_t>& Limits() const { return limits_; }

 private:
  std::vector<std::pair<std::u16string, Bytes>> files_;
  std::vector<std::u16string> unreadable_;
  mutable std::vector<std::uint64_t> limits_;
};

}  // namespace velkaro::testing
