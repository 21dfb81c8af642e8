// The settings store of a POSIX user: one JSON file whose top-level object is the
// settings key. A number is a 32-bit value, a string a text value and an object a
// subkey, in the order they were made. Each change rereads the file under a lock and
// replaces it as a whole, so that a crash never leaves half a file and two programs
// that change different values keep both.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_store.h"
#include "settings/user_settings_store.h"

namespace velkaro::platform {

// The folder of the settings: $XDG_CONFIG_HOME/velkaro when that is an absolute path,
// else <home>/.config/velkaro with $HOME or, when that is unset or empty, the home
// folder of the user's account. Empty when there is no home at all.
std::string UserSettingsFolder(const char* xdg_config_home, const char* home,
                               const char* account_home);

// Points where a test can step into a change.
struct TSettingsFileHooks {
  // Under the lock, after the file was read for the change.
  std::function<void()> after_read;
  // After the new file was written and flushed, before it replaces the old one;
  // false makes the change fail there.
  std::function<bool()> before_rename;
};

class TSettingsFileStore final : public TSettingsStore {
 public:
  // `folder` holds "settings.json" with its lock file; `report` hears of a file that
  // cannot be read or was damaged and set aside, and of a change that could not be
  // written, with the path and the system's reason (each message once in a row).
  TSettingsFileStore(std::string folder, TSettingsReport report);

  std::int32_t ReadSettingNumber(std::u16string_view name, std::int32_t default_value,
                                 std::u16string_view suffix) override;
  std::u16string ReadSettingText(std::u16string_view name, std::u16string_view default_text,
                                 std::u16string_view suffix) override;
  bool WriteSettingNumber(std::u16string_view name, std::int32_t value,
                          std::u16string_view suffix) override;
  bool WriteSettingText(std::u16string_view name, std::u16string_view text,
                        std::u16string_view suffix) override;
  bool RemoveSettingKey(std::u16string_view suffix) override;
  std::optional<std::vector<std::u16string>> ListSettingSubkeys(
      std::u16string_view suffix) override;

  const std::string& FilePath() const { return file_path_; }
  void SetHooks(TSettingsFileHooks hooks) { hooks_ = std::move(hooks); }

 private:
  class TDocument;
  TDocument ReadForLookup();
  // Runs `apply` on the file's document under the lock and writes the document when
  // `apply` returns true. False when nothing was written.
  bool Change(const std::function<bool(TDocument&)>& apply);
  bool Replace(const TDocument& document);
  void Report(std::u16string message);
  // Reports that a change failed at `path` with the system's `error`; returns false.
  bool WriteFailed(std::string_view path, int error);

  std::string folder_;
  std::string file_path_;
  TSettingsReport report_;
  TSettingsFileHooks hooks_;
  std::u16string last_report_;
};

}  // namespace velkaro::platform
