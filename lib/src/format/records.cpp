#include <algorithm>
#include <cstring>

#include "io/little_endian.h"
#include "format/record_codec.h"

namespace tessly {
namespace {

using tessly::little_endian::LoadU16;
using tessly::little_endian::LoadU32;
using tessly::little_endian::StoreU16;
using tessly::little_endian::StoreU32;

std::int16_t LoadI16(const std::uint8_t* bytes) { return static_cast<std::int16_t>(LoadU16(bytes)); }

void StoreI16(std::uint8_t* bytes, std::int16_t value) { StoreU16(bytes, static_cast<std::uint16_t>(value)); }

}  // namespace

GafHeader DecodeGafHeader(const std::uint8_t* bytes) {
  GafHeader header;
  header.version = LoadU32(bytes + 0);
  header.entryCount = static_cast<std::int32_t>(LoadU32(bytes + 4));
  header.reserved = LoadU32(bytes + 8);
  return header;
}

GafEntryHeader DecodeEntryHeader(const std::uint8_t* bytes) {
  GafEntryHeader header;
  header.frameCount = LoadI16(bytes + 0);
  header.aux1 = LoadU16(bytes + 2);
  header.aux2 = LoadU32(bytes + 4);
  std::memcpy(header.name.data(), bytes + 8, header.name.size());
  return header;
}

GafFrameEntry DecodeFrameEntry(const std::uint8_t* bytes) {
  GafFrameEntry entry;
  entry.headerOffset = LoadU32(bytes + 0);
  entry.aux = LoadU32(bytes + 4);
  return entry;
}

GafFrameHeader DecodeFrameHeader(const std::uint8_t* bytes) {
  GafFrameHeader header;
  header.width = LoadI16(bytes + 0);
  header.height = LoadI16(bytes + 2);
  header.aux1 = LoadU16(bytes + 4);
  header.aux2 = LoadU16(bytes + 6);
  header.aux3 = bytes[8];
  header.compressed = bytes[9];
  header.subframeCount = LoadI16(bytes + 10);
  header.aux4 = LoadU32(bytes + 12);
  header.dataOffset = LoadU32(bytes + 16);
  header.aux5 = LoadU32(bytes + 20);
  return header;
}

void EncodeGafHeader(const GafHeader& header, std::uint8_t* bytes) {
  StoreU32(bytes + 0, header.version);
  StoreU32(bytes + 4, static_cast<std::uint32_t>(header.entryCount));
  StoreU32(bytes + 8, header.reserved);
}

void EncodeEntryHeader(const GafEntryHeader& header, std::uint8_t* bytes) {
  StoreI16(bytes + 0, header.frameCount);
  StoreU16(bytes + 2, header.aux1);
  StoreU32(bytes + 4, header.aux2);
  std::memcpy(bytes + 8, header.name.data(), header.name.size());
}

void EncodeFrameEntry(const GafFrameEntry& entry, std::uint8_t* bytes) {
  StoreU32(bytes + 0, entry.headerOffset);
  StoreU32(bytes + 4, entry.aux);
}

void EncodeFrameHeader(const GafFrameHeader& header, std::uint8_t* bytes) {
  StoreI16(bytes + 0, header.width);
  StoreI16(bytes + 2, header.height);
  StoreU16(bytes + 4, header.aux1);
  StoreU16(bytes + 6, header.aux2);
  bytes[8] = header.aux3;
  bytes[9] = header.compressed;
  StoreI16(bytes + 10, header.subframeCount);
  StoreU32(bytes + 12, header.aux4);
  StoreU32(bytes + 16, header.dataOffset);
  StoreU32(bytes + 20, header.aux5);
}

std::string EntryName(const GafEntryHeader& header) {
  const auto end = std::find(header.name.begin(), header.name.end(), std::uint8_t{0});
  return std::string(header.name.begin(), end);
}

}  // namespace tessly
