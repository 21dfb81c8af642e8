// A settings store in memory that behaves as the registry does (names without regard
// to case, subkeys in the order they were made) and can hold what a real store may
// hold by accident: values of another type or longer than four bytes. Writes can be
// refused, and every write is logged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/settings_store.h"

namespace velkaro::testing {

struct TBinaryValue {};     // a value of another type than a number or text
struct TLongNumberValue {};  // number data longer than four bytes
using TStoredValue = std::variant<std::int32_t, std::u16string, TBinaryValue, TLongNumberValue>;

class TMemorySettingsStore final : public TSettingsStore {
 public:
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

  // Stores any value as it is, creating the key.
  void Put(std::u16string_view suffix, std::u16string_view name, TStoredValue value);
  // The value as stored; nothing when the key or value is missing.
  std::optional<TStoredValue> Get(std::u16string_view suffix, std::u16string_view name) const;
  bool HasKey(std::u16string_view suffix) const;

  // Writes into this key (and below it) fail as a key that cannot be created does.
  std::optional<std::u16string> refuse_key;
  // The write with this 0-based number fails as a key that cannot be created does.
  std::optional<std::size_t> refuse_write_number;
  // A write of a value with this name is refused after its key opened (it throws).
  std::optional<std::u16string> refuse_value;
  // Every write attempt, as "suffix|name".
  std::vector<std::u16string> writes;

 private:
  struct TKey {
    std::u16string name;
    std::vector<std::pair<std::u16string, TStoredValue>> values;
    std::vector<TKey> subkeys;
  };
  const TKey* Find(std::u16string_view suffix) const;
  TKey& Create(std::u16string_view suffix);
  bool Write(std::u16string_view name, TStoredValue value, std::u16string_view suffix);

  TKey root_;
};

}  // namespace velkaro::testing
