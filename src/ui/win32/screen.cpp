#include "ui/win32/screen.h"

namespace velkaro::win32 {
namespace {

struct MonitorDetails {
  HMONITOR handle = nullptr;
  Monitor monitor;
};

BOOL CALLBACK CollectMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
  auto& list = *reinterpret_cast<std::vector<MonitorDetails>*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(handle, &info)) {
    list.push_back({handle,
                    {static_cast<int>(list.size()), ToRect(info.rcMonitor), ToRect(info.rcWork),
                     (info.dwFlags & MONITORINFOF_PRIMARY) != 0}});
  }
  return TRUE;
}

std::vector<MonitorDetails> EnumerateMonitors() {
  std::vector<MonitorDetails> list;
  ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&list));
  return list;
}

HMONITOR PrimaryMonitorHandle() {
  return ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

// The window's monitor, numbered as in the enumeration; the primary one when the
// window lies on none.
Monitor MonitorOfWindow(HWND window) {
  HMONITOR handle = ::MonitorFromWindow(window, MONITOR_DEFAULTTONULL);
  if (handle == nullptr) handle = PrimaryMonitorHandle();
  const std::vector<MonitorDetails> list = EnumerateMonitors();
  for (const MonitorDetails& details : list) {
    if (details.handle == handle) return details.monitor;
  }
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(handle, &info)) {
    return {0, ToRect(info.rcMonitor), ToRect(info.rcWork),
            (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
  }
  const Rect screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  return {0, screen, screen, true};
}

}  // namespace

std::vector<Monitor> Monitors() {
  std::vector<Monitor> monitors;
  for (const MonitorDetails& details : EnumerateMonitors()) monitors.push_back(details.monitor);
  return monitors;
}

Rect MonitorRectOfWindow(HWND window) { return MonitorOfWindow(window).bounds; }

Rect WorkAreaOfWindow(HWND window) { return MonitorOfWindow(window).work_area; }

int MonitorNumberOfWindow(HWND window) { return MonitorOfWindow(window).number; }

Point PlacePopup(std::int32_t width, std::int32_t height, const Rect& anchor, bool to_right,
                 bool use_work_area, bool beside, std::optional<Point> point) {
  const std::vector<Monitor> monitors = Monitors();
  return velkaro::PlacePopup(monitors, width, height, anchor, to_right, use_work_area, beside,
                             point);
}

PlaceEntry FormatPlaceEntry(HWND window, bool maximized) {
  const Monitor monitor = MonitorOfWindow(window);
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return velkaro::FormatPlaceEntry(monitor.number, monitor.bounds, ToRect(rect), maximized);
}

void SetWindowTopmost(HWND window, bool on) {
  UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER |
               SWP_NOSENDCHANGING;
  if ((::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0) flags |= SWP_SHOWWINDOW;
  ::SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

}  // namespace velkaro::win32
