// The console front end's use of the settings store: runs with a stored template, and
// saving, deleting and listing templates as the window does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_options.h"
#include "settings/run_settings.h"
#include "settings/settings_store.h"

namespace velkaro {

// The options as the store keeps them: 0-based list positions.
TRunSettings RunSettingsOfOptions(const TCliOptions& options);

// What a settings action printed and how the program ends. Every text ends with a line
// break; error texts begin with "velkaro-cli: ".
struct TCliOutcome {
  int exit_code = kExitRunOver;
  std::u16string out;
  std::u16string err;
  friend bool operator==(const TCliOutcome&, const TCliOutcome&) = default;
};

// --template: the options the line did not give take the template's values (defaults
// for the values it lacks), numbered as the lists number their items, and
// `use_template` becomes the name as stored. Nothing when that worked; otherwise why not.
std::optional<TCliOutcome> UseTemplate(TSettingsStore& store, TCliCommand& command);
TCliOutcome SaveTemplateCommand(TSettingsStore& store, const TCliCommand& command);
TCliOutcome DeleteTemplateCommand(TSettingsStore& store, std::u16string_view name);
TCliOutcome ListTemplatesCommand(TSettingsStore& store);

}  // namespace velkaro
