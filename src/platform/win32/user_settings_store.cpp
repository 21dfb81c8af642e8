// The settings of the current user in the registry: the key
// HKEY_CURRENT_USER\Software\Quenmark\Velkaro in the 64-bit view, templates as subkeys.
#include "settings/user_settings_store.h"

#include <windows.h>

#include <string>

#include "platform/win32/registry.h"

namespace velkaro {
namespace {

constexpr std::u16string_view kSettingsKey = u"Software\\Quenmark\\Velkaro";
// Values are read and written in the 64-bit view, so that 32-bit and 64-bit copies
// of the program share them.
constexpr REGSAM kValueAccess = KEY_WOW64_64KEY;

std::u16string KeyOf(std::u16string_view suffix) {
  return std::u16string(kSettingsKey) + std::u16string(suffix);
}

class TRegistrySettingsStore final : public TSettingsStore {
 public:
  std::int32_t ReadSettingNumber(std::u16string_view name, std::int32_t default_value,
                                 std::u16string_view suffix) override {
    try {
      return platform::RegReadNumber(HKEY_CURRENT_USER, KeyOf(suffix), name, default_value,
                                     kValueAccess);
    } catch (const platform::RegistryError& error) {
      throw TSettingsError(error.message());
    }
  }
  std::u16string ReadSettingText(std::u16string_view name, std::u16string_view default_text,
                                 std::u16string_view suffix) override {
    return platform::RegReadText(HKEY_CURRENT_USER, KeyOf(suffix), name, default_text,
                                 kValueAccess);
  }
  bool WriteSettingNumber(std::u16string_view name, std::int32_t value,
                          std::u16string_view suffix) override {
    try {
      return platform::RegWriteNumber(HKEY_CURRENT_USER, KeyOf(suffix), name, value, kValueAccess);
    } catch (const platform::RegistryError& error) {
      throw TSettingsError(error.message());
    }
  }
  bool WriteSettingText(std::u16string_view name, std::u16string_view text,
                        std::u16string_view suffix) override {
    return platform::RegWriteText(HKEY_CURRENT_USER, KeyOf(suffix), name, text, kValueAccess) ==
           ERROR_SUCCESS;
  }
  bool RemoveSettingKey(std::u16string_view suffix) override {
    return platform::RegRemoveKey(HKEY_CURRENT_USER, KeyOf(suffix));
  }
  std::optional<std::vector<std::u16string>> ListSettingSubkeys(
      std::u16string_view suffix) override {
    return platform::RegListSubkeys(HKEY_CURRENT_USER, KeyOf(suffix));
  }
};

}  // namespace

std::unique_ptr<TSettingsStore> OpenUserSettingsStore(TSettingsReport /*report*/) {
  // The registry repairs nothing on its own, so there is nothing to report.
  return std::make_unique<TRegistrySettingsStore>();
}

}  // namespace velkaro
