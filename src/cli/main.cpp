// velkaro-cli: a stress run from a terminal, with the window's parameters as options.
#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_host.h"
#include "cli/cli_json.h"
#include "cli/cli_options.h"
#include "cli/cli_settings.h"
#include "engine/run_controller.h"
#include "engine/run_outcome.h"
#include "lang/lang_format.h"
#include "lang/language_file.h"
#include "lang/language_folders.h"
#include "platform/console.h"
#include "platform/locale.h"
#include "settings/user_settings_store.h"
#include "support/text.h"
#include "support/utf.h"

namespace velkaro {
namespace {

using platform::ConsoleBegin;
using platform::ConsoleIsTerminal;
using platform::ConsoleRestore;
using platform::ConsoleWrite;
using platform::TConsoleStream;

// Whatever way main is left, the terminal gets its modes back.
struct ConsoleGuard {
  ConsoleGuard() { ConsoleBegin(); }
  ~ConsoleGuard() { ConsoleRestore(); }
  ConsoleGuard(const ConsoleGuard&) = delete;
  ConsoleGuard& operator=(const ConsoleGuard&) = delete;
};

// The first Ctrl+C (or SIGTERM, SIGHUP) stops the run as Esc does.
class StopOnInterrupt final : public platform::TConsoleInterruptTarget {
 public:
  explicit StopOnInterrupt(TRunController& controller) : controller_(controller) {}
  void OnFirstInterrupt() noexcept override { controller_.Stop(); }

 private:
  TRunController& controller_;
};

const char* RunEndName(TRunEnd end) {
  switch (end) {
    case TRunEnd::reTimeOver: return "time_over";
    case TRunEnd::reTerminated: return "terminated";
    case TRunEnd::reFailed: return "failed";
    case TRunEnd::reStopped:
    case TRunEnd::reNone: break;
  }
  return "stopped";
}

int Run(const TCliOptions& options, const std::u16string& warning,
        const std::optional<std::u16string>& template_name) {
  const TConsoleStream display = options.json ? TConsoleStream::csErr : TConsoleStream::csOut;
  const bool redraw = ConsoleIsTerminal(display) && platform::ConsoleEnableRedraw(display);
  if (!warning.empty()) ConsoleWrite(display, warning + u"\n");

  ConsoleGuard console;
  TCliHost host(display, redraw);
  TRunController controller(host);
  host.SetController(&controller);
  host.SetRequestedThreads(options.threads);
  StopOnInterrupt stop_on_interrupt(controller);
  platform::ConsoleSetInterruptTarget(&stop_on_interrupt);

  TCliReport report;
  report.options = options;
  report.template_name = template_name;
  report.planned_ms = static_cast<std::uint64_t>(options.time_s) * 1000;
  report.end = "stopped";
  std::int32_t started = 0;

  host.Meter().ClearPercents();
  if (host.RunPause(options.pause_s)) {
    host.Meter().ClearPercents();
    const auto t0 = std::chrono::steady_clock::now();
    controller.RunStress(PriorityClasses[static_cast<std::size_t>(PriorityClassIndex(options))],
                         options.threads, PriorityIndex(options),
                         static_cast<std::uint32_t>(options.time_s) * 1000u,
                         static_cast<TStressStyle>(RhythmIndex(options)), report.error, started);
    report.actual_ms = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count());
    report.end = RunEndName(controller.LastRunEnd());
    if (!report.error.empty()) report.end = "failed";
  }
  platform::ConsoleSetInterruptTarget(nullptr);
  host.Finish();
  ConsoleRestore();

  report.requested = controller.LastRunRequested();
  report.started = started;
  report.samples = host.AllSamples();
  if (!report.samples.empty()) report.average = host.Meter().AvgPercent();

  if (report.error.empty()) {
    ConsoleWrite(display,
                 FulfilledThreadsText(started, report.requested, platform::ThousandsSeparator()) +
                     u"\n");
  } else {
    ConsoleWrite(TConsoleStream::csErr, report.error + u"\n");
    if (!host.LimitNote().empty()) ConsoleWrite(TConsoleStream::csErr, host.LimitNote() + u"\n");
  }
  if (options.json) ConsoleWrite(TConsoleStream::csOut, FromUtf8(JsonReport(report)));
  return RunExitCode(report);
}

// The store is opened only for a settings action: a plain run never depends on it.
std::unique_ptr<TSettingsStore> OpenStore() {
  return OpenUserSettingsStore([](std::u16string_view message) {
    ConsoleWrite(TConsoleStream::csErr, u"velkaro-cli: " + std::u16string(message) + u"\n");
  });
}

int PrintOutcome(const TCliOutcome& outcome) {
  if (!outcome.out.empty()) ConsoleWrite(TConsoleStream::csOut, outcome.out);
  if (!outcome.err.empty()) ConsoleWrite(TConsoleStream::csErr, outcome.err);
  return outcome.exit_code;
}

// The texts of the string table in the language of --lang, else in the one chosen in
// the window. False (after saying why) when --lang names no usable language file.
bool LoadLanguage(const std::vector<std::string>& args) {
  TLanguageLoader loader(LanguageFolders());
  if (const std::optional<std::string> code = LanguageArgument(args)) {
    const std::u16string wanted = *code == "en" ? std::u16string() : FromUtf8(*code);
    switch (loader.ReloadLanguage(wanted)) {
      case TLangLoad::llMissing:
        ConsoleWrite(TConsoleStream::csErr,
                     u"velkaro-cli: --lang: no language file " + wanted + u".lng in the Langs folder\n");
        return false;
      case TLangLoad::llOtherEncoding:
        ConsoleWrite(TConsoleStream::csErr, u"velkaro-cli: --lang: " + wanted +
                                                u".lng is not a UTF-16 language file\n");
        return false;
      default:
        return true;
    }
  }
  // A stored code whose file is gone leaves the texts English.
  if (const std::unique_ptr<TSettingsStore> store = OpenStore()) {
    loader.ReloadLanguage(ReadSetting(*store, settings::LangCode));
  }
  return true;
}

int Main(const std::vector<std::string>& args) {
  if (!LoadLanguage(args)) return kExitBadArguments;
  TCliCommand command = ParseCliArguments(args, platform::ThousandsSeparator());
  std::unique_ptr<TSettingsStore> store;
  const bool uses_store = command.use_template || command.action == TCliAction::caTemplates ||
                          command.action == TCliAction::caSaveTemplate ||
                          command.action == TCliAction::caDeleteTemplate;
  if (uses_store && command.action != TCliAction::caBadArguments) {
    store = OpenStore();
    if (command.use_template) {
      if (const auto failure = UseTemplate(*store, command)) return PrintOutcome(*failure);
    }
  }
  switch (command.action) {
    case TCliAction::caHelp:
    case TCliAction::caVersion:
      ConsoleWrite(TConsoleStream::csOut, FromUtf8(command.text));
      return kExitRunOver;
    case TCliAction::caList:
      ConsoleWrite(TConsoleStream::csOut, ListText());
      return kExitRunOver;
    case TCliAction::caBadArguments:
      ConsoleWrite(TConsoleStream::csErr,
                   u"velkaro-cli: " + FromUtf8(command.text) +
                       u"\nRun velkaro-cli --help for the options.\n");
      return kExitBadArguments;
    case TCliAction::caTemplates:
      return PrintOutcome(ListTemplatesCommand(*store));
    case TCliAction::caSaveTemplate:
      return PrintOutcome(SaveTemplateCommand(*store, command));
    case TCliAction::caDeleteTemplate:
      return PrintOutcome(DeleteTemplateCommand(*store, command.template_name));
    case TCliAction::caRun:
      break;
  }
  return Run(command.options, command.warning, command.use_template);
}

}  // namespace
}  // namespace velkaro

int main(int argc, char** argv) {
  try {
    const int code = velkaro::Main(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    // A run stopped by SIGTERM or SIGHUP is over only now, with everything said.
    velkaro::platform::ConsoleEndAsRequested();
    return code;
  } catch (const std::exception& e) {
    velkaro::platform::ConsoleRestore();
    velkaro::platform::ConsoleWrite(velkaro::platform::TConsoleStream::csErr,
                          u"velkaro-cli: " + velkaro::FromUtf8(e.what()) + u"\n");
    return 3;
  }
}
