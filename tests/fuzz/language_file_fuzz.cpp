// A language file's bytes through the reader's file seam: the display name, the
// encoding decision and the loading of its texts into the string table.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lang/language_file.h"
#include "lang/string_table.h"

using namespace velkaro;

namespace {

// One folder holding one language file with the fuzzer's bytes.
class OneFileAccess final : public LangFileAccess {
 public:
  explicit OneFileAccess(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool ReadBytes(std::u16string_view path, std::uint64_t limit,
                 std::vector<std::uint8_t>& bytes) const override {
    if (path != kPath) return false;
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::uint64_t>(limit, bytes_.size()));
    bytes.assign(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(count));
    return true;
  }
  std::vector<std::u16string> ListLanguageFiles(std::u16string_view folder) const override {
    if (folder != kFolder) return {};
    return {std::u16string(kPath)};
  }

  static constexpr std::u16string_view kFolder = u"/langs/";
  static constexpr std::u16string_view kPath = u"/langs/xx.lng";

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const OneFileAccess access(std::vector<std::uint8_t>(data, data + size));
  (void)ReadLanguageName(OneFileAccess::kPath, access);

  const std::vector<std::u16string> folders{std::u16string(OneFileAccess::kFolder)};
  (void)FindLanguageFiles(folders, access);
  TLanguageLoader loader(folders, access);
  (void)loader.ReloadLanguage(u"xx");
  // Every translation is read back: a text stored from the file must be usable.
  for (const TLangRecord& record : LangTable()) {
    if (const auto id = TextIdFromNumber(record.Id)) (void)LangText(*id).size();
  }
  ClearTranslations();
  return 0;
}
