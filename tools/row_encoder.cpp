#include "tools/row_encoder.h"

#include <algorithm>

namespace tools {

Bytes EncodeRow(const Bytes& pixels, std::uint8_t transparent) {
  Bytes codes;
  std::size_t i = 0;
  auto runOf = [&](std::size_t from, std::size_t most) {
    std::size_t n = 1;
    while (from + n < pixels.size() && n < most && pixels[from + n] == pixels[from]) ++n;
    return n;
  };
  while (i < pixels.size()) {
    if (pixels[i] == transparent) {
      const std::size_t n = runOf(i, 127);
      codes.push_back(static_cast<std::uint8_t>((n << 1) | 1));
      i += n;
      continue;
    }
    const std::size_t run = runOf(i, 64);
    if (run >= 3) {
      codes.push_back(static_cast<std::uint8_t>(((run - 1) << 2) | 2));
      codes.push_back(pixels[i]);
      i += run;
      continue;
    }
    // A literal runs until a skip or a repeat would serve better.
    std::size_t n = 0;
    while (i + n < pixels.size() && n < 64 && pixels[i + n] != transparent && runOf(i + n, 3) < 3) ++n;
    n = std::max<std::size_t>(n, 1);
    codes.push_back(static_cast<std::uint8_t>((n - 1) << 2));
    codes.insert(codes.end(), pixels.begin() + static_cast<std::ptrdiff_t>(i),
                 pixels.begin() + static_cast<std::ptrdiff_t>(i + n));
    i += n;
  }
  return codes;
}

fixture::Image CompressedImage(std::int16_t width, const std::vector<Bytes>& pixelRows, std::uint8_t transparent) {
  fixture::Image image{width, static_cast<std::int16_t>(pixelRows.size()), 1};
  for (const Bytes& row : pixelRows) image.rows.push_back(EncodeRow(row, transparent));
  return image;
}

fixture::Frame WithSubframes(std::vector<fixture::Image> subframes) {
  fixture::Image header = subframes.front();
  header.rows.clear();
  return {header, std::move(subframes)};
}

}  // namespace tools
