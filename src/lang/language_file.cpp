#include "lang/language_file.h"

#include <algorithm>

#include "lang/string_table.h"
#include "platform/files.h"
#include "support/path.h"
#include "support/text.h"

namespace velkaro {
namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr std::u16string_view kLanguageMask = u"*.lng";
// Ids are at most 800; more digits than this cannot name an entry and would overflow.
constexpr std::size_t kMaxIdDigits = 12;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

class SystemAccess final : public LangFileAccess {
 public:
  bool ReadBytes(std::u16string_view path, std::uint64_t limit,
                 std::vector<std::uint8_t>& bytes) const override {
    bool truncated = false;
    return platform::ReadFileBytes(path, limit, bytes, truncated);
  }
  std::vector<std::u16string> ListLanguageFiles(std::u16string_view folder) const override {
    std::vector<platform::ListedFile> listed;
    platform::ListFiles(listed, folder, kLanguageMask, u"", platform::ListMode::kFiles, false, true,
                        2147483647, false);
    std::vector<std::u16string> paths;
    paths.reserve(listed.size());
    for (platform::ListedFile& file : listed) paths.push_back(std::move(file.path));
    return paths;
  }
};

}  // namespace

const LangFileAccess& SystemLangFileAccess() {
  static const SystemAccess access;
  return access;
}

bool LooksLikeUtf16Le(std::span<const std::uint8_t> bytes) {
  if (StartsWith(bytes, {0xFF, 0xFE, 0x00, 0x00})) return false;
  if (StartsWith(bytes, {0xFF, 0xFE})) return true;
  if (StartsWith(bytes, {0xFE, 0xFF}) || StartsWith(bytes, {0xEF, 0xBB, 0xBF}) ||
      StartsWith(bytes, {0x00, 0x00, 0xFE, 0xFF})) {
    return false;
  }
  const std::size_t head = std::min<std::size_t>(bytes.size(), kLanguageNameBytes) & ~std::size_t{1};
  std::size_t low_units = 0;   // U+0001..U+00FF
  std::size_t round_units = 0;  // U+xx00, xx not 0
  for (std::size_t i = 0; i < head; i += 2) {
    const bool low_zero = bytes[i] == 0;
    const bool high_zero = bytes[i + 1] == 0;
    if (high_zero && !low_zero) ++low_units;
    if (low_zero && !high_zero) ++round_units;
  }
  return low_units > round_units;
}

std::optional<std::u16string> DecodeLanguageBytes(std::span<const std::uint8_t> bytes) {
  if (!LooksLikeUtf16Le(bytes)) return std::nullopt;
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return text;
}

std::optional<TLangTextLine> ParseTextLine(std::u16string_view line) {
  std::size_t digits = 0;
  while (digits < line.size() && IsDigit(line[digits])) ++digits;
  if (digits == 0 || digits == line.size() || line[digits] != u'=') return std::nullopt;
  const std::u16string_view raw = line.substr(digits + 1);
  if (raw.empty()) return std::nullopt;

  // Leading zeros do not count towards the length of the number.
  std::size_t first = 0;
  while (first < digits && line[first] == u'0') ++first;
  if (first == digits) return std::nullopt;  // id 0
  if (digits - first > kMaxIdDigits) return TLangTextLine{-1, raw};
  std::int64_t id = 0;
  for (std::size_t i = first; i < digits; ++i) id = id * 10 + (line[i] - u'0');
  return TLangTextLine{id, raw};
}

std::u16string TranslationFromRaw(std::u16string_view raw) {
  std::u16string text(raw);
  UnescapeText(text);
  if (text.size() >= 2 && text.front() == u'\'' && text.back() == u'\'') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

std::size_t ApplyLanguageText(std::u16string_view text) {
  std::size_t position = 0;
  std::size_t stored = 0;
  const char16_t* cursor = text.data();
  const char16_t* const end = text.data() + text.size();
  for (;;) {
    const char16_t* const start = cursor;
    const std::ptrdiff_t bytes = NextLine(cursor, end);
    if (bytes < 0) break;
    const auto line = std::u16string_view(start, static_cast<std::size_t>(bytes / 2));
    const std::optional<TLangTextLine> parsed = ParseTextLine(line);
    if (!parsed) continue;
    if (SetTranslation(position, parsed->Id, TranslationFromRaw(parsed->Raw))) ++stored;
  }
  return stored;
}

std::u16string LanguageNameOfText(std::u16string_view text) {
  const char16_t* cursor = text.data();
  const std::ptrdiff_t bytes = NextLine(cursor, text.data() + text.size());
  if (bytes <= 0) return {};
  std::u16string name(text.substr(0, static_cast<std::size_t>(bytes / 2)));
  if (name.front() == kByteOrderMark) name.erase(0, 1);
  TrimBlanks(name);
  return name;
}

std::u16string ReadLanguageName(std::u16string_view path, const LangFileAccess& access) {
  std::vector<std::uint8_t> bytes;
  if (!access.ReadBytes(path, kLanguageNameBytes, bytes)) return {};
  const std::optional<std::u16string> text = DecodeLanguageBytes(bytes);
  return text ? LanguageNameOfText(*text) : std::u16string();
}

std::vector<TLanguageFile> FindLanguageFiles(std::span<const std::u16string> folders,
                                             const LangFileAccess& access) {
  std::vector<TLanguageFile> files;
  for (const std::u16string& folder : folders) {
    for (std::u16string& path : access.ListLanguageFiles(folder)) {
      std::u16string code = FileTitle(path);
      const bool known = std::any_of(files.begin(), files.end(), [&](const TLanguageFile& file) {
        return SameTextCI(file.Code, code);
      });
      if (known) continue;
      std::u16string name = ReadLanguageName(path, access);
      files.push_back({std::move(code), std::move(path), std::move(name)});
    }
  }
  return files;
}

std::optional<std::u16string> FindLanguageFile(std::span<const std::u16string> folders,
                                               std::u16string_view code,
                                               const LangFileAccess& access) {
  if (code.empty()) return std::nullopt;
  for (const std::u16string& folder : folders) {
    std::optional<std::u16string> other_case;
    for (std::u16string& path : access.ListLanguageFiles(folder)) {
      const std::u16string title = FileTitle(path);
      if (title == code) return std::move(path);
      if (!other_case && SameTextCI(title, code)) other_case = std::move(path);
    }
    if (other_case) return other_case;
  }
  return std::nullopt;
}

TLanguageLoader::TLanguageLoader(std::vector<std::u16string> folders, const LangFileAccess& access)
    : folders_(std::move(folders)), access_(&access) {}

TLangLoad TLanguageLoader::LoadLanguage() {
  if (active_ == loaded_) return TLangLoad::llUnchanged;
  loaded_ = active_;
  ClearTranslations();
  if (loaded_.empty()) return TLangLoad::llEnglish;

  const std::optional<std::u16string> path = FindLanguageFile(folders_, loaded_, *access_);
  std::vector<std::uint8_t> bytes;
  if (!path || !access_->ReadBytes(*path, kLanguageFileBytes, bytes) || bytes.size() < 2) {
    return TLangLoad::llMissing;
  }
  const std::optional<std::u16string> text = DecodeLanguageBytes(bytes);
  if (!text) return TLangLoad::llOtherEncoding;
  ApplyLanguageText(*text);
  return TLangLoad::llLoaded;
}

TLangLoad TLanguageLoader::ReloadLanguage(std::u16string_view stored_code) {
  active_ = std::u16string(stored_code);
  return LoadLanguage();
}

}  // namespace velkaro
