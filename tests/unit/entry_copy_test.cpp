#include <gtest/gtest.h>

#include "export/gaf_export.h"
#include "export/gaf_writer.h"
#include "platform/platform.h"
#include "tests/support/files.h"

namespace {

using exporter::FrameNode;

// An entry read into memory stops as soon as the file it makes would pass
// the largest size a GAF file can have; the limit is lowered here.
class EntryCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    fixture::Image compressed = fixture::CompressedImage(5, {{1, 1, 1, 0, 2}, {0, 0, 0, 0, 0}}, 0);
    dir_.Write("in.gaf", fixture::BuildGaf({{"E",
                                             {fixture::SingleImage(fixture::PlainImage(4, 4)),
                                              fixture::WithSubframes({compressed, fixture::PlainImage(3, 2)}),
                                              fixture::SingleImage(compressed)}}}));
    ASSERT_TRUE(platform::OpenForReading(dir_ / "in.gaf", file_));
  }

  bool Read(std::uint64_t largestFile, std::vector<FrameNode>& frames) {
    gaf::ArchiveReader reader(file_);
    exporter::EntryStart entry;
    EXPECT_TRUE(reader.Seek(12));
    EXPECT_TRUE(exporter::ReadEntryStart(reader, entry));
    return exporter::ReadEntryFrames(reader, entry, frames, largestFile);
  }

  static std::uint64_t FileSize(const std::vector<FrameNode>& frames) {
    return exporter::GafEntryOffset(frames) + 40 + 8 * frames.size();
  }

  support::TempDir dir_;
  platform::File file_;
};

TEST_F(EntryCopyTest, StopsWhenTheFileWouldPassTheLimit) {
  std::vector<FrameNode> whole;
  ASSERT_TRUE(Read(exporter::kLargestGafFile, whole));
  ASSERT_EQ(whole.size(), 3u);
  const std::uint64_t size = FileSize(whole);

  std::vector<FrameNode> fits;
  EXPECT_TRUE(Read(size, fits));
  EXPECT_EQ(FileSize(fits), size);

  for (std::uint64_t limit = 56; limit < size; ++limit) {
    std::vector<FrameNode> cut;
    EXPECT_FALSE(Read(limit, cut)) << limit;
    EXPECT_LE(FileSize(cut), limit) << limit;  // what was read so far still fits
  }
}

}  // namespace
