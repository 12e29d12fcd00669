// Writes that fail: a file size limit makes every write past it fail, as a
// full disk would.
#include <gtest/gtest.h>

#include "tests/e2e/run_tessly.h"

namespace {

using e2e::kBanner;
using e2e::RunTessly;
using e2e::TempDir;

constexpr rlim_t kLimit = 2000;

TEST(WriteFailure, BitmapModeReportsTheFileAndGoesOn) {
  TempDir dir;
  const fixture::Image small = fixture::PlainImage(1, 1, 5);
  const fixture::Image large = fixture::PlainImage(64, 64, 6);  // 5174 bytes as a BMP
  const fixture::Image other = fixture::PlainImage(2, 2, 7);
  dir.Write("in.gaf",
            fixture::BuildGaf(
                {{"W", {fixture::SingleImage(small), fixture::SingleImage(large), fixture::SingleImage(other)}}}));
  const e2e::Run run = RunTessly(dir.path(), {"-B"}, "", {.fileSize = kLimit});
  EXPECT_EQ(run.output, kBanner + "in.gaf\n  Exported W00.BMP\n  Failed to write W01.BMP\n  Exported W02.BMP\n");
  EXPECT_EQ(e2e::ReadBytes(dir / "W00.BMP"), e2e::ExpectedBmp(1, small.rows));
  EXPECT_EQ(e2e::ReadBytes(dir / "W02.BMP"), e2e::ExpectedBmp(2, other.rows));
  // The failed file stays as far as it got.
  const fixture::Bytes partial = e2e::ReadBytes(dir / "W01.BMP");
  EXPECT_LE(partial.size(), kLimit);
  const fixture::Bytes whole = e2e::ExpectedBmp(64, large.rows);
  EXPECT_TRUE(std::equal(partial.begin(), partial.end(), whole.begin()));
  EXPECT_EQ(e2e::FilesIn(dir.path()).size(), 4u);
}

TEST(WriteFailure, GafModeReportsTheFileAndGoesOn) {
  TempDir dir;
  const fixture::Frame small = fixture::SingleImage(fixture::PlainImage(2, 2));
  const fixture::Frame large = fixture::SingleImage(fixture::PlainImage(64, 64));
  dir.Write("in.gaf", fixture::BuildGaf({{"A", {small}}, {"B", {large}}, {"C", {small}}}));
  const e2e::Run run = RunTessly(dir.path(), {"in.gaf"}, "", {.fileSize = kLimit});
  EXPECT_EQ(run.output, kBanner +
                            "in.gaf\n  Exported A_gadget.GAF\n  Failed to write B_gadget.GAF\n"
                            "  Exported C_gadget.GAF\n");
  EXPECT_LE(e2e::ReadBytes(dir / "B_gadget.GAF").size(), kLimit);
  // The whole files read back like any archive; the cut one ends before its entry.
  const e2e::Run readBack = RunTessly(dir.path(), {"-B", "?_gadget.GAF"});
  EXPECT_EQ(readBack.output, kBanner +
                                 "A_gadget.GAF\n  Exported A00.BMP\nB_gadget.GAF\n error reading GAF entry\n"
                                 "C_gadget.GAF\n  Exported C00.BMP\n");
}

// The sanitizers reserve far more address space than any limit allows.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// An image or entry larger than the memory at hand cannot be written; the
// run goes on.
TEST(WriteFailure, RunningOutOfMemory) {
  if (kSanitized) GTEST_SKIP() << "a memory limit stops the sanitizer's runtime";
  TempDir dir;
  fixture::Image huge;  // 32767 x 32767 pixels, every row skipped: a 1 GiB bitmap
  huge.width = 32767;
  huge.height = 32767;
  huge.compressed = 1;
  huge.rows.assign(32767, {});
  const fixture::Image small = fixture::PlainImage(2, 2);
  dir.Write("in.gaf", fixture::BuildGaf({{"H", {fixture::SingleImage(huge), fixture::SingleImage(small)}}}));
  const e2e::Run run = RunTessly(dir.path(), {"-B"}, "", {.memory = 256u << 20});
  EXPECT_EQ(run.output, kBanner + "in.gaf\n  Failed to write H00.BMP\n  Exported H01.BMP\n");
  EXPECT_EQ(e2e::ReadBytes(dir / "H01.BMP"), e2e::ExpectedBmp(2, small.rows));
}

// Rows that a header claims and the archive does not hold take no memory
// once they have failed to read: 500 frames of 32767 x 32 pixels whose data
// lies at the end of the file fit in a quarter of what they claim.
TEST(WriteFailure, ClaimedRowsThatFailToReadHoldNoMemory) {
  if (kSanitized) GTEST_SKIP() << "a memory limit stops the sanitizer's runtime";
  TempDir dir;
  fixture::Layout layout;
  fixture::Bytes archive =
      fixture::BuildGaf({{"M", {fixture::SingleImage(fixture::PlainImage(1, 1))}}, {"N", {}}}, &layout);
  const std::uint32_t header = layout.frameHeaders[0][0];
  fixture::PutU16(archive, header, 32767);   // width
  fixture::PutU16(archive, header + 2, 32);  // height
  fixture::PutU32(archive, header + 16, static_cast<std::uint32_t>(archive.size()));
  // The entry header again at the end, with 500 frames that share the header.
  const auto moved = static_cast<std::uint32_t>(archive.size());
  archive.insert(archive.end(), archive.begin() + layout.entryOffsets[0],
                 archive.begin() + layout.entryOffsets[0] + 40);
  fixture::PutU16(archive, moved, 500);
  for (int k = 0; k < 500; ++k) {
    archive.resize(archive.size() + 8);
    fixture::PutU32(archive, archive.size() - 8, header);
  }
  fixture::PutU32(archive, 12, moved);
  dir.Write("in.gaf", archive);

  const e2e::Run run = RunTessly(dir.path(), {"in.gaf"}, "", {.memory = 256u << 20});
  std::size_t rowErrors = 0;
  for (std::size_t at = run.output.find(" error reading pixel data row "); at != std::string::npos;
       at = run.output.find(" error reading pixel data row ", at + 1)) {
    ++rowErrors;
  }
  EXPECT_EQ(rowErrors, 500u * 32);
  const std::string ending = "row 31\n  Exported M_gadget.GAF\n  Exported N_gadget.GAF\n";
  ASSERT_GE(run.output.size(), ending.size());
  EXPECT_EQ(run.output.substr(run.output.size() - ending.size()), ending);
}

}  // namespace
