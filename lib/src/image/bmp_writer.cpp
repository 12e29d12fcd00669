#include <algorithm>
#include <array>

#include "image/bmp_format.h"
#include "io/little_endian.h"
#include "tessly/bmp.h"

namespace tessly {
namespace {

using little_endian::StoreU16;
using little_endian::StoreU32;

// The colour table as stored, given zeroed: blue, green, red, 0.
void EncodeColourTable(const Palette& palette, std::uint8_t* bytes) {
  for (const Colour& colour : palette.colours) {
    bytes[0] = colour.blue;
    bytes[1] = colour.green;
    bytes[2] = colour.red;
    bytes += 4;
  }
}

// Fills the 54 bytes of both headers, given zeroed, for an image of this
// size. The fields not stored stay zero: reserved (bytes 6-9), and no
// compression, image size or resolution (bytes 30-45).
void EncodeBmpHeaders(std::uint16_t width, std::uint16_t height, std::uint8_t* bytes) {
  // File header.
  bytes[0] = 'B';
  bytes[1] = 'M';
  StoreU32(bytes + bmp::kFileSizeAt, static_cast<std::uint32_t>(BmpFileSize(width, height)));
  StoreU32(bytes + bmp::kRowsOffsetAt, static_cast<std::uint32_t>(kBmpPixelsOffset));
  // Info header.
  StoreU32(bytes + bmp::kInfoSizeAt, bmp::kInfoHeaderSize);
  StoreU32(bytes + bmp::kWidthAt, std::uint32_t{width});
  StoreU32(bytes + bmp::kHeightAt, std::uint32_t{height});  // positive: rows bottom-up
  StoreU16(bytes + bmp::kPlanesAt, 1);
  StoreU16(bytes + bmp::kBitsAt, 8);
  StoreU32(bytes + bmp::kColoursUsedAt, 256);
  StoreU32(bytes + bmp::kColoursImportantAt, 256);
}

}  // namespace

std::size_t BmpRowStride(std::uint16_t width) { return static_cast<std::size_t>(bmp::RowStride(width, 8)); }

std::size_t BmpFileSize(std::uint16_t width, std::uint16_t height) {
  return kBmpPixelsOffset + BmpRowStride(width) * std::size_t{height};
}

Status WriteBmp(const DecodedImage& image, const Palette& palette, ByteSink& sink) {
  const std::size_t size = BmpFileSize(image.width, image.height);
  const std::size_t width = image.width, stride = BmpRowStride(image.width);
  // Headers, colour table and padded rows, bottom row first: straight into
  // the sink's room when it has some, else in pieces of up to 64 KiB, so
  // that a sprite is one write, not two a row.
  std::array<std::uint8_t, 1 << 16> piece;
  std::uint8_t* room = sink.Append(size);
  const bool inPlace = room != nullptr;
  std::uint8_t* out = inPlace ? room : piece.data();
  const std::size_t roomSize = inPlace ? size : piece.size();
  sink.Expect(size);
  std::fill_n(out, kBmpPixelsOffset, std::uint8_t{0});
  EncodeBmpHeaders(image.width, image.height, out);
  EncodeColourTable(palette, out + kBmpHeadersSize);
  std::size_t used = kBmpPixelsOffset;
  for (std::size_t r = image.height; r-- > 0;) {
    if (used + stride > roomSize) {
      if (!sink.Write(out, used)) return Status::WriteFailed;
      used = 0;
    }
    if (stride > roomSize) {  // a row wider than a piece goes on its own
      static constexpr std::uint8_t kPadding[3] = {};
      if (!sink.Write(image.pixels.data() + width * r, width) || !sink.Write(kPadding, stride - width)) {
        return Status::WriteFailed;
      }
      continue;
    }
    std::copy_n(image.pixels.data() + width * r, width, out + used);
    std::fill_n(out + used + width, stride - width, std::uint8_t{0});
    used += stride;
  }
  return inPlace || sink.Write(out, used) ? Status::Ok : Status::WriteFailed;
}

}  // namespace tessly
