// velkaro-cli's arguments: the input split at NUL bytes into the argument list.
#include <cstddef>
#include <cstdint>

#include "cli/cli_options.h"
#include "fuzz_input.h"

using namespace velkaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::string text = input.RestAsString();
  std::vector<std::string> args;
  if (!text.empty()) args = fuzz::SplitAt<char>(text, '\0');

  (void)LanguageArgument(args);
  const TCliCommand command = ParseCliArguments(args, u",");
  if (command.action == TCliAction::caRun || command.action == TCliAction::caSaveTemplate) {
    const TCliOptions& o = command.options;
    // A command that runs carries only values the run can take.
    if (o.threads < 0 || o.threads > kMaxThreadsCount || o.priority < 1 || o.priority > 7 ||
        o.rhythm < 1 || o.rhythm > 7 || o.pause_s < 0 || o.time_s < 0 ||
        o.time_s > kMaxRunSeconds) {
      __builtin_trap();
    }
    (void)PriorityIndex(o);
    (void)PriorityClassIndex(o);
    (void)RhythmIndex(o);
  }
  return 0;
}
