// A small form of every control kind, for the toolkit's tests and its demo.
#pragma once

#include <array>

#include "ui/win32/form.h"

namespace velkaro::win32::toolkit_test {

enum ControlId : int {
  kPanel = 100,
  kPanelLabel,
  kPinA,
  kPinB,
  kToggle,
  kLabel = 110,
  kEdit,
  kUpDownId,
  kCombo,
  kGoButton,
  kProgress,
};

inline constexpr int kClientWidth = 493;
inline constexpr int kClientHeight = 170;
inline constexpr Color kPanelColor = 0x2C2E2C;

inline constexpr std::array kLayout{
    ControlLayout{ControlKind::kPanel, kPanel, 0, 8, 8, 200, 60, 0, std::nullopt},
    ControlLayout{ControlKind::kLabel, kPanelLabel, kPanel, 4, 4, 0, 0, 0, TextId::SecondsWord},
    ControlLayout{ControlKind::kSpeedButton, kPinA, kPanel, 4, 30, 43, 22, 0, std::nullopt},
    ControlLayout{ControlKind::kSpeedButton, kPinB, kPanel, 47, 30, 43, 22, 0, std::nullopt},
    ControlLayout{ControlKind::kSpeedButton, kToggle, kPanel, 90, 30, 43, 22, 0, std::nullopt},
    ControlLayout{ControlKind::kLabel, kLabel, 0, 8, 80, 170, 13, 0, TextId::StartPauseLabel},
    ControlLayout{ControlKind::kEdit, kEdit, 0, 186, 77, 81, 21, 0, std::nullopt},
    ControlLayout{ControlKind::kUpDown, kUpDownId, 0, 267, 77, 16, 21, 0, std::nullopt},
    ControlLayout{ControlKind::kComboList, kCombo, 0, 186, 104, 296, 21, 0, std::nullopt},
    ControlLayout{ControlKind::kButton, kGoButton, 0, 8, 131, 150, 25, 0, TextId::RunButton},
    ControlLayout{ControlKind::kProgressBar, kProgress, 0, 186, 136, 152, 12, 0, std::nullopt},
};

}  // namespace velkaro::win32::toolkit_test
