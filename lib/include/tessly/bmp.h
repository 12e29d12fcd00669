// 8-bit BMP files of decoded images: file header, info header, the
// built-in 256-colour table, then the rows bottom-up, each padded to a
// multiple of 4 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "tessly/archive.h"
#include "tessly/io.h"
#include "tessly/status.h"

namespace tessly {

constexpr std::size_t kBmpHeadersSize = 14 + 40;
constexpr std::size_t kBmpPixelsOffset = kBmpHeadersSize + 1024;  // 1078

// The 256 colours of the built-in palette as 0xRRGGBB.
const std::array<std::uint32_t, 256>& BuiltInColours();

// Bytes per stored row: the width rounded up to a multiple of 4.
std::size_t BmpRowStride(std::uint16_t width);

// The whole file: headers, colour table and rows.
std::size_t BmpFileSize(std::uint16_t width, std::uint16_t height);

// Writes the BMP file of `image` into `sink`. Ok, or WriteFailed at the
// first write the sink refuses, after which nothing more is written.
Status WriteBmp(const DecodedImage& image, ByteSink& sink);

}  // namespace tessly
