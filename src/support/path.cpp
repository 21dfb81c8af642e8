#include "support/path.h"

#include <cstddef>

#include "support/lower_case.h"

namespace velkaro {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// "*" matches any run, "?" one unit, every other unit matches through the lower-case
// table. Greedy with one backtrack point: linear in practice, never exponential.
bool MatchesWildcard(std::u16string_view text, std::u16string_view pattern) {
  std::size_t t = 0;
  std::size_t p = 0;
  std::size_t star = std::u16string_view::npos;
  std::size_t star_text = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      star_text = t;
    } else if (p < pattern.size() &&
               (pattern[p] == u'?' || LowerCaseUnit(pattern[p]) == LowerCaseUnit(text[t]))) {
      ++p;
      ++t;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      t = ++star_text;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

// Splits at the last "."; a text without one has an empty extension.
void SplitAtLastDot(std::u16string_view text, std::u16string_view& stem, std::u16string_view& ext) {
  const std::size_t dot = text.rfind(u'.');
  if (dot == std::u16string_view::npos) {
    stem = text;
    ext = {};
  } else {
    stem = text.substr(0, dot);
    ext = text.substr(dot + 1);
  }
}

bool MatchesPattern(std::u16string_view name, std::u16string_view pattern) {
  if (pattern.find(u'.') == std::u16string_view::npos) return MatchesWildcard(name, pattern);
  std::u16string_view pattern_stem, pattern_ext, name_stem, name_ext;
  SplitAtLastDot(pattern, pattern_stem, pattern_ext);
  SplitAtLastDot(name, name_stem, name_ext);
  return MatchesWildcard(name_stem, pattern_stem) && MatchesWildcard(name_ext, pattern_ext);
}

}  // namespace

void IncludeTrailingBackslash(std::u16string& text) {
  if (text.size() < 2 || text.back() != u'\\') text.push_back(u'\\');
}

std::u16string_view FolderOfPath(std::u16string_view path, std::u16string_view delimiters) {
  const std::size_t last = path.find_last_of(delimiters);
  return last == std::u16string_view::npos ? std::u16string_view{} : path.substr(0, last + 1);
}

std::u16string FileTitle(std::u16string_view path) {
  std::size_t end = path.size();
  bool dot_seen = false;
  std::size_t i = path.size();
  while (i > 0) {
    const char16_t c = path[i - 1];
    if (IsSeparator(c)) break;
    if (c == u'.' && !dot_seen) {
      dot_seen = true;
      end = i - 1;
    }
    --i;
  }
  return std::u16string(path.substr(i, end - i));
}

bool MakeValidFileName(std::u16string& text) {
  bool unchanged = true;
  for (char16_t& c : text) {
    if (c < 32 || c == u'*' || c == u'/' || c == u':' || c == u'<' || c == u'>' || c == u'?' ||
        c == u'\\' || c == u'|') {
      c = u' ';
      unchanged = false;
    } else if (c == u'"') {
      c = u'\'';
      unchanged = false;
    }
  }
  return unchanged;
}

bool MatchesFileMask(std::u16string_view name, std::u16string_view mask) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t semicolon = mask.find(u';', start);
    const std::u16string_view pattern = mask.substr(start, semicolon - start);
    if (MatchesPattern(name, pattern)) return true;
    if (semicolon == std::u16string_view::npos) return false;
    start = semicolon + 1;
  }
}

}  // namespace velkaro
