// Records to and from their stored bytes, and where records lie.
#pragma once

#include <cstdint>

#include "tessly/records.h"

namespace tessly {

GafHeader DecodeGafHeader(const std::uint8_t* bytes);
GafEntryHeader DecodeEntryHeader(const std::uint8_t* bytes);
GafFrameEntry DecodeFrameEntry(const std::uint8_t* bytes);
GafFrameHeader DecodeFrameHeader(const std::uint8_t* bytes);

void EncodeGafHeader(const GafHeader& header, std::uint8_t* bytes);
void EncodeEntryHeader(const GafEntryHeader& header, std::uint8_t* bytes);
void EncodeFrameEntry(const GafFrameEntry& entry, std::uint8_t* bytes);
void EncodeFrameHeader(const GafFrameHeader& header, std::uint8_t* bytes);

// Where the elements of the three offset tables lie: entry i's offset after
// the file header, frame k's element after the entry header, subframe j's
// element in the subframe table that the frame's dataOffset points at.
constexpr std::uint64_t EntryTableElementOffset(std::int32_t i) {
  return sizeof(GafHeader) + 4 * static_cast<std::uint64_t>(i);
}
constexpr std::uint64_t FrameTableElementOffset(std::uint32_t entryOffset, int k) {
  return std::uint64_t{entryOffset} + sizeof(GafEntryHeader) + sizeof(GafFrameEntry) * static_cast<std::uint64_t>(k);
}
constexpr std::uint64_t SubframeTableElementOffset(const GafFrameHeader& frame, int j) {
  return std::uint64_t{frame.dataOffset} + 4 * static_cast<std::uint64_t>(j);
}

// An image can be drawn only when neither its width nor its height is negative.
constexpr bool IsImageSizeInRange(const GafFrameHeader& header) { return header.width >= 0 && header.height >= 0; }

// A plain image's rows are `width` bytes each, so a negative width gives no
// rows to copy; compressed rows carry their own lengths.
constexpr bool HasStoredRowLength(const GafFrameHeader& header) { return header.compressed != 0 || header.width >= 0; }

}  // namespace tessly
