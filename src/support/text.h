// Small text routines over UTF-16 text. Character positions are 1-based and 0 means
// "not found"; lengths count UTF-16 code units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro {

// First position of `c` in `text`; 0 when absent.
int CharPos(char16_t c, std::u16string_view text);
// First position of `c` at or after `start` (a start below 1 counts as 1); 0 when absent
// or `start` is past the end.
int CharPosFrom(char16_t c, std::u16string_view text, int start);
// Replaces the characters `first` to `last` (inclusive) by `insertion`. Positions
// outside the text are clamped to it; an empty range inserts before `first`.
void ReplaceRange(std::u16string& text, std::u16string_view insertion, int first, int last);
// Reads the token from `position` (below 1 counts as 1) up to the next `separator`.
// Returns true and moves `position` behind the separator when one follows; otherwise
// returns the rest of the text, sets `position` to length + 1 and returns false.
bool NextToken(std::u16string_view text, int& position, char16_t separator, std::u16string& token);
// Replaces every occurrence of `pattern`, left to right, never searching inserted text.
// An empty pattern leaves the text unchanged.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view pattern,
                          std::u16string_view replacement);
// Removes the first "&" (a menu accelerator mark).
std::u16string RemoveAmpersand(std::u16string_view text);
// Removes every character below 33 from both ends.
void TrimBlanks(std::u16string& text);

// Case-insensitive comparisons, unit by unit through the lower-case table.
bool SameTextCI(std::u16string_view a, std::u16string_view b);
bool StartsWithCI(std::u16string_view prefix, std::u16string_view text);
// Compares a lower-case `keyword` with the start of a raw buffer of `count` units.
bool BufferStartsWithLower(std::u16string_view keyword, const char16_t* buffer,
                           std::ptrdiff_t count);

// Resolves the escapes \ddd (a character code), \\ and \n (CR LF) in place.
void UnescapeText(std::u16string& text);
// Splits a UTF-16 buffer into lines without copying: returns the byte length of the
// line at `cursor` (without its break) and moves `cursor` behind the break; -1 at the end.
std::ptrdiff_t NextLine(const char16_t*& cursor, const char16_t* end);

// `n` in decimal with `separator` between groups of three digits.
std::u16string IntToStrGrouped(std::int32_t n, std::u16string_view separator);
// The same with the thousands separator of the user's locale.
std::u16string IntToStrGrouped(std::int32_t n);

// UTF-8, then "+" for a blank, A-Z a-z 0-9 - . _ ~ unchanged, and %XX for other bytes.
std::u16string UrlEncode(std::u16string_view text);
// Decodes the first `count` characters of hex digits into bytes. Odd counts, counts
// beyond the text and non-hex characters fail with no bytes; a count of 0 or less gives
// no bytes and succeeds.
bool HexToBytes(std::u16string_view hex, int count, std::vector<std::uint8_t>& bytes);

}  // namespace velkaro
