// Files and folders of the running system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro::platform {

// Full path of the running program's file.
std::u16string ProgramPath();
// The folder of ProgramPath, ending in the path delimiter; empty when the path is.
std::u16string ProgramFolder();
// True when `path` exists and is not a folder.
bool FileExistsNoDir(std::u16string_view path);

// Reads at most `limit` bytes (`limit` > 0). `truncated` tells whether the file is
// longer than what was read. False when the file cannot be opened, sized or read.
bool ReadFileBytes(std::u16string_view path, std::uint64_t limit,
                   std::vector<std::uint8_t>& bytes, bool& truncated);
// Reads at most `limit` bytes (rounded down to even) as UTF-16 little-endian text.
// A byte-order mark is kept as the first character.
bool ReadFileUtf16(std::u16string_view path, std::uint64_t limit, std::u16string& text);

enum class ListMode {
  kFiles,
  kFolders,
  kFilesAndFolders,
};

struct ListedFile {
  std::u16string path;  // folder (with its delimiter) + name
  bool is_folder = false;
  // Only filled when details are asked for.
  std::uint64_t size = 0;          // bytes; 0 for folders
  std::int64_t modified_time = 0;  // last write, seconds since 1970-01-01 00:00 UTC
};

// Appends the entries of `folder` to `list`:
// - files matching `file_mask` (modes kFiles, kFilesAndFolders);
// - folders matching `folder_mask` ("*" when empty), except "." and ".." and links
//   (reparse points), for mode kFolders or kFilesAndFolders;
// - with `recursive`, the same from every such folder, depth first.
// Masks are ";"-separated patterns as MatchesFileMask reads them. On Windows the
// search also matches 8.3 short names; `filter_long_names` drops an entry whose long
// name does not match, so that "*.lng" never lists "x.lngx". Stops as soon as `list`
// holds `max_count` entries.
void ListFiles(std::vector<ListedFile>& list, std::u16string_view folder,
               std::u16string_view file_mask, std::u16string_view folder_mask, ListMode mode,
               bool recursive, bool filter_long_names, std::size_t max_count, bool with_details);

}  // namespace velkaro::platform
