// What the portable file readers need from each system: a file opened for reading.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace velkaro::platform {

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // The size when the file was opened.
  virtual std::uint64_t Size() const = 0;
  // Reads at most `count` bytes into `into`: the number read, 0 at the end of the file,
  // -1 when reading fails.
  virtual std::int64_t Read(std::uint8_t* into, std::uint32_t count) = 0;
};

// `path` opened for reading; nullptr when it cannot be opened or sized, or is a folder.
std::unique_ptr<ReadableFile> OpenReadableFile(std::u16string_view path);

}  // namespace velkaro::platform
