// Files and folders of the running system.
#pragma once

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
bool ReadFileUtf16(std::u16string_view path, std::uint64_t limit, std::u16string& text);

}  // namespace velkaro::platform
