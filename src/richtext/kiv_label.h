// The formatted label: a caption that may carry the colored-text markup, with its
// alignments, word wrap, enabled look and automatic size. Everything the label decides
// lives here over abstract canvases; the window that shows it only carries it out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "richtext/color_text.h"
#include "richtext/text_canvas.h"
#include "support/colors.h"
#include "support/geometry.h"

namespace velkaro {

enum class TVAlignment : std::uint8_t { vaTop, vaCenter, vaBottom };

// Text effects of the label. Only their extra room is modelled (1 pixel for the
// shadow, 2 for the cloud); the label draws no shadow or cloud.
enum class TTextEffect : std::uint8_t { teNone, teShadow, teCloud };

// The label's text flags, one bit each, mapped to the platform's by the window code.
// Left alignment is the absence of kDtRight and kDtCenter.
using LabelTextFlags = std::uint32_t;
inline constexpr LabelTextFlags kDtCalcRect = 1u << 0;
inline constexpr LabelTextFlags kDtExpandTabs = 1u << 1;
inline constexpr LabelTextFlags kDtWordBreak = 1u << 2;
inline constexpr LabelTextFlags kDtRight = 1u << 3;
inline constexpr LabelTextFlags kDtCenter = 1u << 4;
inline constexpr LabelTextFlags kDtNoPrefix = 1u << 5;
inline constexpr LabelTextFlags kDtVCenter = 1u << 6;
inline constexpr LabelTextFlags kDtBottom = 1u << 7;
inline constexpr LabelTextFlags kDtSingleLine = 1u << 8;
inline constexpr LabelTextFlags kDtNoClip = 1u << 9;
// The flags of both copies of the engraved (disabled) look of plain text.
inline constexpr LabelTextFlags kEngravedTextFlags = kDtSingleLine | kDtNoClip | kDtNoPrefix;

// A system colour as the canvases take it: the top byte 0xFF, the index in the low byte.
constexpr Color SystemColor(std::uint8_t index) { return 0xFF000000u | index; }
inline constexpr Color kClWindowText = SystemColor(8);
inline constexpr Color kClBtnFace = SystemColor(15);

// The label's font with its colour; the size is in points, as the markup's default
// size is.
struct LabelFont {
  std::u16string name;
  std::int32_t size = 8;
  FontStyles style = 0;
  Color color = kClWindowText;
  FontRequest Request() const { return FontRequest{name, true, size, style}; }
  friend bool operator==(const LabelFont&, const LabelFont&) = default;
};

// Plain (unformatted) text the way the platform's DrawText handles it, in the font the
// text canvas selected last.
class PlainTextDrawer {
 public:
  virtual ~PlainTextDrawer() = default;
  // With kDtCalcRect sets `r` to the extent of `text` and draws nothing; otherwise
  // draws `text` in `color` inside `r` with a transparent background. Vertical flags
  // only act on single-line text, as with DrawText.
  virtual void DrawPlainText(std::u16string_view text, Rect& r, LabelTextFlags flags,
                             Color color) = 0;
};

// The top-left offset that puts `text_height` pixels of text at the vertical alignment
// inside `box_height` pixels (negative when the text is the taller).
std::int32_t VerticalOffset(TVAlignment alignment, std::int32_t box_height,
                            std::int32_t text_height);

// The number of lines `cuts` lay out in `width` pixels with `args` (only the first one
// without word wrapping, since only that one is drawn then).
std::int32_t ColorTextLineCount(TColorCuts& cuts, TextMeasurer& measurer, std::int32_t width,
                                const ColorTextArgs& args);

class TCustomKivLabel {
 public:
  static constexpr std::int32_t kDefaultWidth = 65;
  static constexpr std::int32_t kDefaultHeight = 17;
  // The text width a plain caption is measured in when sizing the label.
  static constexpr std::int32_t kPlainMeasureWidth = 10000;

  // Caption and formatted state; every change rebuilds the parsed caption.
  void SetCaption(std::u16string_view value);
  const std::u16string& Caption() const { return FCaption; }
  // True when the value changed (the label must then be drawn again).
  bool SetFormated(bool value);
  bool Formated() const { return FFormated; }
  // Parses `caption` when formatted and it holds "[f" anywhere (escaped or not);
  // otherwise drops the parsed caption.
  void CheckColorCuts(std::u16string_view caption);
  // The parsed caption; nullptr when the caption is drawn as plain text.
  const TColorCuts* ColorCuts() const { return FColorCuts ? &*FColorCuts : nullptr; }

  // The flags painting hands to DoDrawText.
  LabelTextFlags PaintFlags() const;
  // `flags` with those DoDrawText adds from the label's state.
  LabelTextFlags DrawFlags(LabelTextFlags flags) const;
  // Extra width of every run (and of a measured plain caption) for the effect.
  std::int32_t AddSize() const;
  // The arguments of the markup drawing for this label.
  ColorTextArgs DrawArgs() const;

  // Draws the caption in `r`, or with kDtCalcRect in `flags` measures it and sets `r`
  // to its extent. Both canvases draw on the same surface.
  void DoDrawText(TextCanvas& canvas, PlainTextDrawer& plain, Rect& r, LabelTextFlags flags);
  // The caption drawn over the client rectangle as painting does.
  void PaintText(TextCanvas& canvas, PlainTextDrawer& plain, const Rect& client);

  // The bounds automatic sizing gives a label now at `bounds` (unchanged without
  // FAutoSize): the measured caption, one pixel more each way when disabled or with an
  // effect, 0 wide and one line high without a caption; a right-aligned label keeps its
  // right edge.
  Rect AutoSizeBounds(TextCanvas& canvas, PlainTextDrawer& plain, const Rect& bounds);

  TAlignment FAlignment = TAlignment::taLeftJustify;
  TVAlignment FAlignmentV = TVAlignment::vaTop;
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  Color FCloudColor = 0x1FFFFFFF;
  std::int32_t FCloudOpaque = 50;
  TTextEffect FEffect = TTextEffect::teNone;
  bool FEnabled = true;
  // The label's background colour, also the base of the disabled look.
  Color FColor = kClBtnFace;
  LabelFont FFont;

 private:
  bool FFormated = false;
  std::optional<TColorCuts> FColorCuts;
  std::u16string FCaption;
};

}  // namespace velkaro
