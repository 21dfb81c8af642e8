#include "platform/version.h"

#include <windows.h>

#include <cwchar>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/wide.h"

namespace velkaro::platform {
namespace {

// The ProductVersion string of the one language the resource declares; nothing when
// it declares none or several, or lacks the string.
std::optional<std::u16string> ProductVersion(const std::vector<std::uint8_t>& data) {
  void* translation = nullptr;
  UINT translation_size = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &translation,
                      &translation_size) ||
      translation_size != 4) {
    return std::nullopt;
  }
  const auto* words = static_cast<const WORD*>(translation);
  wchar_t query[64];
  std::swprintf(query, std::size(query), L"\\StringFileInfo\\%04X%04X\\ProductVersion",
                static_cast<unsigned>(words[0]), static_cast<unsigned>(words[1]));
  void* text = nullptr;
  UINT text_length = 0;
  if (!VerQueryValueW(data.data(), query, &text, &text_length) || text == nullptr) {
    return std::nullopt;
  }
  return FromWide(static_cast<const wchar_t*>(text));
}

}  // namespace

FileVersionInfo GetFileVersion(std::u16string_view path, bool want_suffix) {
  const std::wstring wide = ToWide(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
  if (size == 0) return MissingFileVersion();
  std::vector<std::uint8_t> data(size);
  if (!GetFileVersionInfoW(wide.c_str(), 0, size, data.data())) return MissingFileVersion();

  void* fixed = nullptr;
  UINT fixed_size = 0;
  if (!VerQueryValueW(data.data(), L"\\", &fixed, &fixed_size) ||
      fixed_size < sizeof(VS_FIXEDFILEINFO)) {
    return MissingFileVersion();
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  std::optional<std::u16string> product;
  if (want_suffix) product = ProductVersion(data);
  return DecodeFileVersion(info->dwFileVersionMS, info->dwFileVersionLS, info->dwFileFlagsMask,
                           info->dwFileFlags,
                           product ? std::optional<std::u16string_view>(*product) : std::nullopt);
}

}  // namespace velkaro::platform
