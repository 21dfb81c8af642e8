// Formatting of the program's texts with arguments, printf-style.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "lang/string_table.h"

namespace velkaro {

// One argument of a formatted text: a text, a 32-bit integer or one character.
class LangArg {
 public:
  LangArg(std::u16string_view text) : value_(text) {}
  LangArg(const char16_t* text) : value_(std::u16string_view(text)) {}
  LangArg(const std::u16string& text) : value_(std::u16string_view(text)) {}
  LangArg(std::int32_t number) : value_(number) {}
  LangArg(char16_t character) : value_(character) {}

  const std::u16string_view* text() const { return std::get_if<std::u16string_view>(&value_); }
  const std::int32_t* number() const { return std::get_if<std::int32_t>(&value_); }
  const char16_t* character() const { return std::get_if<char16_t>(&value_); }

 private:
  std::variant<std::u16string_view, std::int32_t, char16_t> value_;
};

// Replaces the directives of `pattern` by `args`, taken in order:
//   %s  a text, or a character as itself
//   %d  an integer in decimal, a minus sign when negative, no grouping
//   %x  an integer in upper-case hexadecimal (two's complement when negative)
//   %%  a percent sign, takes no argument
// Each directive may carry, between "%" and its letter, an argument index and ":"
// (later directives go on from that index), "-" for left alignment, a width, and "."
// with a precision (the most characters of a text, the fewest digits of a number).
// Returns nothing when the pattern cannot be formatted with these arguments: an
// argument is missing or of the wrong kind, the letter is unknown, or a width or
// precision is unreasonably large.
std::optional<std::u16string> FormatDirectives(std::u16string_view pattern,
                                               std::span<const LangArg> args);

// The current text of `id` formatted with `args`; "#<id>. !Bad format string!" when
// that text cannot be formatted with them. Never fails towards the caller.
std::u16string LangFormat(TextId id, std::initializer_list<LangArg> args);
std::u16string LangFormat(TextId id, std::span<const LangArg> args);

}  // namespace velkaro
