// Shows the toolkit's test form until it is closed, or for the number of milliseconds
// given as the first argument; for looking at the layout.
#include <windows.h>

#include <cwchar>

#include "toolkit_test_form.h"
#include "ui/win32/application.h"

namespace velkaro::win32 {
namespace {

class DemoForm : public TForm {
 protected:
  void OnTimer(UINT_PTR) override { ::PostMessageW(Handle(), WM_CLOSE, 0, 0); }
};

int RunDemo(int lifetime) {
  using namespace toolkit_test;
  TApplication application(::GetModuleHandleW(nullptr));
  DemoForm form;
  if (!form.Create({.caption = u"Velkaro toolkit", .client_width = kClientWidth,
                    .client_height = kClientHeight, .main_window = true},
                   kLayout)) {
    return 2;
  }
  form.PanelOf(kPanel)->SetColor(kPanelColor);
  form.ControlAs<Label>(kPanelLabel).SetTextColor(RgbColor(215, 255, 215));
  form.SpeedButtonOf(kPinA)->SetGroup(1, false);
  form.SpeedButtonOf(kPinB)->SetGroup(1, false);
  form.SpeedButtonOf(kToggle)->SetGroup(2, true);
  form.SpeedButtonOf(kPinA)->SetDown(true);
  for (auto* button : {form.SpeedButtonOf(kPinA), form.SpeedButtonOf(kPinB),
                       form.SpeedButtonOf(kToggle)}) {
    button->AsWindow().SetText(u"Pin");
  }
  const ComboBox combo = form.ControlAs<ComboBox>(kCombo);
  combo.AddItem(u"1 - Monotonous constant CPU loading");
  combo.SetItemIndex(0);
  form.ControlAs<UpDown>(kUpDownId).SetRange(0, 100);
  form.ControlAs<UpDown>(kUpDownId).SetPosition(20);
  form.ControlAs<ProgressBar>(kProgress).SetMaximum(100);
  form.ControlAs<ProgressBar>(kProgress).SetPosition(60);
  if (lifetime > 0) form.SetTimer(1, static_cast<UINT>(lifetime));
  ::ShowWindow(form.Handle(), SW_SHOW);
  return application.Run();
}

}  // namespace
}  // namespace velkaro::win32

int wmain(int argc, wchar_t** argv) {
  return velkaro::win32::RunDemo(argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 0);
}
