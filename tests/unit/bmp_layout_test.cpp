#include "export/bmp_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "gaf/little_endian.h"

namespace {

std::vector<std::uint8_t> Headers(std::int16_t width, std::int16_t height) {
  std::vector<std::uint8_t> bytes(54, 0xEE);
  exporter::EncodeBmpHeaders(width, height, bytes.data());
  return bytes;
}

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at) { return gaf::LoadU32(&bytes[at]); }
std::uint16_t U16(const std::vector<std::uint8_t>& bytes, std::size_t at) { return gaf::LoadU16(&bytes[at]); }

TEST(BmpLayout, RowsArePaddedToFourBytes) {
  EXPECT_EQ(exporter::BmpRowStride(0), 0u);
  EXPECT_EQ(exporter::BmpRowStride(1), 4u);
  EXPECT_EQ(exporter::BmpRowStride(5), 8u);
  EXPECT_EQ(exporter::BmpRowStride(8), 8u);
  EXPECT_EQ(exporter::BmpRowStride(32767), 32768u);
}

TEST(BmpLayout, HeadersOfAWidthFiveImage) {
  const auto bytes = Headers(5, 3);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(U32(bytes, 2), 8u * 3 + 1078);  // file size
  EXPECT_EQ(U16(bytes, 6), 0);              // reserved
  EXPECT_EQ(U16(bytes, 8), 0);              // reserved
  EXPECT_EQ(U32(bytes, 10), 1078u);         // offset of the rows
  EXPECT_EQ(U32(bytes, 14), 40u);           // info header size
  EXPECT_EQ(U32(bytes, 18), 5u);            // width
  EXPECT_EQ(U32(bytes, 22), 3u);            // height: positive, bottom-up
  EXPECT_EQ(U16(bytes, 26), 1);             // planes
  EXPECT_EQ(U16(bytes, 28), 8);             // bits per pixel
  EXPECT_EQ(U32(bytes, 30), 0u);            // no compression
  EXPECT_EQ(U32(bytes, 34), 0u);            // image size
  EXPECT_EQ(U32(bytes, 38), 0u);            // horizontal resolution
  EXPECT_EQ(U32(bytes, 42), 0u);            // vertical resolution
  EXPECT_EQ(U32(bytes, 46), 256u);          // colours used
  EXPECT_EQ(U32(bytes, 50), 256u);          // important colours
}

TEST(BmpLayout, WidthEightNeedsNoPadding) {
  const auto bytes = Headers(8, 2);
  EXPECT_EQ(U32(bytes, 2), 8u * 2 + 1078);
  EXPECT_EQ(U32(bytes, 18), 8u);
  EXPECT_EQ(exporter::BmpFileSize(8, 2), 1094u);
}

TEST(BmpLayout, HeightZeroIsHeadersAndColoursOnly) {
  const auto bytes = Headers(7, 0);
  EXPECT_EQ(U32(bytes, 2), 1078u);
  EXPECT_EQ(U32(bytes, 22), 0u);
  EXPECT_EQ(exporter::BmpFileSize(7, 0), 1078u);
}

}  // namespace
