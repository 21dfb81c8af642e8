// Path and file-name routines that need no operating system.
#pragma once

#include <string>
#include <string_view>

namespace velkaro {

// Appends "\" unless the text is at least two characters long and ends in "\".
void IncludeTrailingBackslash(std::u16string& text);
// Everything up to and including the last of `delimiters`; empty when there is none.
std::u16string_view FolderOfPath(std::u16string_view path, std::u16string_view delimiters);
// The file name without folder and extension.
std::u16string FileTitle(std::u16string_view path);
// Replaces control characters and * / : < > ? \ | by a blank and '"' by "'"; true
// when nothing had to be replaced.
bool MakeValidFileName(std::u16string& text);
// True when `name` matches one of the ";"-separated patterns of `mask` (* and ?,
// letters compared through the lower-case table, extension matched separately).
bool MatchesFileMask(std::u16string_view name, std::u16string_view mask);

}  // namespace velkaro
