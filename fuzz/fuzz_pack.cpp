// The readers of the way back on arbitrary bytes. The first byte chooses:
// 0, an entry description; 1, an archive description; 2, a palette file;
// else an image file (odd: with nearest colours). What reads is written and
// read again, and must come back the same: a description as the same text,
// an image through a PNG file as the same indexes, a palette through raw
// colours as the same colours. A palette file that is refused leaves the
// palette as it was.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "tessly/description.h"
#include "tessly/image_file.h"
#include "tessly/palette_file.h"
#include "tessly/png.h"

namespace {

using namespace tessly;

void Require(bool holds) {
  if (!holds) std::abort();
}

template <typename Description, typename Read, typename Write>
void DescriptionRoundTrip(std::span<const std::uint8_t> text, Read read, Write write) {
  Description first, second;
  Problem problem;
  if (read(text, first, problem) != Status::Ok) {
    Require(!problem.detail.empty());
    return;
  }
  MemorySink once, twice;
  Require(write(first, once) == Status::Ok && read(once.bytes, second, problem) == Status::Ok);
  Require(write(second, twice) == Status::Ok && twice.bytes == once.bytes);
}

void PaletteFile(std::span<const std::uint8_t> file) {
  MemorySource source(file);
  Palette palette;
  palette.colours[0] = {1, 2, 3};
  if (ReadPalette(source, palette) != Status::Ok) return Require(palette.colours[0] == Colour{1, 2, 3});
  // Whatever form it came in, the palette comes back from 768 raw bytes;
  // its first colour black there, which no other form starts with.
  palette.colours[0] = {};
  std::vector<std::uint8_t> raw;
  for (const Colour& colour : palette.colours) raw.insert(raw.end(), {colour.red, colour.green, colour.blue});
  MemorySource again(raw);
  Palette copy;
  Require(ReadPalette(again, copy) == Status::Ok && copy.colours == palette.colours);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return -1;
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  if (data[0] == 0) {
    DescriptionRoundTrip<EntryDescription>(bytes, ReadEntryDescription, WriteEntryDescription);
  } else if (data[0] == 1) {
    DescriptionRoundTrip<ArchiveDescription>(bytes, ReadArchiveDescription, WriteArchiveDescription);
  } else if (data[0] == 2) {
    PaletteFile(bytes);
  } else {
    const ImageReadOptions options{.nearest = (data[0] & 1) != 0, .largestPixels = 1 << 16};
    DecodedImage image, again;
    Problem problem;
    if (ReadImageFile(bytes, BuiltInPalette(), options, image, problem) != Status::Ok) return 0;
    MemorySink png;
    Require(WritePng(image, BuiltInPalette(), png) == Status::Ok);
    Require(ReadImageFile(png.bytes, BuiltInPalette(), options, again, problem) == Status::Ok);
    // An empty image is written as one skipped pixel.
    Require(again == image || (image.pixels.empty() && again == DecodedImage{1, 1, {kSkippedPixel}}));
  }
  return 0;
}
