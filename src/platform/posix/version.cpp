#include "platform/version.h"

#include <optional>

#include "platform/files.h"
#include "support/utf.h"
#include "velkaro_version.h"

namespace velkaro::platform {

// Program files carry no version resource here; the running program knows its own
// version from the build, and every other file has none.
FileVersionInfo GetFileVersion(std::u16string_view path, bool want_suffix) {
  if (path.empty() || path != ProgramPath()) return MissingFileVersion();
  constexpr std::uint32_t kVersionMs = (VELKARO_VERSION_MAJOR << 16) | VELKARO_VERSION_MINOR;
  constexpr std::uint32_t kVersionLs = (VELKARO_VERSION_RELEASE << 16) | VELKARO_VERSION_BUILD;
  // The same flags the Windows version resource declares: a mask of all flags, none set.
  constexpr std::uint32_t kFlagsMask = 0x3F;
  constexpr std::uint32_t kFlags = 0;
  std::optional<std::u16string> product;
  if (want_suffix) product = FromUtf8(VELKARO_PRODUCT_VERSION);
  return DecodeFileVersion(kVersionMs, kVersionLs, kFlagsMask, kFlags,
                           product ? std::optional<std::u16string_view>(*product) : std::nullopt);
}

}  // namespace velkaro::platform
