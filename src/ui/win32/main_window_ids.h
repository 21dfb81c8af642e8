// Control and menu ids of the main window. They never change, so that a test driver in
// another process finds every control by its id.
#pragma once

namespace velkaro::win32::main_window {

enum ControlId : int {
  // Panels.
  kPnBg = 100,
  kPnPrg,
  kPnButs,
  kPnClose,
  kPnDiag,
  // The inputs, in tab order, and their labels.
  kEdStPause = 110,
  kUdStPause,
  kEdTime,
  kUdTime,
  kCbPriority,
  kCbPriorClass,
  kCbStyle,
  kEdThreads,
  kUdThreads,
  kLbStPause = 120,
  kLbSPMeas,
  kLbTime,
  kLbTMeas,
  kLbPriority,
  kLbPriorClass,
  kLbStyle,
  kLbThreads,
  // Run button, status, progress, CPU readouts.
  kBDo = 130,
  kLbState,
  kPbTime,
  kLbPerc1,
  kLbPerc2,
  // Tool buttons and the compact-mode buttons.
  kSbClone = 140,
  kSbPin,
  kSbStop,
  kSbClose,
  // The chart's scale labels.
  kLbMin = 150,
  kLbMax,
  // The compact window's five summary labels.
  kLbCompact1 = 160,
};

enum MenuId : int {
  kMiStart = 1000,
  kMiUpdates,
  kMiExit,
  kMiSaveSet,
  kMiEmptyList,
  kMiDelSet,
  kMiRestore,
  kMiCompact,
  kMiAutoPin,
  kMiDefaultLang,
  kMiHelpHelp,
  kMiCautions,
  kMiAbout,
};

// Menu ids of the language files' items: the first one plus the file's position.
inline constexpr int kMiLangFirst = 3000;
inline constexpr int kMiLangLast = 3999;

// Positions of the top menus in the menu bar.
enum MenuPosition : int { kMiFile = 0, kMiSettings, kMiLang, kMiHelp };

// The window class of the main window (and of every form).
inline constexpr wchar_t kFormClassName[] = L"VelkaroForm";

}  // namespace velkaro::win32::main_window
