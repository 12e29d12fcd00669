// The pure pieces with many cases, as tables of rows: the command line and
// entry-name patterns; then the limits of GAF mode and the writes beneath it.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <filesystem>

#include "app/gaf_export.h"
#include "app/options.h"
#include "gaf/filters.h"
#include "tests/support/gaf_builder.h"
#include "writer/gaf_entry_writer.h"

namespace {

namespace fs = std::filesystem;

TEST(Options, ParseTable) {
  const std::string starQuestion = "ERROR: -E requires a pattern (use * and ? as wildcards)\n";
  const std::string starQuestionDot = "ERROR: -E requires a pattern (use *, ?, and . as wildcards)\n";
  const std::string yesAndNo = "ERROR: Cannot specify both -Y and -N\n";
  // clang-format off
  const std::pair<std::vector<const char*>, std::string> rows[] = {  // what it printed, then the options when it runs
      {{}, " E'' S'_gadget' F'*.gaf'"}, {{"-b", "/P", "/y", "x.gaf"}, "BPY E'' S'_gadget' F'x.gaf'"},
      {{"-E", "arm*", "-n", "a", "b"}, "N E'arm*' S'_gadget' F'b'"}, {{"-x", "-BB", "/"}, " E'' S'_gadget' F'/'"},
      {{"-S"}, " E'' S'' F'*.gaf'"}, {{"-S", "-b"}, "B E'' S'' F'*.gaf'"}, {{"-S", "_x", "a.gaf"}, " E'' S'_x' F'a.gaf'"},
      {{"-S", "-E", "arm*", "a.gaf"}, " E'arm*' S'a.gaf' F'*.gaf'"},
      {{"-S", "a|b"}, "ERROR: Suffix cannot contain \\ / : * ? \" < > or |\n"}, {{"-?"}, ""}, {{"/?", "-E"}, ""},
      {{"-E"}, starQuestion}, {{"-E", "-B"}, starQuestion}, {{"-E", "-p"}, starQuestion}, {{"-E", "-Y"}, starQuestion},
      {{"-E", "-N"}, starQuestionDot}, {{"-E", "-E"}, starQuestionDot}, {{"-E", "-S"}, starQuestionDot},
      {{"-Y", "-N"}, yesAndNo}, {{"-N", "-y"}, yesAndNo}};
  // clang-format on
  for (auto [args, expected] : rows) {
    args.insert(args.begin(), "tessly");
    app::Options o;
    testing::internal::CaptureStdout();
    const bool runs = app::ParseOptions(static_cast<int>(args.size()), args.data(), o);
    const std::string options = std::string(o.bitmapMode ? "B" : "") + (o.buildPicsOnly ? "P" : "") +
                                (o.yesToAll ? "Y" : "") + (o.noToAll ? "N" : "") + " E'" + o.pattern + "' S'" +
                                o.suffix + "' F'" + o.fileSpec + "'";
    EXPECT_EQ(testing::internal::GetCapturedStdout() + (runs ? options : ""), expected) << args.back();
  }
}

TEST(Patterns, MatchTable) {
  // clang-format off
  const std::tuple<const char*, const char*, bool> rows[] = {
      {"ARM*", "armsolar", true}, {"arm*", "ARMSOLAR", true}, {"ARM*", "CORSOLAR", false}, {"*SOLAR", "ARMSOLAR", true},
      {"*B", "ABB", false}, {"*B", "AB", true}, {"A?C", "ABC", true}, {"A?C", "AC", false}, {"A?", "A", false},
      {"*", "", true}, {"A**", "A", true}, {"A*?", "A", false}, {"*??", "AB", true}, {"*??", "A", false},
      {"*??C", "XABC", true}, {"*??C", "ABC", true}, {"*??C", "AC", false}, {"*?*", "AB", true}, {"*?*", "", false},
      {"*??*", "A", false}, {"ABC", "ABCD", false}, {"ABCD", "ABC", false}, {"\xE9*", "\xC9X", false}, {"", "", true}};
  // clang-format on
  for (const auto& [pattern, name, matches] : rows) EXPECT_EQ(gaf::MatchPattern(pattern, name), matches) << pattern;
}

// Outputs are bare names in the current directory, a folder of the build's
// own where the tests run.
TEST(Limits, TheWriterRefusesAFilePast32BitOffsets) {
  for (const bool fits : {true, false}) {
    std::vector<writer::FrameNode> frames(1);
    frames[0].dataSize = (std::uint64_t{1} << 32) - 56 - 32 + !fits;  // claimed; no rows are held
    platform::File out;
    EXPECT_TRUE(platform::CreateOutput("out.gaf", out));
    EXPECT_EQ(writer::WriteGafEntryFile(out, {}, frames), fits);
    EXPECT_EQ(fs::file_size("out.gaf"), fits ? 12u + 4 + 24 + 40 + 8 : 0u);
  }
}

// One write call takes at most about 2 GiB on Linux, so larger writes go in
// pieces. /dev/null does not read the untouched pages.
TEST(Limits, WritesOfMoreThanAGibibyteGoInPieces) {
#ifdef TESSLY_SANITIZED
  GTEST_SKIP() << "the sanitizers' check of a write would read every page";
#endif
  const std::size_t size = std::size_t{3} << 30;
  void* pages = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  platform::File null;
  const fs::path here = fs::current_path();
  fs::current_path("/dev");
  EXPECT_TRUE(platform::CreateOutput("null", null) && platform::WriteAll(null, pages, size));
  fs::current_path(here);
  ::munmap(pages, size);
}

// The running size of the file to be counts what is kept, not rows that
// fail to read: frame 0's rows lie at the end of the archive, so only the
// first of them reads.
TEST(Limits, ReadingAnEntryStopsExactlyAtTheLimitCountingOnlyKeptRows) {
  fixture::Layout at;
  fixture::Bytes archive = fixture::BuildGaf({{"E", {{fixture::PlainImage(4, 3)}, {fixture::PlainImage(4, 2)}}}}, &at);
  fixture::Put(archive, at.frames[0][0] + 16, static_cast<std::uint32_t>(archive.size() - 4));
  fixture::WriteFile("in.gaf", archive);
  const std::uint64_t kept = 56 + 2 * 32 + 4 + 8;
  for (const std::uint64_t limit : {kept, kept - 1}) {
    platform::File file;
    app::EntryStart entry;
    std::vector<writer::FrameNode> frames;
    ASSERT_TRUE(platform::OpenForReading("in.gaf", file));
    gaf::ArchiveReader reader(file);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(reader.Seek(12) && app::ReadEntryStart(reader, entry));
    EXPECT_EQ(app::ReadEntryFrames(reader, entry, frames, limit), limit == kept);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              " error reading pixel data row 1\n error reading pixel data row 2\n");
    EXPECT_EQ(writer::GafEntryFileSize(frames), limit == kept ? kept : kept - 4);
    EXPECT_EQ(frames[0].rows.Stored().size(), 4u);  // the one row read
  }
}

}  // namespace
