#include "richtext/kiv_label.h"

#include <algorithm>
#include <limits>

namespace velkaro {
namespace {

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

Rect Offset(const Rect& r, std::int32_t dx, std::int32_t dy) {
  return Rect{Saturate(std::int64_t{r.left} + dx), Saturate(std::int64_t{r.top} + dy),
              Saturate(std::int64_t{r.right} + dx), Saturate(std::int64_t{r.bottom} + dy)};
}

}  // namespace

std::int32_t VerticalOffset(TVAlignment alignment, std::int32_t box_height,
                            std::int32_t text_height) {
  const std::int64_t free_height = std::int64_t{box_height} - text_height;
  switch (alignment) {
    case TVAlignment::vaTop:
      return 0;
    case TVAlignment::vaCenter:
      return Saturate(free_height / 2);
    case TVAlignment::vaBottom:
      return Saturate(free_height);
  }
  return 0;
}

std::int32_t ColorTextLineCount(TColorCuts& cuts, TextMeasurer& measurer, std::int32_t width,
                                const ColorTextArgs& args) {
  // The same defaults as the drawing, so that the lines break where they will be drawn.
  cuts.FWordWrap = args.word_wrap;
  cuts.FDefaultProp = TCutTextProp{};
  cuts.FDefaultProp.Color = args.def_font_color;
  cuts.FDefaultProp.Font = args.def_font_name;
  cuts.FDefaultProp.Size = args.def_font_size;
  cuts.FDefaultProp.FontStyle = args.def_font_style;
  cuts.FDefaultProp.SetStyle = true;

  std::int32_t lines = 0;
  int line_cut = 0;
  std::int32_t line_char = 1;
  while (line_cut >= 0 && line_cut < cuts.Count()) {
    cuts.MeasureLine(measurer, width, line_cut, line_char, args.add_size);
    ++lines;
    if (!args.word_wrap) break;
    line_cut = cuts.FNextLineFromCut;
    line_char = cuts.FNextLineFromChar;
  }
  return lines;
}

void TCustomKivLabel::SetCaption(std::u16string_view value) {
  FCaption = value;
  CheckColorCuts(FCaption);
}

bool TCustomKivLabel::SetFormated(bool value) {
  if (value == FFormated) return false;
  FFormated = value;
  CheckColorCuts(FCaption);
  return true;
}

void TCustomKivLabel::CheckColorCuts(std::u16string_view caption) {
  FColorCuts.reset();
  if (FFormated && caption.find(u"[f") != std::u16string_view::npos) {
    FColorCuts.emplace(ParseColorText(caption));
  }
}

LabelTextFlags TCustomKivLabel::PaintFlags() const {
  LabelTextFlags flags = kDtExpandTabs;
  if (FWordWrap) flags |= kDtWordBreak;
  if (FAlignment == TAlignment::taRightJustify) flags |= kDtRight;
  if (FAlignment == TAlignment::taCenter) flags |= kDtCenter;
  return flags;
}

LabelTextFlags TCustomKivLabel::DrawFlags(LabelTextFlags flags) const {
  if (!FShowAccelChar) flags |= kDtNoPrefix;
  if (FAlignmentV == TVAlignment::vaCenter) flags |= kDtVCenter;
  if (FAlignmentV == TVAlignment::vaBottom) flags |= kDtBottom;
  return flags;
}

std::int32_t TCustomKivLabel::AddSize() const {
  switch (FEffect) {
    case TTextEffect::teNone:
      return 0;
    case TTextEffect::teShadow:
      return 1;
    case TTextEffect::teCloud:
      return 2;
  }
  return 0;
}

ColorTextArgs TCustomKivLabel::DrawArgs() const {
  ColorTextArgs args;
  args.word_wrap = FWordWrap;
  args.enabled = FEnabled;
  args.color_font_for_disabled = FColor;
  args.def_font_color = FFont.color;
  args.def_font_name = FFont.name;
  args.def_font_size = FFont.size;
  args.def_font_style = FFont.style;
  args.alignment = FAlignment;
  args.add_size = AddSize();
  return args;
}

void TCustomKivLabel::DoDrawText(TextCanvas& canvas, PlainTextDrawer& plain, Rect& r,
                                 LabelTextFlags flags) {
  flags = DrawFlags(flags);
  const bool measuring = (flags & kDtCalcRect) != 0;
  canvas.SelectFont(FFont.Request());

  if (FFormated && FColorCuts) {
    ColorTextArgs args = DrawArgs();
    if (measuring) {
      // Aligned lines would stand at the far side of the measuring box and report its
      // edge as the text's; the extent does not depend on the alignment.
      args.alignment = TAlignment::taLeftJustify;
    } else if (FAlignmentV != TVAlignment::vaTop) {
      const std::int32_t line_height = canvas.Metrics().height;  // of the text "0"
      const std::int64_t lines = ColorTextLineCount(*FColorCuts, canvas, Saturate(r.Width()), args);
      r.top = Saturate(std::int64_t{r.top} +
                       VerticalOffset(FAlignmentV, Saturate(r.Height()),
                                      Saturate(lines * line_height)));
    }
    FColorCuts->DrawColorText(canvas, r, args, measuring);
    return;
  }

  if (measuring) {
    plain.DrawPlainText(FCaption, r, flags, FFont.color);
    r.right = Saturate(std::int64_t{r.right} + AddSize());
    r.bottom = Saturate(std::int64_t{r.bottom} + AddSize());
    return;
  }

  // DrawText places only single lines vertically; the offset is computed for any caption.
  const LabelTextFlags draw_flags = flags & ~(kDtVCenter | kDtBottom);
  Rect box = r;
  if (FAlignmentV != TVAlignment::vaTop) {
    Rect extent{r.left, r.top, r.right, r.top};
    plain.DrawPlainText(FCaption, extent, draw_flags | kDtCalcRect, FFont.color);
    box.top = Saturate(std::int64_t{box.top} + VerticalOffset(FAlignmentV, Saturate(r.Height()),
                                                               Saturate(extent.Height())));
  }
  if (FEnabled) {
    plain.DrawPlainText(FCaption, box, draw_flags, FFont.color);
    return;
  }
  // Engraved: a light copy one pixel right and down, the dark text over it.
  const Color base = canvas.ColorToRgb(FColor);
  Rect shifted = Offset(box, 1, 1);
  plain.DrawPlainText(FCaption, shifted, kEngravedTextFlags, LightenColor(base, 40));
  plain.DrawPlainText(FCaption, box, kEngravedTextFlags, LightenColor(base, -40));
}

void TCustomKivLabel::PaintText(TextCanvas& canvas, PlainTextDrawer& plain, const Rect& client) {
  Rect r = client;
  DoDrawText(canvas, plain, r, PaintFlags());
}

Rect TCustomKivLabel::AutoSizeBounds(TextCanvas& canvas, PlainTextDrawer& plain,
                                     const Rect& bounds) {
  if (!FAutoSize) return bounds;
  Rect r;
  if (!FCaption.empty()) {
    LabelTextFlags flags = kDtCalcRect | kDtExpandTabs;
    if (FWordWrap) flags |= kDtWordBreak;
    // A formatted caption measures in the markup layout's own box.
    if (!(FFormated && FColorCuts)) r = Rect{0, 0, kPlainMeasureWidth, Saturate(bounds.Height())};
    DoDrawText(canvas, plain, r, flags);
    if (!FEnabled || FEffect != TTextEffect::teNone) {
      r.right = Saturate(std::int64_t{r.right} + 1);
      r.bottom = Saturate(std::int64_t{r.bottom} + 1);
    }
  } else {
    canvas.SelectFont(FFont.Request());
    r = Rect{0, 0, 0, canvas.Metrics().height};
  }
  const std::int64_t width = r.Width();
  const std::int64_t height = r.Height();
  std::int64_t left = bounds.left;
  if (FAlignment == TAlignment::taRightJustify) left += bounds.Width() - width;
  return Rect{Saturate(left), bounds.top, Saturate(left + width),
              Saturate(std::int64_t{bounds.top} + height)};
}

}  // namespace velkaro
