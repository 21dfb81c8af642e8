// TfmTempl: asks for a stress template's name, free text when saving, one of the
// saved names when deleting. Made anew for each use.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/win32/form.h"

namespace velkaro::win32 {

namespace template_dialog {
enum ControlId : int {
  kLbMes = 10,
  kCbTempls,
  kBOk,
  kBCancel,
};
}  // namespace template_dialog

class TfmTempl final : public TForm {
 public:
  // What the dialog needs of the main window each time it is shown.
  struct Source {
    // checkRefreshTemplates, then the template names in the store's order.
    std::function<std::vector<std::u16string>()> template_names;
    // The name offered when saving: the latest template.
    std::function<std::u16string()> latest_template;
  };

  // Builds the dialog hidden, owned by `owner`, for saving (`isAddTempl`) or
  // deleting; false when it cannot be created.
  bool Construct(HWND owner, bool isAddTempl, Source source);

  // The name typed or picked; empty when none.
  std::u16string TemplateName() const;
  bool isAddTempl() const { return isAddTempl_; }

 protected:
  void DoShow() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool PreviewKey(UINT message, WPARAM key) override;

 private:
  bool isAddTempl_ = true;
  Source source_;
};

}  // namespace velkaro::win32
