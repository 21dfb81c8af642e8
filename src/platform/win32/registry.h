// Values and keys of the registry. The routines that read or write values OR an extra
// access mask (KEY_WOW64_64KEY for the program) into every key they open.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro::platform {

// A number value that cannot be read or written; the message names the value.
class RegistryError : public std::runtime_error {
 public:
  explicit RegistryError(std::u16string message);
  const std::u16string& message() const { return message_; }

 private:
  std::u16string message_;
};

// The text of a value (its terminating zero dropped); `default_text` when the key or
// value is missing, cannot be read or holds no data. The value's type is not checked.
std::u16string RegReadText(HKEY root, std::u16string_view key, std::u16string_view name,
                           std::u16string_view default_text, REGSAM extra_access);
// A REG_DWORD value; `default_value` when the key or value is missing. Throws
// RegistryError when the value holds anything else.
std::int32_t RegReadNumber(HKEY root, std::u16string_view key, std::u16string_view name,
                           std::int32_t default_value, REGSAM extra_access);
// Writes a REG_SZ value, creating the key when missing; an empty text is stored without
// data (and so reads back as the default). Returns 0 or the system error code.
LSTATUS RegWriteText(HKEY root, std::u16string_view key, std::u16string_view name,
                     std::u16string_view text, REGSAM extra_access);
// Writes a REG_DWORD value, creating the key when missing. False when the key cannot be
// opened; throws RegistryError when the value cannot be written.
bool RegWriteNumber(HKEY root, std::u16string_view key, std::u16string_view name,
                    std::int32_t value, REGSAM extra_access);
// Deletes the key with all its subkeys and values; true when the key itself went.
bool RegRemoveKey(HKEY root, std::u16string_view key);
// The names of the key's subkeys in the registry's order; nothing when the key cannot
// be opened.
std::optional<std::vector<std::u16string>> RegListSubkeys(HKEY root, std::u16string_view key);

}  // namespace velkaro::platform
