// GAF mode: one GAF file per entry, copied byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/e2e/run_tessly.h"

namespace {

using e2e::kBanner;
using e2e::RunTessly;
using e2e::TempDir;
using fixture::Bytes;
using fixture::PutU16;
using fixture::PutU32;

const std::string kOnlyOne = "  Only one GAF entry (no action taken)\n";

std::vector<fixture::Entry> ThreeEntries() {
  fixture::Image compressed =
      fixture::CompressedImage(6, {{0, 0, 5, 5, 5, 0}, {1, 2, 3, 4, 0, 0}, {0, 0, 0, 0, 0, 0}}, 0);
  compressed.aux1 = 0xA1;
  compressed.aux4 = 0x12345678;
  fixture::Image plain = fixture::PlainImage(5, 3, 40);
  plain.aux3 = 7;
  plain.aux5 = 0xCAFEBABE;
  fixture::Entry rock{"ROCK", {fixture::SingleImage(plain), fixture::SingleImage(compressed)}};
  rock.aux1 = 0xBEEF;
  rock.aux2 = 0x01020304;
  return {
      rock,
      {"Tree", {fixture::WithSubframes({compressed, fixture::PlainImage(2, 2)}), fixture::SingleImage(plain)}},
      {"WALL", {fixture::SingleImage(fixture::PlainImage(4, 4, 200))}},
  };
}

// The BMP files that tessly -B writes for the archives in `directory`.
std::map<std::string, Bytes> BitmapsOf(const std::string& archive) {
  TempDir dir;
  dir.Write("in.gaf", e2e::ReadBytes(archive));
  const e2e::Run run = RunTessly(dir.path(), {"-B", "in.gaf"});
  EXPECT_EQ(run.output.find(" error"), std::string::npos) << run.output;
  auto files = e2e::FilesIn(dir.path());
  files.erase("in.gaf");
  return files;
}

class GafModeTest : public testing::Test {
 protected:
  std::string Run(const std::vector<std::string>& args, const std::string& input = "") {
    return RunTessly(dir_.path(), args, input).output;
  }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : e2e::FilesIn(dir_.path())) names.push_back(name);
    return names;
  }

  Bytes File(const std::string& name) { return e2e::ReadBytes(dir_ / name); }

  TempDir dir_;
};

TEST_F(GafModeTest, OneFilePerEntryNamedWithTheSuffix) {
  dir_.Write("in.gaf", fixture::BuildGaf(ThreeEntries()));
  EXPECT_EQ(Run({}), kBanner +
                         "in.gaf\n  Exported ROCK_gadget.GAF\n  Exported Tree_gadget.GAF\n"
                         "  Exported WALL_gadget.GAF\n");
  EXPECT_EQ(Run({"-S", ".old", "in.gaf"}),
            kBanner + "in.gaf\n  Exported ROCK.old.GAF\n  Exported Tree.old.GAF\n  Exported WALL.old.GAF\n");
  EXPECT_EQ(Run({"in.gaf", "-S"}), kBanner + "in.gaf\n  Exported ROCK.GAF\n  Exported Tree.GAF\n  Exported WALL.GAF\n");
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"ROCK.GAF", "ROCK.old.GAF", "ROCK_gadget.GAF", "Tree.GAF", "Tree.old.GAF",
                                      "Tree_gadget.GAF", "WALL.GAF", "WALL.old.GAF", "WALL_gadget.GAF", "in.gaf"}));
  EXPECT_EQ(File("ROCK.GAF"), File("ROCK_gadget.GAF"));
}

TEST_F(GafModeTest, LayoutOfAWrittenFile) {
  fixture::Image compressed;
  compressed.width = 3;
  compressed.height = 1;
  compressed.compressed = 1;
  compressed.rows = {{0x08, 7, 8, 9}};
  fixture::Entry entry{"A", {fixture::SingleImage(fixture::PlainImage(2, 1, 1)), fixture::SingleImage(compressed)}};
  entry.aux2 = 0x55;
  fixture::Layout layout;
  const Bytes archive = fixture::BuildGaf({entry, {"B", {}}}, &layout);
  dir_.Write("in.gaf", archive);
  Run({});

  Bytes expected = {0x00, 0x01, 0x01, 0x00, 1, 0, 0, 0, 0, 0, 0, 0, 72, 0, 0, 0};
  expected.insert(expected.end(), {1, 2});                 // frame 0 pixels, at 16
  expected.insert(expected.end(), {4, 0, 0x08, 7, 8, 9});  // frame 1 row, at 18
  auto copyHeader = [&](std::uint32_t from, std::uint32_t dataOffset) {
    Bytes header(archive.begin() + from, archive.begin() + from + 24);
    PutU32(header, 16, dataOffset);
    expected.insert(expected.end(), header.begin(), header.end());
  };
  copyHeader(layout.frameHeaders[0][0], 16);  // at 24
  copyHeader(layout.frameHeaders[0][1], 18);  // at 48
  expected.insert(expected.end(), archive.begin() + layout.entryOffsets[0],
                  archive.begin() + layout.entryOffsets[0] + 40);  // entry header, at 72
  expected.insert(expected.end(), {24, 0, 0, 0, 10, 0, 0, 0, 48, 0, 0, 0, 10, 0, 0, 0});
  EXPECT_EQ(File("A_gadget.GAF"), expected);
  // An entry without frames gives the 56-byte file.
  EXPECT_EQ(File("B_gadget.GAF").size(), 56u);
}

TEST_F(GafModeTest, WrittenFilesGiveTheSameBitmapsAndAreLeftAloneThemselves) {
  const std::vector<fixture::Entry> entries = ThreeEntries();
  dir_.Write("in.gaf", fixture::BuildGaf(entries));
  Run({});
  const auto original = BitmapsOf(dir_ / "in.gaf");
  std::size_t bitmaps = 0;
  for (const fixture::Entry& entry : entries) {
    const std::string name = entry.name + "_gadget.GAF";
    for (const auto& [file, bytes] : BitmapsOf(dir_ / name)) {
      ASSERT_TRUE(original.count(file)) << file;
      EXPECT_EQ(bytes, original.at(file)) << file;
      ++bitmaps;
    }
    EXPECT_EQ(RunTessly(dir_.path(), {name}).output, kBanner + name + "\n" + kOnlyOne);
  }
  EXPECT_EQ(bitmaps, original.size());
}

TEST_F(GafModeTest, EntryFilters) {
  const auto frame64 = fixture::SingleImage(fixture::PlainImage(64, 64));
  dir_.Write("in.gaf", fixture::BuildGaf({{"ARMPIC", {frame64, frame64, frame64}},
                                          {"ARMTWO", {frame64, frame64}},
                                          {"CORPIC", {frame64, frame64, frame64}}}));
  EXPECT_EQ(Run({"-S", "-P", "in.gaf"}), kBanner + "in.gaf\n  Exported ARMPIC.GAF\n  Exported CORPIC.GAF\n");
  EXPECT_EQ(Run({"-E", "*TWO", "in.gaf"}), kBanner + "in.gaf\n  Exported ARMTWO_gadget.GAF\n");
  // A rejected entry's existing output is neither asked about nor touched.
  dir_.Write("ARMPIC_gadget.GAF", {1});
  dir_.Write("CORPIC_gadget.GAF", {2});
  EXPECT_EQ(Run({"-E", "cor*", "-N", "-P", "in.gaf"}),
            kBanner + "in.gaf\n  CORPIC_gadget.GAF already exists; skipping\n");
  EXPECT_EQ(File("ARMPIC_gadget.GAF"), Bytes{1});
}

TEST_F(GafModeTest, SameNameTwiceMeetsTheQuestion) {
  const fixture::Frame frame = fixture::SingleImage(fixture::PlainImage(1, 1));
  dir_.Write("in.gaf", fixture::BuildGaf({{"X", {frame}}, {"X", {frame, frame}}}));
  const std::string question = "  X_gadget.GAF already exists; Overwrite (Yes/No/All/Quit)? ";
  // No terminal: the key comes from standard input, and its end means No.
  EXPECT_EQ(Run({"in.gaf"}), kBanner + "in.gaf\n  Exported X_gadget.GAF\n" + question + "\n");
  EXPECT_EQ(Run({"in.gaf"}, "?y"), kBanner + "in.gaf\n" + question + "?y\n  Exported X_gadget.GAF\n" + question + "\n");
  EXPECT_EQ(Run({"-N", "in.gaf"}), kBanner +
                                       "in.gaf\n  X_gadget.GAF already exists; skipping\n"
                                       "  X_gadget.GAF already exists; skipping\n");
  EXPECT_EQ(Run({"-Y", "in.gaf"}), kBanner + "in.gaf\n  Exported X_gadget.GAF\n  Exported X_gadget.GAF\n");
}

TEST_F(GafModeTest, AllHoldsForLaterArchivesAndQuitEndsTheRun) {
  const fixture::Frame frame = fixture::SingleImage(fixture::PlainImage(1, 1));
  dir_.Write("a.gaf", fixture::BuildGaf({{"X", {frame}}, {"Y", {frame}}}));
  dir_.Write("b.gaf", fixture::BuildGaf({{"X", {frame}}, {"Y", {frame}}}));
  Run({"a.gaf"});
  EXPECT_EQ(Run({"?.gaf"}, "a"), kBanner +
                                     "a.gaf\n  X_gadget.GAF already exists; Overwrite (Yes/No/All/Quit)? a\n"
                                     "  Exported X_gadget.GAF\n  Exported Y_gadget.GAF\n"
                                     "b.gaf\n  Exported X_gadget.GAF\n  Exported Y_gadget.GAF\n");
  const Bytes before = File("X_gadget.GAF");
  dir_.Write("X_gadget.GAF", {1, 2, 3});
  EXPECT_EQ(Run({"?.gaf"}, "q"), kBanner + "a.gaf\n  X_gadget.GAF already exists; Overwrite (Yes/No/All/Quit)? q");
  EXPECT_EQ(File("X_gadget.GAF"), (Bytes{1, 2, 3}));
}

TEST_F(GafModeTest, QuitCreatesNothing) {
  const fixture::Frame frame = fixture::SingleImage(fixture::PlainImage(1, 1));
  dir_.Write("a.gaf", fixture::BuildGaf({{"X", {frame}}, {"Y", {frame}}}));
  dir_.Write("X_gadget.GAF", {1});
  EXPECT_EQ(Run({}, "Q"), kBanner + "a.gaf\n  X_gadget.GAF already exists; Overwrite (Yes/No/All/Quit)? Q");
  EXPECT_EQ(Names(), (std::vector<std::string>{"X_gadget.GAF", "a.gaf"}));
}

TEST_F(GafModeTest, EntryAndOutputFailures) {
  const fixture::Frame frame = fixture::SingleImage(fixture::PlainImage(1, 1));
  fixture::Layout layout;
  Bytes archive = fixture::BuildGaf({{"A", {frame}}, {"B", {frame}}, {"C", {frame}}, {"sub/D", {frame}}}, &layout);
  PutU32(archive, 12, 0x80000000);                                       // A: seek to the entry
  PutU32(archive, 16, static_cast<std::uint32_t>(archive.size() - 20));  // B: entry header cut short
  dir_.Write("in.gaf", archive);
  dir_.MakeDirectory("C_gadget.GAF");
  EXPECT_EQ(Run({"in.gaf"}), kBanner +
                                 "in.gaf\n error seeking position\n error reading GAF entry\n"
                                 "  error opening C_gadget.GAF to write\n  error opening sub/D_gadget.GAF to write\n");
  archive.resize(14);  // the entry table itself is cut short
  dir_.Write("in.gaf", archive);
  EXPECT_EQ(Run({"in.gaf"}), kBanner +
                                 "in.gaf\n error reading file\n error reading file\n error reading file\n"
                                 " error reading file\n");
}

TEST_F(GafModeTest, FrameAndSubframeFailuresLeaveAReadableFile) {
  std::vector<fixture::Frame> frames(4, fixture::SingleImage(fixture::PlainImage(2, 2, 3)));
  std::vector<fixture::Image> subframes;
  for (std::uint8_t j = 0; j < 5; ++j)
    subframes.push_back(fixture::PlainImage(3, 1, static_cast<std::uint8_t>(60 + j)));
  frames.push_back(fixture::WithSubframes(subframes));
  fixture::Layout layout;
  Bytes archive = fixture::BuildGaf({{"F", frames}, {"G", {}}}, &layout);
  const std::uint32_t table = layout.entryOffsets[0] + 40;
  PutU32(archive, table + 8 * 0, 0x80000000);                                       // seek to the header
  PutU32(archive, table + 8 * 1, static_cast<std::uint32_t>(archive.size() - 10));  // header cut short
  PutU32(archive, layout.frameHeaders[0][2] + 16, 0x80000001);                      // pixel data seek
  const std::uint32_t subTable = layout.subframeTables[0][4];
  PutU32(archive, subTable + 4 * 0, 0xFFFFFFF0);                                      // subframe header seek
  PutU32(archive, subTable + 4 * 1, static_cast<std::uint32_t>(archive.size() - 1));  // header cut short
  PutU32(archive, layout.subframeHeaders[0][4][2] + 16, 0x80000000);                  // pixel data seek
  dir_.Write("in.gaf", archive);
  EXPECT_EQ(Run({}), kBanner +
                         "in.gaf\n"
                         " error seeking frame data position\n"
                         " error reading frame data\n"
                         " error seeking frame pixel data\n"
                         " error seeking subframe data position\n"
                         " error reading subframe data\n"
                         " error seeking frame pixel data\n"
                         "  Exported F_gadget.GAF\n"
                         "  Exported G_gadget.GAF\n");
  // Frames 2 to 4 are written, and the entry header counts them.
  const Bytes written = File("F_gadget.GAF");
  const std::uint32_t entryAt = fixture::GetU32(written, 12);
  EXPECT_EQ(written.size(), entryAt + 40 + 8 * 3);
  EXPECT_EQ(written[entryAt], 3);
  const auto bitmaps = BitmapsOf(dir_ / "F_gadget.GAF");
  std::vector<std::string> names;
  for (const auto& [name, bytes] : bitmaps) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"F00.BMP", "F01.BMP", "F02_00.BMP", "F02_01.BMP", "F02_02.BMP"}));
  EXPECT_EQ(bitmaps.at("F00.BMP").size(), 1078u);  // its pixel data could not be reached
  EXPECT_EQ(bitmaps.at("F01.BMP"), e2e::ExpectedBmp(2, frames[3].image.rows));
  EXPECT_EQ(bitmaps.at("F02_00.BMP").size(), 1078u);  // likewise
  EXPECT_EQ(bitmaps.at("F02_01.BMP"), e2e::ExpectedBmp(3, subframes[3].rows));
  EXPECT_EQ(bitmaps.at("F02_02.BMP"), e2e::ExpectedBmp(3, subframes[4].rows));
}

TEST_F(GafModeTest, PlainImageOfNegativeWidthKeepsItsHeaderOnly) {
  fixture::Layout layout;
  Bytes archive = fixture::BuildGaf({{"W", {fixture::SingleImage(fixture::PlainImage(2, 2))}}, {"V", {}}}, &layout);
  PutU16(archive, layout.frameHeaders[0][0], 0xFFFE);
  dir_.Write("in.gaf", archive);
  EXPECT_EQ(Run({}), kBanner +
                         "in.gaf\n error: image size out of range\n  Exported W_gadget.GAF\n"
                         "  Exported V_gadget.GAF\n");
  const Bytes written = File("W_gadget.GAF");
  ASSERT_EQ(written.size(), 16u + 24 + 40 + 8);
  Bytes header(archive.begin() + layout.frameHeaders[0][0], archive.begin() + layout.frameHeaders[0][0] + 24);
  PutU16(header, 2, 0);    // no rows written
  PutU32(header, 16, 16);  // its pixel data would have begun here
  EXPECT_EQ(Bytes(written.begin() + 16, written.begin() + 40), header);
}

TEST_F(GafModeTest, FrameTableBeyondTheEnd) {
  fixture::Layout layout;
  Bytes archive = fixture::BuildGaf({{"T", {fixture::SingleImage(fixture::PlainImage(1, 1))}}, {"U", {}}}, &layout);
  // A copy of T's entry header at the end of the file, counting two
  // frames; the file ends after the first frame's table element.
  const auto moved = static_cast<std::uint32_t>(archive.size());
  archive.insert(archive.end(), archive.begin() + layout.entryOffsets[0],
                 archive.begin() + layout.entryOffsets[0] + 48);
  PutU16(archive, moved, 2);
  PutU32(archive, 12, moved);
  dir_.Write("in.gaf", archive);
  EXPECT_EQ(Run({}), kBanner +
                         "in.gaf\n error reading GAF frame entry\n  Exported T_gadget.GAF\n"
                         "  Exported U_gadget.GAF\n");
  const auto bitmaps = BitmapsOf(dir_ / "T_gadget.GAF");
  EXPECT_EQ(bitmaps.at("T00.BMP"), e2e::ExpectedBmp(1, fixture::PlainImage(1, 1).rows));
}

TEST_F(GafModeTest, SubframeTableFailures) {
  fixture::Layout layout;
  Bytes archive = fixture::BuildGaf({{"S",
                                      {fixture::WithSubframes({fixture::PlainImage(1, 1)}),
                                       fixture::WithSubframes({fixture::PlainImage(1, 1), fixture::PlainImage(1, 1)})}},
                                     {"T", {}}},
                                    &layout);
  PutU32(archive, layout.frameHeaders[0][0] + 16, static_cast<std::uint32_t>(archive.size()));
  PutU32(archive, layout.frameHeaders[0][1] + 16, 0x7FFFFFFC);
  dir_.Write("in.gaf", archive);
  EXPECT_EQ(Run({}), kBanner +
                         "in.gaf\n"
                         " error reading subframe entry data\n"
                         " error reading subframe entry data\n"
                         " error seeking subframe entry position\n"
                         "  Exported S_gadget.GAF\n  Exported T_gadget.GAF\n");
  // Both frames lost every subframe: they are written as images of height 0.
  const auto bitmaps = BitmapsOf(dir_ / "S_gadget.GAF");
  ASSERT_EQ(bitmaps.size(), 2u);
  EXPECT_EQ(bitmaps.at("S00.BMP").size(), 1078u);
  EXPECT_EQ(bitmaps.at("S01.BMP").size(), 1078u);
}

TEST_F(GafModeTest, RowFailures) {
  fixture::Image compressed;
  compressed.width = 3;
  compressed.height = 3;
  compressed.compressed = 1;
  compressed.rows = {{0x08, 1, 2, 3}, {0x08, 4, 5, 6}, {0x08, 7, 8, 9}};
  Bytes archive = fixture::BuildGaf({{"Z", {}}, {"R", {fixture::SingleImage(compressed)}}});
  PutU16(archive, archive.size() - 6, 5);  // the last row claims 5 bytes; 4 remain
  dir_.Write("in.gaf", archive);
  EXPECT_EQ(Run({}), kBanner +
                         "in.gaf\n  Exported Z_gadget.GAF\n error reading pixel data row 2\n"
                         "  Exported R_gadget.GAF\n");
  EXPECT_EQ(BitmapsOf(dir_ / "R_gadget.GAF").at("R00.BMP"), e2e::ExpectedBmp(3, {{1, 2, 3}, {4, 5, 6}}));

  archive.resize(archive.size() - 5);  // the last row's length word is cut short
  dir_.Write("in.gaf", archive);
  EXPECT_EQ(Run({"-Y", "in.gaf"}), kBanner +
                                       "in.gaf\n  Exported Z_gadget.GAF\n error reading pixel data row length\n"
                                       "  Exported R_gadget.GAF\n");
  EXPECT_EQ(BitmapsOf(dir_ / "R_gadget.GAF").at("R00.BMP"), e2e::ExpectedBmp(3, {{1, 2, 3}, {4, 5, 6}}));

  const fixture::Image plain = fixture::PlainImage(4, 3, 9);
  archive = fixture::BuildGaf({{"Z", {}}, {"P", {fixture::SingleImage(plain)}}});
  archive.resize(archive.size() - 1);
  dir_.Write("in.gaf", archive);
  EXPECT_EQ(Run({"-Y", "in.gaf"}), kBanner +
                                       "in.gaf\n  Exported Z_gadget.GAF\n error reading pixel data row 2\n"
                                       "  Exported P_gadget.GAF\n");
  EXPECT_EQ(BitmapsOf(dir_ / "P_gadget.GAF").at("P00.BMP"), e2e::ExpectedBmp(4, {plain.rows[0], plain.rows[1]}));
}

TEST_F(GafModeTest, SymbolicLinkTargetIsLeftAlone) {
  if (e2e::RunsAnotherSystem())
    GTEST_SKIP() << "Wine shows a symbolic link to Windows programs as the file it points at";
  const fixture::Frame frame = fixture::SingleImage(fixture::PlainImage(1, 1));
  dir_.Write("in.gaf", fixture::BuildGaf({{"A", {frame}}, {"B", {frame}}}));
  dir_.Write("keep.txt", {'k'});
  ASSERT_EQ(::symlink("keep.txt", (dir_ / "A_gadget.GAF").c_str()), 0);
  EXPECT_EQ(Run({"-Y", "in.gaf"}),
            kBanner + "in.gaf\n  error opening A_gadget.GAF to write\n  Exported B_gadget.GAF\n");
  EXPECT_EQ(File("keep.txt"), (Bytes{'k'}));
}

}  // namespace
