#include "platform/posix/settings_file_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <utility>

#include <nlohmann/json.hpp>

#include "support/text.h"
#include "support/utf.h"

namespace velkaro::platform {
namespace {

using Json = nlohmann::ordered_json;

constexpr char kFileName[] = "settings.json";

class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() {
    if (fd_ >= 0) close(fd_);
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }
  // The close's own result: a failed close may mean the data never reached the disk.
  bool Close() { return close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

std::u16string Quoted(std::string_view path) { return u"'" + FromUtf8(path) + u"'"; }

std::u16string ErrorText(int error) { return FromUtf8(std::strerror(error)); }

// The key names of a suffix: "\Templates\fast" is Templates, fast.
std::vector<std::string> KeyPath(std::u16string_view suffix) {
  std::vector<std::string> path;
  std::size_t start = 0;
  while (start <= suffix.size()) {
    std::size_t end = suffix.find(u'\\', start);
    if (end == std::u16string_view::npos) end = suffix.size();
    if (end > start) path.push_back(ToUtf8(suffix.substr(start, end - start)));
    start = end + 1;
  }
  return path;
}

// The member of an object whose name equals `name` without regard to case.
template <class Object>
auto FindMember(Object& object, std::string_view name) {
  const std::u16string wanted = FromUtf8(name);
  auto it = object.begin();
  for (; it != object.end(); ++it) {
    if (SameTextCI(FromUtf8(it.key()), wanted)) break;
  }
  return it;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Creates the folder and those above it, each for the user alone.
bool MakeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0) return false;
  if (S_ISDIR(info.st_mode)) return true;
  errno = ENOTDIR;
  return false;
}

// A rename is durable only once the folder that holds the name is flushed too.
void SyncFolder(const std::string& folder) {
  const ScopedFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) fsync(fd.get());
}

std::string Timestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32] = {};
  std::strftime(text, sizeof(text), "%Y%m%dT%H%M%SZ", &utc);
  return text;
}

// Builds the document as Json::parse does, without exceptions, and keeps where the
// parse stopped: a number beyond the range of a double is an out-of-range error that
// carries no position of its own, yet it damages the file as any syntax error does.
class TPlacedParser : public nlohmann::detail::json_sax_dom_parser<Json> {
 public:
  explicit TPlacedParser(Json& document) : json_sax_dom_parser(document, false) {}
  template <class Exception>
  bool parse_error(std::size_t byte, const std::string& token, const Exception& error) {
    error_byte = byte;
    return json_sax_dom_parser::parse_error(byte, token, error);
  }
  std::size_t error_byte = 0;
};

}  // namespace

// The file as read: its top-level object, or why there is none.
class TSettingsFileStore::TDocument {
 public:
  enum class TState { dsFound, dsMissing, dsDamaged, dsUnreadable };

  static TDocument Read(const std::string& path) {
    TDocument document;
    const ScopedFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
      document.state_ = errno == ENOENT || errno == ENOTDIR ? TState::dsMissing : TState::dsUnreadable;
      document.problem_ = ErrorText(errno);
      return document;
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
      const ssize_t count = read(fd.get(), buffer, sizeof(buffer));
      if (count == 0) break;
      if (count < 0) {
        if (errno == EINTR) continue;
        document.state_ = TState::dsUnreadable;
        document.problem_ = ErrorText(errno);
        return document;
      }
      bytes.append(buffer, static_cast<std::size_t>(count));
    }
    TPlacedParser parser(document.root_);
    if (!Json::sax_parse(bytes, &parser) || parser.is_errored()) {
      document.state_ = TState::dsDamaged;
      document.problem_ = u"is damaged at " + PlaceOf(bytes, parser.error_byte);
      document.root_ = Json::object();
      return document;
    }
    if (!document.root_.is_object()) {
      document.state_ = TState::dsDamaged;
      document.problem_ = u"holds no JSON object at line 1";
      document.root_ = Json::object();
      return document;
    }
    document.state_ = TState::dsFound;
    return document;
  }

  TState State() const { return state_; }
  const std::u16string& Problem() const { return problem_; }
  void Clear() {
    root_ = Json::object();
    state_ = TState::dsMissing;
  }

  // The object of the key; null when it or one above it is missing or not an object.
  const Json* FindKey(std::u16string_view suffix) const {
    // Without a file there is no settings key either, as before the first write.
    if (state_ != TState::dsFound) return nullptr;
    const Json* key = &root_;
    for (const std::string& name : KeyPath(suffix)) {
      const auto it = FindMember(*key, name);
      if (it == key->end() || !it->is_object()) return nullptr;
      key = &*it;
    }
    return key;
  }

  // The object of the key, made where missing; null when a value stands in the way.
  Json* CreateKey(std::u16string_view suffix) {
    Json* key = &root_;
    for (const std::string& name : KeyPath(suffix)) {
      auto it = FindMember(*key, name);
      if (it == key->end()) {
        key = &(*key)[name];
        *key = Json::object();
      } else if (it->is_object()) {
        key = &*it;
      } else {
        return nullptr;
      }
    }
    return key;
  }

  // Stores a value under its name as first spelt. False when a subkey of that name is
  // there: in a file the two would be one member.
  static bool SetValue(Json& key, std::u16string_view name, Json value) {
    const std::string utf8 = ToUtf8(name);
    const auto it = FindMember(key, utf8);
    if (it == key.end()) {
      key[utf8] = std::move(value);
      return true;
    }
    if (it->is_object()) return false;
    *it = std::move(value);
    return true;
  }

  bool RemoveKey(std::u16string_view suffix) {
    std::vector<std::string> path = KeyPath(suffix);
    if (path.empty()) {
      const bool had_any = state_ == TState::dsFound;
      root_ = Json::object();
      return had_any;
    }
    Json* parent = &root_;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
      const auto it = FindMember(*parent, path[i]);
      if (it == parent->end() || !it->is_object()) return false;
      parent = &*it;
    }
    const auto it = FindMember(*parent, path.back());
    if (it == parent->end() || !it->is_object()) return false;
    parent->erase(it.key());
    return true;
  }

  std::string Text() const {
    return root_.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
  }

 private:
  // "line L, column C" of the byte that nlohmann counts as the `byte`-th one read.
  static std::u16string PlaceOf(const std::string& bytes, std::size_t byte) {
    const std::size_t offset = std::min(byte > 0 ? byte - 1 : 0, bytes.size());
    std::size_t line = 1;
    std::size_t line_start = 0;
    for (std::size_t i = 0; i < offset; ++i) {
      if (bytes[i] == '\n') {
        ++line;
        line_start = i + 1;
      }
    }
    return FromUtf8("line " + std::to_string(line) + ", column " +
                    std::to_string(offset - line_start + 1));
  }

  TState state_ = TState::dsMissing;
  std::u16string problem_;
  Json root_ = Json::object();
};

std::string UserSettingsFolder(const char* xdg_config_home, const char* home,
                               const char* account_home) {
  if (xdg_config_home != nullptr && xdg_config_home[0] == '/') {
    return std::string(xdg_config_home) + "/velkaro";
  }
  const char* base = home != nullptr && home[0] != '\0' ? home : account_home;
  if (base == nullptr || base[0] == '\0') return {};
  return std::string(base) + "/.config/velkaro";
}

TSettingsFileStore::TSettingsFileStore(std::string folder, TSettingsReport report)
    : folder_(std::move(folder)),
      file_path_(folder_.empty() ? std::string() : folder_ + "/" + kFileName),
      report_(std::move(report)) {}

bool TSettingsFileStore::WriteFailed(std::string_view path, int error) {
  Report(u"The settings file " + Quoted(file_path_) + u" could not be written (" + Quoted(path) +
         u": " + ErrorText(error) + u"); it is unchanged.");
  return false;
}

void TSettingsFileStore::Report(std::u16string message) {
  if (message == last_report_) return;
  last_report_ = message;
  if (report_) report_(message);
}

TSettingsFileStore::TDocument TSettingsFileStore::ReadForLookup() {
  if (file_path_.empty()) return {};
  TDocument document = TDocument::Read(file_path_);
  switch (document.State()) {
    case TDocument::TState::dsFound:
    case TDocument::TState::dsMissing:
      return document;
    case TDocument::TState::dsDamaged:
      // Set aside under the lock at once, so that the next write cannot replace it.
      Change([](TDocument&) { return false; });
      break;
    case TDocument::TState::dsUnreadable:
      Report(u"The settings file " + Quoted(file_path_) + u" cannot be read (" +
             document.Problem() + u"); the defaults are used and nothing is saved.");
      break;
  }
  document.Clear();
  return document;
}

bool TSettingsFileStore::Change(const std::function<bool(TDocument&)>& apply) {
  if (folder_.empty()) {
    Report(u"There is no folder for the settings: neither XDG_CONFIG_HOME nor HOME is set "
           u"and the account has no home folder; nothing is saved.");
    return false;
  }
  if (!MakeFolders(folder_)) return WriteFailed(folder_, errno);
  const std::string lock_path = file_path_ + ".lock";
  const ScopedFd lock(open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.get() < 0) return WriteFailed(lock_path, errno);
  while (flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return WriteFailed(lock_path, errno);
  }
  TDocument document = TDocument::Read(file_path_);
  if (hooks_.after_read) hooks_.after_read();
  switch (document.State()) {
    case TDocument::TState::dsFound:
    case TDocument::TState::dsMissing:
      break;
    case TDocument::TState::dsUnreadable:
      Report(u"The settings file " + Quoted(file_path_) + u" cannot be read (" +
             document.Problem() + u"); the defaults are used and nothing is saved.");
      return false;
    case TDocument::TState::dsDamaged: {
      std::string aside = file_path_ + ".damaged-" + Timestamp();
      struct stat info {};
      for (int n = 2; lstat(aside.c_str(), &info) == 0; ++n) {
        aside = file_path_ + ".damaged-" + Timestamp() + "-" + std::to_string(n);
      }
      if (rename(file_path_.c_str(), aside.c_str()) != 0) {
        Report(u"The settings file " + Quoted(file_path_) + u" " + document.Problem() +
               u"; the defaults are used. It could not be set aside (" + ErrorText(errno) +
               u"), so nothing is saved until it is repaired or removed.");
        return false;
      }
      SyncFolder(folder_);
      Report(u"The settings file " + Quoted(file_path_) + u" " + document.Problem() +
             u"; the defaults are used. The damaged file is kept as " + Quoted(aside) + u".");
      document.Clear();
      break;
    }
  }
  if (!apply(document)) return false;
  return Replace(document);
}

bool TSettingsFileStore::Replace(const TDocument& document) {
  // A settings file that is a link (to a folder of dotfiles, say) stays one: the new
  // file replaces the link's target, beside it.
  std::string target = file_path_;
  std::string target_folder = folder_;
  struct stat entry {};
  if (lstat(file_path_.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) {
    char* resolved = realpath(file_path_.c_str(), nullptr);
    if (resolved == nullptr) return WriteFailed(file_path_, errno);
    target = resolved;
    std::free(resolved);
    target_folder = target.substr(0, target.rfind('/'));
  }
  const std::string temp_path = target + ".tmp";
  ScopedFd fd(open(temp_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.get() < 0) return WriteFailed(temp_path, errno);
  // The file half written goes; the old one was never touched.
  auto fail = [&](int error) {
    unlink(temp_path.c_str());
    return error != 0 ? WriteFailed(temp_path, error) : false;
  };
  // The new file keeps the permissions the user gave the old one.
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) fchmod(fd.get(), info.st_mode & 07777);
  if (!WriteAll(fd.get(), document.Text()) || fsync(fd.get()) != 0 || !fd.Close()) return fail(errno);
  if (hooks_.before_rename && !hooks_.before_rename()) return fail(0);
  if (rename(temp_path.c_str(), target.c_str()) != 0) return fail(errno);
  SyncFolder(target_folder.empty() ? std::string("/") : target_folder);
  return true;
}

std::int32_t TSettingsFileStore::ReadSettingNumber(std::u16string_view name,
                                                   std::int32_t default_value,
                                                   std::u16string_view suffix) {
  const TDocument document = ReadForLookup();
  const Json* key = document.FindKey(suffix);
  if (key == nullptr) return default_value;
  const auto it = FindMember(*key, ToUtf8(name));
  if (it == key->end() || it->is_object()) return default_value;
  constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kHighest = std::numeric_limits<std::uint32_t>::max();
  if (it->is_number_unsigned()) {
    const auto value = it->get<std::uint64_t>();
    if (value > static_cast<std::uint64_t>(kHighest)) throw TSettingsError::FailedToGetData(name);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  if (it->is_number_integer()) {
    const auto value = it->get<std::int64_t>();
    if (value < kLowest || value > kHighest) throw TSettingsError::FailedToGetData(name);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  if (it->is_number_float()) {
    // A whole number too long for nlohmann's integers is too long for four bytes too.
    const double value = it->get<double>();
    if (std::isfinite(value) && std::trunc(value) == value &&
        (value < static_cast<double>(kLowest) || value > static_cast<double>(kHighest))) {
      throw TSettingsError::FailedToGetData(name);
    }
  }
  throw TSettingsError::InvalidDataType(name);
}

std::u16string TSettingsFileStore::ReadSettingText(std::u16string_view name,
                                                   std::u16string_view default_text,
                                                   std::u16string_view suffix) {
  const TDocument document = ReadForLookup();
  const Json* key = document.FindKey(suffix);
  if (key == nullptr) return std::u16string(default_text);
  const auto it = FindMember(*key, ToUtf8(name));
  if (it == key->end() || !it->is_string() || it->get_ref<const std::string&>().empty()) {
    return std::u16string(default_text);
  }
  return FromUtf8(it->get_ref<const std::string&>());
}

bool TSettingsFileStore::WriteSettingNumber(std::u16string_view name, std::int32_t value,
                                            std::u16string_view suffix) {
  return Change([&](TDocument& document) {
    Json* key = document.CreateKey(suffix);
    if (key == nullptr) return false;
    if (!TDocument::SetValue(*key, name, value)) throw TSettingsError::FailedToSetData(name);
    return true;
  });
}

bool TSettingsFileStore::WriteSettingText(std::u16string_view name, std::u16string_view text,
                                          std::u16string_view suffix) {
  return Change([&](TDocument& document) {
    Json* key = document.CreateKey(suffix);
    return key != nullptr && TDocument::SetValue(*key, name, ToUtf8(text));
  });
}

bool TSettingsFileStore::RemoveSettingKey(std::u16string_view suffix) {
  return Change([&](TDocument& document) { return document.RemoveKey(suffix); });
}

std::optional<std::vector<std::u16string>> TSettingsFileStore::ListSettingSubkeys(
    std::u16string_view suffix) {
  const TDocument document = ReadForLookup();
  const Json* key = document.FindKey(suffix);
  if (key == nullptr) return std::nullopt;
  std::vector<std::u16string> names;
  for (auto it = key->begin(); it != key->end(); ++it) {
    if (it->is_object()) names.push_back(FromUtf8(it.key()));
  }
  return names;
}

}  // namespace velkaro::platform
