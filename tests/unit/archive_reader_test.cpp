#include "gaf/archive_reader.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/platform.h"
#include "tests/support/files.h"

namespace {

using fixture::Bytes;

class ArchiveReaderTest : public testing::Test {
 protected:
  gaf::ArchiveReader& Open(const Bytes& contents) {
    dir_.Write("archive", contents);
    EXPECT_TRUE(platform::OpenForReading(dir_ / "archive", file_));
    reader_ = std::make_unique<gaf::ArchiveReader>(file_);
    return *reader_;
  }

  support::TempDir dir_;
  platform::File file_;
  std::unique_ptr<gaf::ArchiveReader> reader_;
};

TEST_F(ArchiveReaderTest, SeeksFailFromTheSignBitOn) {
  gaf::ArchiveReader& reader = Open({1, 2, 3});
  EXPECT_FALSE(reader.Seek(0x80000000u));
  EXPECT_FALSE(reader.Seek(0xFFFFFFFFu));
  EXPECT_FALSE(reader.Seek(0x100000010ull));  // never taken modulo 2^32
  EXPECT_TRUE(reader.Seek(0x7FFFFFFFu));
}

TEST_F(ArchiveReaderTest, SeekPastTheEndSucceedsAndTheReadThenFails) {
  gaf::ArchiveReader& reader = Open({1, 2, 3});
  ASSERT_TRUE(reader.Seek(100));
  std::uint8_t byte;
  EXPECT_EQ(reader.ReadBytes(&byte, 1), gaf::ReadStatus::EndOfFile);
}

TEST_F(ArchiveReaderTest, ShortReadFailsAndStopsAtTheEnd) {
  gaf::ArchiveReader& reader = Open({1, 2, 3, 4, 5});
  ASSERT_TRUE(reader.Seek(2));
  std::uint32_t value;
  EXPECT_FALSE(reader.Read(value));
  EXPECT_EQ(reader.Position(), 5u);
  std::uint8_t none[1];
  EXPECT_TRUE(reader.Read(none, 0));  // nothing to read never fails
}

TEST_F(ArchiveReaderTest, DecodesLittleEndianRecords) {
  gaf::ArchiveReader& reader = Open({
      0x40, 0x00,              // width 64
      0xFF, 0xFF,              // height -1
      0x01, 0x02, 0x03, 0x04,  // aux1, aux2
      0x05,                    // aux3
      0x01,                    // compressed
      0x00, 0x80,              // subframeCount -32768
      0x0A, 0x0B, 0x0C, 0x0D,  // aux4
      0x78, 0x56, 0x34, 0x12,  // dataOffset
      0xEF, 0xBE, 0xAD, 0xDE,  // aux5
  });
  gaf::GafFrameHeader header;
  ASSERT_TRUE(reader.ReadAt(0, header));
  EXPECT_EQ(header.width, 64);
  EXPECT_EQ(header.height, -1);
  EXPECT_EQ(header.aux1, 0x0201);
  EXPECT_EQ(header.aux2, 0x0403);
  EXPECT_EQ(header.aux3, 5);
  EXPECT_EQ(header.compressed, 1);
  EXPECT_EQ(header.subframeCount, -32768);
  EXPECT_EQ(header.aux4, 0x0D0C0B0Au);
  EXPECT_EQ(header.dataOffset, 0x12345678u);
  EXPECT_EQ(header.aux5, 0xDEADBEEFu);
}

TEST_F(ArchiveReaderTest, ReadsAnywhereInALargeFileGiveItsBytes) {
  Bytes contents(3 * 1024 * 1024 + 77);
  std::mt19937 random(7);
  for (auto& byte : contents) byte = static_cast<std::uint8_t>(random());
  gaf::ArchiveReader& reader = Open(contents);
  for (int i = 0; i < 2000; ++i) {
    const std::size_t at = random() % contents.size();
    const std::size_t count = random() % 70000;
    ASSERT_TRUE(reader.Seek(at));
    Bytes got(count);
    const gaf::ReadStatus status = reader.ReadBytes(got.data(), count);
    const std::size_t available = std::min(count, contents.size() - at);
    EXPECT_EQ(status, available == count ? gaf::ReadStatus::Complete : gaf::ReadStatus::EndOfFile);
    ASSERT_TRUE(std::equal(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(available),
                           contents.begin() + static_cast<std::ptrdiff_t>(at)));
    EXPECT_EQ(reader.Position(), at + available);
  }
}

}  // namespace
