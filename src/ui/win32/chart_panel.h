// The load chart in the main window's lower left corner: a dark panel with the last
// one-second samples as bars, a scale, and the start pause's countdown pie.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>

#include "meter/cpu_percents.h"
#include "ui/win32/controls.h"
#include "ui/win32/form.h"

namespace velkaro::win32 {

// Width of one column slot of the plot, in pixels.
inline constexpr int kChartSlotWidth = 7;

class TChartPanel {
 public:
  // What the chart shows, asked for when it paints.
  struct Source {
    // The samples; nullptr before the meter exists.
    std::function<const TCPUPercentStore*()> percents;
    // True while the workers may run: bright bars, else dull ones.
    std::function<bool()> running;
    // True while the start pause counts down: the pie is drawn.
    std::function<bool()> waiting_start;
  };

  // Creates the panel pnDiag on `form`, beside the progress panel and below the first
  // label, with its scale labels; false when it cannot be created.
  bool Create(TForm& form, Source source);
  HWND Handle() const { return pnDiag_ ? pnDiag_->Handle() : nullptr; }
  TPanel* Panel() const { return pnDiag_.get(); }

  // Places the panel and works out the plot from the scale labels' widths: at creation
  // and after every DPI change.
  void Layout();
  // Column slots of the plot as laid out now.
  std::size_t Slots() const;

  // Repaints the panel at once.
  void Repaint() const;
  // Draws the countdown pie with `koef` of the pause gone, at once.
  void DrawStartPausePie(double koef);

 private:
  void BuildTile();
  void Draw(HDC dc, const RECT& client) const;
  void DrawPercentBar(HDC dc, int x, const TCPUPercent& sample, bool running) const;
  void PaintStartPausePie(HDC dc) const;
  // The slots that fit the plot; fewer than the store holds after a move to a monitor
  // of lower DPI.
  std::size_t VisibleSlots() const;

  TForm* form_ = nullptr;
  Source source_;
  std::unique_ptr<TPanel> pnDiag_;
  ScopedFont scale_font_;
  int FDiagWidth_ = 0;
  RECT FDiagRect_{};
  ScopedBitmap FDiagBackBmp_;
  double FCurCircleDiagPaintKoef_ = 0;
};

}  // namespace velkaro::win32
