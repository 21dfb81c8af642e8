// Conversions between the core's UTF-16 text and the UTF-8 of files, terminals and
// the POSIX platform. Unpaired surrogates and invalid bytes become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace velkaro {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace velkaro
