// What each piece adds to a written one-entry GAF file: the file header,
// one entry offset and the entry header; a frame's header and table
// element; a subframe's header and table element; a row as stored (a
// compressed row with its length word). The writer lays files out by these,
// and the reader bounds the entries it holds by them.
#pragma once

#include <cstdint>

#include "tessly/records.h"

namespace tessly {

constexpr std::uint64_t kEmptyGafFileSize = sizeof(GafHeader) + 4 + sizeof(GafEntryHeader);
constexpr std::uint64_t kFrameFileSize = sizeof(GafFrameHeader) + sizeof(GafFrameEntry);
constexpr std::uint64_t kSubframeFileSize = sizeof(GafFrameHeader) + 4;
constexpr std::uint32_t StoredRowSize(std::uint16_t length, bool compressed) { return length + (compressed ? 2u : 0u); }

}  // namespace tessly
