// The records of a GAF archive. All numbers are little-endian and records
// are packed; each record is read whole and decoded field by field.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace gaf {

constexpr std::uint32_t kGafVersion = 0x00010100;

#pragma pack(push, 1)

// At offset 0; the entry offset table (one u32 per entry) follows it.
struct GafHeader {
  std::uint32_t version;
  std::int32_t entryCount;
  std::uint32_t reserved;
};

struct GafEntryHeader {
  std::int16_t frameCount;
  std::uint16_t aux1;
  std::uint32_t aux2;
  std::array<std::uint8_t, 32> name;  // up to the first NUL
};

// An element of the frame table that follows the entry header.
struct GafFrameEntry {
  std::uint32_t headerOffset;
  std::uint32_t aux;
};

// Describes a frame and a subframe alike.
struct GafFrameHeader {
  std::int16_t width;
  std::int16_t height;
  std::uint16_t aux1;
  std::uint16_t aux2;
  std::uint8_t aux3;
  std::uint8_t compressed;
  std::int16_t subframeCount;  // consulted in a frame's header only
  std::uint32_t aux4;
  std::uint32_t dataOffset;  // subframe table, or pixel data
  std::uint32_t aux5;
};

#pragma pack(pop)

static_assert(sizeof(GafHeader) == 12);
static_assert(sizeof(GafEntryHeader) == 40);
static_assert(sizeof(GafFrameEntry) == 8);
static_assert(sizeof(GafFrameHeader) == 24);

GafHeader DecodeGafHeader(const std::uint8_t* bytes);
GafEntryHeader DecodeEntryHeader(const std::uint8_t* bytes);
GafFrameEntry DecodeFrameEntry(const std::uint8_t* bytes);
GafFrameHeader DecodeFrameHeader(const std::uint8_t* bytes);

void EncodeGafHeader(const GafHeader& header, std::uint8_t* bytes);
void EncodeEntryHeader(const GafEntryHeader& header, std::uint8_t* bytes);
void EncodeFrameEntry(const GafFrameEntry& entry, std::uint8_t* bytes);
void EncodeFrameHeader(const GafFrameHeader& header, std::uint8_t* bytes);

// The entry's name: the bytes of the name field up to its first NUL.
std::string EntryName(const GafEntryHeader& header);

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

}  // namespace gaf
