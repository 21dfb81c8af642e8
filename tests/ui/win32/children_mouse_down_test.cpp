// SetChildrenMouseDown over a real form: which controls get the handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string_view>

#include "toolkit_test_form.h"
#include "ui/win32/application.h"
#include "ui/win32/main_window.h"

namespace velkaro::win32 {
namespace {

using namespace toolkit_test;

constexpr std::wstring_view kExcludedClasses[] = {L"Edit", L"ComboBox", UPDOWN_CLASSW,
                                                  L"VelkaroSpeedButton", L"Button"};
constexpr int kAllIds[] = {kPanel, kPanelLabel, kPinA,     kPinB,     kToggle,  kLabel,
                           kEdit,  kUpDownId,   kCombo,    kGoButton, kProgress};

class ChildrenMouseDownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static TApplication application(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(form_.Create({.caption = u"Mouse-down test", .client_width = kClientWidth,
                              .client_height = kClientHeight},
                             kLayout));
  }

  // The ids of the controls whose press reached the handler.
  std::set<int> PressEach() {
    std::set<int> pressed;
    handled_.clear();
    for (const int id : kAllIds) {
      const HWND control = form_.Control(id);
      ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
      ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
      if (id == kCombo) ::SendMessageW(control, CB_SHOWDROPDOWN, FALSE, 0);
      if (std::find(handled_.begin(), handled_.end(), control) != handled_.end()) {
        pressed.insert(id);
      }
    }
    ::ReleaseCapture();
    return pressed;
  }

  MouseDownHandler Recorder() {
    return [this](HWND window, UINT, Point) { handled_.push_back(window); };
  }

  TForm form_;
  std::vector<HWND> handled_;
};

TEST_F(ChildrenMouseDownTest, SkipsExcludedKindsAndControlsButVisitsTheirChildren) {
  const HWND excluded[] = {form_.Control(kPanel)};
  SetChildrenMouseDown(form_.Handle(), Recorder(), kExcludedClasses, excluded);
  // The panel itself is excluded, its label is not; edits, lists, up-downs and
  // buttons of every kind keep their own mouse handling.
  EXPECT_EQ(PressEach(), (std::set<int>{kPanelLabel, kLabel, kProgress}));
}

TEST_F(ChildrenMouseDownTest, PanelsAndEveryKindWhenNothingIsExcluded) {
  SetChildrenMouseDown(form_.Handle(), Recorder(), {}, {});
  EXPECT_EQ(PressEach(), std::set<int>(std::begin(kAllIds), std::end(kAllIds)));
}

}  // namespace
}  // namespace velkaro::win32
