// Row-compressed images and frames of subframes for the demo archive and
// the benchmarks' workloads.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/gaf_builder.h"

namespace tools {

using fixture::Bytes;

// The codes of one row: runs of `transparent` become skips, runs of three
// or more equal pixels repeats, the rest literals.
Bytes EncodeRow(const Bytes& pixels, std::uint8_t transparent);

// A compressed image of these rows of pixels.
fixture::Image CompressedImage(std::int16_t width, const std::vector<Bytes>& pixelRows, std::uint8_t transparent);

// A frame of subframes; its own header describes the first of them.
fixture::Frame WithSubframes(std::vector<fixture::Image> subframes);

}  // namespace tools
