// Writes image files as image editors do, for the tests of the way back:
// PNG files through libspng, BMP files of 24 and 32 bits by hand.
#pragma once

#include <spng.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tools/gaf_builder.h"

namespace fixture {

// A PNG file of RGBA pixels, or of indexes with `colours` colours of the
// built-in palette from index `shift` on, written by libspng; indexes of
// fewer than 8 bits come packed, the first pixel in the highest bits.
inline Bytes Png(std::uint32_t width, std::uint32_t height, const Bytes& pixels, int colours = 0, int shift = 0,
                 std::uint8_t depth = 8) {
  static const std::uint32_t kBuiltIn[11] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                             0x008080, 0x808080, 0xC0DCC0, 0x5454FC, 0x000000};
  spng_ctx* png = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(png, SPNG_ENCODE_TO_BUFFER, 1);
  const int type = colours > 0 ? SPNG_COLOR_TYPE_INDEXED : SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
  spng_ihdr ihdr{width, height, depth, std::uint8_t(type)};
  spng_set_ihdr(png, &ihdr);
  spng_plte plte{std::uint32_t(colours), {}};
  for (int i = 0; i < colours; ++i) {
    const std::uint32_t rgb = kBuiltIn[i + shift];
    plte.entries[i] = {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)};
  }
  if (colours > 0) spng_set_plte(png, &plte);
  spng_encode_image(png, pixels.data(), pixels.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
  std::size_t size = 0;
  int error = 0;
  auto* bytes = static_cast<std::uint8_t*>(spng_get_png_buffer(png, &size, &error));
  Bytes file(bytes, bytes + size);
  std::free(bytes), spng_ctx_free(png);
  return file;
}

// A BMP file of 8, 24 or 32 bits of these colours, bottom row first unless
// `topDown`; one of 8 bits has a table of its colours in the order they
// first appear, and their indexes.
inline Bytes Bmp(std::uint32_t width, const std::vector<std::uint32_t>& rgb, std::uint32_t bits = 24, bool topDown = false) {
  std::vector<std::uint32_t> table;
  for (const std::uint32_t colour : rgb) {
    if (bits == 8 && std::find(table.begin(), table.end(), colour) == table.end()) table.push_back(colour);
  }
  const std::uint32_t bytes = bits / 8, stride = (bytes * width + 3) / 4 * 4, height = std::uint32_t(rgb.size()) / width,
                      rowsAt = 54 + 4 * std::uint32_t(table.size());
  Bytes bmp{'B', 'M'};
  for (const std::uint32_t field : {rowsAt + stride * height, 0u, rowsAt, 40u, width, topDown ? 0u - height : height}) {
    Put(bmp, bmp.size(), field);
  }
  Put(bmp, bmp.size(), 1 | bits << 16), Put(bmp, bmp.size(), 0, 16), Put(bmp, bmp.size(), std::uint32_t(table.size()), 8);
  for (const std::uint32_t colour : table) Put(bmp, bmp.size(), colour);
  for (std::uint32_t row = 0; row < height; ++row) {
    const std::uint32_t y = topDown ? row : height - 1 - row;
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint32_t colour = rgb[y * width + x];
      const auto index = std::uint32_t(std::find(table.begin(), table.end(), colour) - table.begin());
      Put(bmp, bmp.size(), bits == 8 ? index : colour | 0xEE000000, bytes);
    }
    bmp.resize(bmp.size() + stride - bytes * width);
  }
  return bmp;
}

}  // namespace fixture
