// The system's compiled-help viewer (HtmlHelpW of hhctrl.ocx, loaded when first used,
// so that the program starts where it is missing).
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/about/help_files.h"

namespace velkaro::win32 {

class THtmlHelpViewer final : public THelpViewer {
 public:
  explicit THtmlHelpViewer(HWND caller) : caller_(caller) {}

  bool FileExists(std::u16string_view path) override;
  bool DisplayDefaultPage(std::u16string_view file) override;
  bool DisplayContents(std::u16string_view file) override;
  bool DisplayPage(std::u16string_view file_and_page) override;

 private:
  bool Call(std::u16string_view file, UINT command);

  HWND caller_;
};

}  // namespace velkaro::win32
