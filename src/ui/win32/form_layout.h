// Forms described as tables of controls in 96-DPI units, and the arithmetic that
// scales those numbers to a monitor's DPI. Plain C++: the window code only creates
// what a table says.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "lang/string_table.h"
#include "support/geometry.h"

namespace velkaro {

// The DPI that layout numbers and font heights are written for.
inline constexpr int kDesignDpi = 96;
// Character height of the forms' font (Tahoma 8 point) at the design DPI.
inline constexpr int kDesignFontHeight = -11;

// `value` at `dpi`, rounded half away from zero like MulDiv(value, dpi, 96).
int ScaleForDpi(int value, int dpi);

// Left, top, width and height scaled one by one, so that controls of equal size stay
// equal and a control's right edge is its scaled left plus its scaled width.
Rect ScaleBoundsForDpi(const Rect& design, int dpi);

enum class ControlKind : std::uint8_t {
  kLabel,        // static text
  kEdit,         // single-line edit
  kUpDown,       // up-down arrows bound to the edit created just before
  kComboList,    // drop-down list without free text
  kComboEdit,    // drop-down list with a free-text edit
  kButton,       // push button
  kSpeedButton,  // flat button that can stay down
  kPanel,        // plain rectangle of its own colour that holds controls
  kProgressBar,
};

// One control of a form. Ids are stable so that a test driver finds every control;
// `parent` is 0 for the form itself or the id of a panel listed earlier.
struct ControlLayout {
  ControlKind kind;
  int id;
  int parent;
  int left;
  int top;
  int width;   // labels: 0 sizes the label to its text
  int height;  // labels: 0 sizes the label to its text
  std::uint32_t style;  // extra window style bits of the kind
  std::optional<TextId> text;

  Rect Bounds() const { return {left, top, left + width, top + height}; }
};

// True when every id is above 2 (1 and 2 are the dialog ids of Enter and Esc) and
// unique, every parent is 0 or a panel listed earlier, and every up-down button
// directly follows an edit of the same parent.
bool IsValidLayout(std::span<const ControlLayout> layout);

}  // namespace velkaro
