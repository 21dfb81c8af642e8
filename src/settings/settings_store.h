// The per-user settings: one key of named values with subkeys below it (the stress
// templates), read and written through a store that each system supplies.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro {

// A number value that cannot be read or written; the message names the value.
class TSettingsError : public std::runtime_error {
 public:
  explicit TSettingsError(std::u16string message);
  const std::u16string& message() const { return message_; }

  // "Invalid data type for '<name>'": the value is not a 32-bit number.
  static TSettingsError InvalidDataType(std::u16string_view name);
  // "Failed to get data for '<name>'": the value does not fit four bytes.
  static TSettingsError FailedToGetData(std::u16string_view name);
  // "Failed to set data for '<name>'": the key opened but the value was refused.
  static TSettingsError FailedToSetData(std::u16string_view name);

 private:
  std::u16string message_;
};

// Every operation addresses a key by a suffix: empty for the settings key itself,
// "\Templates\" + name for a template. Names of keys and values ignore letter case.
class TSettingsStore {
 public:
  virtual ~TSettingsStore() = default;

  // `default_value` when the key or value is missing; throws TSettingsError when the
  // value is not a 32-bit number.
  virtual std::int32_t ReadSettingNumber(std::u16string_view name, std::int32_t default_value,
                                         std::u16string_view suffix) = 0;
  // `default_text` when the key or value is missing or the text is empty.
  virtual std::u16string ReadSettingText(std::u16string_view name,
                                         std::u16string_view default_text,
                                         std::u16string_view suffix) = 0;
  // Creates the key when missing. False when it cannot be opened or created; throws
  // TSettingsError when the value itself is refused.
  virtual bool WriteSettingNumber(std::u16string_view name, std::int32_t value,
                                  std::u16string_view suffix) = 0;
  // Creates the key when missing; false when the text could not be stored.
  virtual bool WriteSettingText(std::u16string_view name, std::u16string_view text,
                                std::u16string_view suffix) = 0;
  // Removes the key with everything below it; true when the key itself went.
  virtual bool RemoveSettingKey(std::u16string_view suffix) = 0;
  // The names of the key's subkeys in the store's order; nothing when the key is missing.
  virtual std::optional<std::vector<std::u16string>> ListSettingSubkeys(
      std::u16string_view suffix) = 0;
};

// A value of the settings key with its default.
struct TNumberSetting {
  std::u16string_view name;
  std::int32_t default_value;
};
struct TTextSetting {
  std::u16string_view name;
  std::u16string_view default_text;
};

// The values of the settings key; a template key holds the first six.
namespace settings {
inline constexpr TNumberSetting PauseBefore{u"PauseBefore", 3};
inline constexpr TNumberSetting Time{u"Time", 20};
inline constexpr TNumberSetting Priority{u"Priority", 5};
inline constexpr TNumberSetting ClassPriority{u"ClassPriority", 3};
inline constexpr TNumberSetting Rhythm{u"Rhythm", 0};
inline constexpr TNumberSetting Threads{u"Threads", 1};
inline constexpr TNumberSetting Compact{u"Compact", 1};
inline constexpr TNumberSetting AutoPin{u"AutoPin", 1};
// No default: without a stored place the window keeps the place it was designed with.
inline constexpr TTextSetting Place{u"Place", u""};
inline constexpr TTextSetting LatestTempl{u"LatestTempl", u""};
inline constexpr TTextSetting LangCode{u"LangCode", u""};
}  // namespace settings

// The suffix of the key that holds the templates, and of one template's key.
inline constexpr std::u16string_view kTemplatesSuffix = u"\\Templates";
std::u16string TemplateSuffix(std::u16string_view name);

std::int32_t ReadSetting(TSettingsStore& store, const TNumberSetting& setting,
                         std::u16string_view suffix = {});
std::u16string ReadSetting(TSettingsStore& store, const TTextSetting& setting,
                           std::u16string_view suffix = {});

}  // namespace velkaro
