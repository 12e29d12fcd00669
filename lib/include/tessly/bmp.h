// 8-bit BMP files of decoded images: file header, info header, the
// palette's 256 colours, then the rows bottom-up, each padded to a multiple
// of 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tessly/image.h"
#include "tessly/io.h"
#include "tessly/palette.h"
#include "tessly/status.h"

namespace tessly {

constexpr std::size_t kBmpHeadersSize = 14 + 40;                  // file header and info header
constexpr std::size_t kBmpPixelsOffset = kBmpHeadersSize + 1024;  // 1078

// Bytes per stored row: the width rounded up to a multiple of 4.
std::size_t BmpRowStride(std::uint16_t width);

// The whole file: headers, colour table and rows.
std::size_t BmpFileSize(std::uint16_t width, std::uint16_t height);

// Writes the BMP file of `image`, with `palette` as its colour table, into
// `sink`. Ok, or WriteFailed at the first write the sink refuses, after
// which nothing more is written. Any number of threads may write at once.
Status WriteBmp(const DecodedImage& image, const Palette& palette, ByteSink& sink);

}  // namespace tessly
