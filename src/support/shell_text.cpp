#include "support/shell_text.h"

#include <algorithm>
#include <cstddef>

namespace velkaro {
namespace {

// Characters the command interpreter treats specially or that split arguments.
bool NeedsQuotes(char16_t c) {
  return c <= u' ' || c == u'&' || c == u'(' || c == u',' || c == u';' || c == u'=' || c == u'^';
}

}  // namespace

std::u16string QuoteIfNeeded(std::u16string_view text) {
  if (!text.empty() && text.front() == u'"') return std::u16string(text);
  if (std::none_of(text.begin(), text.end(), NeedsQuotes)) return std::u16string(text);
  std::u16string quoted;
  quoted.reserve(text.size() + 2);
  quoted.push_back(u'"');
  quoted.append(text);
  quoted.push_back(u'"');
  return quoted;
}

CommandLineParts SplitCommandLine(std::u16string_view command_line) {
  bool inside_quotes = false;
  for (std::size_t i = 0; i < command_line.size(); ++i) {
    const char16_t c = command_line[i];
    if (c == u'"') {
      inside_quotes = !inside_quotes;
    } else if (c == u' ' && !inside_quotes) {
      return {std::u16string(command_line.substr(0, i)),
              std::u16string(command_line.substr(i + 1))};
    }
  }
  return {std::u16string(command_line), {}};
}

}  // namespace velkaro
