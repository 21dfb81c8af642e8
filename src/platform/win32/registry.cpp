#include "platform/win32/registry.h"

#include <iterator>

#include "platform/win32/handle.h"
#include "platform/win32/wide.h"
#include "support/text.h"
#include "support/utf.h"

namespace velkaro::platform {
namespace {

constexpr char16_t kInvalidDataType[] = u"Invalid data type for '%s'";
constexpr char16_t kFailedToGetData[] = u"Failed to get data for '%s'";
constexpr char16_t kFailedToSetData[] = u"Failed to set data for '%s'";

[[noreturn]] void Raise(std::u16string_view format, std::u16string_view name) {
  throw RegistryError(ReplaceAll(format, u"%s", name));
}

ScopedRegKey OpenKey(HKEY parent, const std::wstring& key, REGSAM access) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(parent, key.c_str(), 0, access, &handle) != ERROR_SUCCESS) return {};
  return ScopedRegKey(handle);
}

ScopedRegKey CreateKey(HKEY parent, const std::wstring& key, REGSAM access, LSTATUS& status) {
  HKEY handle = nullptr;
  status = RegCreateKeyExW(parent, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                           nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return {};
  return ScopedRegKey(handle);
}

// Deletes the subkeys of `key` (already open with enumeration rights), deepest first.
void RemoveSubkeys(HKEY key) {
  // Names first: deleting while enumerating would shift the indexes.
  std::vector<std::wstring> names;
  wchar_t name[256];  // registry key names are at most 255 characters
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  for (const std::wstring& subkey : names) {
    if (const ScopedRegKey child = OpenKey(key, subkey, KEY_READ | KEY_WRITE)) {
      RemoveSubkeys(child.Get());
    }
    RegDeleteKeyW(key, subkey.c_str());
  }
}

}  // namespace

RegistryError::RegistryError(std::u16string message)
    : std::runtime_error(ToUtf8(message)), message_(std::move(message)) {}

std::u16string RegReadText(HKEY root, std::u16string_view key, std::u16string_view name,
                           std::u16string_view default_text, REGSAM extra_access) {
  const ScopedRegKey handle = OpenKey(root, ToWide(key), KEY_READ | extra_access);
  if (!handle) return std::u16string(default_text);
  const std::wstring value_name = ToWide(name);
  DWORD size = 0;
  if (RegQueryValueExW(handle.Get(), value_name.c_str(), nullptr, nullptr, nullptr, &size) !=
          ERROR_SUCCESS ||
      size == 0) {
    return std::u16string(default_text);
  }
  // One spare unit, so that an odd size or data stored without its zero still fit.
  std::u16string text(size / 2 + 1, u'\0');
  if (RegQueryValueExW(handle.Get(), value_name.c_str(), nullptr, nullptr,
                       reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS ||
      size == 0) {
    return std::u16string(default_text);
  }
  text.resize(size / 2);
  // The stored zero ends the text; data written without one loses nothing.
  if (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

std::int32_t RegReadNumber(HKEY root, std::u16string_view key, std::u16string_view name,
                           std::int32_t default_value, REGSAM extra_access) {
  const ScopedRegKey handle = OpenKey(root, ToWide(key), KEY_READ | extra_access);
  if (!handle) return default_value;
  const std::wstring value_name = ToWide(name);
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof(data);
  const LSTATUS status = RegQueryValueExW(handle.Get(), value_name.c_str(), nullptr, &type,
                                          reinterpret_cast<BYTE*>(&data), &size);
  if (status == ERROR_FILE_NOT_FOUND) return default_value;
  if (status != ERROR_SUCCESS) Raise(kFailedToGetData, name);
  if (type != REG_DWORD) Raise(kInvalidDataType, name);
  return static_cast<std::int32_t>(data);
}

LSTATUS RegWriteText(HKEY root, std::u16string_view key, std::u16string_view name,
                     std::u16string_view text, REGSAM extra_access) {
  const std::wstring key_path = ToWide(key);
  LSTATUS status = ERROR_SUCCESS;
  if (!CreateKey(root, key_path, KEY_CREATE_SUB_KEY | extra_access, status)) return status;
  HKEY raw = nullptr;
  status = RegOpenKeyExW(root, key_path.c_str(), 0, KEY_SET_VALUE | extra_access, &raw);
  if (status != ERROR_SUCCESS) return status;
  const ScopedRegKey handle(raw);
  const std::wstring data = ToWide(text);
  const auto size =
      data.empty() ? DWORD{0} : static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(handle.Get(), ToWide(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()), size);
}

bool RegWriteNumber(HKEY root, std::u16string_view key, std::u16string_view name,
                    std::int32_t value, REGSAM extra_access) {
  LSTATUS status = ERROR_SUCCESS;
  const ScopedRegKey handle =
      CreateKey(root, ToWide(key), KEY_READ | KEY_SET_VALUE | extra_access, status);
  if (!handle) return false;
  const auto data = static_cast<DWORD>(value);
  if (RegSetValueExW(handle.Get(), ToWide(name).c_str(), 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&data), sizeof(data)) != ERROR_SUCCESS) {
    Raise(kFailedToSetData, name);
  }
  return true;
}

bool RegRemoveKey(HKEY root, std::u16string_view key) {
  const std::wstring key_path = ToWide(key);
  {
    const ScopedRegKey handle = OpenKey(root, key_path, KEY_READ | KEY_WRITE);
    if (handle) RemoveSubkeys(handle.Get());
  }
  return RegDeleteKeyW(root, key_path.c_str()) == ERROR_SUCCESS;
}

std::optional<std::vector<std::u16string>> RegListSubkeys(HKEY root, std::u16string_view key) {
  const ScopedRegKey handle = OpenKey(root, ToWide(key), KEY_READ);
  if (!handle) return std::nullopt;
  std::vector<std::u16string> names;
  wchar_t name[256];  // registry key names are at most 255 characters
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumKeyExW(handle.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.push_back(FromWide(std::wstring_view(name, length)));
  }
  return names;
}

}  // namespace velkaro::platform
