#include "cli/cli_settings.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "lang/string_table.h"
#include "settings/templates.h"
#include "support/text.h"
#include "support/utf.h"

namespace velkaro {
namespace {

// Appends the pieces in one buffer (chains of operator+ on u16string trip a false
// -Wrestrict of the mingw g++ 12 at -O3).
std::u16string Join(std::initializer_list<std::u16string_view> pieces) {
  std::u16string text;
  for (const std::u16string_view piece : pieces) text += piece;
  return text;
}

std::u16string Quoted(std::u16string_view name) { return Join({u"'", name, u"'"}); }

TCliOutcome Failure(int exit_code, std::u16string_view text) {
  return {exit_code, {}, Join({u"velkaro-cli: ", text, u"\n"})};
}

TCliOutcome SettingsFailure(const TSettingsError& error) {
  return Failure(kExitSettingsFailed, error.message());
}

// The stored spelling of a template, found as the store finds keys: without regard to case.
std::optional<std::u16string> FindTemplate(TSettingsStore& store, std::u16string_view name) {
  if (name.empty() || name.find(u'\\') != std::u16string_view::npos) return std::nullopt;
  if (const auto names = store.ListSettingSubkeys(kTemplatesSuffix)) {
    for (const std::u16string& stored : *names) {
      if (SameTextCI(stored, name)) return stored;
    }
  }
  return std::nullopt;
}

TCliOutcome UnknownTemplate(std::u16string_view name) {
  return Failure(kExitBadArguments, Join({u"there is no template ", Quoted(name),
                                          u" (velkaro-cli --templates lists them)"}));
}

std::u16string Decimal(std::int64_t value) { return FromUtf8(std::to_string(value)); }

}  // namespace

TRunSettings RunSettingsOfOptions(const TCliOptions& options) {
  return {options.pause_s,           options.time_s,         PriorityIndex(options),
          PriorityClassIndex(options), RhythmIndex(options), options.threads};
}

std::optional<TCliOutcome> UseTemplate(TSettingsStore& store, TCliCommand& command) {
  const std::u16string requested = command.use_template.value_or(u"");
  try {
    const std::optional<std::u16string> name = FindTemplate(store, requested);
    if (!name) return UnknownTemplate(requested);
    const TRunSettings run = ReadRunSettings(store, TemplateSuffix(*name), RunListCounts());
    const TCliGiven& given = command.given;
    TCliOptions& options = command.options;
    auto out_of_range = [&name](std::u16string_view value, std::int32_t seconds) {
      return Failure(kExitSettingsFailed,
                     Join({u"template ", Quoted(*name), u": ", value, u" ", Decimal(seconds),
                           u" is out of range (0 to ", Decimal(kMaxRunSeconds), u" seconds)"}));
    };
    if (!given.pause) {
      // As in the window, a negative pause counts as none.
      if (run.pause_s > kMaxRunSeconds) return out_of_range(settings::PauseBefore.name, run.pause_s);
      options.pause_s = std::max(run.pause_s, 0);
    }
    if (!given.time) {
      if (run.time_s < 0 || run.time_s > kMaxRunSeconds) {
        return out_of_range(settings::Time.name, run.time_s);
      }
      options.time_s = run.time_s;
    }
    if (!given.priority) options.priority = run.priority + 1;
    if (!given.priority_class) options.priority_class = PriorityClassNumber(run.priority_class);
    if (!given.rhythm) options.rhythm = run.rhythm + 1;
    if (!given.threads) {
      options.threads = run.threads;
      options.threads_requested = run.threads;
    }
    command.use_template = *name;
  } catch (const TSettingsError& e) {
    return SettingsFailure(e);
  }
  return std::nullopt;
}

TCliOutcome SaveTemplateCommand(TSettingsStore& store, const TCliCommand& command) {
  try {
    TTemplates templates(store);
    const TTemplateSaveResult result =
        templates.SaveTemplate(command.template_name, RunSettingsOfOptions(command.options));
    if (!result.settings_saved) {
      return Failure(kExitSettingsFailed, u"the run settings could not be saved");
    }
    switch (result.outcome) {
      case TTemplateSave::tsSettingsOnly:
        return {kExitRunOver, u"Saved the run settings; no template without a name.\n", {}};
      case TTemplateSave::tsSaveError:
        return Failure(kExitSettingsFailed, LangText(TextId::SaveError));
      case TTemplateSave::tsSaved:
        break;
    }
    return {kExitRunOver, Join({u"Saved the template ", Quoted(result.name), u".\n"}), {}};
  } catch (const TSettingsError& e) {
    return SettingsFailure(e);
  }
}

TCliOutcome DeleteTemplateCommand(TSettingsStore& store, std::u16string_view name) {
  try {
    const std::optional<std::u16string> stored = FindTemplate(store, name);
    if (!stored) return UnknownTemplate(name);
    TTemplates templates(store);
    templates.DeleteTemplate(*stored);
    if (FindTemplate(store, *stored)) {
      return Failure(kExitSettingsFailed,
                     Join({u"the template ", Quoted(*stored), u" could not be removed"}));
    }
    return {kExitRunOver, Join({u"Removed the template ", Quoted(*stored), u".\n"}), {}};
  } catch (const TSettingsError& e) {
    return SettingsFailure(e);
  }
}

TCliOutcome ListTemplatesCommand(TSettingsStore& store) {
  try {
    TTemplates templates(store);
    templates.RefreshTemplates();
    const TTemplateMenu menu = templates.Menu();
    TCliOutcome outcome;
    // The list goes to standard output alone, so that a script can read it as it is.
    if (menu.empty_list_visible) outcome.err = Join({LangText(TextId::MenuEmptyList), u"\n"});
    for (const TTemplateMenuItem& item : menu.items) {
      outcome.out += item.caption;
      outcome.out += item.bold ? u" *\n" : u"\n";
    }
    return outcome;
  } catch (const TSettingsError& e) {
    return SettingsFailure(e);
  }
}

}  // namespace velkaro
