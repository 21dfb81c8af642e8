// The core's UTF-16 text and the wide strings of the Win32 API are the same units;
// these only change the element type (and add the terminating zero Win32 wants).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velkaro::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace velkaro::platform
