// 8-bit indexed PNG files of decoded images, in which skipped pixels
// (kSkippedPixel) are transparent: the built-in palette, a transparency
// table that clears that one index, and the rows deflated by zlib. No time
// or text chunk, so the same image always gives the same bytes.
#pragma once

#include "tessly/archive.h"
#include "tessly/io.h"
#include "tessly/status.h"

namespace tessly {

// Writes the PNG file of `image` into `sink`, rows top to bottom. PNG has
// no empty image: one of no pixels is written as one transparent pixel.
// Ok, OutOfMemory, or WriteFailed at the first write the sink refuses,
// after which nothing more is written.
Status WritePng(const DecodedImage& image, ByteSink& sink);

}  // namespace tessly
