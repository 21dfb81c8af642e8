#include "platform/files.h"
#include "platform/file_reading.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "support/path.h"
#include "support/utf.h"

namespace velkaro::platform {
namespace {

class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() {
    if (fd_ >= 0) close(fd_);
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }
  [[nodiscard]] int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

class ScopedDir {
 public:
  explicit ScopedDir(DIR* dir) : dir_(dir) {}
  ~ScopedDir() {
    if (dir_ != nullptr) closedir(dir_);
  }
  ScopedDir(const ScopedDir&) = delete;
  ScopedDir& operator=(const ScopedDir&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

struct EntryKind {
  bool exists = false;
  bool is_folder = false;
  bool is_link = false;
  std::uint64_t size = 0;
  std::int64_t modified_time = 0;
};

// A link to a folder counts as a link, the way a reparse point does on Windows, so
// that a recursive listing cannot run in circles; a link to a file lists as the file.
EntryKind Inspect(const std::string& path) {
  EntryKind kind;
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return kind;
  if (S_ISLNK(info.st_mode)) {
    kind.is_link = true;
    if (stat(path.c_str(), &info) != 0) return kind;  // dangling link
  }
  kind.exists = true;
  kind.is_folder = S_ISDIR(info.st_mode);
  kind.size = kind.is_folder ? 0 : static_cast<std::uint64_t>(info.st_size);
  kind.modified_time = static_cast<std::int64_t>(info.st_mtime);
  return kind;
}

}  // namespace

std::u16string ProgramPath() {
  std::string buffer(1024, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(length));
      return FromUtf8(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::u16string ProgramFolder() { return std::u16string(FolderOfPath(ProgramPath(), u"/")); }

bool FileExistsNoDir(std::u16string_view path) {
  struct stat info {};
  return stat(ToUtf8(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

namespace {

// An open file descriptor of a regular file.
class PosixReadableFile final : public ReadableFile {
 public:
  PosixReadableFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::int64_t Read(std::uint8_t* into, std::uint32_t count) override {
    for (;;) {
      const ssize_t got = read(fd_.get(), into, count);
      if (got >= 0 || errno != EINTR) return got;
    }
  }

 private:
  ScopedFd fd_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ReadableFile> OpenReadableFile(std::u16string_view path) {
  ScopedFd file(open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return nullptr;
  struct stat info {};
  if (fstat(file.get(), &info) != 0) return nullptr;
  // A folder opens for reading here but is no file to read.
  if (S_ISDIR(info.st_mode)) return nullptr;
  return std::make_unique<PosixReadableFile>(file.Release(),
                                             static_cast<std::uint64_t>(info.st_size));
}

void ListFiles(std::vector<ListedFile>& list, std::u16string_view folder,
               std::u16string_view file_mask, std::u16string_view folder_mask, ListMode mode,
               bool recursive, bool filter_long_names, std::size_t max_count, bool with_details) {
  // No 8.3 short names here: every name is matched by our own mask rules anyway.
  static_cast<void>(filter_long_names);
  std::u16string base(folder);
  if (base.empty() || base.back() != u'/') base += u'/';
  auto has_room = [&] { return list.size() < max_count; };
  if (!has_room()) return;

  const bool want_files = mode != ListMode::kFolders;
  const bool add_folders = mode != ListMode::kFiles;
  const std::u16string_view dir_mask =
      folder_mask.empty() ? std::u16string_view(u"*") : folder_mask;

  // Files come first and folders after them, as on Windows, where they are two
  // searches; one pass collects both.
  std::vector<std::pair<std::u16string, EntryKind>> folders;
  {
    const std::string base_utf8 = ToUtf8(base);
    const ScopedDir dir(opendir(base_utf8.c_str()));
    if (dir.get() == nullptr) return;
    while (const dirent* entry = readdir(dir.get())) {
      const char* raw = entry->d_name;
      if (std::strcmp(raw, ".") == 0 || std::strcmp(raw, "..") == 0) continue;
      const std::u16string name = FromUtf8(raw);
      const EntryKind kind = Inspect(base_utf8 + raw);
      if (!kind.exists) continue;
      if (kind.is_folder) {
        if ((add_folders || recursive) && !kind.is_link && MatchesFileMask(name, dir_mask)) {
          folders.emplace_back(name, kind);
        }
      } else if (want_files && has_room() && MatchesFileMask(name, file_mask)) {
        ListedFile file;
        file.path = base + name;
        if (with_details) {
          file.size = kind.size;
          file.modified_time = kind.modified_time;
        }
        list.push_back(std::move(file));
      }
    }
  }

  for (const auto& [name, kind] : folders) {
    if (!has_room()) return;
    if (add_folders) {
      ListedFile entry;
      entry.path = base + name;
      entry.is_folder = true;
      if (with_details) entry.modified_time = kind.modified_time;
      list.push_back(std::move(entry));
    }
    if (recursive && has_room()) {
      ListFiles(list, base + name, file_mask, folder_mask, mode, recursive, filter_long_names,
                max_count, with_details);
    }
  }
}

}  // namespace velkaro::platform
