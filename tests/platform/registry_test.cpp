#include "platform/win32/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace velkaro::platform {
namespace {

using ::testing::UnorderedElementsAre;

constexpr REGSAM kView = KEY_WOW64_64KEY;
constexpr char16_t kKey[] = u"Software\\VelkaroPlatformTests";

// Works in a key of its own under the current user and removes it afterwards.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, Wide(kKey).c_str()); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Wide(kKey).c_str()); }

  static std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
  }

  // Stores raw data of any type, the way another program might have left it.
  static void SetRaw(std::u16string_view name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(kKey).c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | kView, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                             size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  static std::string MessageOf(const RegistryError& error) {
    const std::u16string& text = error.message();
    EXPECT_EQ(error.what(), std::string(text.begin(), text.end()));
    return std::string(text.begin(), text.end());
  }
};

TEST_F(RegistryTest, TextRoundTripAndDefaults) {
  struct Case {
    std::u16string text;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"Velkaro", u"Velkaro"},
      {u"x", u"x"},
      {u"\u00C4\u0436 with blanks ", u"\u00C4\u0436 with blanks "},
      {u"", u"default"},  // stored without data, which reads as missing
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RegWriteText(HKEY_CURRENT_USER, kKey, u"Text", c.text, kView), ERROR_SUCCESS);
    EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kKey, u"Text", u"default", kView), c.expected);
  }
  EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kKey, u"Missing", u"default", kView), u"default");
  EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, u"Software\\VelkaroPlatformTests\\None", u"Text",
                        u"default", kView),
            u"default");
}

TEST_F(RegistryTest, TextWithoutTerminatingZeroKeepsItsLastCharacter) {
  SetRaw(u"Raw", REG_SZ, L"abc", 6);
  EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, kKey, u"Raw", u"default", kView), u"abc");
}

TEST_F(RegistryTest, WritesTextIntoNewNestedKeys) {
  const std::u16string nested = std::u16string(kKey) + u"\\Templates\\My template";
  EXPECT_EQ(RegWriteText(HKEY_CURRENT_USER, nested, u"Name", u"value", kView), ERROR_SUCCESS);
  EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, nested, u"Name", u"", kView), u"value");
}

TEST_F(RegistryTest, NumberRoundTripAndDefaults) {
  EXPECT_EQ(RegReadNumber(HKEY_CURRENT_USER, kKey, u"Number", 42, kView), 42);
  for (const std::int32_t value : {0, 1, -1, 100000, INT32_MIN, INT32_MAX}) {
    EXPECT_TRUE(RegWriteNumber(HKEY_CURRENT_USER, kKey, u"Number", value, kView));
    EXPECT_EQ(RegReadNumber(HKEY_CURRENT_USER, kKey, u"Number", 42, kView), value);
  }
  EXPECT_EQ(RegReadNumber(HKEY_CURRENT_USER, kKey, u"Missing", -7, kView), -7);
  EXPECT_EQ(RegReadNumber(HKEY_CURRENT_USER, u"Software\\VelkaroPlatformTests\\None", u"Number",
                          -7, kView),
            -7);
}

TEST_F(RegistryTest, NumbersOfTheWrongKindRaiseNamedErrors) {
  const std::uint64_t qword = 5;
  const std::uint32_t binary = 5;
  SetRaw(u"x", REG_SZ, L"a", 4);
  SetRaw(u"Binary", REG_BINARY, &binary, 4);
  SetRaw(u"Wide", REG_QWORD, &qword, 8);
  SetRaw(u"Long text", REG_SZ, L"12345", 12);
  struct Case {
    std::u16string name;
    std::string message;
  };
  const Case cases[] = {
      {u"x", "Invalid data type for 'x'"},
      {u"Binary", "Invalid data type for 'Binary'"},
      {u"Wide", "Failed to get data for 'Wide'"},
      {u"Long text", "Failed to get data for 'Long text'"},
  };
  for (const Case& c : cases) {
    try {
      RegReadNumber(HKEY_CURRENT_USER, kKey, c.name, 0, kView);
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const RegistryError& error) {
      EXPECT_EQ(MessageOf(error), c.message);
    }
  }
}

TEST_F(RegistryTest, WriteNumberFailsWithoutAKeyAndRaisesWhenTheValueIsRefused) {
  // Key names have at most 255 characters.
  EXPECT_FALSE(RegWriteNumber(HKEY_CURRENT_USER, std::u16string(kKey) + u"\\" +
                              std::u16string(300, u'k'), u"n", 1, kView));
  // Value names have at most 16,383 characters.
  const std::u16string name(20000, u'n');
  try {
    RegWriteNumber(HKEY_CURRENT_USER, kKey, name, 1, kView);
    ADD_FAILURE() << "an overlong value name was accepted";
  } catch (const RegistryError& error) {
    EXPECT_EQ(MessageOf(error), "Failed to set data for '" + std::string(20000, 'n') + "'");
  }
}

TEST_F(RegistryTest, RemoveKeyTakesNestedKeysAndValues) {
  const std::u16string base(kKey);
  for (const char16_t* sub : {u"\\A", u"\\A\\B\\C", u"\\A\\D", u"\\E"}) {
    ASSERT_EQ(RegWriteText(HKEY_CURRENT_USER, base + sub, u"v", u"1", kView), ERROR_SUCCESS);
  }
  EXPECT_TRUE(RegRemoveKey(HKEY_CURRENT_USER, base + u"\\A"));
  EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, base + u"\\A\\B\\C", u"v", u"gone", kView), u"gone");
  EXPECT_EQ(RegReadText(HKEY_CURRENT_USER, base + u"\\E", u"v", u"gone", kView), u"1");
  EXPECT_FALSE(RegRemoveKey(HKEY_CURRENT_USER, base + u"\\A"));
  EXPECT_TRUE(RegRemoveKey(HKEY_CURRENT_USER, base));
  EXPECT_FALSE(RegListSubkeys(HKEY_CURRENT_USER, base).has_value());
}

TEST_F(RegistryTest, ListSubkeysNamesDirectChildrenOnly) {
  const std::u16string base(kKey);
  EXPECT_FALSE(RegListSubkeys(HKEY_CURRENT_USER, base).has_value());
  ASSERT_TRUE(RegWriteNumber(HKEY_CURRENT_USER, base, u"value", 1, kView));
  EXPECT_THAT(RegListSubkeys(HKEY_CURRENT_USER, base).value(), ::testing::IsEmpty());
  for (const char16_t* sub : {u"\\Zeta", u"\\alpha\\inner", u"\\Mid one"}) {
    ASSERT_TRUE(RegWriteNumber(HKEY_CURRENT_USER, base + sub, u"value", 1, kView));
  }
  EXPECT_THAT(RegListSubkeys(HKEY_CURRENT_USER, base).value(),
              UnorderedElementsAre(u"Zeta", u"alpha", u"Mid one"));
}

}  // namespace
}  // namespace velkaro::platform
