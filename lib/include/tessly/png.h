// 8-bit indexed PNG files of decoded images, written by libspng: the
// palette as PLTE, a tRNS chunk that makes kSkippedPixel (and only it)
// transparent, and the rows. No time or text chunk, so the same image and
// options always give the same bytes.
#pragma once

#include "tessly/image.h"
#include "tessly/io.h"
#include "tessly/palette.h"
#include "tessly/status.h"

namespace tessly {

struct PngOptions {
  // zlib's level, 0 (stored) to 9 (smallest). On sprites the fastest level
  // made files 3% to 4% larger than levels 6 and 9, in a third of the time.
  int compressionLevel = 1;
  // Row filters (PNG's Sub, Up and the rest) only made sprites larger: 4% to 40%.
  bool filterRows = false;
};

// Writes the PNG file of `image`, with `palette` as its colours, into
// `sink`, rows top to bottom. The deflate window is the smallest that holds
// the image. PNG has no empty image: one of no pixels is written as one
// transparent pixel. Ok, OutOfMemory, or WriteFailed at the first write the
// sink refuses, after which nothing more is written. Any number of threads
// may write at once.
Status WritePng(const DecodedImage& image, const Palette& palette, ByteSink& sink, const PngOptions& options = {});

}  // namespace tessly
