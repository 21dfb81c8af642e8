#include "ui/win32/help_viewer.h"

#include <string>

#include "platform/files.h"
#include "platform/win32/wide.h"

namespace velkaro::win32 {
namespace {

constexpr UINT kHhDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kHhDisplayToc = 0x0001;    // HH_DISPLAY_TOC

using HtmlHelpFunction = HWND(WINAPI*)(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);

HtmlHelpFunction HtmlHelpW() {
  // Loaded once and kept: the help window lives on after the request.
  static const HtmlHelpFunction function = [] {
    const HMODULE library = ::LoadLibraryW(L"hhctrl.ocx");
    return library == nullptr ? nullptr
                              : reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void (*)()>(
                                    ::GetProcAddress(library, "HtmlHelpW")));
  }();
  return function;
}

}  // namespace

bool THtmlHelpViewer::FileExists(std::u16string_view path) {
  return platform::FileExistsNoDir(path);
}

bool THtmlHelpViewer::Call(std::u16string_view file, UINT command) {
  const HtmlHelpFunction html_help = HtmlHelpW();
  if (html_help == nullptr) return false;
  const std::wstring name = platform::ToWide(file);
  return html_help(caller_, name.c_str(), command, 0) != nullptr;
}

bool THtmlHelpViewer::DisplayDefaultPage(std::u16string_view file) {
  return Call(file, kHhDisplayTopic);
}

bool THtmlHelpViewer::DisplayContents(std::u16string_view file) { return Call(file, kHhDisplayToc); }

bool THtmlHelpViewer::DisplayPage(std::u16string_view file_and_page) {
  return Call(file_and_page, kHhDisplayTopic);
}

}  // namespace velkaro::win32
