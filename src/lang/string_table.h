// The program's string table: every text the user sees, by id, with the English
// text built in and a translation that a language file may supply.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velkaro {

// The ids of the program's texts. The enumerator's value is the text's id.
enum class TextId : std::int64_t {
#define VELKARO_TEXT(name, id, text) name = (id),
#include "lang/text_list.inc"
#undef VELKARO_TEXT
};

struct TLangRecord {
  std::int64_t Id;
  std::u16string_view Text;   // English; never changes
  std::u16string Translated;  // empty: no translation
};

inline constexpr std::size_t kLangTableSize = 0
#define VELKARO_TEXT(name, id, text) +1
#include "lang/text_list.inc"
#undef VELKARO_TEXT
    ;
static_assert(kLangTableSize <= 256, "a table position must fit in 8 bits");

// The whole table, in ascending id order.
std::span<const TLangRecord> LangTable();

// Maps a number read from outside (a language file, a test) to its text id.
std::optional<TextId> TextIdFromNumber(std::int64_t id);

// The translation when there is one, otherwise the English text.
std::u16string_view LangText(TextId id);

// Empties every translation: all texts are English again.
void ClearTranslations();

// Looks for `id` from table position `position` on. When found, stores `text` as its
// translation, moves `position` behind the entry and returns true; otherwise changes
// nothing. A file that lists its ids in ascending order is thus read in one pass.
bool SetTranslation(std::size_t& position, std::int64_t id, std::u16string text);

}  // namespace velkaro
