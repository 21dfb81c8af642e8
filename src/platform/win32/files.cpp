#include "platform/files.h"
#include "platform/file_reading.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/win32/handle.h"
#include "platform/win32/wide.h"
#include "support/path.h"

namespace velkaro::platform {
namespace {

constexpr DWORD kFirstPathCapacity = 1000;
constexpr DWORD kMaxPathCapacity = 32768;

// 1970-01-01 as a FILETIME: 100 ns steps since 1601-01-01.
constexpr std::int64_t kUnixEpochAsFileTime = 116444736000000000LL;

std::int64_t UnixSeconds(const FILETIME& time) {
  const auto ticks = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
  return (ticks - kUnixEpochAsFileTime) / 10000000;
}

// An open file handle of a regular file.
class Win32ReadableFile final : public ReadableFile {
 public:
  Win32ReadableFile(ScopedFileHandle file, std::uint64_t size)
      : file_(std::move(file)), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::int64_t Read(std::uint8_t* into, std::uint32_t count) override {
    DWORD got = 0;
    if (!ReadFile(file_.Get(), into, count, &got, nullptr)) return -1;
    return got;
  }

 private:
  ScopedFileHandle file_;
  std::uint64_t size_;
};

bool IsDotOrDotDot(const wchar_t* name) {
  return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0;
}

// The platform's search matches names its own way (and short names too); the long
// name must also pass our mask rules when filtering is on or the mask is a list.
bool Keep(const WIN32_FIND_DATAW& data, std::u16string_view mask, bool filter_long_names,
          bool mask_is_list) {
  const std::u16string name = FromWide(data.cFileName);
  if (mask_is_list) return MatchesFileMask(name, mask);
  if (filter_long_names && data.cAlternateFileName[0] != L'\0') {
    return MatchesFileMask(name, mask);
  }
  return true;
}

ScopedFindHandle FindFirst(const std::u16string& pattern, WIN32_FIND_DATAW& data) {
  const std::wstring wide = ToWide(pattern);
  ScopedFindHandle find(FindFirstFileExW(wide.c_str(), FindExInfoStandard, &data,
                                         FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
  if (!find && GetLastError() == ERROR_INVALID_PARAMETER) {
    // Systems before Windows 7 do not know the large-fetch flag.
    find.Reset(FindFirstFileExW(wide.c_str(), FindExInfoStandard, &data,
                                FindExSearchNameMatch, nullptr, 0));
  }
  return find;
}

// Runs `visit` for every entry of `folder` + `mask` that passes the filter; stops
// when `visit` returns false.
template <typename Visit>
void ForEachEntry(const std::u16string& folder, std::u16string_view mask,
                  bool filter_long_names, Visit visit) {
  const bool mask_is_list = mask.find(u';') != std::u16string_view::npos;
  WIN32_FIND_DATAW data{};
  const ScopedFindHandle find = FindFirst(folder + std::u16string(mask_is_list ? u"*" : mask), data);
  if (!find) return;
  do {
    if (Keep(data, mask, filter_long_names, mask_is_list) && !visit(data)) return;
  } while (FindNextFileW(find.Get(), &data));
}

ListedFile MakeEntry(const std::u16string& folder, const WIN32_FIND_DATAW& data, bool is_folder,
                     bool with_details) {
  ListedFile entry;
  entry.path = folder + FromWide(data.cFileName);
  entry.is_folder = is_folder;
  if (with_details) {
    if (!is_folder) {
      entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    entry.modified_time = UnixSeconds(data.ftLastWriteTime);
  }
  return entry;
}

}  // namespace

std::u16string ProgramPath() {
  // Paths longer than the usual capacity are rare but must not come back cut short.
  for (DWORD capacity = kFirstPathCapacity; capacity <= kMaxPathCapacity; capacity *= 2) {
    std::wstring buffer(capacity, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), capacity);
    if (length == 0) return {};
    if (length < capacity) return FromWide(std::wstring_view(buffer.data(), length));
  }
  return {};
}

std::u16string ProgramFolder() {
  std::u16string folder(FolderOfPath(ProgramPath(), u"\\:"));
  if (folder.empty()) return folder;
  IncludeTrailingBackslash(folder);
  return folder;
}

bool FileExistsNoDir(std::u16string_view path) {
  const std::wstring wide = ToWide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  // Files held open exclusively (the page file, for one) refuse the attribute query,
  // but the directory still lists them.
  if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
  WIN32_FIND_DATAW data{};
  const ScopedFindHandle find(FindFirstFileW(wide.c_str(), &data));
  return find && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::unique_ptr<ReadableFile> OpenReadableFile(std::u16string_view path) {
  // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS.
  ScopedFileHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return nullptr;
  return std::make_unique<Win32ReadableFile>(std::move(file),
                                             static_cast<std::uint64_t>(size.QuadPart));
}

void ListFiles(std::vector<ListedFile>& list, std::u16string_view folder,
               std::u16string_view file_mask, std::u16string_view folder_mask, ListMode mode,
               bool recursive, bool filter_long_names, std::size_t max_count, bool with_details) {
  std::u16string base(folder);
  IncludeTrailingBackslash(base);
  auto has_room = [&] { return list.size() < max_count; };
  if (!has_room()) return;

  if (mode != ListMode::kFolders) {
    ForEachEntry(base, file_mask, filter_long_names, [&](const WIN32_FIND_DATAW& data) {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        list.push_back(MakeEntry(base, data, false, with_details));
      }
      return has_room();
    });
  }

  const bool add_folders = mode != ListMode::kFiles;
  if (!(add_folders || recursive) || !has_room()) return;
  const std::u16string_view mask = folder_mask.empty() ? std::u16string_view(u"*") : folder_mask;
  ForEachEntry(base, mask, filter_long_names, [&](const WIN32_FIND_DATAW& data) {
    const DWORD attributes = data.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || IsDotOrDotDot(data.cFileName)) {
      return true;
    }
    if (add_folders) list.push_back(MakeEntry(base, data, true, with_details));
    if (recursive && has_room()) {
      ListFiles(list, base + FromWide(data.cFileName), file_mask, folder_mask, mode, recursive,
                filter_long_names, max_count, with_details);
    }
    return has_room();
  });
}

}  // namespace velkaro::platform
