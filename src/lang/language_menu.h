// The Language menu as data: "Default English", then one item per language file, the
// item of the active language ticked and shown as the default item.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language_file.h"

namespace velkaro {

// The caption of item 0; not a text of the string table.
inline constexpr std::u16string_view kDefaultEnglish = u"Default English";

class TLanguageMenu {
 public:
  struct TItem {
    std::u16string Caption;
    bool Checked = false;  // ticked and the default (bold) item
  };

  // Item 0 "Default English", then one item per file in the given order, captioned
  // with the file's display name or, when it has none, its code.
  void BuildLanguageMenu(std::span<const TLanguageFile> files, std::u16string_view active_code);
  // Ticks the item of `active_code` (compared without regard to letter case): item 0
  // for the empty code, none for a code that no listed file has.
  void RefreshLanguageChecks(std::u16string_view active_code);
  // The code that item `item` stands for: empty for item 0; nothing past the last item.
  std::optional<std::u16string> LanguageItemClick(std::size_t item) const;

  std::size_t Count() const { return items_.size(); }
  // Item `item`, 0-based; throws std::out_of_range past the last one.
  const TItem& Item(std::size_t item) const { return items_.at(item); }
  // The codes of items 1 and on, in order.
  const std::vector<std::u16string>& FLangCodesList() const { return codes_; }

 private:
  std::vector<TItem> items_;
  std::vector<std::u16string> codes_;
};

}  // namespace velkaro
