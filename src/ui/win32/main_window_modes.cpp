// How the main window sits on the desktop: the compact window during a run, the pin
// and automatic pinning, the clone beside it, and its place per screen layout.
#include <windows.h>

#include "platform/files.h"
#include "platform/shell.h"
#include "settings/run_settings.h"
#include "ui/main/window_placing.h"
#include "ui/win32/main_window.h"
#include "ui/win32/main_window_ids.h"
#include "ui/win32/screen.h"

namespace velkaro::win32 {
namespace {

using namespace main_window;

Rect ScreenRect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

void TfmMain::BuildWindowModes() {
  compact_view_ = std::make_unique<TCompactWindow>(
      Handle(), TCompactWindow::Host{
                    [this] { logic_->StartWithPause(); },
                    [this] { DragWindow(); },
                    [this](bool on) {
                      compact_frame_ = on;
                      SetPainted(on);
                    },
                    [this](UINT_PTR id, UINT period) { WindowBase::SetTimer(id, period); },
                    [this](UINT_PTR id) { WindowBase::KillTimer(id); }});
  modes_ = std::make_unique<TCompactMode>(*compact_view_, SystemMainClock());
}

void TfmMain::OnPaint(HDC dc, const RECT& client) {
  if (!compact_frame_) return;
  const Color frame = CompactFrameColor(static_cast<Color>(::GetSysColor(COLOR_BTNSHADOW)),
                                        static_cast<Color>(::GetSysColor(COLOR_BTNFACE)));
  ScopedBrush brush(::CreateSolidBrush(frame));
  ::FrameRect(dc, &client, brush.Get());
}

bool TfmMain::CompactChecked() const { return compact_checked_; }

bool TfmMain::IsCompact() const { return modes_ && modes_->isCompact(); }

bool TfmMain::IsInCompactUncompact() const { return modes_ && modes_->isInCompactUncompact(); }

void TfmMain::CompactUncompact(bool toCompact) {
  if (modes_) modes_->CompactUncompact(toCompact);
}

void TfmMain::CompactAnimTick() {
  if (modes_) modes_->CompactAnimTick();
}

bool TfmMain::AutoPinChecked() const { return auto_pin_checked_; }

bool TfmMain::PinDown() const { return SpeedButton(Control(kSbPin)).IsDown(); }

void TfmMain::SetPinDown(bool down) {
  if (PinDown() == down) return;
  SpeedButton(Control(kSbPin)).SetDown(down);
  sbPinClick();
}

void TfmMain::sbCloneClick() {
  const Point at = ClonePosition(Monitors(), ScreenRect(Handle()));
  const std::u16string fields =
      CloneCommandLine(RunSettingsOfInputs(ReadInputs()), compact_checked_, auto_pin_checked_,
                       PinDown(), at.x, at.y);
  // A clone that cannot be started is not reported.
  platform::RunCommandLine(CloneCommandText(platform::ProgramPath(), fields));
}

void TfmMain::SavePlace() {
  if (!store_ || Handle() == nullptr) return;
  const std::optional<std::u16string> text =
      PlaceTextToSave(IsCompact(), ::IsIconic(Handle()) != FALSE,
                      ReadSetting(*store_, settings::Place), Monitors(),
                      MonitorNumberOfWindow(Handle()), ScreenRect(Handle()));
  if (text) store_->WriteSettingText(settings::Place.name, *text, u"");
}

void TfmMain::RestorePlace() {
  std::optional<Point> command_line;
  if (command_line_) command_line = Point{command_line_->left, command_line_->top};
  const std::optional<Point> place =
      RestoredPlace(command_line, ReadSetting(*store_, settings::Place), Monitors());
  // Otherwise the window stays where the form put it: centred.
  if (place) AsWindow().SetPosition(place->x, place->y);
}

}  // namespace velkaro::win32
