#include "platform/locale.h"

#include <windows.h>

#include <cstddef>
#include <iterator>

namespace velkaro::platform {
namespace {

// One item of the user's number format; empty when the system cannot tell.
std::u16string UserLocaleText(LCTYPE item) {
  wchar_t buffer[16] = {};  // LOCALE_STHOUSAND and LOCALE_SDECIMAL hold at most 4 units
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer,
                                     static_cast<int>(std::size(buffer)));
  if (length <= 1) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(buffer),
                        static_cast<std::size_t>(length - 1));
}

}  // namespace

std::u16string ThousandsSeparator() { return UserLocaleText(LOCALE_STHOUSAND); }

std::u16string DecimalSeparator() { return UserLocaleText(LOCALE_SDECIMAL); }

void FillLowerCaseTable(std::span<char16_t, 0x10000> table) {
  for (std::size_t c = 0; c < table.size(); ++c) table[c] = static_cast<char16_t>(c);
  // CharLowerBuffW works on each unit by itself, so the whole range goes in one call;
  // 0xFFFF is kept out because it is not a character.
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  CharLowerBuffW(reinterpret_cast<wchar_t*>(table.data()), 0xFFFF);
}

}  // namespace velkaro::platform
