// The stress templates: named copies of the run settings under "\Templates\", the
// list the template submenu shows, and which of them was saved or applied last.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/run_settings.h"
#include "settings/settings_store.h"

namespace velkaro {

// What the template submenu shows after its fixed items: one item per template, the
// latest in bold; "(empty list)" only while there is none.
struct TTemplateMenuItem {
  std::u16string caption;
  int tag = 0;  // position of the name in TemplateNames()
  bool bold = false;
  friend bool operator==(const TTemplateMenuItem&, const TTemplateMenuItem&) = default;
};
struct TTemplateMenu {
  std::vector<TTemplateMenuItem> items;
  bool empty_list_visible = true;
};

enum class TTemplateSave {
  tsSettingsOnly,  // empty name: only the settings key was written
  tsSaved,
  tsSaveError,     // the template key could not be written: show "Save error!"
};

struct TTemplateSaveResult {
  std::u16string name;  // as stored, after MakeValidFileName
  bool settings_saved = false;
  TTemplateSave outcome = TTemplateSave::tsSettingsOnly;
};

class TTemplates {
 public:
  // `menu_changed` runs whenever the submenu's items or their bold mark change.
  using TMenuChanged = std::function<void(const TTemplateMenu&)>;
  explicit TTemplates(TSettingsStore& store, TMenuChanged menu_changed = {});

  bool TemplatesLoaded() const { return loaded_; }
  const std::vector<std::u16string>& TemplateNames() const { return names_; }
  TTemplateMenu Menu() const;

  // The first opening of the submenu or the dialog builds the list; later ones reuse it.
  void CheckRefreshTemplates();
  // Reads the names in the store's order and the latest name again.
  void RefreshTemplates();
  // Saves `run` as the settings, then, unless the name is empty, as the template of
  // that name (through MakeValidFileName, overwriting one of the same name), marks it
  // as the latest and rebuilds the list, also after a save error. A value the store
  // refuses throws TSettingsError and the later steps do not run.
  TTemplateSaveResult SaveTemplate(std::u16string_view name, const TRunSettings& run);
  // Removes the template with everything below it (a missing one is no error) and
  // rebuilds the list; LatestTempl stays as it was. An empty name, or one with "\"
  // that would address another key, removes nothing.
  void DeleteTemplate(std::u16string_view name);
  // Stores LatestTempl (empty: none) and moves the bold mark.
  void SetLatestTemplate(std::u16string_view name);
  // Applies the template of the item with `tag`: marks it as the latest and loads its
  // run settings into `target` as LoadRunSettings does. False for a tag that names no
  // template; nothing happens then.
  bool TemplateItemClick(int tag, const TListCounts& counts, TRunSettingsTarget& target);
  // The name the save dialog offers: LatestTempl as stored.
  std::u16string LatestTemplate();

 private:
  void MenuChanged();

  TSettingsStore& store_;
  TMenuChanged menu_changed_;
  std::vector<std::u16string> names_;
  std::u16string latest_;
  bool loaded_ = false;
};

}  // namespace velkaro
