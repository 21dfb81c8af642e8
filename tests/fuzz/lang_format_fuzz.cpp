// A translated format text: stored for one of the program's texts as a language file
// would store it, then formatted with arguments of every kind.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "lang/lang_format.h"
#include "lang/string_table.h"

using namespace velkaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const auto table = LangTable();
  const TLangRecord& record = table[input.TakeByte() % table.size()];
  const std::uint8_t kinds = input.TakeByte();
  const std::int32_t number = input.TakeInt32();
  const std::u16string format = input.RestAsUtf16();

  // Up to four arguments, each a text, a number or a character by two bits of `kinds`.
  const std::u16string text = u"text \u00E9\U0001F600";
  std::vector<LangArg> args;
  const int count = (kinds >> 6) + 1;
  for (int i = 0; i < count; ++i) {
    switch ((kinds >> (2 * i)) & 3) {
      case 0: args.emplace_back(std::u16string_view(text)); break;
      case 1: args.emplace_back(number); break;
      case 2: args.emplace_back(static_cast<char16_t>(number)); break;
      default: args.emplace_back(std::u16string_view()); break;
    }
  }

  std::size_t position = 0;
  if (!SetTranslation(position, record.Id, format)) __builtin_trap();
  const auto id = TextIdFromNumber(record.Id);
  if (!id) __builtin_trap();
  for (std::size_t n = 0; n <= args.size(); ++n) {
    (void)LangFormat(*id, std::span<const LangArg>(args.data(), n));
  }
  (void)FormatDirectives(format, args);
  ClearTranslations();
  return 0;
}
