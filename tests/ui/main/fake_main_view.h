// A main window that keeps what the logic set and logs the operations whose order
// matters; a run runner and a clock that the tests drive.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "meter/usage_meter.h"
#include "support/utf.h"
#include "ui/main/compact_mode.h"
#include "ui/main/main_logic.h"
#include "ui/main/main_view.h"

namespace velkaro {

inline constexpr Color kTestBtnFace = RgbColor(240, 240, 240);
inline constexpr Color kTestWindowText = RgbColor(10, 20, 30);
inline constexpr Color kTestWindow = RgbColor(250, 240, 230);
inline constexpr int kTestProgressLeft = 186;

class FakeMainView final : public TMainView {
 public:
  FakeMainView() {
    inputs_enabled.fill(true);
    menus_enabled.fill(true);
    texts[Index(TMainInput::edStPause)] = u"0";
    texts[Index(TMainInput::edTime)] = u"10";
    texts[Index(TMainInput::edThreads)] = u"4";
    items[Index(TMainInput::cbPriority)] = 3;
    items[Index(TMainInput::cbPriorClass)] = 2;
    items[Index(TMainInput::cbStyle)] = 0;
  }

  template <class E>
  static std::size_t Index(E e) { return static_cast<std::size_t>(e); }

  void SetInput(TMainInput input, std::u16string text) { texts[Index(input)] = std::move(text); }
  // 1 when every input and menu is enabled, 0 when all are disabled, -1 when mixed.
  int InputsEnabled() const {
    int on = 0;
    for (bool e : inputs_enabled) on += e ? 1 : 0;
    for (bool e : menus_enabled) on += e ? 1 : 0;
    const int all = static_cast<int>(inputs_enabled.size() + menus_enabled.size());
    return on == all ? 1 : (on == 0 ? 0 : -1);
  }
  bool TimerActive(std::uintptr_t id) const { return timers.count(id) != 0; }

  void SetStateText(std::u16string_view text) override {
    state_text = ToUtf8(text);
    Log("state:" + state_text);
  }
  void SetCaption(std::u16string_view text) override { caption = ToUtf8(text); }
  void SetAppTitle(std::u16string_view text) override { app_title = ToUtf8(text); }
  void SetDoCaption(std::u16string_view text) override { do_caption = ToUtf8(text); }
  void SetDoImage(int image) override { do_image = image; }
  void SetDoAction(TDoAction action) override { do_action = action; }
  int ProgressLeft() const override { return kTestProgressLeft; }
  void SetStateLeft(int left) override { state_left = left; }
  bool InputEnabled(TMainInput input) const override { return inputs_enabled[Index(input)]; }
  void EnableInput(TMainInput input, bool enable) override { inputs_enabled[Index(input)] = enable; }
  void EnableMenu(TMainMenu menu, bool enable) override { menus_enabled[Index(menu)] = enable; }
  TControlRef FocusedControl() const override { return focused; }
  void FocusControl(TControlRef control) override {
    focused = control;
    focus_calls.push_back(control);
  }
  Color SysColor(TSysColor color) const override {
    switch (color) {
      case TSysColor::clBtnFace: return kTestBtnFace;
      case TSysColor::clWindowText: return kTestWindowText;
      case TSysColor::clWindow: return kTestWindow;
    }
    return 0;
  }
  Color WindowColor() const override { return window_color; }
  void SetWindowColor(Color color) override {
    window_color = color;
    Log("window:" + std::to_string(color));
  }
  void SetPanelsColor(Color color) override { panels_color = color; }
  void SetLabelColor(TMainLabel label, Color color) override { label_colors[Index(label)] = color; }
  void FlashTaskbar() override {
    ++flashes;
    Log("flash");
  }
  void RedrawAll() override { Log("redraw"); }
  void SetProgressMax(std::uint32_t max) override { progress_max = max; }
  void SetProgressPosition(std::uint32_t position) override { progress_position = position; }
  void SetTaskbarProgress(std::uint64_t done, std::uint64_t total) override {
    taskbar = std::make_pair(done, total);
  }
  void ClearTaskbarProgress() override { taskbar.reset(); }
  void SetTimer(std::uintptr_t id, std::uint32_t period_ms) override { timers[id] = period_ms; }
  void KillTimer(std::uintptr_t id) override { timers.erase(id); }
  bool IsLeftButtonDown() const override { return left_button_down; }
  void FlushKeyboardMessages() override { ++keyboard_flushes; }
  void FlushDoMouseMessages() override { ++mouse_flushes; }
  void ReleaseCapture() override { ++capture_releases; }
  void RepaintChart() override {
    ++chart_repaints;
    Log("chart");
  }
  void DrawStartPausePie(double koef) override { pies.push_back(koef); }
  void RestoreNormalPriorities() override { ++normal_priorities; }
  std::u16string InputText(TMainInput input) const override { return texts[Index(input)]; }
  int ItemIndex(TMainInput input) const override { return items[Index(input)]; }
  void ProcessMessages() override {
    if (on_messages) on_messages();
  }
  bool Terminated() const override { return terminated; }
  void ShowMessage(std::u16string_view text) override { messages.push_back(ToUtf8(text)); }
  void ShowBusyCursor() override { ++busy_cursors; }
  void RestoreCursor() override { ++restored_cursors; }
  void CloseWindow() override { ++close_requests; }

  void SavePlace() override { Log("save place"); }
  bool CompactChecked() const override { return compact_checked; }
  // With `compact_mode` set, the compact hooks go to it as in the real window.
  bool IsCompact() const override { return compact_mode ? compact_mode->isCompact() : is_compact; }
  bool IsInCompactUncompact() const override {
    return compact_mode ? compact_mode->isInCompactUncompact() : in_compact_anim;
  }
  void CompactUncompact(bool toCompact) override {
    Log(toCompact ? "compact" : "uncompact");
    is_compact = toCompact;
    if (compact_mode) compact_mode->CompactUncompact(toCompact);
  }
  void CompactAnimTick() override {
    Log("compact tick");
    if (compact_mode) compact_mode->CompactAnimTick();
  }
  void sbCloneClick() override { ++clones; }
  bool AutoPinChecked() const override { return auto_pin; }
  bool PinDown() const override { return pin_down; }
  void SetPinDown(bool down) override {
    pin_down = down;
    pin_sets.push_back(down);
  }

  void ShowThreadsWarning(std::u16string_view text) override {
    threads_warning = ToUtf8(text);
    Log("warning:" + ToUtf8(text));
  }
  void HideThreadsWarning() override {
    threads_warning.reset();
    Log("warning hidden");
  }

  void Log(std::string entry) { log.push_back(std::move(entry)); }

  std::optional<std::string> threads_warning;

  std::string state_text = "(unset)", caption, app_title, do_caption;
  int do_image = -1;
  TDoAction do_action = TDoAction::bGoButClick_Stop;
  int state_left = 0;
  std::array<bool, 9> inputs_enabled{};
  std::array<bool, 4> menus_enabled{};
  std::array<Color, 8> label_colors{};
  std::array<std::u16string, 9> texts{};
  std::array<int, 9> items{};
  TControlRef focused = 0;
  std::vector<TControlRef> focus_calls;
  Color window_color = kTestBtnFace;
  Color panels_color = kTestBtnFace;
  int flashes = 0;
  std::uint32_t progress_max = 0, progress_position = 0;
  std::optional<std::pair<std::uint64_t, std::uint64_t>> taskbar;
  std::map<std::uintptr_t, std::uint32_t> timers;
  bool left_button_down = false;
  int keyboard_flushes = 0, mouse_flushes = 0, capture_releases = 0, chart_repaints = 0,
      normal_priorities = 0, busy_cursors = 0, restored_cursors = 0, close_requests = 0,
      clones = 0;
  std::vector<double> pies;
  std::function<void()> on_messages;
  bool terminated = false;
  std::vector<std::string> messages;
  bool compact_checked = false, is_compact = false, in_compact_anim = false;
  TCompactMode* compact_mode = nullptr;
  bool auto_pin = false, pin_down = false;
  std::vector<bool> pin_sets;
  std::vector<std::string> log;
};

class FakeMainClock final : public TMainClock {
 public:
  std::uint32_t TickCount() override { return now; }
  void SleepMs(std::uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    if (log != nullptr) log->push_back("sleep:" + std::to_string(milliseconds));
  }
  std::uint32_t now = 1000;
  std::vector<std::uint32_t> sleeps;
  std::vector<std::string>* log = nullptr;
};

// What one RunStress call was given.
struct RunArgs {
  std::uint32_t priorityClass = 0;
  std::int32_t threadsCount = 0;
  std::int32_t priorityIndex = 0;
  std::uint32_t timeMs = 0;
  TStressStyle style = TStressStyle::ssMono;
};

class FakeRunner final : public TStressRunner {
 public:
  // Runs inside RunStress, with the run's error text and started count.
  std::function<void(std::u16string& errorText, std::int32_t& startedCount)> during;

  bool RunStress(std::uint32_t priorityClass, std::int32_t threadsCount,
                 std::int32_t priorityIndex, std::uint32_t timeMs, TStressStyle style,
                 std::u16string& errorText, std::int32_t& startedCount) override {
    if (in_run) {
      ++refused_runs;
      return false;
    }
    runs.push_back({priorityClass, threadsCount, priorityIndex, timeMs, style});
    in_run = true;
    stopped = false;
    if (during) during(errorText, startedCount);
    in_run = false;
    return true;
  }
  void Stop() override {
    stopped = true;
    ++stops;
  }
  bool InRun() const override { return in_run; }

  std::vector<RunArgs> runs;
  bool in_run = false;
  bool stopped = false;
  int stops = 0;
  int refused_runs = 0;
};

class FakeUsageSource final : public TUsageSource {
 public:
  bool ReadProcessTimes(platform::ProcessTimes& times) override {
    times = {};
    return true;
  }
  std::uint32_t TickCount() override { return 0; }
};

class FakeMeterHost final : public TUsageMeterHost {
 public:
  explicit FakeMeterHost(std::vector<std::string>& log) : log_(log) {}
  void ShowPercents() override { log_.push_back("percents"); }
  void RepaintPercents() override {}

 private:
  std::vector<std::string>& log_;
};

}  // namespace velkaro
