#include "ui/about/help_files.h"

namespace velkaro {

bool TryOpenHelp(THelpViewer& viewer, std::u16string_view file, std::u16string_view topic) {
  if (!viewer.FileExists(file)) return false;
  if (topic.empty()) return viewer.DisplayDefaultPage(file);
  if (!viewer.DisplayContents(file)) return false;
  return viewer.DisplayPage(std::u16string(file) + u"::/" + std::u16string(topic) + u".htm");
}

std::u16string OpenHelp(THelpViewer& viewer, std::u16string_view docs_folder,
                        std::u16string_view lang_code, std::u16string_view topic) {
  const std::u16string base = std::u16string(docs_folder) + std::u16string(kHelpBaseName);
  std::u16string candidates[3];
  std::size_t count = 0;
  if (!lang_code.empty()) candidates[count++] = base + u" (" + std::u16string(lang_code) + u").chm";
  candidates[count++] = base + u" (en).chm";
  candidates[count++] = base + u".chm";
  for (std::size_t i = 0; i < count; ++i) {
    if (TryOpenHelp(viewer, candidates[i], topic)) return candidates[i];
  }
  return {};
}

}  // namespace velkaro
