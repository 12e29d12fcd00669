// Row compression of GAF pixel data. A compressed row is a run of codes:
//   bit 0 set:           skip b >> 1 pixels (0 to 127)
//   bit 0 clear, bit 1:  repeat the next byte (b >> 2) + 1 times (1 to 64)
//   both clear:          copy the next (b >> 2) + 1 bytes (1 to 64)
//
// Threads: any number may expand rows at once.
#pragma once

#include <cstdint>
#include <span>

#include "tessly/palette.h"

namespace tessly {

// Expands the codes of one row into `row`, whose size is the image's width.
// Pixels past the row's end are dropped; a code whose bytes would lie past
// the codes takes only those inside them and ends the row. Pixels that the
// codes leave unset, and all pixels of an empty row, get kSkippedPixel.
void ExpandRowCodes(std::span<const std::uint8_t> codes, std::span<std::uint8_t> row);

}  // namespace tessly
