// The clone command line: the program's parameters split at blanks, as the system
// hands them over, read against the engine's lists and a monitor from the input.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "settings/run_settings.h"
#include "ui/main/run_inputs.h"

using namespace velkaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  Rect monitor;
  monitor.left = input.TakeInt32();
  monitor.top = input.TakeInt32();
  monitor.right = input.TakeInt32();
  monitor.bottom = input.TakeInt32();
  const std::u16string text = input.RestAsUtf16();
  const auto args = fuzz::SplitAt<char16_t>(text, u' ');

  const auto read = ReadCommandLineSettings(args, RunListCounts(), monitor);
  if (read) {
    const TListCounts counts = RunListCounts();
    const TRunSettings& run = read->run;
    // The reader promises bounded positions and thread counts.
    if (run.priority < 0 || run.priority >= counts.priority || run.priority_class < 0 ||
        run.priority_class >= counts.priority_class || run.rhythm < 0 ||
        run.rhythm >= counts.rhythm || run.threads < 1 || run.threads > MaxThreadsCount()) {
      __builtin_trap();
    }
    (void)CloneCommandLine(run, read->options.compact, read->options.auto_pin, read->pin,
                           read->left, read->top);
  }
  return 0;
}
