// Image files read back into palette indexes: PNG files of any colour type
// and bit depth, and uncompressed BMP files of 8, 24 or 32 bits.
//
// Threads: any number may read at once, each into its own image.
#pragma once

#include <cstdint>
#include <span>

#include "tessly/image.h"
#include "tessly/palette.h"
#include "tessly/problem.h"
#include "tessly/status.h"

namespace tessly {

struct ImageReadOptions {
  // A colour that the palette lacks becomes the nearest one (the least sum
  // of squared differences of red, green and blue; the lowest index on a
  // tie; never kSkippedPixel) instead of an error.
  bool nearest = false;
  // Instead, Floyd-Steinberg dithering: pixels are taken row after row,
  // left to right, each becoming the palette's colour of its own plus the
  // error passed to it (rounded, within 0 to 255), exactly or else as
  // `nearest` says; what that colour misses by goes on in sixteenths, 7 to
  // the pixel on the right, 3, 5 and 1 to the three below. Transparent
  // pixels take and pass on none. An image of palette colours only is kept
  // as it is.
  bool dither = false;
  // The most pixels an image may have; 0 for no limit but that of a side.
  std::uint64_t largestPixels = 0;
};

// Reads a PNG or BMP file into `image`, top row first. An indexed image
// whose colour table equals `palette` as far as the table goes keeps its
// indexes. Any other image's pixels become the lowest index of `palette`
// other than kSkippedPixel with exactly their colour; a fully transparent
// pixel becomes kSkippedPixel, and only such a pixel. Ok; ImageUnknownForm,
// ImageUnsupported, ImageDamaged, ImageTooLarge (a side past 32767, or more
// than largestPixels); or, with `problem` naming the pixel (x, y, colour,
// alpha), ColourNotInPalette, OpaqueSkippedColour (an opaque pixel of
// kSkippedPixel's colour alone) or PartlyTransparent; OutOfMemory.
// `changedPixels`, when given, is set to the number of opaque pixels whose
// index stands for another colour than their own (with `nearest` or
// `dither`; 0 otherwise).
Status ReadImageFile(std::span<const std::uint8_t> file, const Palette& palette, const ImageReadOptions& options,
                     DecodedImage& image, Problem& problem, std::uint64_t* changedPixels = nullptr);

}  // namespace tessly
