// The main window's menus, read in this process: Wine keeps a menu inside the process
// that owns it, so a driver in another one cannot see its items. The window is the
// program's own TfmMain, on the program's settings key and language files, driven by
// the keyboard and by menu commands.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "lang/string_table.h"
#include "platform/win32/wide.h"
#include "settings/settings_store.h"
#include "settings/user_settings_store.h"
#include "support/utf.h"
#include "ui/win32/application.h"
#include "ui/win32/main_window.h"
#include "ui/win32/main_window_ids.h"
#include "ui/win32/taskbar.h"
#include "ui/win32/template_dialog.h"
#include "ui/win32/templates_menu.h"
#include "ui/win32/window_helpers.h"

namespace velkaro::win32 {
namespace {

using namespace main_window;
using namespace std::chrono_literals;

constexpr wchar_t kSettingsKey[] = L"Software\\Quenmark\\Velkaro";

void StoreTemplate(const std::wstring& name, DWORD threads) {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(kSettingsKey) + L"\\Templates\\" + name;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, L"Threads", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&threads),
                   sizeof(threads));
  ::RegCloseKey(key);
}

bool TemplateStored(const std::wstring& name) {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(kSettingsKey) + L"\\Templates\\" + name;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  ::RegCloseKey(key);
  return true;
}

std::wstring MenuText(HMENU menu, UINT item, UINT by) {
  wchar_t text[256] = {};
  ::GetMenuStringW(menu, item, text, 256, by);
  return text;
}

// Keys typed as a user would, from another thread while this one runs the window.
void Type(const std::vector<INPUT>& inputs) {
  std::vector<INPUT> copy = inputs;
  ::SendInput(static_cast<UINT>(copy.size()), copy.data(), sizeof(INPUT));
}
INPUT Key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}
std::vector<INPUT> Press(WORD key) { return {Key(key, false), Key(key, true)}; }
std::vector<INPUT> Characters(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    for (const bool up : {false, true}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(input);
    }
  }
  return inputs;
}

class MainWindowMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    StartWindow();
  }
  void TearDown() override {
    window_.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  }

  void StartWindow() {
    window_ = std::make_unique<TfmMain>(taskbar_, std::vector<std::u16string>{},
                                        make_store_ ? make_store_() : nullptr);
    ASSERT_TRUE(window_->Construct());
    window_->Show();
    ::SetForegroundWindow(Handle());
    ASSERT_TRUE(PumpUntil([this] { return Text(kEdTime) == expected_time_; }));
  }

  HWND Handle() const { return window_->Handle(); }
  std::wstring Text(int id) const {
    return platform::ToWide(Window(FindControlById(Handle(), id)).Text());
  }
  HMENU Bar() const { return ::GetMenu(Handle()); }
  HMENU Templates() const { return ::GetSubMenu(::GetSubMenu(Bar(), kMiSettings), 0); }
  HMENU Languages() const { return ::GetSubMenu(Bar(), kMiLang); }

  // Runs the window's messages until `done` holds or the time is up; a thread timer
  // keeps the loop from waiting for ever between messages.
  template <class Done>
  bool PumpUntil(Done done, std::chrono::milliseconds timeout = 10s) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, nullptr);
    application_.RunUntil([&] { return done() || std::chrono::steady_clock::now() > until; });
    ::KillTimer(nullptr, timer);
    return done();
  }

  // The items after the submenu's fixed ones, each with whether it is the bold one.
  std::vector<std::pair<std::wstring, bool>> TemplateItems() const {
    std::vector<std::pair<std::wstring, bool>> items;
    const HMENU menu = Templates();
    const UINT bold = ::GetMenuDefaultItem(menu, FALSE, 0);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
      const UINT id = ::GetMenuItemID(menu, i);
      if (id < kMiTemplateFirst || id > kMiTemplateLast) continue;
      items.emplace_back(MenuText(menu, static_cast<UINT>(i), MF_BYPOSITION), id == bold);
    }
    return items;
  }
  bool EmptyListShown() const {
    return ::GetMenuState(Templates(), kMiEmptyList, MF_BYCOMMAND) != static_cast<UINT>(-1);
  }
  void OpenTemplates() {
    ::SendMessageW(Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Templates()), 0);
  }
  void Command(int id) { ::PostMessageW(Handle(), WM_COMMAND, static_cast<WPARAM>(id), 0); }

  // The template dialog of this process, once it is on the screen.
  static HWND WaitForDialog() {
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < until) {
      const HWND foreground = ::GetForegroundWindow();
      if (foreground != nullptr && FindControlById(foreground, template_dialog::kCbTempls) != nullptr) {
        return foreground;
      }
      std::this_thread::sleep_for(10ms);
    }
    return nullptr;
  }

  // Keys for the dialog as soon as it shows, from a thread of their own.
  void AnswerDialog(std::vector<INPUT> keys) {
    answered_ = false;
    answer_ = std::thread([this, keys = std::move(keys)] {
      if (const HWND dialog = WaitForDialog()) {
        std::this_thread::sleep_for(100ms);
        Type(keys);
        (void)dialog;
      }
      answered_ = true;
    });
  }
  void JoinAnswer() {
    if (answer_.joinable()) answer_.join();
  }

  TaskbarProgress taskbar_{false};
  TApplication application_{::GetModuleHandleW(nullptr)};
  std::function<std::unique_ptr<TSettingsStore>()> make_store_;  // none: the user's store
  std::wstring expected_time_ = L"20";  // the duration the window shows once it has loaded
  std::unique_ptr<TfmMain> window_;
  std::thread answer_;
  std::atomic<bool> answered_{false};
};

TEST_F(MainWindowMenuTest, CtrlSSavesATemplateNamedFromTheKeyboardAndShowsItInBold) {
  OpenTemplates();
  EXPECT_TRUE(EmptyListShown());
  EXPECT_TRUE(TemplateItems().empty());

  std::vector<INPUT> keys = Characters(L"a/b:c");
  for (const INPUT& key : Press(VK_RETURN)) keys.push_back(key);
  AnswerDialog(keys);
  Type({Key(VK_CONTROL, false), Key('S', false), Key('S', true), Key(VK_CONTROL, true)});
  EXPECT_TRUE(PumpUntil([this] { return !TemplateItems().empty(); }));
  JoinAnswer();

  const std::vector<std::pair<std::wstring, bool>> expected{{L"a b c", true}};
  EXPECT_EQ(TemplateItems(), expected);
  EXPECT_FALSE(EmptyListShown());
  EXPECT_TRUE(TemplateStored(L"a b c"));
}

TEST_F(MainWindowMenuTest, EscInTheSaveDialogSavesNothing) {
  AnswerDialog(Press(VK_ESCAPE));
  Command(kMiSaveSet);
  PumpUntil([this] { return answered_.load(); });
  PumpUntil([] { return false; }, 300ms);
  JoinAnswer();
  EXPECT_TRUE(TemplateItems().empty());
  HKEY key = nullptr;
  EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ | KEY_WOW64_64KEY, &key),
            ERROR_SUCCESS);
}

TEST_F(MainWindowMenuTest, ATemplateAppliedFromTheMenuFillsTheInputsAndTakesTheBoldMark) {
  window_.reset();
  StoreTemplate(L"eight", 8);
  StoreTemplate(L"two", 2);
  StartWindow();
  OpenTemplates();
  const auto items = TemplateItems();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_FALSE(items[0].second || items[1].second) << "nothing is the latest yet";
  const int two = items[0].first == L"two" ? 0 : 1;

  Command(kMiTemplateFirst + two);
  EXPECT_TRUE(PumpUntil([this] { return Text(kEdThreads) == L"2"; }));
  EXPECT_TRUE(TemplateItems()[static_cast<std::size_t>(two)].second);
  // Values the template lacks take their defaults.
  EXPECT_EQ(Text(kEdTime), L"20");
}

TEST_F(MainWindowMenuTest, DeletingTheLastTemplateShowsTheEmptyListAgain) {
  window_.reset();
  StoreTemplate(L"only", 3);
  StartWindow();
  OpenTemplates();
  ASSERT_EQ(TemplateItems().size(), 1u);
  ASSERT_FALSE(EmptyListShown());

  // The pick-only list: Down selects the name, Enter confirms.
  std::vector<INPUT> keys = Press(VK_DOWN);
  for (const INPUT& key : Press(VK_RETURN)) keys.push_back(key);
  AnswerDialog(keys);
  Command(kMiDelSet);
  EXPECT_TRUE(PumpUntil([this] { return TemplateItems().empty(); }));
  JoinAnswer();
  EXPECT_TRUE(EmptyListShown());
  EXPECT_FALSE(TemplateStored(L"only"));
}

TEST_F(MainWindowMenuTest, OkInTheDeleteDialogWithoutAChoiceRemovesNothing) {
  window_.reset();
  StoreTemplate(L"kept", 3);
  StartWindow();
  AnswerDialog(Press(VK_RETURN));
  Command(kMiDelSet);
  PumpUntil([this] { return answered_.load(); });
  PumpUntil([] { return false; }, 300ms);
  JoinAnswer();
  EXPECT_TRUE(TemplateStored(L"kept"));
  EXPECT_EQ(TemplateItems().size(), 1u);
}

TEST_F(MainWindowMenuTest, TheLanguageMenuListsTheFilesAndSwitchesTheMenusAtOnce) {
  const HMENU languages = Languages();
  ASSERT_GE(::GetMenuItemCount(languages), 7);
  EXPECT_EQ(MenuText(languages, kMiDefaultLang, MF_BYCOMMAND), L"Default English");
  EXPECT_EQ(::GetMenuDefaultItem(languages, FALSE, 0), static_cast<UINT>(kMiDefaultLang));
  EXPECT_TRUE(::GetMenuState(languages, kMiDefaultLang, MF_BYCOMMAND) & MF_CHECKED);

  // The item whose caption is the German language's own name.
  int german = -1;
  for (int i = 1; i < ::GetMenuItemCount(languages); ++i) {
    if (MenuText(languages, static_cast<UINT>(i), MF_BYPOSITION) == L"Deutsch") german = i;
  }
  ASSERT_GT(german, 0);
  const UINT german_id = ::GetMenuItemID(languages, german);
  Command(static_cast<int>(german_id));
  EXPECT_TRUE(PumpUntil([&] { return MenuText(Bar(), kMiFile, MF_BYPOSITION) != L"&File"; }));
  EXPECT_EQ(::GetMenuDefaultItem(languages, FALSE, 0), german_id);
  EXPECT_TRUE(::GetMenuState(languages, german_id, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(::GetMenuState(languages, kMiDefaultLang, MF_BYCOMMAND) & MF_CHECKED);
  // The templates' submenu and its fixed items follow too.
  EXPECT_EQ(platform::FromWide(MenuText(::GetSubMenu(Bar(), kMiSettings), 0, MF_BYPOSITION)),
            LangText(TextId::MenuTemplates));
  EXPECT_NE(platform::FromWide(MenuText(Templates(), kMiEmptyList, MF_BYCOMMAND)), u"(empty list)");

  Command(kMiDefaultLang);
  EXPECT_TRUE(PumpUntil([&] { return MenuText(Bar(), kMiFile, MF_BYPOSITION) == L"&File"; }));
  EXPECT_EQ(MenuText(Templates(), kMiEmptyList, MF_BYCOMMAND), L"(empty list)");
  EXPECT_EQ(::GetMenuDefaultItem(languages, FALSE, 0), static_cast<UINT>(kMiDefaultLang));
}

TEST_F(MainWindowMenuTest, AStoredLanguageWhoseFileIsGoneLeavesEnglishWithNothingTicked) {
  window_.reset();
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const wchar_t code[] = L"xx";
  ::RegSetValueExW(key, L"LangCode", 0, REG_SZ, reinterpret_cast<const BYTE*>(code), sizeof(code));
  ::RegCloseKey(key);
  StartWindow();
  EXPECT_EQ(MenuText(Bar(), kMiFile, MF_BYPOSITION), L"&File");
  const HMENU languages = Languages();
  for (int i = 0; i < ::GetMenuItemCount(languages); ++i) {
    EXPECT_FALSE(::GetMenuState(languages, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) << i;
  }
  EXPECT_EQ(::GetMenuDefaultItem(languages, FALSE, 0), static_cast<UINT>(-1));
}

// The user's store, refusing every write of one value as the registry does when it
// refuses a value: a number throws "Failed to set data for '<name>'", a text fails.
class RefusingStore : public TSettingsStore {
 public:
  explicit RefusingStore(std::u16string refused) : refused_(std::move(refused)) {}
  std::int32_t ReadSettingNumber(std::u16string_view name, std::int32_t default_value,
                                 std::u16string_view suffix) override {
    return store_->ReadSettingNumber(name, default_value, suffix);
  }
  std::u16string ReadSettingText(std::u16string_view name, std::u16string_view default_text,
                                 std::u16string_view suffix) override {
    return store_->ReadSettingText(name, default_text, suffix);
  }
  bool WriteSettingNumber(std::u16string_view name, std::int32_t value,
                          std::u16string_view suffix) override {
    if (name == refused_) throw TSettingsError::FailedToSetData(name);
    return store_->WriteSettingNumber(name, value, suffix);
  }
  bool WriteSettingText(std::u16string_view name, std::u16string_view text,
                        std::u16string_view suffix) override {
    return name != refused_ && store_->WriteSettingText(name, text, suffix);
  }
  bool RemoveSettingKey(std::u16string_view suffix) override { return store_->RemoveSettingKey(suffix); }
  std::optional<std::vector<std::u16string>> ListSettingSubkeys(std::u16string_view suffix) override {
    return store_->ListSettingSubkeys(suffix);
  }

 private:
  std::u16string refused_;
  std::unique_ptr<TSettingsStore> store_ = OpenUserSettingsStore();
};

DWORD StoredNumber(const wchar_t* name) {
  DWORD value = 0xFFFFFFFF;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) ==
      ERROR_SUCCESS) {
    DWORD size = sizeof(value);
    ::RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
  }
  return value;
}

void StoreNumber(const wchar_t* name, DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  ::RegCloseKey(key);
}

// A write the store refuses: the window reports it through the application's error
// handler, keeps what the store held, and goes on.
class MainWindowRefusedWriteTest : public MainWindowMenuTest,
                                   public ::testing::WithParamInterface<const char16_t*> {
 protected:
  MainWindowRefusedWriteTest() {
    make_store_ = [] { return std::make_unique<RefusingStore>(GetParam()); };
    application_.SetErrorHandler([this](std::u16string_view text) { errors_.emplace_back(text); });
  }
  void SetUp() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    StoreNumber(L"Compact", 0);
    StoreNumber(L"AutoPin", 0);
    StoreNumber(L"Threads", 7);
    StoreNumber(L"Time", 44);
    expected_time_ = L"44";
    StartWindow();
  }
  std::vector<std::u16string> errors_;
};

TEST_P(MainWindowRefusedWriteTest, TheWindowReportsItKeepsTheStoredValueAndGoesOn) {
  const std::u16string refused = GetParam();
  const std::wstring wide = platform::ToWide(refused);
  const std::u16string message = u"Failed to set data for '" + refused + u"'";
  // The two options are written when their menu items are clicked.
  Command(kMiCompact);
  Command(kMiAutoPin);
  ASSERT_TRUE(PumpUntil([&] {
    return StoredNumber(L"Compact") == 1 || StoredNumber(L"AutoPin") == 1 || !errors_.empty();
  }));
  PumpUntil([] { return false; }, 300ms);
  if (refused == u"Compact" || refused == u"AutoPin") {
    EXPECT_EQ(errors_, std::vector<std::u16string>{message});
    EXPECT_EQ(StoredNumber(wide.c_str()), 0u);
  }
  // Still working: inputs take text, and a command runs.
  Window(FindControlById(Handle(), kEdThreads)).SetText(u"9");
  Command(kMiRestore);
  EXPECT_TRUE(PumpUntil([this] { return Text(kEdTime) == L"20" && Text(kEdThreads) == L"1"; }));
  Window(FindControlById(Handle(), kEdThreads)).SetText(u"9");
  // The run settings are written when the window goes.
  errors_.clear();
  window_.reset();
  if (refused == u"Threads" || refused == u"Time") {
    EXPECT_EQ(errors_, std::vector<std::u16string>{message});
    EXPECT_EQ(StoredNumber(wide.c_str()), refused == u"Threads" ? 7u : 44u);
  } else {
    EXPECT_TRUE(errors_.empty());
    EXPECT_EQ(StoredNumber(L"Threads"), 9u);
    EXPECT_EQ(StoredNumber(L"Time"), 20u);
  }
  // The program goes on: a new window over the same store starts with what it holds.
  expected_time_ = refused == u"Time" ? L"44" : L"20";
  StartWindow();
  EXPECT_TRUE(::IsWindow(Handle()));
}

INSTANTIATE_TEST_SUITE_P(Values, MainWindowRefusedWriteTest,
                         ::testing::Values(u"Compact", u"AutoPin", u"Threads", u"Time"),
                         [](const ::testing::TestParamInfo<const char16_t*>& value) {
                           return ToUtf8(value.param);
                         });

}  // namespace
}  // namespace velkaro::win32
