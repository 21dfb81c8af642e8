#include "ui/win32/chart_panel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/win32/main_window_ids.h"
#include "ui/win32/pie_dc.h"

namespace velkaro::win32 {
namespace {

using namespace main_window;

// The chart, in 96-DPI units and colours.
constexpr int kDiagWidth = 130;
constexpr int kDiagHeight = 106;
constexpr int kScaleFontHeight = -8;
constexpr int kSlotWidth = kChartSlotWidth;
constexpr int kTileWidth = 5;
constexpr Color kDiagBack = RgbColor(44, 46, 44);
constexpr Color kPlotFrame = RgbColor(73, 81, 75);
constexpr Color kPlotBack = RgbColor(55, 59, 55);
constexpr Color kStripeEven = RgbColor(62, 70, 65);
constexpr Color kStripeOdd = RgbColor(59, 64, 59);
constexpr Color kScaleText = RgbColor(215, 255, 215);
constexpr Color kPieDone = RgbColor(0, 128, 128);
constexpr Color kPieRest = RgbColor(255, 255, 255);
constexpr Color kPieRim = RgbColor(43, 85, 85);

struct BarColors {
  Color total_fill;
  Color total_top;
  Color kernel_fill;
  Color kernel_top;
};
constexpr BarColors kBrightBars{RgbColor(40, 255, 40), RgbColor(214, 255, 214),
                                RgbColor(64, 191, 64), RgbColor(136, 183, 136)};
constexpr BarColors kDullBars{RgbColor(49, 149, 50), RgbColor(108, 206, 108),
                              RgbColor(64, 107, 64), RgbColor(95, 122, 95)};

void FillSolid(HDC dc, const RECT& rect, Color color) {
  ScopedBrush brush(::CreateSolidBrush(color));
  ::FillRect(dc, &rect, brush.Get());
}

void HorizontalLine(HDC dc, int x1, int x2, int y, Color color) {
  const RECT row{x1, y, x2, y + 1};
  FillSolid(dc, row, color);
}

}  // namespace

bool TChartPanel::Create(TForm& form, Source source) {
  form_ = &form;
  source_ = std::move(source);
  pnDiag_ = std::make_unique<TPanel>();
  if (!pnDiag_->Create(form.Handle(), kPnDiag, {0, 0, 1, 1})) {
    pnDiag_.reset();
    return false;
  }
  pnDiag_->SetOnDraw([this](HDC dc, const RECT& client) { Draw(dc, client); });
  pnDiag_->SetColor(kDiagBack);
  for (const auto& [id, caption] : {std::pair{kLbMin, L"100%"}, std::pair{kLbMax, L"0%"}}) {
    const HWND label = ::CreateWindowExW(0, L"STATIC", caption, WS_CHILD | WS_VISIBLE | SS_LEFT,
                                         0, 0, 1, 1, pnDiag_->Handle(),
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         ::GetModuleHandleW(nullptr), nullptr);
    Label(label).SetTextColor(kScaleText);
  }
  Layout();
  return true;
}

// Places the panel in the window's lower left corner and works out the plot from the
// scale labels' widths; again after every DPI change.
void TChartPanel::Layout() {
  if (!pnDiag_) return;
  const TForm& form = *form_;
  const Rect pnPrg = Window(form.Control(kPnPrg)).Bounds();
  const int left = Window(form.Control(kLbStPause)).Bounds().left +
                   Window(form.Control(kPnBg)).Bounds().left;
  const int width = form.Scale(kDiagWidth);
  const int height = form.Scale(kDiagHeight);
  pnDiag_->AsWindow().SetBounds({left, pnPrg.bottom - height, left + width, pnPrg.bottom});

  LOGFONTW font{};
  ::GetObjectW(form.FormFont(), sizeof(font), &font);
  font.lfHeight = form.Scale(kScaleFontHeight);
  ScopedFont scale_font(::CreateFontIndirectW(&font));
  const Label lbMin(::GetDlgItem(pnDiag_->Handle(), kLbMin));
  const Label lbMax(::GetDlgItem(pnDiag_->Handle(), kLbMax));
  for (const Label& label : {lbMin, lbMax}) {
    label.SetFont(scale_font.Get());
    label.AutoSize();
  }
  scale_font_ = std::move(scale_font);  // the labels no longer use the old one

  const Rect min_bounds = lbMin.Bounds();
  const Rect max_bounds = lbMax.Bounds();
  const int label_width =
      static_cast<int>(std::max(min_bounds.Width(), max_bounds.Width()));
  int label_x = width - label_width - 2;
  FDiagWidth_ = label_x - 6;
  const int r = FDiagWidth_ % kSlotWidth;
  FDiagWidth_ -= r;
  label_x -= r;
  FDiagRect_ = {3, 3, FDiagWidth_ + 3, height - 3};
  lbMin.SetPosition(label_x, 1);
  lbMax.SetPosition(label_x, height - static_cast<int>(max_bounds.Height()) - 1);
  BuildTile();
  pnDiag_->AsWindow().Invalidate();
}

std::size_t TChartPanel::Slots() const {
  return static_cast<std::size_t>(std::max(FDiagWidth_ / kSlotWidth, 0));
}

std::size_t TChartPanel::VisibleSlots() const {
  const std::size_t fitting = Slots();
  const TCPUPercentStore* percents = source_.percents ? source_.percents() : nullptr;
  return percents != nullptr ? std::min(percents->Slots(), fitting) : fitting;
}

void TChartPanel::BuildTile() {
  const int height = FDiagRect_.bottom - FDiagRect_.top;
  ScopedGetDc screen(nullptr);
  FDiagBackBmp_.Reset(::CreateCompatibleBitmap(screen.Get(), kTileWidth, height));
  ScopedCreatedDc dc(::CreateCompatibleDC(screen.Get()));
  ScopedSelectObject select(dc.Get(), FDiagBackBmp_.Get());
  FillSolid(dc.Get(), RECT{0, 0, kTileWidth, height}, kPlotBack);
  for (int y = 2; y <= height - 3; y += 3) {
    for (int column = 0; column < kTileWidth; ++column) {
      FillSolid(dc.Get(), RECT{column, y, column + 1, y + 2},
                column % 2 == 0 ? kStripeEven : kStripeOdd);
    }
  }
}

void TChartPanel::Draw(HDC dc, const RECT& client) const {
  FillSolid(dc, client, kDiagBack);
  ScopedBrush frame(::CreateSolidBrush(kPlotFrame));
  const RECT frame_rect{FDiagRect_.left - 1, FDiagRect_.top - 1, FDiagRect_.right + 1,
                        FDiagRect_.bottom + 1};
  ::FrameRect(dc, &frame_rect, frame.Get());
  FillSolid(dc, FDiagRect_, kPlotBack);
  const TCPUPercentStore* percents = source_.percents ? source_.percents() : nullptr;
  {
    ScopedCreatedDc tile(::CreateCompatibleDC(dc));
    ScopedSelectObject select(tile.Get(), FDiagBackBmp_.Get());
    for (std::size_t i = 0; i < VisibleSlots(); ++i) {
      ::BitBlt(dc, FDiagRect_.left + 1 + kSlotWidth * static_cast<int>(i), FDiagRect_.top,
               kTileWidth, FDiagRect_.bottom - FDiagRect_.top, tile.Get(), 0, 0, SRCCOPY);
    }
  }
  // At a lower DPI than at start the store holds more samples than the plot shows;
  // the oldest then fall off its left edge.
  if (percents != nullptr) {
  const bool running = source_.running && source_.running();
  const auto samples = percents->Samples();
  const int count = static_cast<int>(samples.size());
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, FDiagRect_.left, FDiagRect_.top, FDiagRect_.right, FDiagRect_.bottom);
  for (int i = 0; i < count; ++i) {
    DrawPercentBar(dc, FDiagRect_.right - kSlotWidth * count + 1 + kSlotWidth * i,
                   samples[static_cast<std::size_t>(i)], running);
  }
  ::RestoreDC(dc, saved);
  }
  if (source_.waiting_start && source_.waiting_start()) PaintStartPausePie(dc);
}

void TChartPanel::DrawPercentBar(HDC dc, int x, const TCPUPercent& sample, bool running) const {
  const BarColors& colors = running ? kBrightBars : kDullBars;
  const int h = FDiagRect_.bottom - FDiagRect_.top;
  const int b = FDiagRect_.bottom;
  // Halves go to the even neighbour (the default rounding mode).
  int c = static_cast<int>(std::nearbyint(h * sample.NowCommonPercent / 100));
  if (c < 1) c = 1;
  FillSolid(dc, RECT{x, b - c, x + kTileWidth, b}, colors.total_fill);
  HorizontalLine(dc, x, x + kTileWidth, b - c, colors.total_top);
  const int k = static_cast<int>(std::nearbyint(h * sample.NowKernelPercent / 100));
  if (k < 1) return;
  FillSolid(dc, RECT{x, b - k, x + kTileWidth, b}, colors.kernel_fill);
  HorizontalLine(dc, x, x + kTileWidth, b - k, colors.kernel_top);
}

void TChartPanel::PaintStartPausePie(HDC dc) const {
  const int cx = FDiagRect_.left + (FDiagRect_.right - FDiagRect_.left) / 2;
  const int cy = FDiagRect_.top + (FDiagRect_.bottom - FDiagRect_.top) / 2;
  DrawPieProgress(dc, {cx - 9, cy - 9, cx + 8, cy + 8}, kPlotBack, kPieRest, kPieDone, kPieRim,
                  FCurCircleDiagPaintKoef_);
}


void TChartPanel::Repaint() const {
  if (pnDiag_) ::RedrawWindow(pnDiag_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TChartPanel::DrawStartPausePie(double koef) {
  FCurCircleDiagPaintKoef_ = koef;
  if (!pnDiag_) return;
  ScopedGetDc dc(pnDiag_->Handle());
  if (dc) PaintStartPausePie(dc.Get());
}

}  // namespace velkaro::win32
