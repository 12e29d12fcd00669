// Writes a GAF file that holds exactly one entry, strictly from front to
// back: file header, entry offset, all pixel data, the image headers and
// subframe tables, the entry header, the frame table. Every offset is known
// when it is written; the entry offset is computed in advance.
#pragma once

#include <cstdint>
#include <vector>

#include "export/frame_node.h"
#include "gaf/records.h"
#include "platform/platform.h"

namespace exporter {

// Where the entry header of the written file lies; the file ends 40 bytes
// plus 8 per frame after it.
std::uint64_t GafEntryOffset(const std::vector<FrameNode>& frames);

// Writes the file into `out`, empty and at offset 0. Sets the headerOffset
// of every node and the dataOffset of every header; nothing else changes.
// Frames with an empty subframe list are written as images. False at the
// first failed write, after which nothing more is written.
bool WriteGafEntryFile(platform::File& out, const gaf::GafEntryHeader& entryHeader, std::vector<FrameNode>& frames);

}  // namespace exporter
