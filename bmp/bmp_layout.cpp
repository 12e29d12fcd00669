#include "bmp/bmp_layout.h"

#include "base/little_endian.h"

namespace bmp {

using base::StoreU16;
using base::StoreU32;

std::size_t BmpRowStride(std::uint16_t width) { return (std::size_t{width} + 3) & ~std::size_t{3}; }

std::size_t BmpFileSize(std::uint16_t width, std::uint16_t height) {
  return kBmpPixelsOffset + BmpRowStride(width) * std::size_t{height};
}

void EncodeBmpHeaders(std::uint16_t width, std::uint16_t height, std::uint8_t* bytes) {
  // File header.
  bytes[0] = 'B';
  bytes[1] = 'M';
  StoreU32(bytes + 2, static_cast<std::uint32_t>(BmpFileSize(width, height)));  // file size
  StoreU16(bytes + 6, 0);                                                       // reserved
  StoreU16(bytes + 8, 0);                                                       // reserved
  StoreU32(bytes + 10, static_cast<std::uint32_t>(kBmpPixelsOffset));           // offset of the rows
  // Info header.
  StoreU32(bytes + 14, 40);                                  // info header size
  StoreU32(bytes + 18, std::uint32_t{width});   // width
  StoreU32(bytes + 22, std::uint32_t{height});  // height, positive: rows bottom-up
  StoreU16(bytes + 26, 1);                                   // planes
  StoreU16(bytes + 28, 8);                                   // bits per pixel
  StoreU32(bytes + 30, 0);                                   // compression: none
  StoreU32(bytes + 34, 0);                                   // image size
  StoreU32(bytes + 38, 0);                                   // horizontal resolution
  StoreU32(bytes + 42, 0);                                   // vertical resolution
  StoreU32(bytes + 46, 256);                                 // colours used
  StoreU32(bytes + 50, 256);                                 // important colours
}

}  // namespace bmp
