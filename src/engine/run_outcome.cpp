#include "engine/run_outcome.h"

#include "lang/lang_format.h"
#include "support/text.h"

namespace velkaro {

std::u16string FulfilledThreadsText(std::int32_t started, std::int32_t requested,
                                    std::u16string_view separator) {
  // Built from the one text every language already has: a fraction reads the same in
  // all of them.
  std::u16string count = IntToStrGrouped(started, separator);
  if (FellShort(started, requested)) count += u" / " + IntToStrGrouped(requested, separator);
  return LangFormat(TextId::FulfilledThreads, {count});
}

}  // namespace velkaro
