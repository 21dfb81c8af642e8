#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <optional>

#include "richtext/color_text.h"
#include "lang/lang_format.h"
#include "support/text.h"
#include "support/utf.h"
#include "velkaro_version.h"

namespace velkaro {
namespace {

// The class list skips "2": its items carry the numbers 1, 3, 4, 5, 6 and 7.
constexpr std::array<std::int32_t, 6> kClassNumbers = {1, 3, 4, 5, 6, 7};

constexpr std::array<TextId, 7> kPriorityItems = {
    TextId::PriorityIdle,        TextId::PriorityLowest,      TextId::PriorityBelowNormal,
    TextId::PriorityNormal,      TextId::PriorityAboveNormal, TextId::PriorityHighest,
    TextId::PriorityTimeCritical};
constexpr std::array<TextId, 6> kClassItems = {
    TextId::PriorityIdle,        TextId::PriorityBelowNormal, TextId::PriorityNormal,
    TextId::PriorityAboveNormal, TextId::ClassHigh,           TextId::ClassRealtime};
constexpr std::array<TextId, 7> kRhythmItems = {
    TextId::StyleMono,  TextId::StyleSlightlyBroken, TextId::StyleQuiteBroken,
    TextId::StyleRollerCoaster, TextId::StyleComb, TextId::StyleLongComb, TextId::StyleDownUp};

// A signed decimal integer and nothing else. Magnitudes saturate at kSaturated,
// which keeps them out of every range below without overflowing.
constexpr std::int64_t kSaturated = 1'000'000'000'000'000;

std::optional<std::int64_t> ReadWholeNumber(std::string_view text) {
  std::size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min<std::int64_t>(value * 10 + (c - '0'), kSaturated);
  }
  return negative ? -value : value;
}

// A single-line description for the help from a text of the string table.
std::string HelpText(TextId id) {
  return ToUtf8(ReplaceAll(ReplaceAll(LangText(id), u"\r\n", u" "), u"\r", u" "));
}

struct RangeCheck {
  const char* option;
  std::int64_t min;
  std::int64_t max;  // -1: no upper bound
  const char* unit;
};

// Reads one option value; on failure leaves the message in `error`.
std::optional<std::int64_t> ReadOption(const std::string& text, const RangeCheck& check,
                                       std::string& error) {
  const std::optional<std::int64_t> value = ReadWholeNumber(text);
  if (!value) {
    error = std::string(check.option) + ": \"" + text + "\" is not a whole number";
    return std::nullopt;
  }
  if (*value < check.min || (check.max >= 0 && *value > check.max)) {
    error = std::string(check.option) + ": " + text + " is out of range (" +
            std::to_string(check.min) +
            (check.max >= 0 ? " to " + std::to_string(check.max) : std::string(" or more")) +
            check.unit + ")";
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::int32_t PriorityIndex(const TCliOptions& options) { return options.priority - 1; }

std::int32_t PriorityClassIndex(const TCliOptions& options) {
  for (std::size_t i = 0; i < kClassNumbers.size(); ++i) {
    if (kClassNumbers[i] == options.priority_class) return static_cast<std::int32_t>(i);
  }
  return -1;
}

std::int32_t RhythmIndex(const TCliOptions& options) { return options.rhythm - 1; }

std::int32_t PriorityClassNumber(std::int32_t index) {
  return kClassNumbers[static_cast<std::size_t>(index)];
}

std::optional<std::string> LanguageArgument(const std::vector<std::string>& args) {
  std::optional<std::string> code;
  constexpr std::string_view kOption = "--lang";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == kOption && i + 1 < args.size()) {
      code = args[++i];
    } else if (arg.size() > kOption.size() && arg.substr(0, kOption.size() + 1) == "--lang=") {
      code = std::string(arg.substr(kOption.size() + 1));
    } else if (arg == "--") {
      break;
    }
  }
  return code;
}

TCliCommand ParseCliArguments(const std::vector<std::string>& args,
                              std::u16string_view thousands_separator) {
  TCliCommand command;
  TCliOptions& options = command.options;

  CLI::App app(ToUtf8(LangFormat(TextId::TitleIdle, {FromUtf8(VELKARO_PRODUCT_NAME)})),
               "velkaro-cli");
  app.set_version_flag("--version", std::string("velkaro-cli ") + VELKARO_PRODUCT_VERSION,
                       "Print the version and exit");
  std::string pause = std::to_string(options.pause_s);
  std::string time = std::to_string(options.time_s);
  std::string priority = std::to_string(options.priority);
  std::string priority_class = std::to_string(options.priority_class);
  std::string rhythm = std::to_string(options.rhythm);
  std::string threads = std::to_string(options.threads);
  bool list = false;
  bool templates = false;
  std::string use_template;
  std::string save_template;
  std::string delete_template;
  std::string lang;
  app.add_option("--lang", lang,
                 "Show the texts in the language CODE (the name of a file CODE.lng in the "
                 "Langs folder); en or an empty code: English. Without it, the language "
                 "chosen in the window")
      ->type_name("CODE");
  app.add_option("-p,--pause", pause, HelpText(TextId::StartPauseHint))
      ->type_name("SECONDS")->default_str(pause);
  app.add_option("-t,--time", time, HelpText(TextId::TimeHint))
      ->type_name("SECONDS")->default_str(time);
  app.add_option("-P,--priority", priority, HelpText(TextId::PriorityHint) + " (1..7)")
      ->type_name("N")->default_str(priority);
  app.add_option("-c,--class", priority_class,
                 HelpText(TextId::PriorClassHint) + " (1, 3, 4, 5, 6, 7: the numbers --list shows)")
      ->type_name("N")->default_str(priority_class);
  app.add_option("-r,--rhythm", rhythm, HelpText(TextId::StyleHint) + " (1..7)")
      ->type_name("N")->default_str(rhythm);
  app.add_option("-n,--threads", threads,
                 HelpText(TextId::ThreadsHint) + " (at most " + std::to_string(kMaxThreadsCount) + ")")
      ->type_name("N")->default_str(threads);
  app.add_flag("--json", options.json,
               "At the end print one JSON object with the run and its samples on standard "
               "output (the live display goes to standard error)");
  app.add_flag("--list", list, "Print the numbered items of the three lists and exit");
  CLI::Option* use_option =
      app.add_option("--template", use_template,
                     "Run with the values of the stored template NAME; the options given on "
                     "the line win over them")
          ->type_name("NAME");
  CLI::Option* save_option =
      app.add_option("--save-template", save_template,
                     "Store the run parameters of the line (the built-in defaults, or those "
                     "of --template, for the others) as the template NAME and as the saved "
                     "settings, mark it as the latest, and exit")
          ->type_name("NAME");
  CLI::Option* delete_option =
      app.add_option("--delete-template", delete_template, "Remove the stored template NAME and exit")
          ->type_name("NAME");
  CLI::Option* templates_option = app.add_flag(
      "--templates", templates,
      "Print the stored templates, one a line, the latest one marked \" *\", and exit");
  delete_option->excludes(use_option)->excludes(save_option)->excludes(templates_option);
  templates_option->excludes(use_option)->excludes(save_option);
  app.footer(
      "Without --template a run uses the built-in defaults for what the line leaves out, "
      "never the saved settings. Templates are kept in the per-user settings "
      "($XDG_CONFIG_HOME/velkaro/settings.json, else ~/.config/velkaro/settings.json; the "
      "registry on Windows).\n"
      "Esc or q stops the run, the first Ctrl+C too; a second Ctrl+C ends the program at "
      "once. SIGTERM and SIGHUP stop the run as Ctrl+C does; once its threads have ended the "
      "program ends by that signal (a shell shows 143 or 129).\nExit codes: 0 run over (or "
      "the settings action done), 1 emergency close, 2 bad arguments or an unknown template, "
      "3 the run failed, 4 the settings could not be read, used or written, 5 the run ended "
      "before all its threads were started.");

  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    command.action = TCliAction::caHelp;
    command.text = app.help();
    return command;
  } catch (const CLI::CallForVersion& e) {
    command.action = TCliAction::caVersion;
    command.text = std::string(e.what()) + "\n";
    return command;
  } catch (const CLI::ParseError& e) {
    command.action = TCliAction::caBadArguments;
    command.text = e.what();
    return command;
  }
  if (list) {
    command.action = TCliAction::caList;
    return command;
  }
  if (templates) {
    command.action = TCliAction::caTemplates;
    return command;
  }
  if (delete_option->count() > 0) {
    command.action = TCliAction::caDeleteTemplate;
    command.template_name = FromUtf8(delete_template);
    return command;
  }
  if (use_option->count() > 0) command.use_template = FromUtf8(use_template);
  if (save_option->count() > 0) {
    command.action = TCliAction::caSaveTemplate;
    command.template_name = FromUtf8(save_template);
  }
  command.given = {app.count("--pause") > 0,    app.count("--time") > 0,
                   app.count("--priority") > 0, app.count("--class") > 0,
                   app.count("--rhythm") > 0,   app.count("--threads") > 0};

  std::string error;
  auto read = [&](const std::string& text, const RangeCheck& check, std::int32_t& target) {
    if (!error.empty()) return;
    if (const auto value = ReadOption(text, check, error)) target = static_cast<std::int32_t>(*value);
  };
  read(pause, {"--pause", 0, kMaxRunSeconds, " seconds"}, options.pause_s);
  read(time, {"--time", 0, kMaxRunSeconds, " seconds"}, options.time_s);
  read(priority, {"--priority", 1, 7, ""}, options.priority);
  read(rhythm, {"--rhythm", 1, 7, ""}, options.rhythm);
  if (error.empty()) {
    const std::optional<std::int64_t> value = ReadWholeNumber(priority_class);
    if (!value) {
      error = "--class: \"" + priority_class + "\" is not a whole number";
    } else {
      options.priority_class = static_cast<std::int32_t>(
          *value >= 0 && *value <= 7 ? *value : -1);
      if (PriorityClassIndex(options) < 0) {
        error = "--class: " + priority_class + " is not a class number (1, 3, 4, 5, 6 or 7)";
      }
    }
  }
  if (error.empty()) {
    if (const auto value = ReadOption(threads, {"--threads", 0, -1, ""}, error)) {
      options.threads_requested = *value;
      if (*value > kMaxThreadsCount) {
        options.threads = kMaxThreadsCount;
        command.warning = MarkupToPlainText(LangFormat(
            TextId::ThreadsLimitWarning, {IntToStrGrouped(kMaxThreadsCount, thousands_separator)}));
      } else {
        options.threads = static_cast<std::int32_t>(*value);
      }
    }
  }
  if (!error.empty()) {
    command.action = TCliAction::caBadArguments;
    command.text = error;
  }
  return command;
}

std::u16string ListText() {
  std::u16string text;
  auto add = [&text](TextId label, const auto& items) {
    text += LangText(label);
    text += u'\n';
    for (const TextId item : items) {
      text += u"  ";
      text += LangText(item);
      text += u'\n';
    }
  };
  add(TextId::PriorityLabel, kPriorityItems);
  add(TextId::PriorClassLabel, kClassItems);
  add(TextId::StyleLabel, kRhythmItems);
  return text;
}

}  // namespace velkaro
