// The Linux settings file: the fuzzer's bytes as settings.json in a folder of its own,
// read through the store as the programs read it (every value, the templates), and one
// change written over it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/settings_file_store.h"
#include "settings/run_settings.h"

using namespace velkaro;

namespace {

// The folder lives on /dev/shm when there is one: the store flushes every change, which
// costs nothing in memory and would otherwise bound the inputs a second. Never
// destroyed, so that the exit handler that removes it can still name it.
const std::string& Folder() {
  static const std::string* const folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp != nullptr && tmp[0] == '/'       ? tmp
                             : std::filesystem::is_directory("/dev/shm") ? "/dev/shm"
                                                                       : "/tmp";
    auto* made = new std::string(base + "/velkaro-fuzz-XXXXXX");
    if (mkdtemp(made->data()) == nullptr) std::abort();
    return made;
  }();
  static const bool removed_at_exit =
      std::atexit([] { std::filesystem::remove_all(*folder); }) == 0;
  (void)removed_at_exit;
  return *folder;
}

void ReadNumber(TSettingsStore& store, const TNumberSetting& setting, std::u16string_view suffix) {
  try {
    (void)store.ReadSettingNumber(setting.name, setting.default_value, suffix);
  } catch (const TSettingsError&) {
    // A value of the wrong type is an error the programs report.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = Folder();
  // A damaged file is set aside under a new name: start each input from an empty folder.
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(folder);
  {
    std::ofstream file(folder + "/settings.json", std::ios::binary);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

  platform::TSettingsFileStore store(folder, [](std::u16string_view) {});
  for (const TNumberSetting& setting :
       {settings::PauseBefore, settings::Time, settings::Priority, settings::ClassPriority,
        settings::Rhythm, settings::Threads, settings::Compact, settings::AutoPin}) {
    ReadNumber(store, setting, u"");
  }
  (void)store.ReadSettingText(settings::Place.name, settings::Place.default_text, u"");
  (void)store.ReadSettingText(u"LangCode", u"", u"");
  (void)store.ReadSettingText(u"LatestTempl", u"", u"");
  if (const auto names = store.ListSettingSubkeys(u"\\Templates\\")) {
    for (const std::u16string& name : *names) {
      const std::u16string suffix = u"\\Templates\\" + name;
      try {
        (void)ReadRunSettings(store, suffix, RunListCounts());
      } catch (const TSettingsError&) {
      }
    }
  }
  const bool written = store.WriteSettingNumber(settings::Threads.name, 2, u"\\Templates\\fuzz");
  try {
    if (written && store.ReadSettingNumber(settings::Threads.name, 0, u"\\Templates\\fuzz") != 2) {
      __builtin_trap();  // a change that was written must read back
    }
  } catch (const TSettingsError&) {
    __builtin_trap();
  }
  return 0;
}
