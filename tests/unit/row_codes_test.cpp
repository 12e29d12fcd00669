#include "gaf/row_codes.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fixture/gaf_builder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Expand(const Bytes& codes, std::size_t width) {
  Bytes row(width, 0xEE);  // anything the expansion fails to set shows
  gaf::ExpandRowCodes(codes, row);
  return row;
}

TEST(ExpandRowCodes, WorkedExample) {
  // skip 2, repeat 2A twice, literal 11 22
  EXPECT_EQ(Expand({0x05, 0x06, 0x2A, 0x04, 0x11, 0x22}, 6), (Bytes{9, 9, 0x2A, 0x2A, 0x11, 0x22}));
}

TEST(ExpandRowCodes, SkipCodes) {
  EXPECT_EQ(Expand({0x01, 0x00, 0x33}, 1), (Bytes{0x33}));  // 0x01 skips nothing
  EXPECT_EQ(Expand({0xFF}, 127), Bytes(127, 9));            // 0xFF skips 127
  EXPECT_EQ(Expand({0x03, 0x02, 0x44}, 2), (Bytes{9, 0x44}));
}

TEST(ExpandRowCodes, RepeatCodes) {
  EXPECT_EQ(Expand({0x02, 0x44}, 1), (Bytes{0x44}));     // once
  EXPECT_EQ(Expand({0xFE, 0x44}, 64), Bytes(64, 0x44));  // 64 times
}

TEST(ExpandRowCodes, LiteralCodes) {
  EXPECT_EQ(Expand({0x00, 0x55}, 1), (Bytes{0x55}));
  Bytes longest{0xFC};
  for (std::uint8_t i = 0; i < 64; ++i) longest.push_back(i);
  EXPECT_EQ(Expand(longest, 64), Bytes(longest.begin() + 1, longest.end()));
}

TEST(ExpandRowCodes, EmptyRowIsAllSkipped) { EXPECT_EQ(Expand({}, 5), Bytes(5, 9)); }

TEST(ExpandRowCodes, PixelsPastTheWidthAreDropped) {
  EXPECT_EQ(Expand({0x0E, 0x77}, 2), (Bytes{0x77, 0x77}));           // repeat 4 into 2
  EXPECT_EQ(Expand({0x08, 1, 2, 3}, 2), (Bytes{1, 2}));              // literal 3 into 2
  EXPECT_EQ(Expand({0x07, 0x02, 0x66}, 2), (Bytes{9, 9}));           // skip 3 into 2
  EXPECT_EQ(Expand({0x00, 1, 0x00, 2, 0x00, 3}, 2), (Bytes{1, 2}));  // codes beyond the width
}

TEST(ExpandRowCodes, UnsetPixelsAreSkipped) { EXPECT_EQ(Expand({0x02, 0x44}, 4), (Bytes{0x44, 9, 9, 9})); }

TEST(ExpandRowCodes, CodesCutShortByTheRowLength) {
  // A literal of 4 with only 2 bytes left takes those and ends the row.
  EXPECT_EQ(Expand({0x0C, 1, 2}, 6), (Bytes{1, 2, 9, 9, 9, 9}));
  // A repeat without its value byte produces nothing.
  EXPECT_EQ(Expand({0x00, 7, 0x06}, 3), (Bytes{7, 9, 9}));
}

TEST(ExpandRowCodes, ZeroWidthTakesNothing) {
  Bytes row;
  gaf::ExpandRowCodes(Bytes{0x00, 1}, row);
  EXPECT_TRUE(row.empty());
}

TEST(ExpandRowCodes, DecodesWhatTheFixtureEncoderWrites) {
  Bytes pixels;
  for (int i = 0; i < 300; ++i) pixels.push_back(static_cast<std::uint8_t>(i % 17 < 5 ? 0 : (i / 7) % 4 + 20));
  Bytes expected = pixels;
  for (auto& pixel : expected) {
    if (pixel == 0) pixel = 9;
  }
  EXPECT_EQ(Expand(fixture::EncodeRow(pixels, 0), pixels.size()), expected);
}

}  // namespace
