// Where the program looks for its language files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkaro {

// The folders to search, in order, each ending in its delimiter: "Langs" in
// `program_folder` (which ends in its delimiter), then `installed_folder` when it is
// given and differs. An empty program folder adds nothing.
std::vector<std::u16string> LanguageFolders(std::u16string_view program_folder,
                                            std::u16string_view installed_folder);

// The running program's folders: "Langs" beside the program, and on Linux the data
// folder of the installation (<prefix>/share/velkaro/Langs, fixed when the build is
// configured).
std::vector<std::u16string> LanguageFolders();

}  // namespace velkaro
