// A decoded image: palette indexes, top row first. What the archive reader
// decodes and the BMP and PNG writers write.
//
// Threads: a plain value; one that no thread changes may be read by all.
#pragma once

#include <cstdint>
#include <vector>

namespace tessly {

// An image as palette indexes, `width` by `height`, top row first: pixel
// (x, y) is pixels[y * width + x].
struct DecodedImage {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::vector<std::uint8_t> pixels;

  bool operator==(const DecodedImage&) const = default;
};

}  // namespace tessly
