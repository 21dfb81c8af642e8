#include "platform/locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstddef>
#include <cwctype>
#include <string>

#include "support/utf.h"

namespace velkaro::platform {
namespace {

// Owns a locale object made by newlocale, so that nothing here touches the process's
// global locale.
class ScopedLocale {
 public:
  ScopedLocale(int mask, const char* name) : locale_(newlocale(mask, name, locale_t{})) {}
  ~ScopedLocale() {
    if (locale_ != locale_t{}) freelocale(locale_);
  }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  bool valid() const { return locale_ != locale_t{}; }
  locale_t get() const { return locale_; }

 private:
  locale_t locale_;
};

// One item of the number format the environment (LC_ALL, LC_NUMERIC, LANG) asks for;
// a locale named there but not installed falls back to "C".
std::u16string NumericItem(nl_item item) {
  ScopedLocale user(LC_NUMERIC_MASK, "");
  if (user.valid()) return FromUtf8(nl_langinfo_l(item, user.get()));
  ScopedLocale classic(LC_NUMERIC_MASK, "C");
  if (classic.valid()) return FromUtf8(nl_langinfo_l(item, classic.get()));
  return {};
}

}  // namespace

std::u16string ThousandsSeparator() { return NumericItem(THOUSEP); }

std::u16string DecimalSeparator() { return NumericItem(RADIXCHAR); }

void FillLowerCaseTable(std::span<char16_t, 0x10000> table) {
  for (std::size_t c = 0; c < table.size(); ++c) table[c] = static_cast<char16_t>(c);
  ScopedLocale utf8(LC_CTYPE_MASK, "C.UTF-8");
  if (!utf8.valid()) return;
  for (std::size_t c = 0; c < 0xFFFF; ++c) {
    // A surrogate alone is no character; wide characters are UTF-32 here.
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::wint_t lower = towlower_l(static_cast<std::wint_t>(c), utf8.get());
    // Only a mapping to one unit of the same plane fits the table.
    if (lower < 0xFFFF && (lower < 0xD800 || lower > 0xDFFF)) {
      table[c] = static_cast<char16_t>(lower);
    }
  }
}

}  // namespace velkaro::platform
