// The number readers of the run inputs and what the window makes of their texts.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "settings/run_settings.h"
#include "ui/main/run_inputs.h"

using namespace velkaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const int priority = static_cast<std::int8_t>(input.TakeByte());
  const int priority_class = static_cast<std::int8_t>(input.TakeByte());
  const int rhythm = static_cast<std::int8_t>(input.TakeByte());
  const std::u16string text = input.RestAsUtf16();
  const auto fields = fuzz::SplitAt<char16_t>(text, u'\n');

  (void)ReadDecimal(text);
  const std::int64_t pause = ReadPauseSeconds(text);
  const std::int64_t duration = ReadDurationSeconds(text);
  const std::int32_t threads = ReadThreadsCount(text);
  if (pause < 0 || threads > MaxThreadsCount()) __builtin_trap();
  if (const auto refusal = PauseRefusal(pause)) (void)RefusalText(*refusal, u",");
  if (const auto refusal = DurationRefusal(duration)) (void)RefusalText(*refusal, u"\u00A0");
  (void)PriorityClassAt(priority_class);
  (void)StressStyleAt(rhythm);

  TRunInputs inputs;
  inputs.pause_text = fields[0];
  inputs.time_text = fields.size() > 1 ? fields[1] : text;
  inputs.threads_text = fields.size() > 2 ? fields[2] : text;
  inputs.priority_index = priority;
  inputs.class_index = priority_class;
  inputs.rhythm_index = rhythm;
  const TRunSettings run = RunSettingsOfInputs(inputs);
  // What the inputs show for a run reads back as that run.
  if (RunSettingsOfInputs(InputsOfRunSettings(run)) != run) __builtin_trap();
  return 0;
}
