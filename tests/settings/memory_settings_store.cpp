#include "memory_settings_store.h"

#include <algorithm>

#include "support/text.h"

namespace velkaro::testing {
namespace {

std::vector<std::u16string> PathOf(std::u16string_view suffix) {
  std::vector<std::u16string> parts;
  std::u16string part;
  for (const char16_t c : suffix) {
    if (c != u'\\') {
      part += c;
    } else if (!part.empty()) {
      parts.push_back(std::move(part));
      part.clear();
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

template <class Items>
auto FindNamed(Items& items, std::u16string_view name) {
  return std::find_if(items.begin(), items.end(), [name](const auto& item) {
    if constexpr (requires { item.first; }) {
      return SameTextCI(item.first, name);
    } else {
      return SameTextCI(item.name, name);
    }
  });
}

bool IsBelow(std::u16string_view suffix, std::u16string_view key) {
  const std::vector<std::u16string> a = PathOf(suffix);
  const std::vector<std::u16string> b = PathOf(key);
  if (a.size() < b.size()) return false;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (!SameTextCI(a[i], b[i])) return false;
  }
  return true;
}

}  // namespace

const TMemorySettingsStore::TKey* TMemorySettingsStore::Find(std::u16string_view suffix) const {
  const TKey* key = &root_;
  for (const std::u16string& part : PathOf(suffix)) {
    const auto it = FindNamed(key->subkeys, part);
    if (it == key->subkeys.end()) return nullptr;
    key = &*it;
  }
  return key;
}

TMemorySettingsStore::TKey& TMemorySettingsStore::Create(std::u16string_view suffix) {
  TKey* key = &root_;
  for (const std::u16string& part : PathOf(suffix)) {
    auto it = FindNamed(key->subkeys, part);
    if (it == key->subkeys.end()) {
      key->subkeys.push_back(TKey{part, {}, {}});
      it = key->subkeys.end() - 1;
    }
    key = &*it;
  }
  return *key;
}

std::int32_t TMemorySettingsStore::ReadSettingNumber(std::u16string_view name,
                                                     std::int32_t default_value,
                                                     std::u16string_view suffix) {
  const std::optional<TStoredValue> value = Get(suffix, name);
  if (!value) return default_value;
  if (const auto* number = std::get_if<std::int32_t>(&*value)) return *number;
  if (std::holds_alternative<TLongNumberValue>(*value)) throw TSettingsError::FailedToGetData(name);
  throw TSettingsError::InvalidDataType(name);
}

std::u16string TMemorySettingsStore::ReadSettingText(std::u16string_view name,
                                                     std::u16string_view default_text,
                                                     std::u16string_view suffix) {
  const std::optional<TStoredValue> value = Get(suffix, name);
  const auto* text = value ? std::get_if<std::u16string>(&*value) : nullptr;
  if (text == nullptr || text->empty()) return std::u16string(default_text);
  return *text;
}

bool TMemorySettingsStore::Write(std::u16string_view name, TStoredValue value,
                                 std::u16string_view suffix) {
  const std::size_t number = writes.size();
  writes.push_back(std::u16string(suffix) + u"|" + std::u16string(name));
  if (refuse_key && IsBelow(suffix, *refuse_key)) return false;
  if (refuse_write_number == number) return false;
  if (refuse_value && SameTextCI(*refuse_value, name)) throw TSettingsError::FailedToSetData(name);
  Put(suffix, name, std::move(value));
  return true;
}

bool TMemorySettingsStore::WriteSettingNumber(std::u16string_view name, std::int32_t value,
                                              std::u16string_view suffix) {
  return Write(name, value, suffix);
}

bool TMemorySettingsStore::WriteSettingText(std::u16string_view name, std::u16string_view text,
                                            std::u16string_view suffix) {
  return Write(name, std::u16string(text), suffix);
}

bool TMemorySettingsStore::RemoveSettingKey(std::u16string_view suffix) {
  const std::vector<std::u16string> path = PathOf(suffix);
  if (path.empty()) {
    root_ = TKey{};
    return true;
  }
  std::u16string parent;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) parent += u"\\" + path[i];
  TKey* key = const_cast<TKey*>(Find(parent));
  if (key == nullptr) return false;
  const auto it = FindNamed(key->subkeys, path.back());
  if (it == key->subkeys.end()) return false;
  key->subkeys.erase(it);
  return true;
}

std::optional<std::vector<std::u16string>> TMemorySettingsStore::ListSettingSubkeys(
    std::u16string_view suffix) {
  const TKey* key = Find(suffix);
  if (key == nullptr) return std::nullopt;
  std::vector<std::u16string> names;
  for (const TKey& subkey : key->subkeys) names.push_back(subkey.name);
  return names;
}

void TMemorySettingsStore::Put(std::u16string_view suffix, std::u16string_view name,
                               TStoredValue value) {
  TKey& key = Create(suffix);
  const auto it = FindNamed(key.values, name);
  if (it != key.values.end()) {
    it->second = std::move(value);
  } else {
    key.values.emplace_back(std::u16string(name), std::move(value));
  }
}

std::optional<TStoredValue> TMemorySettingsStore::Get(std::u16string_view suffix,
                                                      std::u16string_view name) const {
  const TKey* key = Find(suffix);
  if (key == nullptr) return std::nullopt;
  const auto it = FindNamed(key->values, name);
  if (it == key->values.end()) return std::nullopt;
  return it->second;
}

bool TMemorySettingsStore::HasKey(std::u16string_view suffix) const {
  return Find(suffix) != nullptr;
}

}  // namespace velkaro::testing
