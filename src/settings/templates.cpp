#include "settings/templates.h"

#include <utility>

#include "support/path.h"
#include "support/text.h"

namespace velkaro {

TTemplates::TTemplates(TSettingsStore& store, TMenuChanged menu_changed)
    : store_(store), menu_changed_(std::move(menu_changed)) {}

TTemplateMenu TTemplates::Menu() const {
  TTemplateMenu menu;
  menu.empty_list_visible = names_.empty();
  for (std::size_t i = 0; i < names_.size(); ++i) {
    menu.items.push_back({names_[i], static_cast<int>(i), SameTextCI(names_[i], latest_)});
  }
  return menu;
}

void TTemplates::CheckRefreshTemplates() {
  if (!loaded_) RefreshTemplates();
}

void TTemplates::RefreshTemplates() {
  names_.clear();
  latest_ = ReadSetting(store_, settings::LatestTempl);
  if (auto names = store_.ListSettingSubkeys(kTemplatesSuffix)) names_ = std::move(*names);
  loaded_ = true;
  MenuChanged();
}

TTemplateSaveResult TTemplates::SaveTemplate(std::u16string_view name, const TRunSettings& run) {
  TTemplateSaveResult result;
  result.name = name;
  MakeValidFileName(result.name);
  result.settings_saved = SaveRunSettings(store_, {}, run);
  if (result.name.empty()) return result;
  result.outcome = SaveRunSettings(store_, TemplateSuffix(result.name), run)
                       ? TTemplateSave::tsSaved
                       : TTemplateSave::tsSaveError;
  SetLatestTemplate(result.name);
  RefreshTemplates();
  return result;
}

void TTemplates::DeleteTemplate(std::u16string_view name) {
  if (!name.empty() && name.find(u'\\') == std::u16string_view::npos) {
    store_.RemoveSettingKey(TemplateSuffix(name));
  }
  RefreshTemplates();
}

void TTemplates::SetLatestTemplate(std::u16string_view name) {
  store_.WriteSettingText(settings::LatestTempl.name, name, {});
  latest_ = name;
  MenuChanged();
}

bool TTemplates::TemplateItemClick(int tag, const TListCounts& counts,
                                   TRunSettingsTarget& target) {
  if (tag < 0 || static_cast<std::size_t>(tag) >= names_.size()) return false;
  const std::u16string name = names_[static_cast<std::size_t>(tag)];
  SetLatestTemplate(name);
  LoadRunSettings(store_, TemplateSuffix(name), counts, target);
  return true;
}

std::u16string TTemplates::LatestTemplate() { return ReadSetting(store_, settings::LatestTempl); }

void TTemplates::MenuChanged() {
  if (menu_changed_) menu_changed_(Menu());
}

}  // namespace velkaro
