// The settings store of the current user on the running system.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "settings/settings_store.h"

namespace velkaro {

// Receives, for the user, a problem the store got over on its own (a damaged settings
// file set aside, for one; the program goes on with the defaults), or why a change could
// not be written (the write itself then fails).
using TSettingsReport = std::function<void(std::u16string_view message)>;

std::unique_ptr<TSettingsStore> OpenUserSettingsStore(TSettingsReport report = {});

}  // namespace velkaro
