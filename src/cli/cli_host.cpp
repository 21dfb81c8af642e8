#include "cli/cli_host.h"

#include <algorithm>
#include <string>

#include "engine/reached_limit.h"
#include "lang/string_table.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/thread_limits.h"
#include "support/text.h"
#include "support/utf.h"

namespace velkaro {
namespace {

// A terminal is redrawn at most this often.
constexpr std::uint32_t kRedrawMs = 100;
// A plain log gets a line with each once-a-second sample; a changed status alone waits
// longer than one sample interval, so that the two never make two lines a second.
constexpr std::uint32_t kPlainStatusMs = 1500;

}  // namespace

TCliHost::TCliHost(platform::TConsoleStream display, bool redraw)
    : display_(display),
      redraw_(redraw),
      meter_(SystemUsageSource(), *this, kChartSlots, platform::DecimalSeparator()) {}

void TCliHost::PollStop() {
  if (ContainsStopKey(platform::ConsoleReadKeys()) || platform::ConsoleInterrupts() > 0) {
    stop_requested_ = true;
    if (controller_ != nullptr) controller_->Stop();
  }
}

void TCliHost::Draw(const std::vector<std::u16string>& lines) {
  std::u16string out;
  if (drawn_lines_ > 0) {
    out += u'\r';
    if (drawn_lines_ > 1) out += u"\x1b[" + FromUtf8(std::to_string(drawn_lines_ - 1)) + u"A";
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out += u"\x1b[2K";
    out += lines[i];
    if (i + 1 < lines.size()) out += u'\n';
  }
  platform::ConsoleWrite(display_, out);
  drawn_lines_ = lines.size();
}

void TCliHost::Commit() {
  if (drawn_lines_ == 0) return;
  platform::ConsoleWrite(display_, u"\n");
  drawn_lines_ = 0;
}

void TCliHost::Render(bool force) {
  const std::uint32_t now = platform::TickCount();
  const std::uint32_t gap = redraw_ ? kRedrawMs : kPlainStatusMs;
  const bool due = !drawn_once_ || now - last_draw_ >= gap;
  if (!sample_taken_ && !(dirty_ && (force || due))) return;
  if (redraw_) {
    Draw(ScreenLines(screen_, meter_.Percents().Samples()));
  } else {
    platform::ConsoleWrite(display_, PlainLine(screen_) + u"\n");
  }
  drawn_once_ = true;
  last_draw_ = now;
  dirty_ = false;
  sample_taken_ = false;
}

bool TCliHost::RunPause(std::int32_t pause_s) {
  PollStop();
  if (stop_requested_) return false;
  if (pause_s <= 0) return true;
  const std::uint32_t start = platform::TickCount();
  const std::uint32_t total = static_cast<std::uint32_t>(pause_s) * 1000u;
  std::uint32_t shown = 0;
  for (;;) {
    PollStop();
    if (stop_requested_) break;
    const std::uint32_t elapsed = platform::TickCount() - start;
    if (elapsed >= total) break;
    const std::uint32_t left = (total - elapsed + 999) / 1000;
    if (left != shown) {
      const std::u16string line = PauseLine(static_cast<std::int32_t>(left));
      if (redraw_) {
        Draw({line});
      } else {
        platform::ConsoleWrite(display_, line + u"\n");
      }
      shown = left;
    }
    platform::SleepMs(20);
  }
  Commit();
  return !stop_requested_;
}

void TCliHost::Finish() {
  // Nothing to show when the run never began (stopped during the pause).
  if (!screen_.status.empty()) Render(true);
  Commit();
}

void TCliHost::Note(std::u16string_view text) {
  Commit();
  platform::ConsoleWrite(display_, std::u16string(text) + u"\n");
  drawn_once_ = false;
  dirty_ = true;
}

void TCliHost::SetStatusText(std::u16string_view text) {
  if (screen_.status == text) return;
  screen_.status = text;
  dirty_ = true;
  Render(false);
}

void TCliHost::SetProgressMax(std::uint32_t max) {
  screen_.progress_max = max;
  dirty_ = true;
}

void TCliHost::SetProgressPosition(std::uint32_t position) {
  screen_.progress_position = position;
  dirty_ = true;
}

// The console has no taskbar button; the progress bar shows the same.
void TCliHost::SetTaskbarProgress(std::uint64_t, std::uint64_t) {}
// The title's percentage is the progress bar's.
void TCliHost::SetTitle(std::u16string_view) {}

void TCliHost::ProcessMessages() {
  PollStop();
  Render(false);
}

// The error text comes back from RunStress and is printed once the display is done.
void TCliHost::ShowMessage(std::u16string_view) {}

void TCliHost::UsageCalc() {
  sample_taken_ = true;
  meter_.UsageCalc();
  const auto samples = meter_.Percents().Samples();
  if (!samples.empty()) all_samples_.push_back(samples.back());
}

void TCliHost::bGoButClick_Stop() {
  // Read now, while the created workers still exist and count against the limits.
  const std::vector<platform::ThreadLimit> limits = platform::ReadThreadLimits();
  if (const platform::ThreadLimit* limit = LikelyReachedThreadLimit(limits)) {
    limit_note_ = u"Limit reached: " + FromUtf8(std::string(limit->name)) + u" = " +
                  FromUtf8(std::to_string(limit->limit));
    // Room for the whole request beyond the present limit, whatever else runs meanwhile.
    const std::string raise = RaiseLimitCommand(
        *limit, requested_threads_ > 0 ? static_cast<std::uint64_t>(requested_threads_) : 0);
    if (!raise.empty()) {
      limit_note_ += limit->name.starts_with("ulimit ")
                         ? u"; raise it in the shell that starts velkaro-cli: " + FromUtf8(raise)
                         : u"; raise it as root: " + FromUtf8(raise);
    }
  }
}

void TCliHost::PriorityNotApplied(bool process_class, std::uint32_t win32_value) {
  Note(PriorityRefusalNote(process_class, win32_value));
}

void TCliHost::ShowPercents() {
  screen_.now_text = meter_.FPercNowStr();
  screen_.avg_text = meter_.FPercAvgStr();
  dirty_ = true;
}

void TCliHost::RepaintPercents() {
  dirty_ = true;
  if (sample_taken_) Render(true);
}

}  // namespace velkaro
