#include "support/lower_case.h"

#include <array>

#include "platform/locale.h"

namespace velkaro {
namespace {

using LowerCaseTable = std::array<char16_t, 0x10000>;

// Built on first use; the C++ runtime makes that first use safe from any thread.
const LowerCaseTable& Table() {
  static const LowerCaseTable table = [] {
    LowerCaseTable t{};
    platform::FillLowerCaseTable(t);
    return t;
  }();
  return table;
}

}  // namespace

void InitLowerCaseTable() { static_cast<void>(Table()); }

char16_t LowerCaseUnit(char16_t c) { return Table()[c]; }

}  // namespace velkaro
