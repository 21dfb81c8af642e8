#include "settings/settings_store.h"

#include "support/text.h"
#include "support/utf.h"

namespace velkaro {
namespace {

TSettingsError Format(std::u16string_view format, std::u16string_view name) {
  return TSettingsError(ReplaceAll(format, u"%s", name));
}

}  // namespace

TSettingsError::TSettingsError(std::u16string message)
    : std::runtime_error(ToUtf8(message)), message_(std::move(message)) {}

TSettingsError TSettingsError::InvalidDataType(std::u16string_view name) {
  return Format(u"Invalid data type for '%s'", name);
}

TSettingsError TSettingsError::FailedToGetData(std::u16string_view name) {
  return Format(u"Failed to get data for '%s'", name);
}

TSettingsError TSettingsError::FailedToSetData(std::u16string_view name) {
  return Format(u"Failed to set data for '%s'", name);
}

std::u16string TemplateSuffix(std::u16string_view name) {
  std::u16string suffix(kTemplatesSuffix);
  suffix += u'\\';
  suffix += name;
  return suffix;
}

std::int32_t ReadSetting(TSettingsStore& store, const TNumberSetting& setting,
                         std::u16string_view suffix) {
  return store.ReadSettingNumber(setting.name, setting.default_value, suffix);
}

std::u16string ReadSetting(TSettingsStore& store, const TTextSetting& setting,
                           std::u16string_view suffix) {
  return store.ReadSettingText(setting.name, setting.default_text, suffix);
}

}  // namespace velkaro
