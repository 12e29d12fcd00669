// Bitmap mode: names, contents and the message of every piece that fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/e2e/run_tessly.h"

namespace {

using e2e::ExpectedBmp;
using e2e::kBanner;
using e2e::RunTessly;
using e2e::TempDir;
using fixture::Bytes;
using fixture::PutU16;
using fixture::PutU32;

// The top-down pixel rows of a plain fixture image.
std::vector<Bytes> Pixels(const fixture::Image& image) { return image.rows; }

class BitmapTest : public testing::Test {
 protected:
  // Builds an archive of these entries, lets `damage` change it, runs
  // tessly -B on it and returns the output after the archive's name line.
  std::string Export(const std::vector<fixture::Entry>& entries,
                     const std::function<void(Bytes&, const fixture::Layout&)>& damage = {},
                     std::vector<std::string> args = {}) {
    fixture::Layout layout;
    Bytes bytes = fixture::BuildGaf(entries, &layout);
    if (damage) damage(bytes, layout);
    dir_.Write("in.gaf", bytes);
    args.insert(args.begin(), "-B");
    const e2e::Run run = RunTessly(dir_.path(), args);
    const std::string head = kBanner + "in.gaf\n";
    EXPECT_EQ(run.output.substr(0, head.size()), head);
    return run.output.substr(std::min(head.size(), run.output.size()));
  }

  Bytes Output(const std::string& name) { return e2e::ReadBytes(dir_ / name); }

  std::vector<std::string> OutputNames() {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : e2e::FilesIn(dir_.path())) {
      if (name != "in.gaf") names.push_back(name);
    }
    return names;
  }

  TempDir dir_;
};

TEST_F(BitmapTest, OneFilePerFrameAndPerSubframe) {
  const fixture::Image frame0 = fixture::PlainImage(5, 3, 10);
  const fixture::Image sub0 = fixture::PlainImage(8, 2, 50);
  const fixture::Image sub1 = fixture::PlainImage(1, 4, 90);
  const fixture::Image frame2 = fixture::PlainImage(6, 1, 130);
  const std::string output = Export(
      {{"Rock", {fixture::SingleImage(frame0), fixture::WithSubframes({sub0, sub1}), fixture::SingleImage(frame2)}}});
  EXPECT_EQ(output,
            "  Exported Rock00.BMP\n  Exported Rock01_00.BMP\n  Exported Rock01_01.BMP\n  Exported Rock02.BMP\n");
  EXPECT_EQ(OutputNames(), (std::vector<std::string>{"Rock00.BMP", "Rock01_00.BMP", "Rock01_01.BMP", "Rock02.BMP"}));
  // Rows bottom-up, padded to four bytes.
  EXPECT_EQ(Output("Rock00.BMP"), ExpectedBmp(5, Pixels(frame0)));
  EXPECT_EQ(Output("Rock01_00.BMP"), ExpectedBmp(8, Pixels(sub0)));
  EXPECT_EQ(Output("Rock01_01.BMP"), ExpectedBmp(1, Pixels(sub1)));
  EXPECT_EQ(Output("Rock02.BMP"), ExpectedBmp(6, Pixels(frame2)));
}

TEST_F(BitmapTest, FrameNumbersTakeMoreDigitsWhenNeeded) {
  fixture::Entry entry{"N", {}};
  for (int k = 0; k < 101; ++k) entry.frames.push_back(fixture::SingleImage(fixture::PlainImage(1, 1)));
  Export({entry});
  const auto names = OutputNames();
  EXPECT_EQ(names.size(), 101u);
  EXPECT_EQ(names.front(), "N00.BMP");
  EXPECT_TRUE(std::count(names.begin(), names.end(), "N100.BMP"));
  EXPECT_TRUE(std::count(names.begin(), names.end(), "N09.BMP"));
}

TEST_F(BitmapTest, EveryCodeKindIsDecoded) {
  fixture::Image image;
  image.width = 7;
  image.height = 3;
  image.compressed = 1;
  image.rows = {
      {0x05, 0x06, 0x2A, 0x04, 0x11, 0x22, 0x03},  // skip 2, repeat 2A x2, literal 11 22, skip 1
      {},                                          // length 0: all skipped
      {0x00, 0x33, 0x1E, 0x44},                    // literal 33, repeat 44 x8 (two dropped)
  };
  Export({{"C", {fixture::SingleImage(image)}}});
  EXPECT_EQ(Output("C00.BMP"), ExpectedBmp(7, {{9, 9, 0x2A, 0x2A, 0x11, 0x22, 9},
                                               {9, 9, 9, 9, 9, 9, 9},
                                               {0x33, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}}));
}

TEST_F(BitmapTest, HeightZeroGivesHeadersAndColoursOnly) {
  Export({{"Z", {fixture::SingleImage(fixture::PlainImage(3, 0))}}});
  EXPECT_EQ(Output("Z00.BMP"), ExpectedBmp(3, {}));
  EXPECT_EQ(Output("Z00.BMP").size(), 1078u);
}

TEST_F(BitmapTest, EntryLevelFailures) {
  const fixture::Entry entry{"E", {fixture::SingleImage(fixture::PlainImage(1, 1))}};
  // The entry table ends early.
  EXPECT_EQ(Export({entry}, [](Bytes& bytes, const fixture::Layout&) { bytes.resize(14); }), " error reading file\n");
  EXPECT_EQ(Export({entry}, [](Bytes& bytes, const fixture::Layout&) { PutU32(bytes, 12, 0x80000000); }),
            " error seeking position\n");
  EXPECT_EQ(Export({entry}, [](Bytes& bytes, const fixture::Layout&) { PutU32(bytes, 12, 0x7FFFFFFF); }),
            " error reading GAF entry\n");
  EXPECT_TRUE(OutputNames().empty());
}

TEST_F(BitmapTest, FrameLevelFailuresCostOnlyThatFrame) {
  fixture::Entry entry{"F", {}};
  for (int k = 0; k < 5; ++k) entry.frames.push_back(fixture::SingleImage(fixture::PlainImage(2, 2)));
  const std::string output = Export({entry}, [](Bytes& bytes, const fixture::Layout& layout) {
    const std::uint32_t table = layout.entryOffsets[0] + 40;
    PutU32(bytes, table + 8 * 0, 0x80000000);                                    // frame 0: header seek
    PutU32(bytes, table + 8 * 1, static_cast<std::uint32_t>(bytes.size() - 4));  // frame 1: header read
    PutU32(bytes, layout.frameHeaders[0][2] + 16, 0xFFFFFFFF);                   // frame 2: pixel data seek
    PutU16(bytes, layout.frameHeaders[0][3] + 0, 0x8000);                        // frame 3: width out of range
  });
  EXPECT_EQ(output,
            " error seeking frame data position\n"
            " error reading frame data\n"
            " error accessing frame pixel data\n"
            " error: image size out of range\n"
            "  Exported F04.BMP\n");
  EXPECT_EQ(OutputNames(), std::vector<std::string>{"F04.BMP"});
}

TEST_F(BitmapTest, FrameTableBeyondTheEnd) {
  fixture::Entry entry{"T", {fixture::SingleImage(fixture::PlainImage(1, 1))}};
  const std::string output = Export({entry}, [](Bytes& bytes, const fixture::Layout& layout) {
    // A copy of the entry header at the end of the file, counting two
    // frames; the file ends after the first frame's table element.
    const auto moved = static_cast<std::uint32_t>(bytes.size());
    bytes.insert(bytes.end(), bytes.begin() + layout.entryOffsets[0], bytes.begin() + layout.entryOffsets[0] + 48);
    PutU16(bytes, moved, 2);
    PutU32(bytes, 12, moved);
  });
  EXPECT_EQ(output, "  Exported T00.BMP\n error reading GAF frame entry\n");
}

TEST_F(BitmapTest, SubframeLevelFailuresCostOnlyThatSubframe) {
  std::vector<fixture::Image> subframes(6, fixture::PlainImage(2, 1));
  const std::string output =
      Export({{"S", {fixture::WithSubframes(subframes)}}}, [](Bytes& bytes, const fixture::Layout& layout) {
        const std::uint32_t table = layout.subframeTables[0][0];
        PutU32(bytes, table + 4 * 0, 0x80000000);                                    // header seek
        PutU32(bytes, table + 4 * 1, static_cast<std::uint32_t>(bytes.size() - 3));  // header read
        PutU32(bytes, layout.subframeHeaders[0][0][2] + 16, 0x90000000);             // pixel data seek
        PutU16(bytes, layout.subframeHeaders[0][0][3] + 2, 0xFFFF);                  // height -1
      });
  EXPECT_EQ(output,
            " error seeking subframe data position\n"
            " error reading subframe data\n"
            " error accessing subframe pixel data\n"
            " error: image size out of range\n"
            "  Exported S00_04.BMP\n"
            "  Exported S00_05.BMP\n");
}

TEST_F(BitmapTest, SubframeTableBeyondTheEnd) {
  const std::string output = Export(
      {{"S", {fixture::WithSubframes({fixture::PlainImage(1, 1)})}}}, [](Bytes& bytes, const fixture::Layout& layout) {
        PutU32(bytes, layout.frameHeaders[0][0] + 16, static_cast<std::uint32_t>(bytes.size() + 100));
      });
  EXPECT_EQ(output, " error reading subframe entry data\n");
}

// Offsets that lie just below 0x80000000 need a file that large; a sparse
// file costs no disk space. Both modes read frames the same way.
TEST_F(BitmapTest, TableElementsAtTheSeekLimit) {
  Bytes head(12 + 8);
  PutU32(head, 0, 0x00010100);
  PutU32(head, 4, 2);
  const std::uint32_t entryAt = 0x7FFFFF00;
  PutU32(head, 12, entryAt);
  PutU32(head, 16, 0x7FFFFFFF);  // a second entry whose header lies past the end
  dir_.Write("in.gaf", head);
  // 28 frames: element 27 lies at 0x80000000, and the file ends there.
  Bytes entry(40 + 8 * 27, 0);
  PutU16(entry, 0, 28);
  entry[8] = 'L';
  const std::uint32_t frameAt = 0x7FFFFE00;
  PutU32(entry, 40, frameAt);
  for (std::size_t k = 1; k < 27; ++k) PutU32(entry, 40 + 8 * k, 0x7FFFFFFF);
  // Frame 0's subframe table straddles the limit; its first element is the
  // last frame element's second field.
  PutU32(entry, 40 + 8 * 26 + 4, 0x7FFFFFFF);
  Bytes frame(24, 0);
  PutU16(frame, 10, 2);
  PutU32(frame, 16, 0x7FFFFFFC);
  const int fd = ::open((dir_ / "in.gaf").c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, entry.data(), entry.size(), entryAt), static_cast<ssize_t>(entry.size()));
  ASSERT_EQ(::pwrite(fd, frame.data(), frame.size(), frameAt), static_cast<ssize_t>(frame.size()));
  ::close(fd);

  std::string frames;
  frames += " error reading subframe data\n";            // subframe 0: its header lies past the end
  frames += " error seeking subframe entry position\n";  // subframe 1: element at 0x80000000
  for (int k = 1; k < 27; ++k) frames += " error reading frame data\n";
  frames += " error seeking GAF frame position\n";  // frame 27
  EXPECT_EQ(RunTessly(dir_.path(), {"-B"}).output, kBanner + "in.gaf\n" + frames + " error reading GAF entry\n");
  EXPECT_EQ(RunTessly(dir_.path(), {}).output,
            kBanner + "in.gaf\n" + frames + "  Exported L_gadget.GAF\n error reading GAF entry\n");
}

TEST_F(BitmapTest, RowFailuresAreReportedAndWrittenAsSkippedPixels) {
  fixture::Image compressed;
  compressed.width = 3;
  compressed.height = 3;
  compressed.compressed = 1;
  compressed.rows = {{0x08, 1, 2, 3}, {0x08, 4, 5, 6}};  // the third row is missing
  std::string output = Export({{"R", {fixture::SingleImage(compressed)}}});
  EXPECT_EQ(output, " error reading pixel data length\n  Exported R00.BMP\n");
  EXPECT_EQ(Output("R00.BMP"), ExpectedBmp(3, {{1, 2, 3}, {4, 5, 6}, {9, 9, 9}}));

  compressed.rows.push_back({0x08, 7});  // the third row's codes are cut short
  output = Export({{"R", {fixture::SingleImage(compressed)}}},
                  [](Bytes& bytes, const fixture::Layout&) { PutU16(bytes, bytes.size() - 4, 4); }, {"-Y"});
  EXPECT_EQ(output, " error reading compressed pixel data\n  Exported R00.BMP\n");
  EXPECT_EQ(Output("R00.BMP"), ExpectedBmp(3, {{1, 2, 3}, {4, 5, 6}, {9, 9, 9}}));

  // A truncated plain image keeps its full height; the rows read stay in place.
  const fixture::Image plain = fixture::PlainImage(5, 4, 1);
  output = Export({{"P", {fixture::SingleImage(plain)}}},
                  [](Bytes& bytes, const fixture::Layout&) { bytes.resize(bytes.size() - 7); });
  EXPECT_EQ(output, " error reading pixel data\n error reading pixel data\n  Exported P00.BMP\n");
  EXPECT_EQ(Output("P00.BMP"), ExpectedBmp(5, {plain.rows[0], plain.rows[1], Bytes(5, 9), Bytes(5, 9)}));
}

TEST_F(BitmapTest, FramesSharingOneHeaderAreEachExported) {
  const fixture::Image image = fixture::PlainImage(3, 2, 7);
  fixture::Entry entry{"D", {fixture::SingleImage(image), fixture::SingleImage(fixture::PlainImage(1, 1))}};
  Export({entry}, [](Bytes& bytes, const fixture::Layout& layout) {
    PutU32(bytes, layout.entryOffsets[0] + 48, layout.frameHeaders[0][0]);
  });
  EXPECT_EQ(Output("D00.BMP"), ExpectedBmp(3, image.rows));
  EXPECT_EQ(Output("D01.BMP"), ExpectedBmp(3, image.rows));
}

TEST_F(BitmapTest, EntryFilters) {
  const auto frame64 = fixture::SingleImage(fixture::PlainImage(64, 64));
  const std::vector<fixture::Entry> entries = {
      {"ARMPIC", {frame64, frame64, frame64}},
      {"ARMTWO", {frame64, frame64}},
      {"CORPIC", {frame64, frame64, frame64}},
  };
  EXPECT_EQ(Export(entries, {}, {"-P", "-E", "arm*"}),
            "  Exported ARMPIC00.BMP\n  Exported ARMPIC01.BMP\n  Exported ARMPIC02.BMP\n");
  EXPECT_EQ(Export(entries, {}, {"-E", "*TWO", "-Y"}), "  Exported ARMTWO00.BMP\n  Exported ARMTWO01.BMP\n");
  // A build picture whose second frame header lies past the end passes the
  // test; the export then reports that frame.
  const std::string output =
      Export({entries[0]},
             [](Bytes& bytes, const fixture::Layout& layout) {
               PutU32(bytes, layout.entryOffsets[0] + 48, static_cast<std::uint32_t>(bytes.size() + 1));
             },
             {"-P", "-Y"});
  EXPECT_EQ(output, "  Exported ARMPIC00.BMP\n error reading frame data\n  Exported ARMPIC02.BMP\n");
}

TEST_F(BitmapTest, NamesWithAPathSeparatorWriteNothing) {
  dir_.MakeDirectory("sub");
  const std::string output = Export({{"sub/X", {fixture::SingleImage(fixture::PlainImage(1, 1))}},
                                     {"..\\Y", {fixture::SingleImage(fixture::PlainImage(1, 1))}}});
  EXPECT_EQ(output, " error opening sub/X00.BMP to write\n error opening ..\\Y00.BMP to write\n");
  EXPECT_EQ(OutputNames(), std::vector<std::string>{"sub/"});
}

TEST_F(BitmapTest, ASymbolicLinkIsNeverWrittenThrough) {
  if (e2e::RunsAnotherSystem())
    GTEST_SKIP() << "Wine shows a symbolic link to Windows programs as the file it points at";
  dir_.Write("target.txt", {'k', 'e', 'e', 'p'});
  ASSERT_EQ(::symlink("target.txt", (dir_ / "L00.BMP").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere.txt", (dir_ / "L01.BMP").c_str()), 0);
  const fixture::Frame frame = fixture::SingleImage(fixture::PlainImage(1, 1));
  const std::string output = Export({{"L", {frame, frame}}}, {}, {"-Y"});
  EXPECT_EQ(output, " error opening L00.BMP to write\n error opening L01.BMP to write\n");
  const auto files = e2e::FilesIn(dir_.path());
  EXPECT_EQ(files.at("target.txt"), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_EQ(files.at("L00.BMP@"), (Bytes{'t', 'a', 'r', 'g', 'e', 't', '.', 't', 'x', 't'}));
  EXPECT_FALSE(files.count("nowhere.txt"));
}

TEST_F(BitmapTest, ADirectoryNamedLikeTheOutputCannotBeOpened) {
  dir_.MakeDirectory("D00.BMP");
  const fixture::Frame frame = fixture::SingleImage(fixture::PlainImage(1, 1));
  EXPECT_EQ(Export({{"D", {frame, frame}}}), " error opening D00.BMP to write\n  Exported D01.BMP\n");
}

}  // namespace
