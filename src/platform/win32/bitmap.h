// Bitmaps kept as hexadecimal text (images embedded in texts and resources).
#pragma once

#include <string_view>

#include "platform/win32/handle.h"

namespace velkaro::platform {

// Decodes the first `count` characters of `hex` (see HexToBytes) and loads them as a
// BMP file image (uncompressed or bit-field pixel data) into `bitmap`. False, with
// `bitmap` empty, when the text is no hex, holds no bytes or no valid image.
bool BitmapFromHex(std::u16string_view hex, int count, ScopedBitmap& bitmap);

}  // namespace velkaro::platform
