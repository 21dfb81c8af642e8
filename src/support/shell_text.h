// Text rules for command lines handed to the shell.
#pragma once

#include <string>
#include <string_view>

namespace velkaro {

// Puts `text` between double quotes when it holds a control character, a blank or one
// of & ( , ; = ^, unless it already starts with a double quote.
std::u16string QuoteIfNeeded(std::u16string_view text);

struct CommandLineParts {
  std::u16string file;        // quotes kept
  std::u16string parameters;  // empty when there are none
};
// Splits at the first blank outside double quotes.
CommandLineParts SplitCommandLine(std::u16string_view command_line);

}  // namespace velkaro
