// How rows are framed in a GAF file: a compressed row is its 2-byte length
// and then that many bytes of codes; a plain row is `width` pixels.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "io/little_endian.h"

namespace tessly {

constexpr std::uint32_t kRowLengthBytes = 2;

// The bytes a row takes, given the length of its codes or pixels.
constexpr std::uint32_t StoredRowSize(std::uint16_t length, bool compressed) {
  return length + (compressed ? kRowLengthBytes : 0u);
}

inline void StoreRowLength(std::uint8_t* at, std::uint16_t length) { little_endian::StoreU16(at, length); }

// Adds a compressed row of `codes` to `rows`; false, adding nothing, for
// more codes than a row's length holds. (A row of at most
// kLargestImageSide pixels never takes more than 33279 bytes of codes.)
inline bool AppendCompressedRow(std::span<const std::uint8_t> codes, std::vector<std::uint8_t>& rows) {
  if (codes.size() > UINT16_MAX) return false;
  const std::size_t start = rows.size();
  rows.resize(start + kRowLengthBytes);
  StoreRowLength(rows.data() + start, static_cast<std::uint16_t>(codes.size()));
  rows.insert(rows.end(), codes.begin(), codes.end());
  return true;
}

}  // namespace tessly
