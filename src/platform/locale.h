// The user's number format and the platform's lower-casing.
#pragma once

#include <span>
#include <string>

namespace velkaro::platform {

// Separator between groups of three digits in the user's number format (may be empty).
std::u16string ThousandsSeparator();
// Decimal separator in the user's number format.
std::u16string DecimalSeparator();
// Fills `table` with the platform's lower-case form of each single code unit; unit
// 0xFFFF maps to itself.
void FillLowerCaseTable(std::span<char16_t, 0x10000> table);

}  // namespace velkaro::platform
