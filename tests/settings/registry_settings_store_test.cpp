// The registry as the Windows settings store: the key of the current user in the
// 64-bit view, with the errors a value of the wrong kind gives.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "settings/user_settings_store.h"
#include "support/utf.h"

namespace velkaro {
namespace {

constexpr wchar_t kKey[] = L"Software\\Quenmark\\Velkaro";

class RegistrySettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

  static bool KeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle) !=
        ERROR_SUCCESS) {
      return false;
    }
    ::RegCloseKey(handle);
    return true;
  }

  // A value written behind the store's back, as another program or a user might.
  static void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY handle = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0,
                                KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(handle);
  }

  std::unique_ptr<TSettingsStore> store_ = OpenUserSettingsStore();
};

TEST_F(RegistrySettingsStoreTest, MissingValuesGiveTheirDefaultsAndCreateNoKey) {
  EXPECT_EQ(ReadSetting(*store_, settings::PauseBefore), 3);
  EXPECT_EQ(ReadSetting(*store_, settings::Threads, TemplateSuffix(u"none")), 1);
  EXPECT_EQ(ReadSetting(*store_, settings::LangCode), u"");
  EXPECT_FALSE(store_->ListSettingSubkeys(kTemplatesSuffix).has_value());
  EXPECT_FALSE(KeyExists(kKey));
}

TEST_F(RegistrySettingsStoreTest, ValuesComeBackWithTheTypesOfTheDesign) {
  ASSERT_TRUE(store_->WriteSettingNumber(u"Time", -5, u""));
  ASSERT_TRUE(store_->WriteSettingText(u"LangCode", u"de", u""));
  EXPECT_EQ(store_->ReadSettingNumber(u"Time", 20, u""), -5);
  EXPECT_EQ(store_->ReadSettingText(u"LangCode", u"", u""), u"de");

  HKEY handle = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ | KEY_WOW64_64KEY, &handle),
            ERROR_SUCCESS);
  DWORD type = 0;
  ::RegQueryValueExW(handle, L"Time", nullptr, &type, nullptr, nullptr);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  ::RegQueryValueExW(handle, L"LangCode", nullptr, &type, nullptr, nullptr);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  ::RegCloseKey(handle);

  // An empty text is stored without data and reads back as the default.
  ASSERT_TRUE(store_->WriteSettingText(u"LatestTempl", u"", u""));
  EXPECT_EQ(store_->ReadSettingText(u"LatestTempl", u"fallback", u""), u"fallback");
}

TEST_F(RegistrySettingsStoreTest, NumbersOfAnotherKindRaiseTheirErrors) {
  const wchar_t text[] = L"3";
  SetRaw(L"PauseBefore", REG_SZ, text, sizeof(text));
  const unsigned char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  SetRaw(L"Threads", REG_BINARY, eight, sizeof(eight));
  struct Case {
    const char16_t* name;
    const char* message;
  } const cases[] = {{u"PauseBefore", "Invalid data type for 'PauseBefore'"},
                     {u"Threads", "Failed to get data for 'Threads'"}};
  for (const Case& c : cases) {
    try {
      store_->ReadSettingNumber(c.name, 0, u"");
      ADD_FAILURE() << "no error for " << ToUtf8(c.name);
    } catch (const TSettingsError& error) {
      EXPECT_EQ(ToUtf8(error.message()), c.message);
    }
  }
}

TEST_F(RegistrySettingsStoreTest, TemplatesAreSubkeysThatGoWithEverythingBelowThem) {
  for (const char16_t* name : {u"b", u"a c"}) {
    ASSERT_TRUE(store_->WriteSettingNumber(u"Threads", 4, TemplateSuffix(name)));
  }
  EXPECT_TRUE(KeyExists(std::wstring(kKey) + L"\\Templates\\a c"));
  const auto names = store_->ListSettingSubkeys(kTemplatesSuffix);
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(names->size(), 2u);
  EXPECT_TRUE(store_->RemoveSettingKey(TemplateSuffix(u"a c")));
  EXPECT_EQ(store_->ListSettingSubkeys(kTemplatesSuffix), std::vector<std::u16string>{u"b"});
  EXPECT_FALSE(store_->RemoveSettingKey(TemplateSuffix(u"a c")));
}

}  // namespace
}  // namespace velkaro
