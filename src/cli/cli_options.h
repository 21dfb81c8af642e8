// The command line of the console front end: options, their ranges and the texts
// that help, --version and --list print.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro {

// The longest pause or run: its milliseconds must fit a signed 32-bit count.
inline constexpr std::int32_t kMaxRunSeconds = 2'147'483;
inline constexpr std::int32_t kMaxThreadsCount = 100'000;

// Exit codes of the program.
inline constexpr int kExitRunOver = 0;
inline constexpr int kExitEmergencyClose = 1;
inline constexpr int kExitBadArguments = 2;
inline constexpr int kExitRunFailed = 3;
// A value of the settings could not be read, used or written.
inline constexpr int kExitSettingsFailed = 4;
// The run ended (time over or stopped) before all its threads were started.
inline constexpr int kExitNotAllStarted = 5;

// Run parameters, numbered as the window's lists number their items.
struct TCliOptions {
  std::int32_t pause_s = 3;
  std::int32_t time_s = 20;
  std::int32_t priority = 6;        // 1..7: "6 - HIGH"
  std::int32_t priority_class = 5;  // the number before the class item: "5 - Above normal"
  std::int32_t rhythm = 1;          // 1..7
  std::int32_t threads = 1;         // at most kMaxThreadsCount
  std::int64_t threads_requested = 1;  // as given, before the limit
  bool json = false;
};

// Positions in the window's lists (and so in ThreadPriorities, PriorityClasses and
// TStressStyle) of the option values.
std::int32_t PriorityIndex(const TCliOptions& options);
std::int32_t PriorityClassIndex(const TCliOptions& options);
std::int32_t RhythmIndex(const TCliOptions& options);
// The number the class list shows for the class at `index` (0 to 5).
std::int32_t PriorityClassNumber(std::int32_t index);

enum class TCliAction {
  caRun,
  caHelp,
  caVersion,
  caList,
  caBadArguments,
  caTemplates,       // list the stored templates
  caSaveTemplate,    // store the line's run parameters as a template
  caDeleteTemplate,
};

// Which run parameters the line gave; the others may come from a template.
struct TCliGiven {
  bool pause = false;
  bool time = false;
  bool priority = false;
  bool priority_class = false;
  bool rhythm = false;
  bool threads = false;
};

struct TCliCommand {
  TCliAction action = TCliAction::caRun;
  TCliOptions options;
  // caHelp, caVersion: the text to print; caBadArguments: the error.
  std::string text;
  // Text 302 without its markup when the thread count was limited; otherwise empty.
  std::u16string warning;
  TCliGiven given;
  // --template: the run takes the template's values for those the line did not give.
  std::optional<std::u16string> use_template;
  // caSaveTemplate, caDeleteTemplate: the name as given.
  std::u16string template_name;
};

// The language code of the line's --lang option (the last one), before the whole line
// is read: the help and error texts are already in that language.
std::optional<std::string> LanguageArgument(const std::vector<std::string>& args);

// Reads the arguments after the program name. `thousands_separator` groups the
// thread limit in the warning.
TCliCommand ParseCliArguments(const std::vector<std::string>& args,
                              std::u16string_view thousands_separator);

// The three lists with their numbered items, in the current language.
std::u16string ListText();

}  // namespace velkaro
