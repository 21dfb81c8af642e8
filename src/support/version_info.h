// The parts of a program's version, as the About box and the update check use them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkaro {

struct FileVersionInfo {
  std::u16string version;         // "major.minor"
  int release = 0;
  int build = -1;
  bool debug = true;
  std::u16string product_suffix;  // text after the first blank of the product version
};

// The parts for a file without version information: "CRASH", 0, -1, debug.
FileVersionInfo MissingFileVersion();

// The parts from a fixed version record (the four 32-bit fields the platform keeps)
// and, when known, the product version text.
FileVersionInfo DecodeFileVersion(std::uint32_t file_version_ms, std::uint32_t file_version_ls,
                                  std::uint32_t file_flags_mask, std::uint32_t file_flags,
                                  std::optional<std::u16string_view> product_version);

}  // namespace velkaro
