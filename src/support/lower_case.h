// The lower-case table: for every UTF-16 code unit, the platform's lower-case form of
// that single unit. All case-insensitive comparisons of the program go through it.
#pragma once

namespace velkaro {

// Builds the table; the first call does it, so call it once during start-up.
void InitLowerCaseTable();

// The lower-case form of one unit.
char16_t LowerCaseUnit(char16_t c);

}  // namespace velkaro
