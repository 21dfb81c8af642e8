#include "support/version_info.h"

#include <string>

namespace velkaro {
namespace {

constexpr std::uint32_t kDebugFlag = 0x1;  // VS_FF_DEBUG

int HighWord(std::uint32_t value) { return static_cast<int>(value >> 16); }
int LowWord(std::uint32_t value) { return static_cast<int>(value & 0xFFFFu); }

std::u16string Decimal(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

FileVersionInfo MissingFileVersion() {
  FileVersionInfo info;
  info.version = u"CRASH";
  info.release = 0;
  info.build = -1;
  info.debug = true;
  return info;
}

FileVersionInfo DecodeFileVersion(std::uint32_t file_version_ms, std::uint32_t file_version_ls,
                                  std::uint32_t file_flags_mask, std::uint32_t file_flags,
                                  std::optional<std::u16string_view> product_version) {
  FileVersionInfo info;
  info.version = Decimal(HighWord(file_version_ms)) + u"." + Decimal(LowWord(file_version_ms));
  info.release = HighWord(file_version_ls);
  info.build = LowWord(file_version_ls);
  info.debug = (file_flags_mask & kDebugFlag) != 0 && (file_flags & kDebugFlag) != 0;
  if (product_version) {
    const std::size_t blank = product_version->find(u' ');
    if (blank != std::u16string_view::npos)
      info.product_suffix = product_version->substr(blank + 1);
  }
  return info;
}

}  // namespace velkaro
