// The six run parameters as the settings keep them, the window options stored beside
// them, and the clone command line that hands all of it to a second copy.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/settings_store.h"
#include "support/geometry.h"

namespace velkaro {

// List positions are 0-based, as the window's lists and the engine's tables count.
struct TRunSettings {
  std::int32_t pause_s = settings::PauseBefore.default_value;
  std::int32_t time_s = settings::Time.default_value;
  std::int32_t priority = settings::Priority.default_value;
  std::int32_t priority_class = settings::ClassPriority.default_value;
  std::int32_t rhythm = settings::Rhythm.default_value;
  std::int32_t threads = settings::Threads.default_value;
  friend bool operator==(const TRunSettings&, const TRunSettings&) = default;
};

// How many items the three lists hold: a stored position is bounded by them.
struct TListCounts {
  int priority = 0;
  int priority_class = 0;
  int rhythm = 0;
};
// The lists as the engine defines them (7, 6 and 7 items).
TListCounts RunListCounts();

struct TWindowOptions {
  bool compact = settings::Compact.default_value == 1;
  bool auto_pin = settings::AutoPin.default_value == 1;
  friend bool operator==(const TWindowOptions&, const TWindowOptions&) = default;
};

struct TLoadedSettings {
  TRunSettings run;
  TWindowOptions options;
};

// What loading fills, in the order it fills it: the window's inputs and menu items.
class TRunSettingsTarget {
 public:
  virtual ~TRunSettingsTarget() = default;
  virtual void SetPause(std::int32_t seconds) = 0;  // shown as RunValueText
  virtual void SetTime(std::int32_t seconds) = 0;   // shown as RunValueText
  virtual void SelectPriority(std::int32_t position) = 0;
  virtual void SelectPriorityClass(std::int32_t position) = 0;
  virtual void SelectRhythm(std::int32_t position) = 0;
  virtual void SetThreads(std::int32_t count) = 0;
  virtual void SetCompact(bool ticked) = 0;
  virtual void SetAutoPin(bool ticked) = 0;
};

// Fills a record, for the callers that hold the values rather than show them.
class TLoadedSettingsTarget final : public TRunSettingsTarget {
 public:
  explicit TLoadedSettingsTarget(TLoadedSettings& loaded) : loaded_(loaded) {}
  void SetPause(std::int32_t seconds) override;
  void SetTime(std::int32_t seconds) override;
  void SelectPriority(std::int32_t position) override;
  void SelectPriorityClass(std::int32_t position) override;
  void SelectRhythm(std::int32_t position) override;
  void SetThreads(std::int32_t count) override;
  void SetCompact(bool ticked) override;
  void SetAutoPin(bool ticked) override;

 private:
  TLoadedSettings& loaded_;
};

// Reads the key of `suffix` into `target`: the six run values in their order
// (positions bounded by `counts`, the thread count to 1 .. MaxThreadsCount(), pause
// and time unbounded), then Compact and AutoPin from the settings key itself, also for
// a template (ticked only when stored as 1). A value of the wrong type throws
// TSettingsError before anything of it or after it reaches `target`.
void LoadRunSettings(TSettingsStore& store, std::u16string_view suffix, const TListCounts& counts,
                     TRunSettingsTarget& target);
// The same into a record: after an error the values read before it are in `loaded`,
// the later ones keep what they held.
void LoadRunSettings(TSettingsStore& store, std::u16string_view suffix, const TListCounts& counts,
                     TLoadedSettings& loaded);
// The six run values alone, bounded as LoadRunSettings bounds them.
TRunSettings ReadRunSettings(TSettingsStore& store, std::u16string_view suffix,
                             const TListCounts& counts);
// Writes the six values into the key of `suffix` in their order and stops at the first
// write that fails; true only when all six were written.
bool SaveRunSettings(TSettingsStore& store, std::u16string_view suffix, const TRunSettings& run);

// The run inputs of the window: three texts and three list positions.
struct TRunInputs {
  std::u16string pause_text;
  std::u16string time_text;
  int priority_index = 0;
  int class_index = 0;
  int rhythm_index = 0;
  std::u16string threads_text;
  friend bool operator==(const TRunInputs&, const TRunInputs&) = default;
};
// The values the inputs stand for: pause and time as decimal numbers (0 when not one),
// the thread count by the window's reading rule (1 when not a number, at most
// MaxThreadsCount()). A text beyond 32 bits that an unsigned 32-bit number can hold
// gives the same 32 bits, so that what RunValueText shows reads back unchanged.
TRunSettings RunSettingsOfInputs(const TRunInputs& inputs);
// The texts and positions that show `run`; pause and time as unsigned 32-bit numbers.
TRunInputs InputsOfRunSettings(const TRunSettings& run);
// A pause or time as the window shows it: -5 shows as 4294967291.
std::u16string RunValueText(std::int32_t value);

// Everything the clone command line carries.
struct TCommandLineSettings {
  TRunSettings run;
  TWindowOptions options;
  bool pin = false;
  std::int32_t left = 0;
  std::int32_t top = 0;
  friend bool operator==(const TCommandLineSettings&, const TCommandLineSettings&) = default;
};

inline constexpr std::size_t kCloneFieldCount = 11;

// The eleven decimal fields joined by single blanks; the thread count at most
// MaxThreadsCount().
std::u16string CloneCommandLine(const TRunSettings& run, bool compact, bool auto_pin, bool pin,
                                std::int32_t left, std::int32_t top);
// Reads the program's parameters (without the program's own name) when there are
// exactly eleven; nothing otherwise. A field that is not a number takes its default;
// positions are bounded by `counts`, the thread count to 1 .. MaxThreadsCount(); the
// three switches are on only for exactly "1"; left and top are kept on `monitor`
// (below its left edge: the edge, else at most its right edge - 5; top likewise).
std::optional<TCommandLineSettings> ReadCommandLineSettings(std::span<const std::u16string> args,
                                                            const TListCounts& counts,
                                                            const Rect& monitor);

}  // namespace velkaro
