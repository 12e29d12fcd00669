// Row compression of GAF pixel data. A compressed row is a run of codes:
//   bit 0 set:           skip b >> 1 pixels (0 to 127)
//   bit 0 clear, bit 1:  repeat the next byte (b >> 2) + 1 times (1 to 64)
//   both clear:          copy the next (b >> 2) + 1 bytes (1 to 64)
//
// Threads: any number may expand and encode rows at once.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tessly/palette.h"

namespace tessly {

// Expands the codes of one row into `row`, whose size is the image's width.
// Pixels past the row's end are dropped; a code whose bytes would lie past
// the codes takes only those inside them and ends the row. Pixels that the
// codes leave unset, and all pixels of an empty row, get kSkippedPixel.
void ExpandRowCodes(std::span<const std::uint8_t> codes, std::span<std::uint8_t> row);

// What a row's codes give when no width stops them: how many pixels, and
// whether the last code's bytes run past the end of the codes.
struct RowCodesMeasure {
  std::uint64_t pixels = 0;
  bool cutShort = false;
};
RowCodesMeasure MeasureRowCodes(std::span<const std::uint8_t> codes);

// Appends the codes of `row` to `codes` by the standard encoding, which
// ExpandRowCodes turns back into exactly `row`:
// - a row of nothing but kSkippedPixel has no codes;
// - else, from the first pixel on, each token covers at most 128 pixels: a
//   run of kSkippedPixel (skip codes of 127, then the rest), else a run of
//   two or more equal pixels (repeat codes of 64, then the rest), else a
//   literal that stops before a kSkippedPixel and before three equal pixels
//   (literal codes of 64, then the rest). Skipped pixels at the end are
//   written as skips too.
// Throws nothing but std::bad_alloc, from `codes`.
void EncodeRowCodes(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& codes);

}  // namespace tessly
