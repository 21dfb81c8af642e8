// Starting documents and programs through the system's shell.
#pragma once

#include <cstdint>
#include <string_view>

namespace velkaro::platform {

// Opens `target` with the shell's "open" verb under the busy cursor. With
// `add_http_prefix`, a target that does not start with "http://" gets it in front.
// Failures are not reported.
void OpenDocument(std::u16string_view target, bool add_http_prefix);

// Starts the program of `command_line` (file, a blank, parameters; the file quoted when
// it needs it) in the current folder without waiting for it. Returns 0 or the system
// error code; where the shell is not supported, a "not supported" code (ENOSYS).
std::uint32_t RunCommandLine(std::u16string_view command_line);

}  // namespace velkaro::platform
