#include "platform/shell.h"

#include <cerrno>

namespace velkaro::platform {

// The console program has no shell to hand documents or programs to.

void OpenDocument(std::u16string_view /*target*/, bool /*add_http_prefix*/) {}

std::uint32_t RunCommandLine(std::u16string_view /*command_line*/) { return ENOSYS; }

}  // namespace velkaro::platform
