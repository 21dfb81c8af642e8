#include "ui/win32/templates_menu.h"

#include <string>
#include <utility>

#include "lang/string_table.h"
#include "platform/win32/wide.h"
#include "ui/win32/controls.h"
#include "ui/win32/main_window_ids.h"
#include "ui/win32/template_dialog.h"

namespace velkaro::win32 {
namespace {

using namespace main_window;

// Items before the templates: Save, Delete, a separator and "(empty list)".
constexpr UINT kFixedItems = 4;
constexpr UINT kEmptyListPosition = 3;

}  // namespace

TTemplatesMenu::TTemplatesMenu(TSettingsStore& store, HWND owner, HMENU submenu, Host host)
    : owner_(owner),
      submenu_(submenu),
      host_(std::move(host)),
      templates_(store, [this](const TTemplateMenu& menu) { ShowMenu(menu); }) {}

void TTemplatesMenu::ApplyTexts() {
  const Menu menu(submenu_);
  menu.SetCaption(kMiEmptyList, LangText(TextId::MenuEmptyList));
}

void TTemplatesMenu::ShowEmptyList(bool visible) {
  const bool shown = ::GetMenuState(submenu_, kMiEmptyList, MF_BYCOMMAND) != static_cast<UINT>(-1);
  if (visible == shown) return;
  if (visible) {
    const std::wstring caption = platform::ToWide(LangText(TextId::MenuEmptyList));
    ::InsertMenuW(submenu_, kEmptyListPosition, MF_BYPOSITION | MF_STRING | MF_GRAYED,
                  kMiEmptyList, caption.c_str());
  } else {
    // A menu cannot hide an item: it goes while there are templates.
    ::DeleteMenu(submenu_, kMiEmptyList, MF_BYCOMMAND);
  }
}

void TTemplatesMenu::ShowMenu(const TTemplateMenu& menu) {
  ShowEmptyList(menu.empty_list_visible);
  const UINT first = menu.empty_list_visible ? kFixedItems : kFixedItems - 1;
  while (::GetMenuItemCount(submenu_) > static_cast<int>(first)) {
    ::DeleteMenu(submenu_, first, MF_BYPOSITION);
  }
  int bold = -1;
  for (const TTemplateMenuItem& item : menu.items) {
    if (item.tag < 0 || kMiTemplateFirst + item.tag > kMiTemplateLast) continue;
    const UINT id = static_cast<UINT>(kMiTemplateFirst + item.tag);
    ::AppendMenuW(submenu_, MF_STRING, id, platform::ToWide(item.caption).c_str());
    if (item.bold) bold = static_cast<int>(id);
  }
  // One default item per menu, drawn in bold: the latest template.
  ::SetMenuDefaultItem(submenu_, bold < 0 ? static_cast<UINT>(-1) : static_cast<UINT>(bold), FALSE);
}

void TTemplatesMenu::miTemplsClick() { templates_.CheckRefreshTemplates(); }

bool TTemplatesMenu::OnCommand(int id) {
  if (id == kMiSaveSet) {
    settingsSaveOrDel(true);
    return true;
  }
  if (id == kMiDelSet) {
    settingsSaveOrDel(false);
    return true;
  }
  if (id >= kMiTemplateFirst && id <= kMiTemplateLast) {
    TemplateItemClick(id - kMiTemplateFirst);
    return true;
  }
  return false;
}

void TTemplatesMenu::settingsSaveOrDel(bool iIsSave) {
  TfmTempl dialog;
  TfmTempl::Source source{
      [this] {
        templates_.CheckRefreshTemplates();
        return templates_.TemplateNames();
      },
      [this] { return templates_.LatestTemplate(); }};
  if (!dialog.Construct(owner_, iIsSave, std::move(source))) return;
  if (dialog.ShowModal(owner_) != IDOK) return;
  const std::u16string name = dialog.TemplateName();
  if (!iIsSave) {
    templates_.DeleteTemplate(name);
    return;
  }
  const TTemplateSaveResult result = templates_.SaveTemplate(name, host_.run_settings());
  if (result.outcome == TTemplateSave::tsSaveError && host_.show_message) {
    host_.show_message(LangText(TextId::SaveError));
  }
}

void TTemplatesMenu::TemplateItemClick(int tag) {
  TLoadedSettings loaded = host_.loaded_now();
  TLoadedSettingsTarget target(loaded);
  try {
    if (!templates_.TemplateItemClick(tag, host_.counts(), target)) return;
  } catch (...) {
    // The inputs keep what was read before the value that failed.
    host_.apply(loaded);
    throw;
  }
  host_.apply(loaded);
}

}  // namespace velkaro::win32
