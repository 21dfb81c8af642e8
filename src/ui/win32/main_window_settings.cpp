// What the main window keeps between runs and shares with its clones: the run
// parameters and options in the settings store, the clone's command line, and the
// language chosen in the Language menu.
#include <windows.h>

#include "lang/string_table.h"
#include "settings/run_settings.h"
#include "settings/templates.h"
#include "ui/win32/main_window.h"
#include "ui/win32/main_window_ids.h"
#include "ui/win32/screen.h"

namespace velkaro::win32 {
namespace {

using namespace main_window;

// RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME
constexpr UINT kPinRedraw = 0x785;

}  // namespace

TRunInputs TfmMain::ReadInputs() const {
  return {InputText(TMainInput::edStPause), InputText(TMainInput::edTime),
          ItemIndex(TMainInput::cbPriority), ItemIndex(TMainInput::cbPriorClass),
          ItemIndex(TMainInput::cbStyle),    InputText(TMainInput::edThreads)};
}

TListCounts TfmMain::ListCounts() const {
  return {ComboBox(Control(kCbPriority)).Count(), ComboBox(Control(kCbPriorClass)).Count(),
          ComboBox(Control(kCbStyle)).Count()};
}

TLoadedSettings TfmMain::LoadedNow() const {
  return {RunSettingsOfInputs(ReadInputs()), {compact_checked_, auto_pin_checked_}};
}

void TfmMain::SetOptionTicks(const TWindowOptions& options) {
  compact_checked_ = options.compact;
  auto_pin_checked_ = options.auto_pin;
  const Menu menu(::GetMenu(Handle()));
  menu.SetChecked(kMiCompact, compact_checked_);
  menu.SetChecked(kMiAutoPin, auto_pin_checked_);
}

void TfmMain::ApplyLoaded(const TLoadedSettings& loaded) {
  const TRunInputs inputs = InputsOfRunSettings(loaded.run);
  // Setting a text runs the field's change handler; the count is already bounded.
  Window(Control(kEdStPause)).SetText(inputs.pause_text);
  Window(Control(kEdTime)).SetText(inputs.time_text);
  ComboBox(Control(kCbPriority)).SetItemIndex(inputs.priority_index);
  ComboBox(Control(kCbPriorClass)).SetItemIndex(inputs.class_index);
  ComboBox(Control(kCbStyle)).SetItemIndex(inputs.rhythm_index);
  Window(Control(kEdThreads)).SetText(inputs.threads_text);
  SetOptionTicks(loaded.options);
}

void TfmMain::ReadCommandLineSettings() {
  command_line_ = velkaro::ReadCommandLineSettings(arguments_, ListCounts(),
                                                   MonitorRectOfWindow(Handle()));
}

void TfmMain::LoadRunSettings() {
  if (command_line_) {
    ApplyLoaded({command_line_->run, command_line_->options});
    if (command_line_->pin) {
      SpeedButton(Control(kSbPin)).SetDown(true);
      sbPinClick();
    }
    return;
  }
  TLoadedSettings loaded = LoadedNow();
  try {
    velkaro::LoadRunSettings(*store_, u"", ListCounts(), loaded);
  } catch (...) {
    // The inputs keep what was read before the value that failed; the error goes on to
    // the application's handler, and the program with it.
    ApplyLoaded(loaded);
    throw;
  }
  ApplyLoaded(loaded);
  // The field that got the focus at the first show is ready to be typed over again.
  for (const int id : {kEdStPause, kEdTime, kEdThreads}) {
    if (::GetFocus() == Control(id)) Edit(Control(id)).SelectAll();
  }
}

void TfmMain::SaveRunSettings() {
  if (store_ && Control(kEdStPause) != nullptr) {
    velkaro::SaveRunSettings(*store_, u"", RunSettingsOfInputs(ReadInputs()));
  }
}

void TfmMain::miRestoreClick() {
  ApplyLoaded({TRunSettings{}, LoadedNow().options});
  // No template is the latest any more; the values reach the store with the next save.
  templates_menu_->Templates().SetLatestTemplate(u"");
}

void TfmMain::miCompactClick() {
  SetOptionTicks({!compact_checked_, auto_pin_checked_});
  store_->WriteSettingNumber(settings::Compact.name, compact_checked_ ? 1 : 0, u"");
}

void TfmMain::miAutoPinClick() {
  SetOptionTicks({compact_checked_, !auto_pin_checked_});
  store_->WriteSettingNumber(settings::AutoPin.name, auto_pin_checked_ ? 1 : 0, u"");
}

void TfmMain::sbPinClick() {
  SetWindowTopmost(Handle(), SpeedButton(Control(kSbPin)).IsDown());
  ::RedrawWindow(Handle(), nullptr, nullptr, kPinRedraw);
}

void TfmMain::ReloadLanguage() {
  lang_loader_.ReloadLanguage(ReadSetting(*store_, settings::LangCode));
}

void TfmMain::BuildLanguageMenu() {
  lang_menu_.BuildLanguageMenu(FindLanguageFiles(lang_loader_.Folders()),
                               lang_loader_.ActiveLangCode());
  const Menu lang(::GetSubMenu(::GetMenu(Handle()), kMiLang));
  for (std::size_t k = 1; k < lang_menu_.Count(); ++k) {
    const int id = kMiLangFirst + static_cast<int>(k) - 1;
    if (id > kMiLangLast) break;
    lang.AppendItem(static_cast<UINT>(id), lang_menu_.Item(k).Caption);
  }
  RefreshLanguageChecks();
}

void TfmMain::RefreshLanguageChecks() {
  lang_menu_.RefreshLanguageChecks(lang_loader_.ActiveLangCode());
  const HMENU popup = ::GetSubMenu(::GetMenu(Handle()), kMiLang);
  UINT default_item = static_cast<UINT>(-1);
  for (std::size_t k = 0; k < lang_menu_.Count(); ++k) {
    const UINT id = k == 0 ? static_cast<UINT>(kMiDefaultLang)
                           : static_cast<UINT>(kMiLangFirst + static_cast<int>(k) - 1);
    const bool checked = lang_menu_.Item(k).Checked;
    Menu(popup).SetChecked(id, checked);
    if (checked) default_item = id;
  }
  ::SetMenuDefaultItem(popup, default_item, FALSE);
}

void TfmMain::LanguageItemClick(std::size_t item) {
  if (const auto code = lang_menu_.LanguageItemClick(item)) {
    store_->WriteSettingText(settings::LangCode.name, *code, u"");
  }
  // Read back, so that the language loaded is the one the settings hold.
  ReloadLanguage();
  RefreshLanguageChecks();
  ApplyTexts(false);
}

}  // namespace velkaro::win32
