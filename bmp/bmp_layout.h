// The layout of an 8-bit BMP file: file header, info header, the 256-colour
// table, then the rows bottom-up, each padded to a multiple of 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bmp {

constexpr std::size_t kBmpHeadersSize = 14 + 40;
constexpr std::size_t kBmpPixelsOffset = kBmpHeadersSize + 1024;  // 1078

// Sizes are unsigned: an image with a negative width or height has no BMP.

// Bytes per stored row: the width rounded up to a multiple of 4.
std::size_t BmpRowStride(std::uint16_t width);

// The whole file: headers, colour table and rows.
std::size_t BmpFileSize(std::uint16_t width, std::uint16_t height);

// Fills the 54 bytes of both headers for an image of this size.
void EncodeBmpHeaders(std::uint16_t width, std::uint16_t height, std::uint8_t* bytes);

}  // namespace bmp
