// TfmAbout: the About box with the product name, the version of the program's own
// file, the copyright line and the maker's name and web address.
#pragma once

#include <windows.h>

#include "ui/win32/form.h"

namespace velkaro::win32 {

namespace about_box {
enum ControlId : int {
  kLbProgName = 10,
  kLbVers,
  kLbCop,
  kLbOrg,
  kLbURL,
  kBOk,
};
}  // namespace about_box

class TfmAbout final : public TForm {
 public:
  // Builds the box hidden, owned by `owner`; false when it cannot be created.
  bool Construct(HWND owner);

 protected:
  void DoShow() override;
  void OnDpiChanged() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool PreviewKey(UINT message, WPARAM key) override;
  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override;

 private:
  void ApplyFonts();
  void lbURLClick();

  ScopedFont name_font_;
  ScopedFont bold_font_;
  ScopedFont text_font_;
};

}  // namespace velkaro::win32
