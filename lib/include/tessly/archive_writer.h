// Writes GAF archives of any number of entries in the standard layout:
//   1. the file header, then the table of entry offsets;
//   2. every image's rows, entries, frames and subframes in order; a frame
//      of subframes puts its table of subframe-header offsets here, before
//      its subframes' rows; rows stored once for images that share them
//      are not repeated;
//   3. zero bytes up to the next multiple of 4;
//   4. every frame header in order, each followed by its subframes' headers;
//   5. every entry header, each followed by its frame table; the file ends.
// The rows of each image are encoded from its pixels by EncodeStoredImage.
//
// Threads: any number may encode and write at once, each to its own values.
#pragma once

#include <cstdint>

#include "tessly/image.h"
#include "tessly/io.h"
#include "tessly/status.h"
#include "tessly/stored_entry.h"

namespace tessly {

// Encodes `image` as the rows of `stored`, and sets its header's width and
// height: compressed, each row its 2-byte length and its
// codes by EncodeRowCodes; else `width` bytes a row. Ok, ImageTooLarge for
// a side of more than kLargestImageSide pixels (what a header's signed
// 16-bit width and height hold), or OutOfMemory.
Status EncodeStoredImage(const DecodedImage& image, bool compressed, StoredImage& stored);

// The size of the file that WriteGafArchive writes.
std::uint64_t GafArchiveFileSize(const StoredArchive& archive);

// Writes `archive` into `sink`. Every header is written as given except for
// the offsets, which point at what was written, and the counts of entries,
// frames and (in a frame of subframes) subframes, which are the numbers
// written. An image whose sharesRowsOf names an earlier image with the same
// rows points at those; any other has rows of its own. EntryTooLarge, with
// nothing written, for a file larger than kOffsetLimit; WriteFailed at the
// first write the sink refuses, after which nothing more is written.
Status WriteGafArchive(const StoredArchive& archive, ByteSink& sink);

}  // namespace tessly
