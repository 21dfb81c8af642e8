#include "ui/win32/template_dialog.h"

#include <array>
#include <span>
#include <utility>

#include "lang/string_table.h"
#include "support/text.h"

namespace velkaro::win32 {
namespace {

using namespace template_dialog;
using K = ControlKind;

constexpr int kClientWidth = 438;
constexpr int kClientHeight = 159;
// The name field stands this far below the prompt, which may take several lines.
constexpr int kFieldGap = 8;

template <ControlKind kCombo>
constexpr std::array kTemplLayout{
    ControlLayout{K::kLabel, kLbMes, 0, 24, 16, 0, 0, SS_NOPREFIX, std::nullopt},
    ControlLayout{kCombo, kCbTempls, 0, 24, 48, 393, 21, 0, std::nullopt},
    ControlLayout{K::kButton, kBOk, 0, 24, 117, 194, 25, BS_DEFPUSHBUTTON, TextId::Ok},
    ControlLayout{K::kButton, kBCancel, 0, 224, 117, 194, 25, 0, TextId::Cancel},
};

}  // namespace

bool TfmTempl::Construct(HWND owner, bool isAddTempl, Source source) {
  isAddTempl_ = isAddTempl;
  source_ = std::move(source);
  const std::span<const ControlLayout> layout =
      isAddTempl ? std::span<const ControlLayout>(kTemplLayout<K::kComboEdit>)
                 : std::span<const ControlLayout>(kTemplLayout<K::kComboList>);
  if (!Create({.caption = u"",
               .client_width = kClientWidth,
               .client_height = kClientHeight,
               .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
               .owner = owner},
              layout)) {
    return false;
  }
  SetColor(ButtonFaceColor());
  return true;
}

void TfmTempl::DoShow() {
  AsWindow().SetText(RemoveAmpersand(
      LangText(isAddTempl_ ? TextId::MenuSaveTemplate : TextId::MenuDeleteTemplate)));
  const Label prompt(Control(kLbMes));
  prompt.SetText(LangText(isAddTempl_ ? TextId::TemplateSaveLabel : TextId::TemplateDeleteLabel));
  prompt.AutoSize();
  const ComboBox names(Control(kCbTempls));
  const Rect prompt_bounds = prompt.Bounds();
  names.SetPosition(static_cast<int>(names.Bounds().left),
                    static_cast<int>(prompt_bounds.bottom) + Scale(kFieldGap));
  Window(Control(kBOk)).SetText(LangText(TextId::Ok));
  Window(Control(kBCancel)).SetText(LangText(TextId::Cancel));

  const std::vector<std::u16string> templates =
      source_.template_names ? source_.template_names() : std::vector<std::u16string>{};
  const std::u16string text =
      isAddTempl_ && source_.latest_template ? source_.latest_template() : std::u16string();
  // Replacing the items clears the edit's text; it is put back after them.
  names.SetRedraw(false);
  names.Clear();
  for (const std::u16string& name : templates) names.AddItem(name);
  names.SetItemIndex(-1);
  if (isAddTempl_) names.SetText(text);
  names.SetRedraw(true);
}

std::u16string TfmTempl::TemplateName() const {
  const ComboBox names(Control(kCbTempls));
  if (isAddTempl_) return names.Text();
  const int selected = names.ItemIndex();
  return selected < 0 ? std::u16string() : names.ItemText(selected);
}

bool TfmTempl::OnCommand(int id, int code, HWND /*control*/) {
  switch (id) {
    case IDOK:
      EndModal(IDOK);
      return true;
    case IDCANCEL:
      EndModal(IDCANCEL);
      return true;
    case kBOk:
      if (code == BN_CLICKED) EndModal(IDOK);
      return true;
    case kBCancel:
      if (code == BN_CLICKED) EndModal(IDCANCEL);
      return true;
    default:
      return false;
  }
}

bool TfmTempl::PreviewKey(UINT message, WPARAM key) {
  if (message != WM_KEYDOWN) return false;
  if (key == VK_RETURN) {
    // Anywhere in the dialog, also in the open list; the key then goes on as usual.
    EndModal(IDOK);
    return false;
  }
  if (key == VK_ESCAPE) {
    EndModal(IDCANCEL);
    return true;
  }
  return false;
}

}  // namespace velkaro::win32
