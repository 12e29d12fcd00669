#include "export/gaf_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

#include "export/gaf_export.h"
#include "gaf/little_endian.h"
#include "platform/platform.h"
#include "tests/support/files.h"

namespace {

using exporter::FrameNode;
using fixture::Bytes;

gaf::GafFrameHeader Header(std::int16_t width, std::int16_t height, std::uint8_t compressed,
                           std::int16_t subframeCount = 0) {
  gaf::GafFrameHeader header{};
  header.width = width;
  header.height = height;
  header.compressed = compressed;
  header.subframeCount = subframeCount;
  header.aux1 = 0x1111;
  header.aux4 = 0x44444444;
  header.dataOffset = 0xDEADBEEF;  // replaced by the writer
  header.aux5 = 0x55555555;
  return header;
}

FrameNode Plain(std::int16_t width, const std::vector<Bytes>& rows) {
  FrameNode node;
  node.header = Header(width, static_cast<std::int16_t>(rows.size()), 0);
  for (const Bytes& row : rows) {
    node.rows.Append({static_cast<std::uint16_t>(row.size()), row.data()}, false);
    node.dataSize += static_cast<std::uint32_t>(row.size());
  }
  return node;
}

FrameNode Compressed(std::int16_t width, const std::vector<Bytes>& rows) {
  FrameNode node;
  node.header = Header(width, static_cast<std::int16_t>(rows.size()), 1);
  for (const Bytes& row : rows) {
    node.rows.Append({static_cast<std::uint16_t>(row.size()), row.data()}, true);
    node.dataSize += static_cast<std::uint32_t>(row.size() + 2);
  }
  return node;
}

gaf::GafEntryHeader EntryHeader(std::int16_t frameCount) {
  gaf::GafEntryHeader header{};
  header.frameCount = frameCount;
  header.aux1 = 0xA1A1;
  header.aux2 = 0xA2A2A2A2;
  for (std::size_t i = 0; i < 4; ++i) header.name[i] = static_cast<std::uint8_t>("ROCK"[i]);
  header.name[20] = 'x';  // bytes after the NUL are kept too
  return header;
}

void Append(Bytes& bytes, const gaf::GafFrameHeader& header) {
  std::uint8_t encoded[24];
  gaf::EncodeFrameHeader(header, encoded);
  bytes.insert(bytes.end(), encoded, encoded + 24);
}

void AppendU32(Bytes& bytes, std::uint32_t value) {
  std::uint8_t encoded[4];
  gaf::StoreU32(encoded, value);
  bytes.insert(bytes.end(), encoded, encoded + 4);
}

class GafWriterTest : public testing::Test {
 protected:
  // Writes the file in a temporary directory and returns its bytes.
  Bytes Write(const gaf::GafEntryHeader& entryHeader, std::vector<FrameNode>& frames) {
    char here[PATH_MAX];
    EXPECT_NE(::getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(::chdir(dir_.path().c_str()), 0);
    {
      platform::File out;
      EXPECT_TRUE(platform::CreateOutput("out.gaf", out));
      EXPECT_TRUE(exporter::WriteGafEntryFile(out, entryHeader, frames));
    }
    EXPECT_EQ(::chdir(here), 0);
    return support::ReadBytes(dir_ / "out.gaf");
  }

  support::TempDir dir_;
};

TEST_F(GafWriterTest, WorkedExample) {
  std::vector<FrameNode> frames;
  frames.push_back(Plain(2, {{0x11, 0x12}, {0x21, 0x22}}));
  FrameNode frame1;
  frame1.header = Header(3, 1, 0, 2);
  frame1.subframes.push_back(Compressed(3, {{0x08, 0x31, 0x32}}));
  frame1.subframes.push_back(Plain(1, {{0x41}}));
  frame1.dataSize = 6;
  frames.push_back(std::move(frame1));
  const gaf::GafEntryHeader entry = EntryHeader(2);

  const Bytes written = Write(entry, frames);

  Bytes expected = {0x00, 0x01, 0x01, 0x00, 1, 0, 0, 0, 0, 0, 0, 0};  // file header
  AppendU32(expected, 130);                                           // entry offset
  expected.insert(expected.end(), {0x11, 0x12, 0x21, 0x22});          // frame 0 rows, at 16
  expected.insert(expected.end(), {0x03, 0x00, 0x08, 0x31, 0x32});    // subframe 0, at 20
  expected.push_back(0x41);                                           // subframe 1, at 25
  gaf::GafFrameHeader header = Header(2, 2, 0);
  header.dataOffset = 16;
  Append(expected, header);  // frame 0 header, at 26
  header = Header(3, 1, 1);
  header.dataOffset = 20;
  Append(expected, header);  // subframe 0 header, at 50
  header = Header(1, 1, 0);
  header.dataOffset = 25;
  Append(expected, header);  // subframe 1 header, at 74
  AppendU32(expected, 50);   // subframe table, at 98
  AppendU32(expected, 74);
  header = Header(3, 1, 0, 2);
  header.dataOffset = 98;
  Append(expected, header);  // frame 1 header, at 106
  std::uint8_t entryBytes[40];
  gaf::EncodeEntryHeader(entry, entryBytes);
  expected.insert(expected.end(), entryBytes, entryBytes + 40);  // entry header, at 130
  AppendU32(expected, 26);                                       // frame table, at 170
  AppendU32(expected, 10);
  AppendU32(expected, 106);
  AppendU32(expected, 10);

  ASSERT_EQ(written.size(), 186u);
  EXPECT_EQ(written, expected);
  EXPECT_EQ(frames[0].headerOffset, 26u);
  EXPECT_EQ(frames[1].headerOffset, 106u);
  EXPECT_EQ(frames[1].subframes[0].headerOffset, 50u);
  EXPECT_EQ(frames[1].subframes[1].headerOffset, 74u);
  EXPECT_EQ(frames[1].header.dataOffset, 98u);
}

TEST_F(GafWriterTest, EmptyFrameListGivesFiftySixBytes) {
  std::vector<FrameNode> frames;
  const gaf::GafEntryHeader entry = EntryHeader(3);  // written unchanged, whatever it says
  const Bytes written = Write(entry, frames);
  ASSERT_EQ(written.size(), 56u);
  EXPECT_EQ(gaf::LoadU32(&written[12]), 16u);
  std::uint8_t entryBytes[40];
  gaf::EncodeEntryHeader(entry, entryBytes);
  EXPECT_TRUE(std::equal(entryBytes, entryBytes + 40, written.begin() + 16));
}

TEST_F(GafWriterTest, FrameWithoutSubframeNodesIsWrittenAsAnImage) {
  std::vector<FrameNode> frames;
  frames.push_back(Plain(1, {{0x77}}));
  frames[0].header.subframeCount = 5;  // its header says otherwise
  const Bytes written = Write(EntryHeader(1), frames);
  // file header, entry offset, 1 pixel, frame header, entry header, frame table
  ASSERT_EQ(written.size(), 16u + 1 + 24 + 40 + 8);
  EXPECT_EQ(written[16], 0x77);
  EXPECT_EQ(gaf::LoadU32(&written[17 + 16]), 16u);       // dataOffset: its pixels
  EXPECT_EQ(gaf::LoadU32(&written[17 + 24 + 40]), 17u);  // frame table: its header
}

TEST_F(GafWriterTest, CompressedRowOfLengthZeroTakesItsLengthWord) {
  std::vector<FrameNode> frames;
  frames.push_back(Compressed(4, {{}, {0x01}}));
  frames.push_back(Plain(0, {{}, {}}));  // uncompressed rows of width 0 take nothing
  const Bytes written = Write(EntryHeader(2), frames);
  EXPECT_EQ(gaf::LoadU32(&written[12]), 16u + 2 + 3 + 24 + 24);
  EXPECT_EQ(Bytes(written.begin() + 16, written.begin() + 21), (Bytes{0x00, 0x00, 0x01, 0x00, 0x01}));
  EXPECT_EQ(frames[1].header.dataOffset, 21u);
}

TEST(SettleCounts, CountsDescribeWhatIsWritten) {
  std::vector<FrameNode> frames;
  frames.push_back(Plain(2, {{1, 2}}));
  frames[0].header.height = 3;  // two rows were left out
  FrameNode withSubframes;
  withSubframes.header = Header(2, 2, 0, 3);
  withSubframes.subframes.push_back(Plain(1, {{1}, {2}}));
  withSubframes.subframes.push_back(Plain(1, {}));
  withSubframes.subframes[1].header.height = 4;
  frames.push_back(std::move(withSubframes));
  FrameNode allSubframesLost;
  allSubframesLost.header = Header(8, 8, 1, 2);
  frames.push_back(std::move(allSubframesLost));
  gaf::GafEntryHeader entry = EntryHeader(5);

  exporter::SettleCounts(entry, frames);

  EXPECT_EQ(entry.frameCount, 3);
  EXPECT_EQ(frames[0].header.height, 1);
  EXPECT_EQ(frames[1].header.subframeCount, 2);
  EXPECT_EQ(frames[1].header.height, 2);  // a frame with subframes keeps its own
  EXPECT_EQ(frames[1].subframes[0].header.height, 2);
  EXPECT_EQ(frames[1].subframes[1].header.height, 0);
  EXPECT_EQ(frames[2].header.subframeCount, 0);
  EXPECT_EQ(frames[2].header.height, 0);
  EXPECT_EQ(frames[2].header.width, 8);
}

TEST(SettleCounts, CountsThatAlreadyAgreeStayAsRead) {
  std::vector<FrameNode> frames;
  frames.push_back(Plain(2, {}));
  frames[0].header.height = -3;         // none, and none were written
  frames[0].header.subframeCount = -1;  // none
  gaf::GafEntryHeader entry = EntryHeader(1);
  exporter::SettleCounts(entry, frames);
  EXPECT_EQ(frames[0].header.height, -3);
  EXPECT_EQ(frames[0].header.subframeCount, -1);
  EXPECT_EQ(entry.frameCount, 1);

  std::vector<FrameNode> none;
  gaf::GafEntryHeader negative = EntryHeader(-2);
  exporter::SettleCounts(negative, none);
  EXPECT_EQ(negative.frameCount, -2);
}

}  // namespace
