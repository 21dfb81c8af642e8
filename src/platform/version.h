// The version information of a program file.
#pragma once

#include <string_view>

#include "support/version_info.h"

namespace velkaro::platform {

// Reads the version of the file at `path`; the product suffix only when `want_suffix`.
// A file without version information gives MissingFileVersion(). On systems without
// version resources only the running program (ProgramPath) has one: the build's own.
FileVersionInfo GetFileVersion(std::u16string_view path, bool want_suffix);

}  // namespace velkaro::platform
