// The hexadecimal text of an embedded picture with any character count. (The bitmap
// loading behind it, BitmapFromHex, needs Windows and is not fuzzed here.)
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "support/text.h"

using namespace velkaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::int32_t count = input.TakeInt32();
  const std::u16string hex = input.RestAsUtf16();
  std::vector<std::uint8_t> bytes{1, 2, 3};
  const bool ok = HexToBytes(hex, count, bytes);
  // A decoded text gives one byte per two characters; a refused one leaves nothing.
  if (ok && count > 0 && bytes.size() != static_cast<std::size_t>(count / 2)) __builtin_trap();
  if (!ok && !bytes.empty()) __builtin_trap();
  return 0;
}
