// The menu commands of the Language menu of a velkaro.exe, worked out from outside:
// another process cannot read the program's menu, but it can list the same folder.
#pragma once

#include <windows.h>

#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "ui/win32/main_window_ids.h"

namespace velkaro::win32::driver {

// The "Langs" folder beside a program, ending in its delimiter.
inline std::wstring LangsFolderOf(const std::wstring& program) {
  const std::size_t slash = program.find_last_of(L"\\/");
  return (slash == std::wstring::npos ? std::wstring() : program.substr(0, slash + 1)) + L"Langs\\";
}

inline bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The codes of the folder's language files in the order of the folder listing, which
// is the order of the menu's items after "Default English".
inline std::vector<std::wstring> LanguageCodesInMenuOrder(const std::wstring& langs_folder) {
  std::vector<std::wstring> codes;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW((langs_folder + L"*.lng").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return codes;
  do {
    const std::wstring name = found.cFileName;
    // The mask also matches short names of longer extensions.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name.size() <= 4 ||
        !EqualNoCase(name.substr(name.size() - 4), L".lng")) {
      continue;
    }
    const std::wstring code = name.substr(0, name.size() - 4);
    bool seen = false;
    for (const std::wstring& earlier : codes) seen = seen || EqualNoCase(earlier, code);
    if (!seen) codes.push_back(code);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return codes;
}

// The menu command that picks `code` ("Default English" for the empty code), or
// nothing when the folder has no file of that code.
inline std::optional<int> LanguageCommand(const std::wstring& langs_folder,
                                          const std::wstring& code) {
  if (code.empty()) return main_window::kMiDefaultLang;
  const std::vector<std::wstring> codes = LanguageCodesInMenuOrder(langs_folder);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (EqualNoCase(codes[i], code)) return main_window::kMiLangFirst + static_cast<int>(i);
  }
  return std::nullopt;
}

}  // namespace velkaro::win32::driver
