// Monitors, window placement and the window place text for real windows. Monitor
// queries never fail: a window on no monitor counts as being on the primary one.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "support/geometry.h"
#include "support/window_place.h"

namespace velkaro::win32 {

inline Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Every monitor in the system's enumeration order, numbered from 0.
std::vector<Monitor> Monitors();

// Full bounds of the monitor that holds the window.
Rect MonitorRectOfWindow(HWND window);
// Work area of the same monitor.
Rect WorkAreaOfWindow(HWND window);
// Number of the same monitor in the order of Monitors().
int MonitorNumberOfWindow(HWND window);

// PlacePopup over the monitors of the system.
Point PlacePopup(std::int32_t width, std::int32_t height, const Rect& anchor, bool to_right,
                 bool use_work_area, bool beside, std::optional<Point> point = std::nullopt);

// The place entry of the window on its current monitor.
PlaceEntry FormatPlaceEntry(HWND window, bool maximized);

// Pins the window above all non-topmost windows, or unpins it, without moving,
// sizing, activating or redrawing it.
void SetWindowTopmost(HWND window, bool on);

}  // namespace velkaro::win32
