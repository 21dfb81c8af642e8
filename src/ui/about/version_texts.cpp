#include "ui/about/version_texts.h"

#include <string>

#include "support/text.h"
#include "support/utf.h"

namespace velkaro {
namespace {

std::u16string Decimal(int n) { return FromUtf8(std::to_string(n)); }

}  // namespace

std::u16string GetVersionTexts(const FileVersionInfo& version, std::u16string_view build_word) {
  std::u16string text = version.version + u"." + Decimal(version.release) + u" (" +
                        std::u16string(build_word) + u" " + Decimal(version.build) + u")";
  if (!version.product_suffix.empty()) text += u" " + version.product_suffix;
  return text;
}

std::u16string VersionKey(std::u16string_view long_text, int build) {
  const std::size_t blank = long_text.find(u' ');
  const std::u16string_view head = long_text.substr(0, blank);
  return UrlEncode(ReplaceAll(head, u".", u"_") + u"~" + Decimal(build));
}

std::u16string UpdateAddress(std::u16string_view host, std::u16string_view version_key) {
  return u"http://" + std::u16string(host) + u"/kq/checkupdate/" + std::u16string(version_key);
}

}  // namespace velkaro
