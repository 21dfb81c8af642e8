// Which compiled help file a help request opens: the chosen language's, else the
// English one, else the plain one, each only when it exists and the viewer takes it.
#pragma once

#include <string>
#include <string_view>

namespace velkaro {

// The help viewer of the system, as the help request needs it.
class THelpViewer {
 public:
  virtual ~THelpViewer() = default;
  // True when the path names a file (not a folder).
  virtual bool FileExists(std::u16string_view path) = 0;
  // Opens the help window at the file's default page; false when refused.
  virtual bool DisplayDefaultPage(std::u16string_view file) = 0;
  // Opens the help window with the file's contents; false when refused.
  virtual bool DisplayContents(std::u16string_view file) = 0;
  // Shows one page, named "file::/page.htm"; false when refused.
  virtual bool DisplayPage(std::u16string_view file_and_page) = 0;
};

// Base name of the help files in the documents folder.
inline constexpr std::u16string_view kHelpBaseName = u"Velkaro";

// Shows `file` when it exists: at its default page without a topic, otherwise its
// contents and then the topic's page. False when the file is missing or refused.
bool TryOpenHelp(THelpViewer& viewer, std::u16string_view file, std::u16string_view topic);

// Tries "Velkaro (code).chm" (not for the built-in English, code empty), then
// "Velkaro (en).chm", then "Velkaro.chm" in `docs_folder` (which ends in its delimiter).
// Returns the file shown, or empty when none was.
std::u16string OpenHelp(THelpViewer& viewer, std::u16string_view docs_folder,
                        std::u16string_view lang_code, std::u16string_view topic);

}  // namespace velkaro
