// The colour table of every BMP file Tessly writes: 256 entries stored as
// blue, green, red, 0, ready to be written as they are.
#pragma once

#include <array>
#include <cstdint>

namespace bmp {

extern const std::array<std::uint8_t, 1024> BuiltInPalette;

}  // namespace bmp
