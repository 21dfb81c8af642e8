#include "platform/file_reading.h"

#include <algorithm>

#include "platform/files.h"

namespace velkaro::platform {
namespace {

constexpr std::uint64_t kFourGiB = 0x100000000ULL;
// Large reads go in pieces: ReadFile takes a 32-bit count, and read() may return less
// than asked on large counts.
constexpr std::uint64_t kReadChunk = 0x4000000;

// Opens, sizes and reads a file as the two public readers need it. `even` rounds the
// count down for UTF-16 text.
bool ReadHead(std::u16string_view path, std::uint64_t limit, bool even,
              std::vector<std::uint8_t>& bytes, bool& truncated) {
  bytes.clear();
  truncated = false;
  const std::unique_ptr<ReadableFile> file = OpenReadableFile(path);
  if (!file) return false;
  const std::uint64_t size = file->Size();

  std::uint64_t wanted = size >= kFourGiB ? limit : std::min(size, limit);
  if (even) wanted &= ~std::uint64_t{1};
  bytes.resize(static_cast<std::size_t>(wanted));

  std::uint64_t done = 0;
  bool ok = true;
  while (done < wanted) {
    const auto chunk = static_cast<std::uint32_t>(std::min(wanted - done, kReadChunk));
    const std::int64_t got = file->Read(bytes.data() + done, chunk);
    if (got < 0) {
      ok = false;
      break;
    }
    if (got == 0) break;  // the file shrank since it was sized
    done += static_cast<std::uint64_t>(got);
  }
  if (even) done &= ~std::uint64_t{1};
  bytes.resize(static_cast<std::size_t>(done));
  truncated = size >= kFourGiB || size > done;
  return ok;
}

}  // namespace

bool ReadFileBytes(std::u16string_view path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
                   bool& truncated) {
  return ReadHead(path, limit, false, bytes, truncated);
}

bool ReadFileUtf16(std::u16string_view path, std::uint64_t limit, std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  bool truncated = false;
  const bool ok = ReadHead(path, limit, true, bytes, truncated);
  text.resize(bytes.size() / 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return ok;
}

}  // namespace velkaro::platform
