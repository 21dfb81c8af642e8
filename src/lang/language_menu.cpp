#include "lang/language_menu.h"

#include "support/text.h"

namespace velkaro {

void TLanguageMenu::BuildLanguageMenu(std::span<const TLanguageFile> files,
                                      std::u16string_view active_code) {
  items_.clear();
  codes_.clear();
  items_.push_back({std::u16string(kDefaultEnglish), false});
  for (const TLanguageFile& file : files) {
    codes_.push_back(file.Code);
    items_.push_back({file.Name.empty() ? file.Code : file.Name, false});
  }
  RefreshLanguageChecks(active_code);
}

void TLanguageMenu::RefreshLanguageChecks(std::u16string_view active_code) {
  if (items_.empty()) return;
  items_[0].Checked = active_code.empty();
  for (std::size_t i = 0; i < codes_.size(); ++i) {
    items_[i + 1].Checked = !active_code.empty() && SameTextCI(codes_[i], active_code);
  }
}

std::optional<std::u16string> TLanguageMenu::LanguageItemClick(std::size_t item) const {
  if (item == 0) return std::u16string();
  if (item <= codes_.size()) return codes_[item - 1];
  return std::nullopt;
}

}  // namespace velkaro
