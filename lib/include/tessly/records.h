// The records of a GAF archive. All numbers are little-endian and records
// are packed; each record is read whole and decoded field by field.
//
// Threads: plain values and pure functions, usable anywhere.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tessly {

constexpr std::uint32_t kGafVersion = 0x00010100;

// Offsets are signed 32-bit in the format's world: no record at or past
// this offset can be reached, and no file the library writes is larger.
constexpr std::uint64_t kOffsetLimit = 0x80000000u;

// The widest and highest image a header describes: its width and height
// are signed 16-bit.
constexpr std::uint16_t kLargestImageSide = 32767;

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

// The entry's name: the bytes of the name field up to its first NUL.
// Throws std::bad_alloc.
std::string EntryName(const GafEntryHeader& header);

}  // namespace tessly
