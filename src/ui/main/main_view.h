// The window operations that the main window's logic needs, and nothing else of the
// window. The Win32 window implements them; tests record them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/colors.h"

namespace velkaro {

// The run inputs and their up-down buttons, in tab order.
enum class TMainInput : std::uint8_t {
  edStPause, udStPause, edTime, udTime, cbPriority, cbPriorClass, cbStyle, edThreads, udThreads,
};
inline constexpr TMainInput kMainInputs[] = {
    TMainInput::edStPause,  TMainInput::udStPause,    TMainInput::edTime,
    TMainInput::udTime,     TMainInput::cbPriority,   TMainInput::cbPriorClass,
    TMainInput::cbStyle,    TMainInput::edThreads,    TMainInput::udThreads};

// The top menus that a pause or run disables.
enum class TMainMenu : std::uint8_t { miFile, miSettings, miLang, miHelp };
inline constexpr TMainMenu kMainMenus[] = {TMainMenu::miFile, TMainMenu::miSettings,
                                           TMainMenu::miLang, TMainMenu::miHelp};

// The labels of the inputs, greyed while the inputs are disabled.
enum class TMainLabel : std::uint8_t {
  lbStPause, lbTime, lbPriority, lbPriorClass, lbSPMeas, lbTMeas, lbStyle, lbThreads,
};
inline constexpr TMainLabel kMainLabels[] = {
    TMainLabel::lbStPause, TMainLabel::lbTime,  TMainLabel::lbPriority, TMainLabel::lbPriorClass,
    TMainLabel::lbSPMeas,  TMainLabel::lbTMeas, TMainLabel::lbStyle,    TMainLabel::lbThreads};

// What a click on bDo does.
enum class TDoAction : std::uint8_t { bGoButClick_Start, bGoButClick_Stop };
// Images of bDo in the window's image list.
inline constexpr int kDoImageStart = 0;
inline constexpr int kDoImageStop = 1;

enum class TSysColor : std::uint8_t { clBtnFace, clWindowText, clWindow };

// The window's own timers.
inline constexpr std::uintptr_t kStartPauseTimer = 1;
inline constexpr std::uintptr_t kCompactAnimTimer = 2;
inline constexpr std::uintptr_t kMouseUpTimer = 3;
inline constexpr std::uint32_t kStartPauseTickMs = 15;
inline constexpr std::uint32_t kMouseUpTickMs = 10;

// A control of the window, opaque to the logic; 0 is none.
using TControlRef = std::uintptr_t;

class TMainView {
 public:
  virtual ~TMainView() = default;

  // Texts. The status label is repainted at once: during a run the thread is busy.
  virtual void SetStateText(std::u16string_view text) = 0;
  virtual void SetCaption(std::u16string_view text) = 0;
  virtual void SetAppTitle(std::u16string_view text) = 0;

  // The Start/Stop button.
  virtual void SetDoCaption(std::u16string_view text) = 0;
  virtual void SetDoImage(int image) = 0;
  virtual void SetDoAction(TDoAction action) = 0;

  // lbState lines up with the progress bar below it (compact mode moves both).
  virtual int ProgressLeft() const = 0;
  virtual void SetStateLeft(int left) = 0;

  virtual bool InputEnabled(TMainInput input) const = 0;
  virtual void EnableInput(TMainInput input, bool enable) = 0;
  virtual void EnableMenu(TMainMenu menu, bool enable) = 0;
  virtual TControlRef FocusedControl() const = 0;
  virtual void FocusControl(TControlRef control) = 0;

  // Colours as 0xBBGGRR values.
  virtual Color SysColor(TSysColor color) const = 0;
  virtual Color WindowColor() const = 0;
  virtual void SetWindowColor(Color color) = 0;
  // Every panel at any depth except the chart pnDiag and pnClose: drops the parent's
  // background and takes `color`.
  virtual void SetPanelsColor(Color color) = 0;
  virtual void SetLabelColor(TMainLabel label, Color color) = 0;
  // FlashWindowEx on the taskbar button: FLASHW_ALL, twice, 10 ms.
  virtual void FlashTaskbar() = 0;
  // RedrawWindow of the whole window, children included, at once (when it exists).
  virtual void RedrawAll() = 0;

  virtual void SetProgressMax(std::uint32_t max) = 0;
  virtual void SetProgressPosition(std::uint32_t position) = 0;
  virtual void SetTaskbarProgress(std::uint64_t done, std::uint64_t total) = 0;
  virtual void ClearTaskbarProgress() = 0;

  virtual void SetTimer(std::uintptr_t id, std::uint32_t period_ms) = 0;
  virtual void KillTimer(std::uintptr_t id) = 0;

  // IsKeyDown(VK_LBUTTON).
  virtual bool IsLeftButtonDown() const = 0;
  // Drops pending keyboard messages of the thread and pending mouse messages of bDo.
  virtual void FlushKeyboardMessages() = 0;
  virtual void FlushDoMouseMessages() = 0;
  virtual void ReleaseCapture() = 0;

  // The chart panel pnDiag: repaint it (when it exists), or draw the countdown pie
  // with `koef` (0 to below 1) of the pause gone, at once.
  virtual void RepaintChart() = 0;
  virtual void DrawStartPausePie(double koef) = 0;

  // The own process's class and the own thread's priority back to normal; failures
  // are ignored.
  virtual void RestoreNormalPriorities() = 0;

  // The inputs' texts and the lists' selected positions (-1: none).
  virtual std::u16string InputText(TMainInput input) const = 0;
  virtual int ItemIndex(TMainInput input) const = 0;

  // The message loop and the application.
  virtual void ProcessMessages() = 0;
  virtual bool Terminated() const = 0;
  virtual void ShowMessage(std::u16string_view text) = 0;
  virtual void ShowBusyCursor() = 0;
  virtual void RestoreCursor() = 0;
  // Closes the window the normal way (its close handler runs).
  virtual void CloseWindow() = 0;

  // The warning hint above edThreads: shows `text` (markup) or updates the one shown;
  // Hide takes it away at once, and does nothing when none is shown.
  virtual void ShowThreadsWarning(std::u16string_view text) = 0;
  virtual void HideThreadsWarning() = 0;

  // Attachment points of the window modes; with nothing attached they do nothing.
  virtual void SavePlace() {}
  virtual bool CompactChecked() const { return false; }  // miCompact is ticked
  virtual bool IsCompact() const { return false; }
  virtual bool IsInCompactUncompact() const { return false; }
  virtual void CompactUncompact(bool toCompact) { (void)toCompact; }
  virtual void CompactAnimTick() {}
  virtual void sbCloneClick() {}
  virtual bool AutoPinChecked() const { return false; }  // miAutoPin is ticked
  virtual bool PinDown() const { return false; }         // sbPin is down
  // Puts sbPin down or up and runs sbPinClick.
  virtual void SetPinDown(bool down) { (void)down; }
};

}  // namespace velkaro
