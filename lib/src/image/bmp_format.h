// Where the fields of a BMP file lie, for its writer and its reader: a file
// header of 14 bytes, an info header of 40 (or, when read, more), the
// colour table, and rows padded to 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessly::bmp {

// File header.
constexpr std::size_t kFileSizeAt = 2;
constexpr std::size_t kRowsOffsetAt = 10;
// Info header.
constexpr std::size_t kInfoSizeAt = 14;
constexpr std::size_t kWidthAt = 18;
constexpr std::size_t kHeightAt = 22;  // positive: rows bottom-up
constexpr std::size_t kPlanesAt = 26;
constexpr std::size_t kBitsAt = 28;
constexpr std::size_t kCompressionAt = 30;
constexpr std::size_t kColoursUsedAt = 46;
constexpr std::size_t kColoursImportantAt = 50;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kHeadersSize = 14 + kInfoHeaderSize;

// The bytes a row of `width` pixels of `bits` each takes.
constexpr std::uint64_t RowStride(std::uint64_t width, unsigned bits) { return (width * bits + 31) / 32 * 4; }

}  // namespace tessly::bmp
