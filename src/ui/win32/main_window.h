// TfmMain: the program's main window. It builds the form and the load chart, carries
// out what TMainLogic decides, hosts the CPU meter and hands the window's timers, keys
// and close to the logic.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language_file.h"
#include "lang/language_folders.h"
#include "lang/language_menu.h"
#include "meter/usage_meter.h"
#include "settings/run_settings.h"
#include "settings/settings_store.h"
#include "ui/main/compact_mode.h"
#include "ui/main/main_logic.h"
#include "ui/main/main_view.h"
#include "ui/win32/chart_panel.h"
#include "ui/win32/compact_window.h"
#include "ui/win32/controls.h"
#include "ui/win32/form.h"
#include "ui/win32/hint_window.h"
#include "ui/win32/taskbar.h"
#include "ui/win32/templates_menu.h"

namespace velkaro::win32 {

// Private message that the window posts itself once it has been shown; its handler is
// where the saved run parameters are loaded.
inline constexpr UINT kFirstShowMessage = WM_USER + 1;

// Sets `handler` as the mouse-down handler of every child of `parent` at any depth,
// except the `excluded` windows and windows whose class is exactly one of
// `excluded_classes`; the children of an excluded window are still visited.
void SetChildrenMouseDown(HWND parent, const MouseDownHandler& handler,
                          std::span<const std::wstring_view> excluded_classes,
                          std::span<const HWND> excluded);

// Replaces the items of a drop-down list, keeping the selected position; no change
// notification is sent.
void ReplaceComboItems(ComboBox combo, std::span<const std::u16string_view> texts);

class TfmMain final : public TForm, public TMainView, public TUsageMeterHost {
 public:
  // `taskbar` outlives the window. `arguments` are the program's parameters after its
  // own name: exactly eleven make it a clone of another window.
  // `store`: the settings; the user's own when none is given.
  explicit TfmMain(const TaskbarProgress& taskbar, std::vector<std::u16string> arguments = {},
                   std::unique_ptr<TSettingsStore> store = nullptr);
  ~TfmMain() override;

  // Builds the window hidden; false when it cannot be created.
  bool Construct();
  // Shows the window and posts kFirstShowMessage.
  void Show();

  TMainLogic& Logic() { return *logic_; }
  void ApplyTexts(bool atCreation);

  // TMainView
  void SetStateText(std::u16string_view text) override;
  void SetCaption(std::u16string_view text) override;
  void SetAppTitle(std::u16string_view text) override;
  void SetDoCaption(std::u16string_view text) override;
  void SetDoImage(int image) override;
  void SetDoAction(TDoAction action) override { do_action_ = action; }
  int ProgressLeft() const override;
  void SetStateLeft(int left) override;
  bool InputEnabled(TMainInput input) const override;
  void EnableInput(TMainInput input, bool enable) override;
  void EnableMenu(TMainMenu menu, bool enable) override;
  TControlRef FocusedControl() const override;
  void FocusControl(TControlRef control) override;
  Color SysColor(TSysColor color) const override;
  Color WindowColor() const override { return GetColor(); }
  void SetWindowColor(Color color) override { SetColor(color); }
  void SetPanelsColor(Color color) override;
  void SetLabelColor(TMainLabel label, Color color) override;
  void FlashTaskbar() override;
  void RedrawAll() override;
  void SetProgressMax(std::uint32_t max) override;
  void SetProgressPosition(std::uint32_t position) override;
  void SetTaskbarProgress(std::uint64_t done, std::uint64_t total) override;
  void ClearTaskbarProgress() override;
  void SetTimer(std::uintptr_t id, std::uint32_t period_ms) override;
  void KillTimer(std::uintptr_t id) override;
  bool IsLeftButtonDown() const override;
  void FlushKeyboardMessages() override;
  void FlushDoMouseMessages() override;
  void ReleaseCapture() override;
  void RepaintChart() override;
  void DrawStartPausePie(double koef) override;
  void RestoreNormalPriorities() override;
  std::u16string InputText(TMainInput input) const override;
  int ItemIndex(TMainInput input) const override;
  void ProcessMessages() override;
  bool Terminated() const override;
  void ShowMessage(std::u16string_view text) override;
  void ShowBusyCursor() override;
  void RestoreCursor() override;
  void CloseWindow() override;
  void ShowThreadsWarning(std::u16string_view text) override;
  void HideThreadsWarning() override;
  // The window modes (main_window_modes.cpp).
  void SavePlace() override;
  bool CompactChecked() const override;
  bool IsCompact() const override;
  bool IsInCompactUncompact() const override;
  void CompactUncompact(bool toCompact) override;
  void CompactAnimTick() override;
  void sbCloneClick() override;
  bool AutoPinChecked() const override;
  bool PinDown() const override;
  void SetPinDown(bool down) override;

  // TUsageMeterHost
  void ShowPercents() override;
  void RepaintPercents() override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override;
  void OnTimer(UINT_PTR id) override;
  void OnMouseDown(UINT button_message, Point at) override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnClose() override;
  void OnDestroy() override;
  bool PreviewKey(UINT message, WPARAM key) override;
  void OnDpiChanged() override;
  void OnPaint(HDC dc, const RECT& client) override;

 private:
  HMENU BuildMenu();
  // What the window keeps between runs (main_window_settings.cpp).
  void LoadRunSettings();
  void SaveRunSettings();
  TRunInputs ReadInputs() const;
  TLoadedSettings LoadedNow() const;
  void ApplyLoaded(const TLoadedSettings& loaded);
  TListCounts ListCounts() const;
  void ReadCommandLineSettings();
  void RestorePlace();
  void BuildWindowModes();
  void miRestoreClick();
  void SetOptionTicks(const TWindowOptions& options);
  void miCompactClick();
  void miAutoPinClick();
  void sbPinClick();
  // The Language menu.
  void ReloadLanguage();
  void BuildLanguageMenu();
  void RefreshLanguageChecks();
  void LanguageItemClick(std::size_t item);
  // Help, the update check and the About box.
  void OpenHelp(std::u16string_view topic);
  void miUpdatesClick();
  void miAboutClick();
  // The chosen language's code; empty for the built-in English.
  std::u16string ActiveLangCode() const { return lang_loader_.ActiveLangCode(); }
  void BuildImages();
  void WireDragging();
  void DragWindow();
  HWND InputControl(TMainInput input) const;
  void SetHint(int id, TextId text);
  // Shows or updates a warning hint standing directly above `control`; `slot` holds it
  // and is emptied when it goes.
  void ShowHintAt(HWND control, TKivFreqHintWindow*& slot, std::u16string_view text);

  const TaskbarProgress& taskbar_;
  ScopedImageList iml_;        // bDo: 0 Start, 1 Stop
  ScopedImageList tool_images_;  // sbClone, sbPin (4 states), sbStop, sbClose
  int do_image_ = kDoImageStart;
  std::unique_ptr<TUsageMeter> meter_;
  std::unique_ptr<TMainLogic> logic_;
  TDoAction do_action_ = TDoAction::bGoButClick_Start;
  // The warning above edThreads while the count is above the limit.
  TKivFreqHintWindow* FHintWin2_ = nullptr;
  std::optional<ScopedHourglass> hourglass_;

  // The chart.
  TChartPanel chart_;

  // Settings, templates and languages.
  std::vector<std::u16string> arguments_;
  std::optional<TCommandLineSettings> command_line_;
  std::unique_ptr<TSettingsStore> store_;
  std::unique_ptr<TTemplatesMenu> templates_menu_;
  TLanguageLoader lang_loader_{LanguageFolders()};
  TLanguageMenu lang_menu_;

  // The window modes.
  std::unique_ptr<TCompactWindow> compact_view_;
  std::unique_ptr<TCompactMode> modes_;
  bool compact_frame_ = false;
  // miCompact and miAutoPin, also while the compact window is without its menu.
  bool compact_checked_ = false;
  bool auto_pin_checked_ = false;
};

}  // namespace velkaro::win32
