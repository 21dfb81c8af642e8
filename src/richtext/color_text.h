// Colored-text markup: plain text with pieces "[f" format ";" body "]" that set weight,
// style, size, colour and font of the body, parsed into runs ("cuts") and laid out
// line by line with word wrapping over a TextCanvas.
//
// Escapes: "^" before ";", "[", "]" or "^" stands for that character; an opening
// "[f" or a closing "]" counts only behind an even number of "^". CR, LF and CR LF
// break lines anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/text_canvas.h"
#include "support/colors.h"
#include "support/geometry.h"

namespace velkaro {

// The colour of a run that names none: it takes the default colour of the drawing.
inline constexpr Color kColorNotGiven = 0x20000000;
// The colour of an unknown colour word; handed to the platform unchanged.
inline constexpr Color kColorUnknown = 0x1FFFFFFF;
// FToChar value for "up to the end of the run".
inline constexpr std::int32_t kToEndOfCut = 2147483647;
// Measuring lays text out in a box of this size when the caller gives no edge.
inline constexpr std::int32_t kMeasureBoxSize = 2048;

enum class TSizeChangeType : std::uint8_t { sctNone, sctFixed, sctPlus, sctMul };

enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// The format of one run.
struct TCutTextProp {
  velkaro::Color Color = kColorNotGiven;
  std::u16string Font;  // empty: the default font
  TSizeChangeType SizeType = TSizeChangeType::sctNone;
  // Half-points for sctFixed and sctPlus, ten-thousandths for sctMul; points in the
  // default format of a drawing.
  std::int32_t Size = 0;
  bool SetStyle = false;  // the format named a style
  FontStyles FontStyle = 0;
  friend bool operator==(const TCutTextProp&, const TCutTextProp&) = default;
};

// One run of text with one format. The F fields are written by the layout.
struct TColorCut {
  std::int32_t FHeight = 0;
  std::int32_t FCharDescent = 0;
  std::int32_t FWidth = 0;  // width of the part laid out on the current line
  std::u16string TextCut;   // escapes removed, no line breaks
  TCutTextProp Prop;
  bool IsBreakLine = false;  // a line break follows the run

  // Selects the run's font, falling back to `defaults` where the run gives none.
  void SetCanvasSizeProps(TextMeasurer& canvas, const TCutTextProp& defaults) const;
};

// The arguments of a drawing besides the surface and the rectangle.
struct ColorTextArgs {
  bool word_wrap = true;
  bool enabled = true;
  Color color_font_for_disabled = 0;  // base of the engraved look of disabled text
  Color def_font_color = 0;
  std::u16string def_font_name;
  std::int32_t def_font_size = 8;  // points
  FontStyles def_font_style = 0;
  TAlignment alignment = TAlignment::taLeftJustify;
  std::int32_t add_size = 0;  // extra width of every run that has any width
};

// The runs of one text, in text order. Drawing only rewrites the layout fields, so
// one object can be drawn and measured any number of times.
class TColorCuts {
 public:
  struct FitResult {
    std::int32_t width = 0;
    std::int32_t overflow = 0;  // first character that did not fit; 0 when all fit
  };

  // Appends the runs of one piece of text that has one format (possibly empty).
  void AddColorCutW(std::u16string_view format, std::u16string_view text);

  // Lays the runs out in `r` and draws them, or with `is_calc_rect` only measures
  // them and sets `r` to the bounding rectangle (a right or bottom of 0 stands for
  // a box of kMeasureBoxSize).
  void DrawColorText(TextCanvas& canvas, Rect& r, const ColorTextArgs& args, bool is_calc_rect);

  // Fits the characters of run `cut` from `start_char` (1-based) into `free_width`
  // in the font currently selected.
  FitResult FitChars(TextMeasurer& canvas, int cut, std::int32_t start_char,
                     std::int32_t free_width, std::int32_t add_size) const;
  // Lays out the line that starts at run `first_cut`, character `first_char`, and
  // returns its height; fills FToCut, FToChar, the next line's start, FMaxCharDescent
  // and FCurLineWidth.
  std::int32_t MeasureLine(TextMeasurer& canvas, std::int32_t line_width, int first_cut,
                           std::int32_t first_char, std::int32_t add_size);

  // Item `i` (0-based); throws std::out_of_range outside the list.
  TColorCut& GetItem(int i);
  const TColorCut& GetItem(int i) const;
  TColorCut& Items(int i) { return GetItem(i); }
  const TColorCut& Items(int i) const { return GetItem(i); }
  int Count() const { return static_cast<int>(cuts_.size()); }

  TCutTextProp FDefaultProp;
  // Last run of the current line and its last character on the line (kToEndOfCut:
  // the whole rest of the run).
  int FToCut = 0;
  std::int32_t FToChar = 0;
  // Where the next line starts; -1 as run: no further line.
  int FNextLineFromCut = -1;
  std::int32_t FNextLineFromChar = 1;
  std::int32_t FMaxCharDescent = 0;
  std::int32_t FCurLineWidth = 0;
  bool FWordWrap = true;

 private:
  // Ends the line at run `cut` overflowing at `overflow`, with that run's font
  // selected; returns whether that run belongs to the line.
  bool EndLine(TextMeasurer& canvas, int cut, std::int32_t overflow, int first_cut,
               std::int32_t first_char, std::int32_t add_size);
  void SetNextLine(int cut, std::int32_t character);

  std::vector<TColorCut> cuts_;
};

// Parses a whole text into its runs.
TColorCuts ParseColorText(std::u16string_view text);

// Parses the format of a piece (the text between "[f" and ";").
TCutTextProp ParseCutTextProp(std::u16string_view format);

// A colour number (decimal, or hexadecimal after "$", "x", "X", "0x" or "0X", read
// as 0xRRGGBB) or a colour word in any case; kColorUnknown otherwise.
Color ColorFromText(std::u16string_view token);

// Removes the escape "^" in front of ";", "[", "]" and "^".
std::u16string RemoveMarkupEscapes(std::u16string_view text);

// True when `text` holds an opening that counts. When it holds only escaped
// openings, the escapes are removed from `text`, since it will be shown as plain text.
bool HasMarkup(std::u16string& text);

// The text of `text` as it reads without its formats: the runs' texts in order, a line
// break ("\n") after each run that ends a line. For places that cannot show formats.
std::u16string MarkupToPlainText(std::u16string_view text);

// Adds `delta` to the red, green and blue bytes of an RGB colour, each clamped to
// 0..255; the top byte becomes 0.
Color LightenColor(Color color, int delta);

// Parses `text`, then draws or measures it as TColorCuts::DrawColorText does.
void DrawMarkupText(std::u16string_view text, TextCanvas& canvas, Rect& r,
                    const ColorTextArgs& args, bool is_calc_rect);

}  // namespace velkaro
