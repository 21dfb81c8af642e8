// The remembered window place text: reading an entry for any screen and monitor, and
// storing an entry into the text.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "support/window_place.h"

using namespace velkaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::int32_t screen_width = input.TakeInt32();
  const std::int32_t screen_height = input.TakeInt32();
  const int monitor = static_cast<int>(input.TakeByte() % 5);
  std::u16string text = input.RestAsUtf16();

  const PlaceMonitorSplit split = SplitPlaceMonitor(text);
  (void)JoinPlaceMonitor(split.monitor_number, split.entries);
  (void)ParsePlaceEntry(text, screen_width, screen_height, monitor);
  (void)ParsePlaceEntry(split.entries, screen_width, screen_height, monitor);

  const std::u16string key = PlaceKey(monitor, screen_width, screen_height);
  const PlaceEntry entry = FormatPlaceEntry(monitor, Rect{0, 0, 1920, 1080},
                                            Rect{10, 20, 410, 320}, false);
  StorePlaceEntry(text, key, entry.value);
  // What was stored must read back as that place.
  const auto back = ParsePlaceEntry(text, screen_width, screen_height, monitor);
  if (!back || back->maximized || back->width != 400 || back->height != 300) __builtin_trap();
  return 0;
}
