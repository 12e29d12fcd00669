// The command line and the loop over archives, seen from outside.
#include <gtest/gtest.h>

#include "tests/e2e/run_tessly.h"

namespace {

using e2e::kBanner;
using e2e::RunTessly;
using e2e::TempDir;

const std::string kUsage =
    "Usage: Tessly [-B] [-P] [-E (pattern)] [-Y/N] [-S [suffix]] [filespec]\n\n"
    "-B\tOutput individual bitmaps instead of GAFs\n"
    "-P\tExtract only regular build pics (3 frames, all 64x64)\n"
    "-E\tExtract only Entries whose name matches (pattern)\n"
    "-Y\tAuto-answer all overwrite prompts with \"Yes\"\n"
    "-N\tAuto-answer all overwrite prompts with \"No\"\n"
    "-S\tUse [suffix] when composing GAF filenames instead of _gadget\n";

fixture::Bytes OneEntryArchive(const std::string& name) {
  return fixture::BuildGaf({{name, {fixture::SingleImage(fixture::PlainImage(2, 2))}}});
}

fixture::Bytes Header(std::uint32_t version, std::uint32_t entryCount) {
  fixture::Bytes bytes(12);
  fixture::PutU32(bytes, 0, version);
  fixture::PutU32(bytes, 4, entryCount);
  return bytes;
}

TEST(CommandLine, HelpPrintsBannerAndUsage) {
  TempDir dir;
  for (const char* help : {"-?", "/?"}) {
    const e2e::Run run = RunTessly(dir.path(), {help});
    EXPECT_EQ(run.output, kBanner + kUsage);
  }
}

TEST(CommandLine, AnErrorIsFollowedByTheUsageAndNothingRuns) {
  TempDir dir;
  dir.Write("a.gaf", OneEntryArchive("A"));
  const e2e::Run run = RunTessly(dir.path(), {"-B", "-E"});
  EXPECT_EQ(run.output, kBanner + "ERROR: -E requires a pattern (use * and ? as wildcards)\n" + kUsage);
  EXPECT_EQ(e2e::FilesIn(dir.path()).size(), 1u);

  EXPECT_EQ(RunTessly(dir.path(), {"-N", "-Y"}).output, kBanner + "ERROR: Cannot specify both -Y and -N\n" + kUsage);
}

TEST(Batch, NoMatchingFile) {
  TempDir dir;
  const e2e::Run run = RunTessly(dir.path(), {});
  EXPECT_EQ(run.output, kBanner + "File not found\n");
}

TEST(Batch, FilesThatAreNotArchives) {
  TempDir dir;
  dir.Write("bad.gaf", Header(0x00010101, 1));
  dir.Write("short.gaf", {0x00, 0x01, 0x01, 0x00, 0x02});
  dir.Write("empty.gaf", {});
  const e2e::Run run = RunTessly(dir.path(), {});
  EXPECT_EQ(run.output, kBanner + "bad.gaf\nInvalid GAF\nempty.gaf\nInvalid GAF\nshort.gaf\nInvalid GAF\n");
}

TEST(Batch, ArchivesWithoutEntriesPrintOnlyTheirName) {
  TempDir dir;
  dir.Write("none.gaf", Header(0x00010100, 0));
  dir.Write("negative.gaf", Header(0x00010100, 0xFFFFFFFF));
  const e2e::Run run = RunTessly(dir.path(), {"-B"});
  EXPECT_EQ(run.output, kBanner + "negative.gaf\nnone.gaf\n");
}

TEST(Batch, AMatchingDirectoryCannotBeOpened) {
  TempDir dir;
  dir.MakeDirectory("old.gaf");
  dir.Write("one.gaf", OneEntryArchive("A"));
  const e2e::Run run = RunTessly(dir.path(), {});
  EXPECT_EQ(run.output, kBanner + "old.gaf\nERROR;  could not open\none.gaf\n  Only one GAF entry (no action taken)\n");
}

TEST(Batch, SingleEntryArchiveIsLeftAloneInGafModeOnly) {
  TempDir dir;
  dir.Write("one.gaf", OneEntryArchive("A"));
  EXPECT_EQ(RunTessly(dir.path(), {}).output, kBanner + "one.gaf\n  Only one GAF entry (no action taken)\n");
  EXPECT_EQ(e2e::FilesIn(dir.path()).size(), 1u);
  EXPECT_EQ(RunTessly(dir.path(), {"-B"}).output, kBanner + "one.gaf\n  Exported A00.BMP\n");
}

TEST(Batch, NamesMatchWithoutRegardToCaseInAFixedOrder) {
  TempDir dir;
  for (const char* name : {"b.GAF", "A.gaf", "c.gaf.bak", ".hidden.gaf", "a.Gaf"}) {
    dir.Write(name, Header(0x00010100, 0));
  }
  EXPECT_EQ(RunTessly(dir.path(), {}).output, kBanner + ".hidden.gaf\nA.gaf\na.Gaf\nb.GAF\n");
  EXPECT_EQ(RunTessly(dir.path(), {"?.gaf"}).output, kBanner + "A.gaf\na.Gaf\nb.GAF\n");
  EXPECT_EQ(RunTessly(dir.path(), {"*.gaf*"}).output, kBanner + ".hidden.gaf\nA.gaf\na.Gaf\nb.GAF\nc.gaf.bak\n");
  EXPECT_EQ(RunTessly(dir.path(), {"B.gaf"}).output, kBanner + "b.GAF\n");
}

TEST(Batch, ArchivesAreOpenedInTheDirectoryTheFilespecNames) {
  TempDir dir;
  dir.MakeDirectory("data");
  dir.Write("data/units.gaf", OneEntryArchive("UNIT"));
  // A different archive of the same name in the current directory is not read.
  dir.Write("units.gaf", OneEntryArchive("DECOY"));
  const e2e::Run run = RunTessly(dir.path(), {"-B", "data/*.gaf"});
  EXPECT_EQ(run.output, kBanner + "units.gaf\n  Exported UNIT00.BMP\n");
  const auto files = e2e::FilesIn(dir.path());
  EXPECT_TRUE(files.count("UNIT00.BMP"));  // output goes to the current directory
  EXPECT_FALSE(files.count("data/UNIT00.BMP"));
  EXPECT_FALSE(files.count("DECOY00.BMP"));
}

TEST(Batch, OutputsOfTheRunAreNotTakenAsInput) {
  TempDir dir;
  dir.Write("two.gaf", fixture::BuildGaf({{"A", {}}, {"B", {}}}));
  const e2e::Run run = RunTessly(dir.path(), {});
  EXPECT_EQ(run.output, kBanner + "two.gaf\n  Exported A_gadget.GAF\n  Exported B_gadget.GAF\n");
}

}  // namespace
