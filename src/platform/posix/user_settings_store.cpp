#include "settings/user_settings_store.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/posix/settings_file_store.h"

namespace velkaro {

std::unique_ptr<TSettingsStore> OpenUserSettingsStore(TSettingsReport report) {
  const char* home = std::getenv("HOME");
  const char* account_home = nullptr;
  if (home == nullptr || home[0] == '\0') {
    if (const passwd* account = getpwuid(getuid())) account_home = account->pw_dir;
  }
  return std::make_unique<platform::TSettingsFileStore>(
      platform::UserSettingsFolder(std::getenv("XDG_CONFIG_HOME"), home, account_home),
      std::move(report));
}

}  // namespace velkaro
