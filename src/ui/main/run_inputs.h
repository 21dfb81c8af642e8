// How the texts and list positions of the run inputs become the values of a run.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/stress_thread.h"
#include "lang/string_table.h"

namespace velkaro {

// The largest number of stress threads a run may use.
std::int32_t MaxThreadsCount();

// The longest pause and duration: the run hands the duration in milliseconds to the
// progress bar as a signed 32-bit maximum, and the pause is counted in 32-bit ticks.
inline constexpr std::int64_t kMaxRunSeconds = 2147483;


// A signed decimal integer: blanks around it, an optional sign and digits, nothing
// else. Values beyond 64 bits saturate, so a long row of digits still reads as a
// (too large) number rather than as no number at all.
std::optional<std::int64_t> ReadDecimal(std::u16string_view text);

// The pause in seconds: 0 when the text is not a number or is negative.
std::int64_t ReadPauseSeconds(std::u16string_view text);
// The duration in seconds: 0 when the text is not a number; not limited here.
std::int64_t ReadDurationSeconds(std::u16string_view text);
// The thread count: 1 when the text is not a number, at most MaxThreadsCount(); no
// lower bound (the run refuses a negative count itself).
std::int32_t ReadThreadsCount(std::u16string_view text);

// Why a pause or duration outside what a run can take is refused; nothing when the
// value is usable. The text, formatted with the grouped limit, goes to the status label.
std::optional<TextId> PauseRefusal(std::int64_t seconds);
std::optional<TextId> DurationRefusal(std::int64_t seconds);
std::u16string RefusalText(TextId refusal, std::u16string_view thousands_separator);

// The value behind a list position. A position outside the list (-1: nothing selected)
// gives the normal class and the monotonous rhythm.
std::uint32_t PriorityClassAt(int item_index);
TStressStyle StressStyleAt(int item_index);

}  // namespace velkaro
