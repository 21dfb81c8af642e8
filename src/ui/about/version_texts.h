// The program's version as the About box shows it, and the address of the maker's
// update check that carries it.
#pragma once

#include <string>
#include <string_view>

#include "support/version_info.h"

namespace velkaro {

// "1.4.0 (build 25)", with " beta" after it when the product version has a suffix;
// `build_word` is the current text of "build".
std::u16string GetVersionTexts(const FileVersionInfo& version, std::u16string_view build_word);

// The long version text up to its first blank with every "." as "_", then "~" and the
// build, URL-encoded: "1_4_0~25".
std::u16string VersionKey(std::u16string_view long_text, int build);

// "http://" + host + "/kq/checkupdate/" + key.
std::u16string UpdateAddress(std::u16string_view host, std::u16string_view version_key);

}  // namespace velkaro
