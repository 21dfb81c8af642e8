// Line layout of the runs: fitting characters into the free width, breaking lines at
// blanks (or inside a word too long for a line), one baseline per line, alignment.
#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "richtext/color_text.h"

namespace velkaro {
namespace {

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Blanks and control characters: where lines may break, and what a line does not
// need room for at its end.
bool IsBlank(char16_t c) { return c <= 32; }

std::int32_t Length(const TColorCut& cut) { return static_cast<std::int32_t>(cut.TextCut.size()); }

char16_t CharAt(const TColorCut& cut, std::int32_t position) {
  return cut.TextCut[static_cast<std::size_t>(position - 1)];
}

}  // namespace

void TColorCut::SetCanvasSizeProps(TextMeasurer& canvas, const TCutTextProp& defaults) const {
  FontRequest font;
  font.name = Prop.Font.empty() ? defaults.Font : Prop.Font;
  font.style = Prop.SetStyle ? Prop.FontStyle : defaults.FontStyle;
  const std::int64_t ppi = canvas.PixelsPerInch();
  const std::int64_t default_half_points = std::int64_t{defaults.Size} * 2;
  switch (Prop.SizeType) {
    case TSizeChangeType::sctNone:
      font.size = defaults.Size;
      break;
    case TSizeChangeType::sctFixed:
      font.in_points = false;
      font.size = Saturate(-(Prop.Size * ppi / 144));
      break;
    case TSizeChangeType::sctPlus: {
      const std::int64_t half_points = std::max<std::int64_t>(default_half_points + Prop.Size, 2);
      font.in_points = false;
      font.size = Saturate(-(ppi * half_points / 144));
      break;
    }
    case TSizeChangeType::sctMul: {
      const std::int64_t half_points =
          std::max<std::int64_t>(default_half_points * Prop.Size / 10000, 2);
      font.in_points = false;
      font.size = Saturate(-(ppi * half_points / 144));
      break;
    }
  }
  canvas.SelectFont(font);
}

TColorCuts::FitResult TColorCuts::FitChars(TextMeasurer& canvas, int cut, std::int32_t start_char,
                                           std::int32_t free_width, std::int32_t add_size) const {
  const TColorCut& run = GetItem(cut);
  FitResult result;
  std::int64_t sum = 0;
  const std::int32_t first = std::max(start_char, 1);
  std::vector<std::int32_t> widths;  // of the characters that fit, from `first` on
  for (std::int32_t position = first; position <= Length(run); ++position) {
    const std::int32_t width = canvas.CharWidth(CharAt(run, position));
    if (sum + width > free_width) {
      result.overflow = position;
      // Blanks in front of the break need no room on this line.
      for (std::int32_t back = position - 1; back >= first && IsBlank(CharAt(run, back));
           --back) {
        sum -= widths.back();
        widths.pop_back();
      }
      break;
    }
    sum += width;
    widths.push_back(width);
  }
  if (sum > 0) sum += add_size;
  result.width = Saturate(sum);
  return result;
}

void TColorCuts::SetNextLine(int cut, std::int32_t character) {
  // A line start behind the end of a run is the start of the next run (an empty run
  // is a line of its own, so its first position stays).
  if (cut < Count() && character > 1 && character > Length(cuts_[static_cast<std::size_t>(cut)])) {
    ++cut;
    character = 1;
  }
  FNextLineFromCut = cut < Count() ? cut : -1;
  FNextLineFromChar = cut < Count() ? character : 1;
}

bool TColorCuts::EndLine(TextMeasurer& canvas, int cut, std::int32_t overflow, int first_cut,
                         std::int32_t first_char, std::int32_t add_size) {
  TColorCut& run = GetItem(cut);
  if (!FWordWrap || overflow <= 0) {
    FToCut = cut;
    FToChar = overflow > 0 ? overflow : kToEndOfCut;
    SetNextLine(cut + 1, 1);
    return true;
  }

  const std::int32_t line_start = cut == first_cut ? first_char : 1;
  std::int32_t blank = overflow;
  while (blank >= line_start && !IsBlank(CharAt(run, blank))) --blank;

  if (blank < line_start) {
    if (cut == first_cut) {
      // A word longer than the line is broken; every line takes at least one character.
      FToCut = cut;
      FToChar = std::max(overflow - 1, line_start);
      SetNextLine(cut, FToChar + 1);
      return true;
    }
    // The word starts in this run: it moves whole to the next line, so its fitted
    // part does not count towards this line's width.
    FCurLineWidth = Saturate(std::int64_t{FCurLineWidth} - run.FWidth);
    FToCut = cut - 1;
    FToChar = kToEndOfCut;
    SetNextLine(cut, 1);
    return false;
  }

  if (blank == overflow) {
    FToCut = cut;
    FToChar = overflow - 1;
    std::int32_t next = overflow + 1;
    while (next <= Length(run) && IsBlank(CharAt(run, next))) ++next;
    SetNextLine(cut, next);
    return true;
  }

  FToCut = cut;
  FToChar = blank;
  SetNextLine(cut, blank + 1);
  // Only the characters up to the blank stay on this line; the width counts them
  // without the blanks at their end.
  std::int32_t last = blank;
  while (last >= line_start && IsBlank(CharAt(run, last))) --last;
  std::int64_t width = 0;
  for (std::int32_t position = line_start; position <= last; ++position) {
    width += canvas.CharWidth(CharAt(run, position));
  }
  if (width > 0) width += add_size;
  FCurLineWidth = Saturate(std::int64_t{FCurLineWidth} - run.FWidth + width);
  run.FWidth = Saturate(width);
  return true;
}

std::int32_t TColorCuts::MeasureLine(TextMeasurer& canvas, std::int32_t line_width, int first_cut,
                                     std::int32_t first_char, std::int32_t add_size) {
  FCurLineWidth = 0;
  FMaxCharDescent = 0;
  std::int32_t max_ascent = 0;
  struct Pending {
    int cut;
    std::int32_t overflow;
  };
  std::optional<Pending> pending;

  auto take_metrics = [&](TColorCut& run) {
    const FontMetrics metrics = canvas.Metrics();
    run.FHeight = metrics.height;
    run.FCharDescent = metrics.descent;
    max_ascent = std::max(max_ascent, metrics.ascent);
    FMaxCharDescent = std::max(FMaxCharDescent, metrics.descent);
  };
  auto line_height = [&] { return Saturate(std::int64_t{max_ascent} + FMaxCharDescent); };

  for (int i = first_cut; i < Count(); ++i) {
    TColorCut& run = cuts_[static_cast<std::size_t>(i)];
    run.SetCanvasSizeProps(canvas, FDefaultProp);
    const FitResult fit = FitChars(canvas, i, i == first_cut ? first_char : 1,
                                   Saturate(std::int64_t{line_width} - FCurLineWidth), add_size);
    run.FWidth = fit.width;

    if (fit.overflow > 0 || run.IsBreakLine || i == Count() - 1) {
      if (pending && run.FWidth != 0) {
        EndLine(canvas, pending->cut, pending->overflow, first_cut, first_char, add_size);
        return line_height();
      }
      FCurLineWidth = Saturate(std::int64_t{FCurLineWidth} + run.FWidth);
      if (EndLine(canvas, i, fit.overflow, first_cut, first_char, add_size)) take_metrics(run);
      return line_height();
    }

    if (std::int64_t{FCurLineWidth} + run.FWidth == line_width) pending = Pending{i, fit.overflow};
    take_metrics(run);
    FCurLineWidth = Saturate(std::int64_t{FCurLineWidth} + run.FWidth);
  }
  // Only reached for a start behind the last run: an empty line.
  FToCut = Count() - 1;
  FToChar = kToEndOfCut;
  SetNextLine(Count(), 1);
  return line_height();
}

void TColorCuts::DrawColorText(TextCanvas& canvas, Rect& r, const ColorTextArgs& args,
                               bool is_calc_rect) {
  FWordWrap = args.word_wrap;
  FDefaultProp = TCutTextProp{};
  FDefaultProp.Color = args.def_font_color;
  FDefaultProp.Font = args.def_font_name;
  FDefaultProp.Size = args.def_font_size;
  FDefaultProp.FontStyle = args.def_font_style;
  FDefaultProp.SetStyle = true;

  if (is_calc_rect) {
    if (r.right == 0) r.right = Saturate(std::int64_t{r.left} + kMeasureBoxSize);
    if (r.bottom == 0) r.bottom = Saturate(std::int64_t{r.top} + kMeasureBoxSize);
  }
  const std::int32_t line_width = Saturate(r.Width());
  std::int64_t y = r.top;
  std::int64_t widest = r.left;

  int line_cut = 0;
  std::int32_t line_char = 1;
  while (line_cut >= 0 && line_cut < Count() && y < r.bottom) {
    const std::int32_t h = MeasureLine(canvas, line_width, line_cut, line_char, args.add_size);
    std::int64_t x = r.left;
    if (args.alignment == TAlignment::taCenter) {
      x = (std::int64_t{r.left} + r.right - FCurLineWidth) / 2;
    } else if (args.alignment == TAlignment::taRightJustify) {
      x = std::int64_t{r.right} - FCurLineWidth;
    }

    for (int i = line_cut; i <= FToCut; ++i) {
      const TColorCut& run = cuts_[static_cast<std::size_t>(i)];
      std::int32_t from = 1;
      std::int32_t to = Length(run);
      if (i == line_cut) {
        from = line_char;
        if (i == FToCut) to = std::min(FToChar, to);
      } else if (i == FToCut) {
        to = std::min(FToChar, to);
      }

      Rect cell;
      cell.left = Saturate(x);
      cell.right = Saturate(x + run.FWidth);
      cell.bottom = Saturate(y + h);
      cell.top = Saturate(y + h - FMaxCharDescent - (std::int64_t{run.FHeight} - run.FCharDescent));

      if (!is_calc_rect && to >= from) {
        const std::u16string_view piece = std::u16string_view(run.TextCut)
            .substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
        run.SetCanvasSizeProps(canvas, FDefaultProp);
        if (args.enabled) {
          const Color color =
              run.Prop.Color == kColorNotGiven ? args.def_font_color : run.Prop.Color;
          canvas.DrawTextAt(Point{cell.left, cell.top}, piece, color);
        } else {
          // Engraved: a light copy one pixel right and down, the dark text over it.
          const Color base = canvas.ColorToRgb(args.color_font_for_disabled);
          Rect shifted = cell;
          shifted.left = Saturate(std::int64_t{cell.left} + 1);
          shifted.top = Saturate(std::int64_t{cell.top} + 1);
          shifted.right = Saturate(std::int64_t{cell.right} + 1);
          shifted.bottom = Saturate(std::int64_t{cell.bottom} + 1);
          canvas.DrawTextInCell(shifted, piece, LightenColor(base, 40));
          canvas.DrawTextInCell(cell, piece, LightenColor(base, -40));
        }
      }
      x += run.FWidth;
      widest = std::max(widest, x);
    }

    y += h;
    if (!FWordWrap) break;
    line_cut = FNextLineFromCut;
    line_char = FNextLineFromChar;
  }

  if (is_calc_rect) {
    r.right = Saturate(widest);
    r.bottom = Saturate(y);
  }
}

void DrawMarkupText(std::u16string_view text, TextCanvas& canvas, Rect& r,
                    const ColorTextArgs& args, bool is_calc_rect) {
  TColorCuts cuts = ParseColorText(text);
  cuts.DrawColorText(canvas, r, args, is_calc_rect);
}

}  // namespace velkaro
