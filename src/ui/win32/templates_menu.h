// The "Stress templates" submenu of the main window: its fixed items, one item per
// template with the latest in bold, and the save and delete dialogs behind it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string_view>

#include "settings/templates.h"

namespace velkaro::win32 {

// Menu ids of the template items: the first one plus the template's position.
inline constexpr int kMiTemplateFirst = 2000;
inline constexpr int kMiTemplateLast = 2999;

class TTemplatesMenu {
 public:
  // What the submenu needs of the main window.
  struct Host {
    // The run values the inputs show now.
    std::function<TRunSettings()> run_settings;
    // The inputs and options as they are, for a load that stops half-way.
    std::function<TLoadedSettings()> loaded_now;
    // Puts loaded values into the inputs and ticks the options.
    std::function<void(const TLoadedSettings&)> apply;
    // How many items the three lists hold now.
    std::function<TListCounts()> counts;
    std::function<void(std::u16string_view)> show_message;
  };

  // `submenu` is the templates' popup of the window's menu, which owns it.
  TTemplatesMenu(TSettingsStore& store, HWND owner, HMENU submenu, Host host);

  TTemplates& Templates() { return templates_; }
  HMENU Submenu() const { return submenu_; }

  // The texts of the fixed items in the current language.
  void ApplyTexts();
  // The submenu is about to open (miTemplsClick): the first opening builds the list.
  void miTemplsClick();
  // A command of the submenu; false when `id` is none of its items.
  bool OnCommand(int id);
  // Runs the dialog and saves (`iIsSave`) or deletes a template.
  void settingsSaveOrDel(bool iIsSave);

 private:
  void ShowMenu(const TTemplateMenu& menu);
  void TemplateItemClick(int tag);
  void ShowEmptyList(bool visible);

  HWND owner_;
  HMENU submenu_;
  Host host_;
  TTemplates templates_;
};

}  // namespace velkaro::win32
