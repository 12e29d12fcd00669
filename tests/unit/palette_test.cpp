#include "export/palette.h"

#include <gtest/gtest.h>

namespace {

// Entry n as 0xRRGGBB, read back from the stored blue, green, red, 0.
std::uint32_t Colour(int n) {
  const auto* entry = &exporter::BuiltInPalette[4 * static_cast<std::size_t>(n)];
  EXPECT_EQ(entry[3], 0) << n;
  return (std::uint32_t{entry[2]} << 16) | (std::uint32_t{entry[1]} << 8) | entry[0];
}

TEST(BuiltInPalette, NotableEntries) {
  EXPECT_EQ(Colour(0), 0x000000u);
  EXPECT_EQ(Colour(255), 0xFFFFFFu);
  EXPECT_EQ(Colour(9), 0x5454FCu);  // skipped pixels
  for (int n = 10; n <= 15; ++n) EXPECT_EQ(Colour(n), 0x000000u) << n;
  for (int n = 240; n <= 245; ++n) EXPECT_EQ(Colour(n), 0x000000u) << n;
}

TEST(BuiltInPalette, StoredBlueGreenRed) {
  // Index 9 is stored as FC 54 54 00.
  EXPECT_EQ(exporter::BuiltInPalette[36], 0xFC);
  EXPECT_EQ(exporter::BuiltInPalette[37], 0x54);
  EXPECT_EQ(exporter::BuiltInPalette[38], 0x54);
  EXPECT_EQ(exporter::BuiltInPalette[39], 0x00);
}

TEST(BuiltInPalette, EntriesAcrossTheTable) {
  EXPECT_EQ(Colour(1), 0x800000u);
  EXPECT_EQ(Colour(8), 0xC0DCC0u);
  EXPECT_EQ(Colour(16), 0xFFEBF3u);
  EXPECT_EQ(Colour(31), 0x17070Bu);
  EXPECT_EQ(Colour(32), 0x73FFDFu);
  EXPECT_EQ(Colour(55), 0x5F6347u);
  EXPECT_EQ(Colour(77), 0x131300u);
  EXPECT_EQ(Colour(80), 0xFBFBFBu);
  EXPECT_EQ(Colour(101), 0x677FFFu);
  EXPECT_EQ(Colour(127), 0x0B0F1Fu);
  EXPECT_EQ(Colour(128), 0xD7EFFFu);
  EXPECT_EQ(Colour(157), 0x13002Bu);
  EXPECT_EQ(Colour(160), 0xD7FFA7u);
  EXPECT_EQ(Colour(187), 0x372300u);
  EXPECT_EQ(Colour(200), 0xDF4F07u);
  EXPECT_EQ(Colour(208), 0xFFFF00u);
  EXPECT_EQ(Colour(216), 0xDFCBFFu);
  EXPECT_EQ(Colour(231), 0x000037u);
  EXPECT_EQ(Colour(232), 0x7BFF77u);
  EXPECT_EQ(Colour(246), 0xFFFBF0u);
  EXPECT_EQ(Colour(247), 0xA0A0A4u);
  EXPECT_EQ(Colour(249), 0xFF0000u);
  EXPECT_EQ(Colour(252), 0x0000FFu);
  EXPECT_EQ(Colour(254), 0x00FFFFu);
}

}  // namespace
