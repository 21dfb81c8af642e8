#include "ui/win32/about_box.h"

#include <array>
#include <string>

#include "lang/lang_format.h"
#include "lang/string_table.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/version.h"
#include "platform/win32/wide.h"
#include "ui/about/version_texts.h"
#include "velkaro_version.h"

namespace velkaro::win32 {
namespace {

using namespace about_box;
using K = ControlKind;

constexpr int kClientWidth = 368;
constexpr int kClientHeight = 227;
constexpr int kNameFontHeight = 24;  // character heights in pixels at 96 DPI
constexpr int kTextFontHeight = 13;

constexpr std::array kAboutLayout{
    ControlLayout{K::kLabel, kLbProgName, 0, 16, 10, 0, 0, SS_NOPREFIX, std::nullopt},
    ControlLayout{K::kLabel, kLbVers, 0, 16, 41, 0, 0, SS_NOPREFIX, std::nullopt},
    ControlLayout{K::kLabel, kLbCop, 0, 16, 66, 0, 0, SS_NOPREFIX, std::nullopt},
    ControlLayout{K::kLabel, kLbOrg, 0, 16, 91, 0, 0, SS_NOPREFIX, std::nullopt},
    ControlLayout{K::kLabel, kLbURL, 0, 16, 111, 0, 0, SS_NOPREFIX | SS_NOTIFY, std::nullopt},
    ControlLayout{K::kButton, kBOk, 0, 280, 186, 81, 33, BS_DEFPUSHBUTTON, TextId::Ok},
};

ScopedFont TahomaFont(int height, bool bold) {
  LOGFONTW font{};
  constexpr wchar_t kFace[] = L"Tahoma";
  std::copy(std::begin(kFace), std::end(kFace), font.lfFaceName);
  font.lfHeight = -height;
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  return ScopedFont(::CreateFontIndirectW(&font));
}

std::u16string CompanyUrl() { return u"" VELKARO_COMPANY_URL; }

}  // namespace

bool TfmAbout::Construct(HWND owner) {
  if (!Create({.caption = LangText(TextId::AboutTitle),
               .client_width = kClientWidth,
               .client_height = kClientHeight,
               .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
               .owner = owner},
              kAboutLayout)) {
    return false;
  }
  SetColor(ButtonFaceColor());
  ApplyFonts();
  Label(Control(kLbURL)).SetTextColor(static_cast<Color>(::GetSysColor(COLOR_HIGHLIGHT)));
  return true;
}

void TfmAbout::ApplyFonts() {
  name_font_ = TahomaFont(Scale(kNameFontHeight), true);
  bold_font_ = TahomaFont(Scale(kTextFontHeight), true);
  text_font_ = TahomaFont(Scale(kTextFontHeight), false);
  Window(Control(kLbProgName)).SetFont(name_font_.Get());
  Window(Control(kLbVers)).SetFont(bold_font_.Get());
  for (const int id : {kLbCop, kLbOrg, kLbURL}) Window(Control(id)).SetFont(text_font_.Get());
  for (const int id : {kLbProgName, kLbVers, kLbCop, kLbOrg, kLbURL}) Label(Control(id)).AutoSize();
}

void TfmAbout::OnDpiChanged() {
  // The form has just given every control its own font again.
  if (Control(kLbProgName) != nullptr && name_font_) ApplyFonts();
}

void TfmAbout::DoShow() {
  AsWindow().SetText(LangText(TextId::AboutTitle));
  Window(Control(kBOk)).SetText(LangText(TextId::Ok));
  const FileVersionInfo version = platform::GetFileVersion(platform::ProgramPath(), true);
  const std::u16string years_and_maker =
      u"" VELKARO_COPYRIGHT_YEARS u" " VELKARO_COMPANY_NAME;
  Window(Control(kLbProgName)).SetText(u"" VELKARO_PRODUCT_NAME);
  Window(Control(kLbVers)).SetText(GetVersionTexts(version, LangText(TextId::BuildWord)));
  Window(Control(kLbCop)).SetText(LangFormat(TextId::Copyright, {years_and_maker}));
  Window(Control(kLbOrg)).SetText(u"" VELKARO_COMPANY_NAME);
  Window(Control(kLbURL)).SetText(CompanyUrl());
  for (const int id : {kLbProgName, kLbVers, kLbCop, kLbOrg, kLbURL}) Label(Control(id)).AutoSize();
}

void TfmAbout::lbURLClick() { platform::OpenDocument(CompanyUrl(), true); }

bool TfmAbout::OnCommand(int id, int code, HWND /*control*/) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      EndModal(id);
      return true;
    case kBOk:
      if (code == BN_CLICKED) EndModal(IDOK);
      return true;
    case kLbURL:
      if (code == STN_CLICKED) lbURLClick();
      return true;
    default:
      return false;
  }
}

bool TfmAbout::PreviewKey(UINT message, WPARAM key) {
  if (message == WM_KEYDOWN && key == VK_ESCAPE) {
    EndModal(IDCANCEL);
    return true;
  }
  return false;
}

LRESULT TfmAbout::HandleMessage(UINT message, WPARAM w, LPARAM l) {
  if (message == WM_SETCURSOR && reinterpret_cast<HWND>(w) == Control(kLbURL)) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
  }
  return TForm::HandleMessage(message, w, l);
}

}  // namespace velkaro::win32
