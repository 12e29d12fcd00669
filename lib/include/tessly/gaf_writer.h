// Writes a GAF file that holds exactly one entry, strictly from front to
// back: file header, entry offset, all pixel data, the image headers and
// subframe tables, the entry header, the frame table. The layout, every
// offset and the counts in the headers are computed here, from the data.
//
// Threads: any number may write at once, each to its own sink.
#pragma once

#include <cstdint>

#include "tessly/io.h"
#include "tessly/status.h"
#include "tessly/stored_entry.h"

namespace tessly {

// The second field of every frame-table element written.
constexpr std::uint32_t kWrittenFrameTableAux = 10;

// The size of the file that `entry` makes.
std::uint64_t GafEntryFileSize(const StoredEntry& entry);

// Writes `entry` into `sink` as a one-entry GAF file. The headers are
// written as read, except that each count is the number of pieces written
// (the entry's frames, a frame's subframes, an image's rows; 0 for none)
// and each dataOffset points at what was written. A frame without
// subframes is written as an image. EntryTooLarge, with nothing written,
// for a file larger than kOffsetLimit; WriteFailed at the first write the
// sink refuses, after which nothing more is written.
Status WriteGafEntry(const StoredEntry& entry, ByteSink& sink);

}  // namespace tessly
