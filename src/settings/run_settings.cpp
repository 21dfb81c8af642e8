#include "settings/run_settings.h"

#include <algorithm>
#include <limits>

#include "engine/stress_thread.h"
#include "support/text.h"
#include "ui/main/run_inputs.h"

namespace velkaro {
namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kUInt32Max = std::numeric_limits<std::uint32_t>::max();

std::int32_t BoundPosition(std::int64_t value, int count) {
  if (value > count - 1) value = count - 1;
  if (value < 0) value = 0;
  return static_cast<std::int32_t>(value);
}

std::int32_t BoundThreads(std::int64_t value) {
  if (value <= 0) return 1;
  return static_cast<std::int32_t>(std::min<std::int64_t>(value, MaxThreadsCount()));
}

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp(value, kInt32Min, kInt32Max));
}

// Up to the unsigned 32-bit maximum the bits are kept; beyond that the nearest bound.
std::int32_t ThirtyTwoBits(std::int64_t value) {
  if (value > kInt32Max && value <= kUInt32Max) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  return Saturate(value);
}

std::u16string Decimal(std::int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

bool ExactlyOne(std::u16string_view field) { return field == u"1"; }

std::int64_t BoundEdge(std::int64_t value, std::int32_t low, std::int32_t high) {
  if (value < low) return low;
  return std::min<std::int64_t>(value, std::int64_t{high} - 5);
}

std::int32_t ReadPosition(TSettingsStore& store, const TNumberSetting& setting,
                          std::u16string_view suffix, int count) {
  return BoundPosition(ReadSetting(store, setting, suffix), count);
}

void ReadRunValues(TSettingsStore& store, std::u16string_view suffix, const TListCounts& counts,
                   TRunSettingsTarget& target) {
  target.SetPause(ReadSetting(store, settings::PauseBefore, suffix));
  target.SetTime(ReadSetting(store, settings::Time, suffix));
  target.SelectPriority(ReadPosition(store, settings::Priority, suffix, counts.priority));
  target.SelectPriorityClass(
      ReadPosition(store, settings::ClassPriority, suffix, counts.priority_class));
  target.SelectRhythm(ReadPosition(store, settings::Rhythm, suffix, counts.rhythm));
  target.SetThreads(BoundThreads(ReadSetting(store, settings::Threads, suffix)));
}

}  // namespace

void TLoadedSettingsTarget::SetPause(std::int32_t seconds) { loaded_.run.pause_s = seconds; }
void TLoadedSettingsTarget::SetTime(std::int32_t seconds) { loaded_.run.time_s = seconds; }
void TLoadedSettingsTarget::SelectPriority(std::int32_t position) { loaded_.run.priority = position; }
void TLoadedSettingsTarget::SelectPriorityClass(std::int32_t position) {
  loaded_.run.priority_class = position;
}
void TLoadedSettingsTarget::SelectRhythm(std::int32_t position) { loaded_.run.rhythm = position; }
void TLoadedSettingsTarget::SetThreads(std::int32_t count) { loaded_.run.threads = count; }
void TLoadedSettingsTarget::SetCompact(bool ticked) { loaded_.options.compact = ticked; }
void TLoadedSettingsTarget::SetAutoPin(bool ticked) { loaded_.options.auto_pin = ticked; }

TListCounts RunListCounts() {
  return {static_cast<int>(ThreadPriorities.size()), static_cast<int>(PriorityClasses.size()),
          kStressStyleCount};
}

void LoadRunSettings(TSettingsStore& store, std::u16string_view suffix, const TListCounts& counts,
                     TRunSettingsTarget& target) {
  ReadRunValues(store, suffix, counts, target);
  target.SetCompact(ReadSetting(store, settings::Compact) == 1);
  target.SetAutoPin(ReadSetting(store, settings::AutoPin) == 1);
}

void LoadRunSettings(TSettingsStore& store, std::u16string_view suffix, const TListCounts& counts,
                     TLoadedSettings& loaded) {
  TLoadedSettingsTarget target(loaded);
  LoadRunSettings(store, suffix, counts, target);
}

TRunSettings ReadRunSettings(TSettingsStore& store, std::u16string_view suffix,
                             const TListCounts& counts) {
  TLoadedSettings loaded;
  TLoadedSettingsTarget target(loaded);
  ReadRunValues(store, suffix, counts, target);
  return loaded.run;
}

bool SaveRunSettings(TSettingsStore& store, std::u16string_view suffix, const TRunSettings& run) {
  return store.WriteSettingNumber(settings::PauseBefore.name, run.pause_s, suffix) &&
         store.WriteSettingNumber(settings::Time.name, run.time_s, suffix) &&
         store.WriteSettingNumber(settings::Priority.name, run.priority, suffix) &&
         store.WriteSettingNumber(settings::ClassPriority.name, run.priority_class, suffix) &&
         store.WriteSettingNumber(settings::Rhythm.name, run.rhythm, suffix) &&
         store.WriteSettingNumber(settings::Threads.name, run.threads, suffix);
}

TRunSettings RunSettingsOfInputs(const TRunInputs& inputs) {
  TRunSettings run;
  run.pause_s = ThirtyTwoBits(ReadDecimal(inputs.pause_text).value_or(0));
  run.time_s = ThirtyTwoBits(ReadDecimal(inputs.time_text).value_or(0));
  run.priority = inputs.priority_index;
  run.priority_class = inputs.class_index;
  run.rhythm = inputs.rhythm_index;
  run.threads = ReadThreadsCount(inputs.threads_text);
  return run;
}

TRunInputs InputsOfRunSettings(const TRunSettings& run) {
  return {RunValueText(run.pause_s), RunValueText(run.time_s), run.priority,
          run.priority_class,        run.rhythm,               Decimal(run.threads)};
}

std::u16string RunValueText(std::int32_t value) {
  return Decimal(static_cast<std::uint32_t>(value));
}

std::u16string CloneCommandLine(const TRunSettings& run, bool compact, bool auto_pin, bool pin,
                                std::int32_t left, std::int32_t top) {
  const std::int64_t fields[kCloneFieldCount] = {
      run.pause_s, run.time_s, run.priority, run.priority_class, run.rhythm,
      std::min(run.threads, MaxThreadsCount()), compact ? 1 : 0, auto_pin ? 1 : 0, pin ? 1 : 0,
      left, top};
  std::u16string line;
  for (const std::int64_t field : fields) {
    if (!line.empty()) line += u' ';
    line += Decimal(field);
  }
  return line;
}

std::optional<TCommandLineSettings> ReadCommandLineSettings(std::span<const std::u16string> args,
                                                            const TListCounts& counts,
                                                            const Rect& monitor) {
  if (args.size() != kCloneFieldCount) return std::nullopt;
  auto number = [&args](std::size_t field, std::int64_t default_value) {
    return ReadDecimal(args[field]).value_or(default_value);
  };
  TCommandLineSettings read;
  TRunSettings& run = read.run;
  run.pause_s = Saturate(number(0, settings::PauseBefore.default_value));
  run.time_s = Saturate(number(1, settings::Time.default_value));
  run.priority = BoundPosition(number(2, settings::Priority.default_value), counts.priority);
  run.priority_class =
      BoundPosition(number(3, settings::ClassPriority.default_value), counts.priority_class);
  run.rhythm = BoundPosition(number(4, settings::Rhythm.default_value), counts.rhythm);
  run.threads = BoundThreads(number(5, settings::Threads.default_value));
  read.options.compact = ExactlyOne(args[6]);
  read.options.auto_pin = ExactlyOne(args[7]);
  read.pin = ExactlyOne(args[8]);
  read.left = Saturate(BoundEdge(number(9, 0), monitor.left, monitor.right));
  read.top = Saturate(BoundEdge(number(10, 0), monitor.top, monitor.bottom));
  return read;
}

}  // namespace velkaro
