#include "ui/main/compact_mode.h"

#include <algorithm>
#include <limits>

#include "lang/string_table.h"

namespace velkaro {
namespace {

constexpr std::int32_t kEndMargin = 4;     // the panels' distance from the compact edges
constexpr std::int32_t kLabelGap = 4;      // between the chart and the summary
constexpr std::int32_t kLabelTopGap = 5;   // from the chart's top to the first line
constexpr std::int32_t kLabelRightGap = 2;  // where the lines are cut off
constexpr std::int32_t kCloseInset = 4;     // pnClose's distance from the right edge

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The first of the work area's edges wins over the far one, so a window larger than
// the work area keeps its left and top (and its caption) on it.
std::int64_t HoldInside(std::int64_t start, std::int64_t size, std::int64_t low,
                        std::int64_t high) {
  if (start + size > high) start = high - size;
  if (start < low) start = low;
  return start;
}

Point InterpolatePoint(Point start, Point end, std::uint32_t l) {
  return {CompactInterpolate(start.x, end.x, l), CompactInterpolate(start.y, end.y, l)};
}

TBounds InterpolateBounds(const TBounds& start, const TBounds& end, std::uint32_t l) {
  return {CompactInterpolate(start.left, end.left, l), CompactInterpolate(start.top, end.top, l),
          CompactInterpolate(start.width, end.width, l),
          CompactInterpolate(start.height, end.height, l)};
}

Point Plus(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }

}  // namespace

TBounds FitCompactRect(const TBounds& window, std::int32_t w, std::int32_t h,
                       const Rect& monitor, const Rect& work_area) {
  const std::int64_t l = window.left;
  const std::int64_t t = window.top;
  const std::int64_t dw = std::int64_t{window.width} - w;
  const std::int64_t dh = std::int64_t{window.height} - h;
  const Rect window_rect{window.left, window.top, Clamp32(l + window.width),
                         Clamp32(t + window.height)};
  std::int64_t left = l;
  std::int64_t top = t;
  switch (QuadrantOfRect(monitor, window_rect)) {
    case 0: break;
    case 1: left = l + dw; break;
    case 2: left = l + dw; top = t + dh; break;
    case 3: top = t + dh; break;
    default:  // the centre; C++ division truncates toward zero
      left = l + dw / 2;
      top = t + dh / 2;
      break;
  }
  left = HoldInside(left, w, work_area.left, work_area.right);
  top = HoldInside(top, h, work_area.top, work_area.bottom);
  return {Clamp32(left), Clamp32(top), w, h};
}

TCompactSize CompactSize(const TBounds& pnDiag, const TBounds& pbTime, const TBounds& lbState,
                         const TBounds& sbPin, const TBounds& sbClone) {
  const std::int32_t width = std::max({pnDiag.width, pbTime.width, 4 * sbPin.width - 4}) + 8;
  const std::int32_t height =
      sbClone.height + pnDiag.height + (ControlBottom(pbTime) - lbState.top) + 16;
  return {width, height};
}

std::uint32_t CompactRemainingMs(std::uint32_t end_time, std::uint32_t now) {
  // A plain now < end_time fails when the counter wraps between the two; an end time is
  // never more than 250 ms ahead, so a difference beyond half the range has passed.
  const std::uint32_t left = end_time - now;
  return left <= std::uint32_t{std::numeric_limits<std::int32_t>::max()} ? left : 0;
}

std::int32_t CompactInterpolate(std::int32_t start, std::int32_t end, std::uint32_t l) {
  const std::int64_t span = std::int64_t{start} - end;
  return Clamp32(end + span * std::int64_t{l} / std::int64_t{kCompactAnimMs});
}

TCompactCaption CompactLabelCaption(std::u16string_view text) {
  const std::size_t blank = text.find(u' ');
  if (blank == std::u16string_view::npos) return {std::u16string(text), false};
  std::u16string caption(text.substr(0, blank));
  caption += u"[f Gray;";
  caption += text.substr(blank);
  caption += u']';
  return {std::move(caption), true};
}

std::array<std::u16string, 5> CompactSummaryTexts(std::u16string_view edTime,
                                                  std::u16string_view lbTMeas,
                                                  std::u16string_view cbPriority,
                                                  std::u16string_view cbPriorClass,
                                                  std::u16string_view cbStyle,
                                                  std::u16string_view edThreads) {
  std::u16string time(edTime);
  time += u' ';
  time += lbTMeas;
  std::u16string threads(edThreads);
  threads += u' ';
  threads += LangText(TextId::ThreadsWord);
  return {std::move(time), std::u16string(cbPriority), std::u16string(cbPriorClass),
          std::u16string(cbStyle), std::move(threads)};
}

Color CompactFrameColor(Color btn_shadow, Color btn_face) {
  return MixColors(btn_shadow, btn_face, 1, 2);
}

TCompactMode::TCompactMode(TCompactView& view, TMainClock& clock) : view_(view), clock_(clock) {}

void TCompactMode::CompactUncompact(bool toCompact) {
  const std::uint32_t now = clock_.TickCount();
  if (isInCompactUncompact_) {
    // Going back takes as long as the way so far took.
    const std::uint32_t r = CompactRemainingMs(compactEndTime_, now);
    compactEndTime_ = now - r + kCompactAnimMs;
  } else {
    compactEndTime_ = now + kCompactAnimMs;
  }
  compactEndTime_ -= kCompactAnimLeadMs;
  isInCompactUncompact_ = true;
  isCompact_ = toCompact;

  const TBounds rect = view_.WindowBounds();
  if (toCompact) {
    const Point origin = view_.ClientOrigin();
    compactShift_ = {origin.x - rect.left, origin.y - rect.top};
    compactShift_Start_ = compactShift_;
    compactShift_End_ = {};
  } else {
    compactShift_Start_ = {};
    compactShift_End_ = compactShift_;
  }

  if (!toCompact && (rect.left != compactEndRect_.left || rect.top != compactEndRect_.top)) {
    // Moved, or never fully compact: the full window grows out of the corner it has now.
    compactEndRect_ = FitCompactRect(rect, compactStartRect_.width, compactStartRect_.height,
                                     view_.MonitorRect(), view_.WorkArea());
  } else {
    compactEndRect_ = compactStartRect_;
  }
  compactStartRect_ = rect;

  for (TPanelPath* path : {&compactDiag_, &compactButs_, &compactProgress_}) {
    path->end = path->start;
    const TBounds b = view_.ControlBounds(path->panel);
    path->start = {b.left, b.top};
  }

  if (toCompact) {
    const TCompactSize size = PlanCompactLayout();
    compactEndRect_ =
        FitCompactRect(rect, size.width, size.height, view_.MonitorRect(), view_.WorkArea());
    view_.SetCompactPainting(true);
    view_.SetMenuAndFrame(false);
  } else {
    view_.SetCompactPainting(false);
    for (const TCompactControl control : kCompactHidden) view_.ShowControl(control, true);
    view_.FreeCompactLabels();
    view_.ShowControl(TCompactControl::pnBg, true);
    view_.ShowControl(TCompactControl::sbStop, false);
    view_.ShowControl(TCompactControl::pnClose, false);
  }
  CompactAnimTick();
}

void TCompactMode::CompactAnimTick() {
  view_.KillTimer(kCompactAnimTimer);
  // A tick queued before the animation ended would build the layout and start the run
  // a second time.
  if (!isInCompactUncompact_) return;
  CompactAnimStep(CompactRemainingMs(compactEndTime_, clock_.TickCount()), false);
}

void TCompactMode::CompactAnimStep(std::uint32_t l, bool final) {
  const Point shift = final ? Point{} : InterpolatePoint(compactShift_Start_, compactShift_End_, l);
  view_.SetWindowBounds(InterpolateBounds(compactStartRect_, compactEndRect_, l));
  for (const TPanelPath* path : {&compactDiag_, &compactButs_, &compactProgress_}) {
    view_.MoveControl(path->panel, Plus(InterpolatePoint(path->start, path->end, l), shift));
  }
  view_.MoveControl(TCompactControl::pnBg, shift);
  if (l > 0) {
    view_.SetTimer(kCompactAnimTimer, kCompactAnimTickMs);
    return;
  }
  isInCompactUncompact_ = false;
  if (final) return;
  if (isCompact_) {
    ShowCompactLayout();
    return;
  }
  view_.SetMenuAndFrame(true);
  CompactAnimStep(0, true);
}

TCompactSize TCompactMode::PlanCompactLayout() {
  const TBounds diag = view_.ControlBounds(TCompactControl::pnDiag);
  const TBounds clone = view_.ControlBounds(TCompactControl::sbClone);
  const TCompactSize size =
      CompactSize(diag, view_.ControlBounds(TCompactControl::pbTime),
                  view_.ControlBounds(TCompactControl::lbState),
                  view_.ControlBounds(TCompactControl::sbPin), clone);
  compactButs_.end = {kEndMargin, kEndMargin};
  compactDiag_.end = {kEndMargin, clone.height + 2 * kEndMargin};
  compactProgress_.end = {kEndMargin, compactDiag_.end.y + diag.height + kEndMargin};
  return size;
}

void TCompactMode::ShowCompactLayout() {
  PlaceCompactControls();
  view_.StartWithPause();
}

void TCompactMode::RelayoutCompact(TCompactSize full_size) {
  if (!isCompact_ || isInCompactUncompact_) return;
  // Where the full layout has the panels now is where they go back to.
  for (TPanelPath* path : {&compactDiag_, &compactButs_, &compactProgress_}) {
    const TBounds b = view_.ControlBounds(path->panel);
    path->start = {b.left, b.top};
  }
  const TCompactSize size = PlanCompactLayout();
  TBounds rect = view_.WindowBounds();
  rect.width = size.width;
  rect.height = size.height;
  view_.SetWindowBounds(rect);
  compactEndRect_ = rect;
  compactStartRect_.width = full_size.width;
  compactStartRect_.height = full_size.height;
  for (const TPanelPath* path : {&compactDiag_, &compactButs_, &compactProgress_}) {
    view_.MoveControl(path->panel, path->end);
  }
  view_.FreeCompactLabels();
  PlaceCompactControls();
}

void TCompactMode::PlaceCompactControls() {
  for (const TCompactControl control : kCompactHidden) view_.ShowControl(control, false);
  view_.ShowControl(TCompactControl::pnBg, false);

  const TBounds buts = view_.ControlBounds(TCompactControl::pnButs);
  TBounds stop = view_.ControlBounds(TCompactControl::sbStop);
  stop.left = ControlRight(buts);
  stop.top = buts.top;
  view_.SetControlBounds(TCompactControl::sbStop, stop);
  view_.ShowControl(TCompactControl::sbStop, true);
  const std::int32_t side = view_.ControlBounds(TCompactControl::pnClose).height;
  const std::int32_t close_left = ControlRight(stop) + stop.width - side - kCloseInset;
  view_.SetControlBounds(TCompactControl::pnClose, {close_left, stop.top, side, side});
  view_.ShowControl(TCompactControl::pnClose, true);
  view_.SetControlBounds(TCompactControl::sbClose, {0, 0, side, side});

  const TBounds diag = view_.ControlBounds(TCompactControl::pnDiag);
  const std::int32_t x = ControlRight(diag) + kLabelGap;
  std::int32_t y = diag.top + kLabelTopGap;
  // Never negative, whatever sizes a DPI gives.
  const std::int32_t width = std::max(0, view_.WindowBounds().width - x - kLabelRightGap);
  const auto texts = CompactSummaryTexts(
      view_.ControlText(TCompactControl::edTime), view_.ControlText(TCompactControl::lbTMeas),
      view_.ControlText(TCompactControl::cbPriority),
      view_.ControlText(TCompactControl::cbPriorClass),
      view_.ControlText(TCompactControl::cbStyle), view_.ControlText(TCompactControl::edThreads));
  std::array<std::int32_t, 5> tops{};
  for (std::size_t i = 0; i < tops.size(); ++i) {
    tops[i] = AddCompactLabel(kCompactLabels[i], x, y, width, texts[i]);
  }

  // Spread the lines over the chart's height; y is now the bottom of lbCompact5.
  const std::int32_t spread = (diag.height - (y - tops[0]) - 10) / 4;
  if (spread > 0) {
    const std::int32_t moves[] = {5, 2 * spread, 3 * spread, 4 * spread, 5 * spread};
    for (std::size_t i = 0; i < tops.size(); ++i) {
      view_.MoveControl(kCompactLabels[i], {x, tops[i] + moves[i]});
    }
  }
}

std::int32_t TCompactMode::AddCompactLabel(TCompactControl label, std::int32_t x, std::int32_t& y,
                                           std::int32_t width, std::u16string_view text) {
  const TCompactCaption caption = CompactLabelCaption(text);
  const std::int32_t top = y;
  y += view_.CreateCompactLabel(label, {x, y}, caption.caption, caption.formated, width);
  return top;
}

}  // namespace velkaro
