// The coloured-text markup: parsing, the plain-text view and the layout over the fake
// measurer, drawn and measured, with and without word wrap, in any box width.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "richtext/color_text.h"
#include "richtext/fake_text_canvas.h"

using namespace velkaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::uint8_t flags = input.TakeByte();
  // Widths from 0 (no box: the measuring box) to far wider than any screen.
  const std::int32_t width = static_cast<std::int32_t>(input.TakeByte()) * 16;
  const std::int32_t add_size = static_cast<std::int32_t>(input.TakeByte() % 8) - 2;
  std::u16string text = input.RestAsUtf16();

  (void)MarkupToPlainText(text);
  (void)RemoveMarkupEscapes(text);
  std::u16string copy = text;
  (void)HasMarkup(copy);

  ColorTextArgs args;
  args.word_wrap = (flags & 1) != 0;
  args.enabled = (flags & 2) != 0;
  args.alignment = static_cast<TAlignment>((flags >> 2) % 3);
  args.def_font_size = static_cast<std::int32_t>(flags >> 4);
  args.add_size = add_size;

  fakes::FakeTextCanvas canvas;
  Rect measured{0, 0, width, 0};
  DrawMarkupText(text, canvas, measured, args, true);
  Rect box{0, 0, width, 400};
  DrawMarkupText(text, canvas, box, args, false);
  return 0;
}
