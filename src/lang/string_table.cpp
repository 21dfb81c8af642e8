#include "lang/string_table.h"

#include <array>

namespace velkaro {
namespace {

constexpr std::int64_t kMaxId = 800;

std::array<TLangRecord, kLangTableSize> g_table = {{
#define VELKARO_TEXT(name, id, text) {(id), text, {}},
#include "lang/text_list.inc"
#undef VELKARO_TEXT
}};

constexpr bool IdsAscendInRange() {
  constexpr std::array<std::int64_t, kLangTableSize> ids = {
#define VELKARO_TEXT(name, id, text) (id),
#include "lang/text_list.inc"
#undef VELKARO_TEXT
  };
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (ids[i] < 1 || ids[i] > kMaxId) return false;
    if (i > 0 && ids[i] <= ids[i - 1]) return false;
  }
  return true;
}
static_assert(IdsAscendInRange(), "text ids must ascend and lie between 1 and 800");

// Position of each id in the table; kNoPosition where no entry has that id.
constexpr std::uint8_t kNoPosition = 0xFF;
constexpr auto kPositionOfId = [] {
  std::array<std::uint8_t, kMaxId + 1> positions{};
  positions.fill(kNoPosition);
  std::uint8_t position = 0;
#define VELKARO_TEXT(name, id, text) positions[(id)] = position++;
#include "lang/text_list.inc"
#undef VELKARO_TEXT
  return positions;
}();

TLangRecord& RecordOf(TextId id) {
  return g_table[kPositionOfId[static_cast<std::size_t>(id)]];
}

}  // namespace

std::span<const TLangRecord> LangTable() { return g_table; }

std::optional<TextId> TextIdFromNumber(std::int64_t id) {
  if (id < 1 || id > kMaxId) return std::nullopt;
  if (kPositionOfId[static_cast<std::size_t>(id)] == kNoPosition) return std::nullopt;
  return static_cast<TextId>(id);
}

std::u16string_view LangText(TextId id) {
  const TLangRecord& record = RecordOf(id);
  return record.Translated.empty() ? record.Text : std::u16string_view(record.Translated);
}

void ClearTranslations() {
  for (TLangRecord& record : g_table) record.Translated.clear();
}

bool SetTranslation(std::size_t& position, std::int64_t id, std::u16string text) {
  for (std::size_t p = position; p < g_table.size(); ++p) {
    if (g_table[p].Id == id) {
      g_table[p].Translated = std::move(text);
      position = p + 1;
      return true;
    }
  }
  return false;
}

}  // namespace velkaro
