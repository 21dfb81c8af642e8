// The window place text: a window's position remembered per monitor and screen size,
// e.g. "#1#1280x1024=Nl10t20w400h300;1:1920x1080=M". Comparisons are case-sensitive.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/geometry.h"

namespace velkaro {

// "<width>x<height>=", with "<number>:" in front for monitors after the first.
std::u16string PlaceKey(int monitor_number, std::int64_t width, std::int64_t height);

struct PlaceMonitorSplit {
  int monitor_number = 0;
  std::u16string entries;
};
// Takes the "#<number>#" prefix off the text; without one the number is 0 and the
// entries are the whole text. A prefix whose number does not read gives 0.
PlaceMonitorSplit SplitPlaceMonitor(std::u16string_view text);
// Puts the "#<number>#" prefix before the entries when the number is above 0.
std::u16string JoinPlaceMonitor(int monitor_number, std::u16string_view entries);

struct PlaceEntry {
  std::u16string key;
  std::u16string value;
};
// The entry for a window on the given monitor: "M" when maximized, else
// "Nl<left>t<top>w<width>h<height>" of the window rectangle.
PlaceEntry FormatPlaceEntry(int monitor_number, const Rect& monitor_bounds, const Rect& window,
                            bool maximized);

// Replaces the value of the first entry whose key occurs in the text, or appends the
// entry. The key is searched as plain text, so a key of the first monitor also matches
// the tail of another monitor's key of the same size when that one comes first.
void StorePlaceEntry(std::u16string& text, std::u16string_view key, std::u16string_view value);

struct WindowPlace {
  bool maximized = false;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};
// The stored place for that monitor and screen size; nothing when there is no entry
// or it does not give a usable position and a positive size.
std::optional<WindowPlace> ParsePlaceEntry(std::u16string_view text, std::int64_t screen_width,
                                           std::int64_t screen_height, int monitor_number);

}  // namespace velkaro
