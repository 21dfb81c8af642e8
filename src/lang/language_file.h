// Language files: UTF-16 little-endian text files named "<code>.lng" whose lines
// "<id>=<text>" replace the English texts of the string table.
//
// Encoding rule. Only UTF-16 little-endian is read; a file in another encoding is
// rejected whole (no texts, no display name, so the menu shows its code). The first
// kLanguageNameBytes bytes decide, so the menu and the loader always agree:
// - FF FE at the start: UTF-16 LE, unless 00 00 follows (that is UTF-32 LE);
// - FE FF (UTF-16 BE), EF BB BF (UTF-8) or 00 00 FE FF (UTF-32 BE) at the start: rejected;
// - no byte-order mark: UTF-16 LE only when more units lie in U+0001..U+00FF than have
//   the form U+xx00 (xx not 0). Every line of a language file has ASCII digits, "="
//   and line breaks, which are units of the first kind in UTF-16 LE. Text in UTF-8 or
//   any 8-bit code has no zero byte at all, so it has neither kind and is rejected;
//   UTF-16 BE gives units of the second kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro {

// Most of a language file that is read.
inline constexpr std::uint64_t kLanguageFileBytes = 10485760;
// Part of a language file read for its display name, and for the encoding decision.
inline constexpr std::uint64_t kLanguageNameBytes = 10240;

// What the language code needs from the file system; tests give their own.
class LangFileAccess {
 public:
  virtual ~LangFileAccess() = default;
  // At most `limit` bytes from the start of the file; false when it cannot be read.
  virtual bool ReadBytes(std::u16string_view path, std::uint64_t limit,
                         std::vector<std::uint8_t>& bytes) const = 0;
  // Full paths of the "*.lng" files of `folder` (which ends in its delimiter), in the
  // order of the folder listing; empty when the folder cannot be listed.
  virtual std::vector<std::u16string> ListLanguageFiles(std::u16string_view folder) const = 0;
};

// The running system's files.
const LangFileAccess& SystemLangFileAccess();

// True when the head of a file's bytes is UTF-16 LE by the rule above.
bool LooksLikeUtf16Le(std::span<const std::uint8_t> bytes);
// The bytes (an odd last byte dropped) as UTF-16 LE units, a byte-order mark kept as
// the first character; nothing when the encoding rule rejects them.
std::optional<std::u16string> DecodeLanguageBytes(std::span<const std::uint8_t> bytes);

// A text line: digits at the very start, "=", and a raw text of at least one
// character. The raw text views the line.
struct TLangTextLine {
  std::int64_t Id = 0;
  std::u16string_view Raw;
};
// The line as a text line; nothing for any other line, for id 0 and for an empty text.
// An id too long for any table entry comes back as -1, which no entry has.
std::optional<TLangTextLine> ParseTextLine(std::u16string_view line);
// UnescapeText, then a pair of outer apostrophes removed (keeps blanks at the ends).
std::u16string TranslationFromRaw(std::u16string_view raw);
// Stores the translations of every text line of `text` in the string table, searching
// forward from the entry matched last; returns how many were stored.
std::size_t ApplyLanguageText(std::u16string_view text);

// The display name in decoded text: its first line without a leading U+FEFF and
// without characters below 33 at both ends.
std::u16string LanguageNameOfText(std::u16string_view text);
// The display name from the first kLanguageNameBytes of the file; empty when the file
// cannot be read, is in another encoding or its first line is empty.
std::u16string ReadLanguageName(std::u16string_view path,
                                const LangFileAccess& access = SystemLangFileAccess());

// One language file found in the language folders.
struct TLanguageFile {
  std::u16string Code;  // the file's title: name without folder and ".lng"
  std::u16string Path;
  std::u16string Name;  // display name; empty when the file gives none
};

// The "*.lng" files of `folders`, folder by folder, each in listing order. A code met
// again in a later folder, or in another letter case, is left out: the earlier file
// hides it, as the menu could not tell the two apart.
std::vector<TLanguageFile> FindLanguageFiles(std::span<const std::u16string> folders,
                                             const LangFileAccess& access = SystemLangFileAccess());

// The file of `code`: the first folder holding a "*.lng" file with that title, in the
// exact letter case when there is one, else in any case. Only listed files qualify,
// so a code never leads outside the language folders.
std::optional<std::u16string> FindLanguageFile(std::span<const std::u16string> folders,
                                               std::u16string_view code,
                                               const LangFileAccess& access = SystemLangFileAccess());

enum class TLangLoad {
  llUnchanged,      // the active code is already loaded
  llEnglish,        // the empty code
  llMissing,        // no file for the code, or it cannot be read or is empty
  llOtherEncoding,  // the file is not UTF-16 LE
  llLoaded,         // the file's texts are in the table (possibly none)
};

// The chosen language and the one whose texts are in the string table.
class TLanguageLoader {
 public:
  explicit TLanguageLoader(std::vector<std::u16string> folders,
                           const LangFileAccess& access = SystemLangFileAccess());

  const std::vector<std::u16string>& Folders() const { return folders_; }
  // The chosen code; empty for English.
  const std::u16string& ActiveLangCode() const { return active_; }
  // The code whose texts are in the table now; empty at start.
  const std::u16string& LoadedLangCode() const { return loaded_; }

  // Loads the active code's texts unless exactly that code is loaded already.
  TLangLoad LoadLanguage();
  // Makes the stored code the active one, then LoadLanguage.
  TLangLoad ReloadLanguage(std::u16string_view stored_code);

 private:
  std::vector<std::u16string> folders_;
  const LangFileAccess* access_;
  std::u16string active_;
  std::u16string loaded_;
};

}  // namespace velkaro
