// Where the main window opens and where its clone goes: the stored place per monitor
// and screen size, the command line's place, and the clone's position and command.
// Plain data in, plain data out; the Win32 window reads and writes the settings.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "support/geometry.h"

namespace velkaro {

// The text to store in "Place" after a save of the window at `window` (screen
// coordinates) on `monitors[current_monitor]` (the list in numbering order, so a
// monitor's index is its number; an index outside it counts as the primary monitor).
// Nothing to store while the window is compact or minimized (its rectangle then lies
// far off the screen, where the next start would open it), or without any monitor.
std::optional<std::u16string> PlaceTextToSave(bool isCompact, bool minimized,
                                              std::u16string_view stored,
                                              std::span<const Monitor> monitors,
                                              int current_monitor, const Rect& window);

// Where a window opening now goes, keeping its size; nothing: it stays centred.
// `command_line` is the left-top of an eleven-field command line, already kept on its
// monitor by the settings reader; it wins over the stored `Place` text.
std::optional<Point> RestoredPlace(std::optional<Point> command_line, std::u16string_view stored,
                                   std::span<const Monitor> monitors);

// The clone's left-top: beside the window, 47 to the right and 48 below its corner,
// on the left of it at the work area's right edge when it fits there, moved up at the
// bottom.
Point ClonePosition(std::span<const Monitor> monitors, const Rect& window);

// The command that starts the clone: the program, a blank, and the eleven fields.
std::u16string CloneCommandText(std::u16string_view program_path, std::u16string_view fields);

}  // namespace velkaro
