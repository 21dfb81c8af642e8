#include "lang/language_folders.h"

#include "platform/files.h"
#include "support/utf.h"

namespace velkaro {
namespace {

constexpr std::u16string_view kLangsFolder = u"Langs";

bool IsDelimiter(char16_t c) { return c == u'/' || c == u'\\'; }

}  // namespace

std::vector<std::u16string> LanguageFolders(std::u16string_view program_folder,
                                            std::u16string_view installed_folder) {
  std::vector<std::u16string> folders;
  if (!program_folder.empty()) {
    const char16_t delimiter = IsDelimiter(program_folder.back()) ? program_folder.back() : u'/';
    std::u16string folder(program_folder);
    if (!IsDelimiter(folder.back())) folder += delimiter;
    folder += kLangsFolder;
    folder += delimiter;
    folders.push_back(std::move(folder));
  }
  if (!installed_folder.empty()) {
    std::u16string folder(installed_folder);
    if (!IsDelimiter(folder.back())) folder += u'/';
    if (folders.empty() || folders.front() != folder) folders.push_back(std::move(folder));
  }
  return folders;
}

std::vector<std::u16string> LanguageFolders() {
#ifdef VELKARO_INSTALLED_LANGS_DIR
  const std::u16string installed = FromUtf8(VELKARO_INSTALLED_LANGS_DIR);
#else
  const std::u16string installed;
#endif
  return LanguageFolders(platform::ProgramFolder(), installed);
}

}  // namespace velkaro
