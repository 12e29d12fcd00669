// A palette: the 256 colours that an image's indexes stand for. GAF files
// hold no palette of their own; the built-in one is used unless the caller
// gives another.
//
// Threads: BuiltInPalette may be called anywhere, the first call too.
#pragma once

#include <array>
#include <cstdint>

namespace tessly {

// The index of the skipped pixels, those that row codes skip over: see-through
// in a sprite, and the only index that a PNG file makes transparent.
constexpr std::uint8_t kSkippedPixel = 9;

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  bool operator==(const Colour&) const = default;
};

struct Palette {
  std::array<Colour, 256> colours{};

  bool operator==(const Palette&) const = default;
};

// The built-in palette. The value lives as long as the program.
const Palette& BuiltInPalette();

}  // namespace tessly
