// The compact window during stressing: the animation into and out of the small
// frameless layout, and that layout itself, over plain rectangles and an injected tick
// counter. The Win32 window implements TCompactView; tests record it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/colors.h"
#include "support/geometry.h"
#include "ui/main/main_logic.h"

namespace velkaro {

// A window's or control's place as left, top, width and height.
struct TBounds {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const TBounds&, const TBounds&) = default;
};
inline std::int32_t ControlRight(const TBounds& b) { return b.left + b.width; }
inline std::int32_t ControlBottom(const TBounds& b) { return b.top + b.height; }

// The animation takes 250 ms nominally, ends 40 ms early and steps every 40 ms on
// kCompactAnimTimer.
inline constexpr std::uint32_t kCompactAnimMs = 250;
inline constexpr std::uint32_t kCompactAnimLeadMs = 40;
inline constexpr std::uint32_t kCompactAnimTickMs = 40;

// The controls that compact mode moves, hides, shows or creates.
enum class TCompactControl : std::uint8_t {
  edStPause, udStPause, edTime, udTime, cbPriority, cbPriorClass, cbStyle, edThreads, udThreads,
  lbStPause, lbTime, lbPriority, lbPriorClass, lbStyle, lbSPMeas, lbTMeas, lbThreads,
  lbPerc1, lbPerc2, bDo,
  pnBg, pnDiag, pnButs, pnPrg, lbState, pbTime, sbClone, sbPin, sbStop, pnClose, sbClose,
  lbCompact1, lbCompact2, lbCompact3, lbCompact4, lbCompact5,
};

// What the compact layout hides and the full layout shows again (pnBg apart).
inline constexpr TCompactControl kCompactHidden[] = {
    TCompactControl::edStPause,  TCompactControl::udStPause,    TCompactControl::edTime,
    TCompactControl::udTime,     TCompactControl::cbPriority,   TCompactControl::cbPriorClass,
    TCompactControl::cbStyle,    TCompactControl::edThreads,    TCompactControl::udThreads,
    TCompactControl::lbStPause,  TCompactControl::lbTime,       TCompactControl::lbPriority,
    TCompactControl::lbPriorClass, TCompactControl::lbStyle,    TCompactControl::lbSPMeas,
    TCompactControl::lbTMeas,    TCompactControl::lbThreads,    TCompactControl::lbPerc1,
    TCompactControl::lbPerc2,    TCompactControl::bDo};

inline constexpr TCompactControl kCompactLabels[] = {
    TCompactControl::lbCompact1, TCompactControl::lbCompact2, TCompactControl::lbCompact3,
    TCompactControl::lbCompact4, TCompactControl::lbCompact5};

class TCompactView {
 public:
  virtual ~TCompactView() = default;

  // The window's outer bounds on the screen, and its client area's origin there.
  virtual TBounds WindowBounds() const = 0;
  virtual Point ClientOrigin() const = 0;
  virtual void SetWindowBounds(const TBounds& bounds) = 0;
  // Full bounds and work area of the monitor that holds the window.
  virtual Rect MonitorRect() const = 0;
  virtual Rect WorkArea() const = 0;

  // Bounds in the parent, at the window's DPI: the panels, sbStop and pnClose in the
  // window's client area, lbState and pbTime in pnPrg, sbClone and sbPin in pnButs,
  // sbClose in pnClose.
  virtual TBounds ControlBounds(TCompactControl control) const = 0;
  virtual void SetControlBounds(TCompactControl control, const TBounds& bounds) = 0;
  // SetControlPos: moves the control keeping its size.
  virtual void MoveControl(TCompactControl control, Point at) = 0;
  virtual void ShowControl(TCompactControl control, bool visible) = 0;
  // edTime and edThreads: their text; the three lists: the selected item's text;
  // lbTMeas: its caption.
  virtual std::u16string ControlText(TCompactControl control) const = 0;

  // PaintCompactFrame becomes the window's paint handler (on), or is removed (off).
  virtual void SetCompactPainting(bool on) = 0;
  // The main menu and the single border with caption (on), or neither (off).
  virtual void SetMenuAndFrame(bool on) = 0;
  // Creates the formatted label `label` owned by the window at `at`, sets `caption`
  // (markup shown when `formated`) while it sizes itself, then turns autosizing off
  // and sets `width`; its mouse-down drags the window. Returns its height.
  virtual std::int32_t CreateCompactLabel(TCompactControl label, Point at,
                                          std::u16string_view caption, bool formated,
                                          std::int32_t width) = 0;
  // Frees lbCompact1 .. lbCompact5; nothing for those that do not exist.
  virtual void FreeCompactLabels() = 0;

  virtual void SetTimer(std::uintptr_t id, std::uint32_t period_ms) = 0;
  virtual void KillTimer(std::uintptr_t id) = 0;
  // The compact layout is ready: the run begins (TMainLogic::StartWithPause).
  virtual void StartWithPause() = 0;
};

// The w x h rectangle that keeps the corner of `window` fixed which lies in the same
// quarter of `monitor` (QuadrantOfRect; the centre for -1), held inside `work_area`.
TBounds FitCompactRect(const TBounds& window, std::int32_t w, std::int32_t h,
                       const Rect& monitor, const Rect& work_area);

struct TCompactSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const TCompactSize&, const TCompactSize&) = default;
};
// The compact window's size from the controls' actual sizes: room for the chart, the
// progress bar and four tool buttons side by side, and the rows above one another.
TCompactSize CompactSize(const TBounds& pnDiag, const TBounds& pbTime, const TBounds& lbState,
                         const TBounds& sbPin, const TBounds& sbClone);

// The milliseconds left until `end_time`, 0 once it has passed; the tick counter may
// wrap in between.
std::uint32_t CompactRemainingMs(std::uint32_t end_time, std::uint32_t now);
// end + (start - end) * l / 250, truncated toward zero: l = 250 gives the start, 0 the end.
std::int32_t CompactInterpolate(std::int32_t start, std::int32_t end, std::uint32_t l);

struct TCompactCaption {
  std::u16string caption;
  bool formated = false;
  friend bool operator==(const TCompactCaption&, const TCompactCaption&) = default;
};
// The first word in the normal colour, the rest from the first blank on in grey.
TCompactCaption CompactLabelCaption(std::u16string_view text);

// The five summary lines, from the texts of edTime, lbTMeas, cbPriority, cbPriorClass,
// cbStyle and edThreads.
std::array<std::u16string, 5> CompactSummaryTexts(std::u16string_view edTime,
                                                  std::u16string_view lbTMeas,
                                                  std::u16string_view cbPriority,
                                                  std::u16string_view cbPriorClass,
                                                  std::u16string_view cbStyle,
                                                  std::u16string_view edThreads);

// The one-pixel frame of the compact window: one part shadow to two parts face.
Color CompactFrameColor(Color btn_shadow, Color btn_face);

class TCompactMode {
 public:
  TCompactMode(TCompactView& view, TMainClock& clock);
  TCompactMode(const TCompactMode&) = delete;
  TCompactMode& operator=(const TCompactMode&) = delete;

  // Starts the animation into (true) or out of (false) the compact layout; reverses a
  // running one from the window's current bounds.
  void CompactUncompact(bool toCompact);
  // One animation step; kCompactAnimTimer calls it.
  void CompactAnimTick();
  // The step with `l` milliseconds left; `final` puts the content without shift.
  void CompactAnimStep(std::uint32_t l, bool final);
  // The end of the animation into compact layout; the run begins from here.
  void ShowCompactLayout();
  // After a move to a monitor of another DPI, which has laid the controls out again
  // for the full window: the compact layout once more from the controls' new sizes,
  // and `full_size` (the full window at the new DPI) as the size to grow back to.
  // Nothing unless the compact layout stands (not during an animation).
  void RelayoutCompact(TCompactSize full_size);

  bool isCompact() const { return isCompact_; }
  bool isInCompactUncompact() const { return isInCompactUncompact_; }
  std::uint32_t compactEndTime() const { return compactEndTime_; }
  const TBounds& compactStartRect() const { return compactStartRect_; }
  const TBounds& compactEndRect() const { return compactEndRect_; }
  Point compactShift() const { return compactShift_; }
  Point compactShift_Start() const { return compactShift_Start_; }
  Point compactShift_End() const { return compactShift_End_; }
  Point compactDiag_StartPoint() const { return compactDiag_.start; }
  Point compactDiag_EndPoint() const { return compactDiag_.end; }
  Point compactButs_StartPoint() const { return compactButs_.start; }
  Point compactButs_EndPoint() const { return compactButs_.end; }
  Point compactProgress_StartPoint() const { return compactProgress_.start; }
  Point compactProgress_EndPoint() const { return compactProgress_.end; }

 private:
  struct TPanelPath {
    TCompactControl panel;
    Point start;
    Point end;
  };

  // The compact size and the panels' end points from the controls' sizes now.
  TCompactSize PlanCompactLayout();
  // Stop and close buttons and the summary labels of the compact layout.
  void PlaceCompactControls();
  // Creates the label at (x, y) and moves y below it; returns its top.
  std::int32_t AddCompactLabel(TCompactControl label, std::int32_t x, std::int32_t& y,
                               std::int32_t width, std::u16string_view text);

  TCompactView& view_;
  TMainClock& clock_;

  bool isCompact_ = false;
  bool isInCompactUncompact_ = false;
  std::uint32_t compactEndTime_ = 0;
  TBounds compactStartRect_;
  TBounds compactEndRect_;
  Point compactShift_;
  Point compactShift_Start_;
  Point compactShift_End_;
  TPanelPath compactDiag_{TCompactControl::pnDiag, {}, {}};
  TPanelPath compactButs_{TCompactControl::pnButs, {}, {}};
  TPanelPath compactProgress_{TCompactControl::pnPrg, {}, {}};
};

}  // namespace velkaro
