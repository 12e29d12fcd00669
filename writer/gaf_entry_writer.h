// Writes a GAF file that holds exactly one entry, strictly from front to
// back: file header, entry offset, all pixel data, the image headers and
// subframe tables, the entry header, the frame table. Every offset is known
// when it is written; the entry offset is computed in advance.
#pragma once

#include <cstdint>
#include <vector>

#include "gaf/records.h"
#include "platform/platform.h"
#include "writer/frame_node.h"

namespace writer {

// A GAF file addresses its contents with 32-bit offsets.
constexpr std::uint64_t kLargestGafFile = std::uint64_t{1} << 32;

// What each piece adds to the written file, so that a reader can keep a
// running total: the file header, one entry offset and the entry header;
// a frame's header and table element; a subframe's header and table element;
// a row as stored (a compressed row with its length word).
constexpr std::uint64_t kEmptyGafFileSize = sizeof(gaf::GafHeader) + 4 + sizeof(gaf::GafEntryHeader);
constexpr std::uint64_t kFrameFileSize = sizeof(gaf::GafFrameHeader) + sizeof(gaf::GafFrameEntry);
constexpr std::uint64_t kSubframeFileSize = sizeof(gaf::GafFrameHeader) + 4;
constexpr std::uint32_t StoredRowSize(std::uint16_t length, bool compressed) { return length + (compressed ? 2u : 0u); }

// The size of the file that these frames make.
std::uint64_t GafEntryFileSize(const std::vector<FrameNode>& frames);

// Writes the file into `out`, empty and at offset 0. Sets the headerOffset
// of every node and the dataOffset of every header; nothing else changes.
// Frames with an empty subframe list are written as images. False, with
// nothing written, when the file would be larger than kLargestGafFile;
// false at the first failed write, after which nothing more is written.
bool WriteGafEntryFile(platform::File& out, const gaf::GafEntryHeader& entryHeader, std::vector<FrameNode>& frames);

}  // namespace writer
