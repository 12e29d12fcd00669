// Writes a GAF file that holds exactly one entry, in the split layout:
// file header, entry offset, all pixel data, the image headers and subframe
// tables, the entry header, the frame table (where the bytes go is planned
// by the same layout engine as the archive writer's).
//
// Threads: any number may write at once, each to its own sink.
#pragma once

#include <cstdint>

#include "tessly/io.h"
#include "tessly/status.h"
#include "tessly/stored_entry.h"

namespace tessly {

// The size of the file that `entry` makes.
std::uint64_t GafEntryFileSize(const StoredEntry& entry);

// Writes `entry` into `sink` as a one-entry GAF file. The headers are
// written as the entry holds them (Archive::ReadStoredEntry gives each the
// number of rows it holds as its height, 0 subframes to a frame that is an
// image, and the frame-table value kWrittenFrameTableAux) except for the
// offsets, which point at what was written, and the counts of frames and
// of a frame's subframes, which are the numbers written. A frame without
// subframes is written as an image. EntryTooLarge, with nothing written,
// for a file larger than kOffsetLimit; WriteFailed at the first write the
// sink refuses, after which nothing more is written.
Status WriteGafEntry(const StoredEntry& entry, ByteSink& sink);

}  // namespace tessly
