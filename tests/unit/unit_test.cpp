// The pure pieces with many cases, as tables of rows: the command line and
// entry-name patterns; then the limits of GAF mode and the writes beneath it.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>

#include <atomic>
#include <filesystem>
#include <tuple>

#include "app/file_sink.h"
#include "app/options.h"
#include "app/parallel.h"
#include "platform/platform.h"
#include "tessly/archive_writer.h"
#include "tessly/filters.h"
#include "tessly/gaf_writer.h"
#include "tools/gaf_builder.h"

namespace {

namespace fs = std::filesystem;

TEST(Options, ParseTable) {
  const std::string starQuestion = "ERROR: -E requires a pattern (use * and ? as wildcards)\n";
  const std::string starQuestionDot = "ERROR: -E requires a pattern (use *, ?, and . as wildcards)\n";
  const std::string yesAndNo = "ERROR: Cannot specify both -Y and -N\n";
  const std::string palette = "ERROR: --palette requires a file name\n";
  const std::string delay = "ERROR: --delay requires a number of hundredths of a second, 1 to 65535\n";
  const std::string oneMode =
      "ERROR: --list, --gif, --sheet, --check, --pack and --write-palette go with no other of them, nor with -B, --png "
      "or --json\n";
  const std::string out = "ERROR: --out requires a folder name\n";
  const std::string form = "ERROR: --write-palette needs a file name ending in .pal, .gpl, .act or .png\n";
  // clang-format off
  const std::pair<std::vector<const char*>, std::string> rows[] = {  // what it printed, then the options when it runs
      {{}, " E'' S'_gadget' F'*.gaf'"}, {{"-b", "/P", "/y", "x.gaf"}, "BPY E'' S'_gadget' F'x.gaf'"},
      {{"-E", "arm*", "-n", "a", "b"}, "N E'arm*' S'_gadget' F'b'"}, {{"-x", "-BB", "/"}, " E'' S'_gadget' F'/'"},
      {{"-S"}, " E'' S'' F'*.gaf'"}, {{"-S", "-b"}, "B E'' S'' F'*.gaf'"}, {{"-S", "_x", "a.gaf"}, " E'' S'_x' F'a.gaf'"},
      {{"-S", "-E", "arm*", "a.gaf"}, " E'arm*' S'a.gaf' F'*.gaf'"},
      {{"-S", "a|b"}, "ERROR: Suffix cannot contain \\ / : * ? \" < > or |\n"}, {{"-?"}, ""}, {{"/?", "-E"}, ""},
      {{"-E"}, starQuestion}, {{"-E", "-B", "x"}, starQuestion}, {{"-E", "-p", "x"}, starQuestion}, {{"-E", "-Y", "x"}, starQuestion},
      {{"-E", "-N", "x"}, starQuestionDot}, {{"-E", "-E", "x"}, starQuestionDot}, {{"-E", "-S", "x"}, starQuestionDot},
      {{"-Y", "-N"}, yesAndNo}, {{"-N", "-y"}, yesAndNo},
      {{"--png"}, "G E'' S'_gadget' F'*.gaf'"}, {{"--JSON", "-b"}, "BJ E'' S'_gadget' F'*.gaf'"},
      {{"--json"}, "ERROR: --json needs -B or --png\n"}, {{"--json", "-E"}, starQuestion}, {{"-E", "--Png", "x"}, starQuestion}, {{"-E", "-P", "x"}, starQuestion},
      {{"-S", "--json", "--png"}, "GJ E'' S'' F'*.gaf'"}, {{"--B", "--", "-bp"}, " E'' S'_gadget' F'-bp'"},
      {{"--Help", "-E"}, "help"}, {{"-Y", "--help", "-N"}, "help"},
      {{"-S", "--palette", "p.pal", "x"}, " E'' S'x' F'*.gaf' C'p.pal'"}, {{"--PALETTE", "p", "-b"}, "B E'' S'_gadget' F'*.gaf' C'p'"},
      {{"-E", "--palette", "x"}, starQuestionDot}, {{"--palette", "-E", "a", "-E"}, palette}, {{"--palette", "-b", "x"}, palette},
      {{"--palette"}, palette}, {{"-E", "--pack", "a", "b"}, starQuestion}, {{"-E", "--nearest", "x"}, starQuestion}, {{"-E", "--json", "x"}, starQuestion},
      {{"--nearest", "--pack", "a", "b"}, "KR E'' S'_gadget' F'b'"}, {{"--nearest"}, "ERROR: --nearest needs --pack\n"},
      {{"--LIST", "-E", "a*", "-p"}, "P E'a*' S'_gadget' F'*.gaf' V1"}, {{"--gif", "--gif", "x"}, " E'' S'_gadget' F'x' V2"},
      {{"--sheet", "--delay", "65535"}, " E'' S'_gadget' F'*.gaf' V3 D65535"}, {{"--check"}, " E'' S'_gadget' F'*.gaf' V4"},
      {{"--gif", "--delay", "0"}, delay}, {{"--gif", "--delay", "65536"}, delay}, {{"--gif", "--delay", "1x"}, delay},
      {{"--gif", "--delay"}, delay}, {{"--delay", "-b", "3"}, delay}, {{"--delay", "-E", "x", "-E"}, delay}, {{"--delay", "3"}, "ERROR: --delay needs --gif or --sheet\n"},
      {{"--delay", "2", "--LIST"}, "ERROR: --delay needs --gif or --sheet\n"}, {{"-E", "--gif", "x"}, starQuestion}, {{"-E", "--delay", "3"}, starQuestionDot},
      {{"--gif", "--sheet"}, oneMode}, {{"--check", "-b"}, oneMode}, {{"--png", "--list"}, oneMode},
      {{"--list", "--json"}, oneMode}, {{"--pack", "a", "b", "--check"}, oneMode},
      {{"--pack", "--DITHER", "a", "b"}, "KT E'' S'_gadget' F'b'"}, {{"--dither"}, "ERROR: --dither needs --pack\n"},
      {{"--nearest", "--dither", "--pack", "a", "b"}, "ERROR: --nearest and --dither cannot go together\n"},
      {{"--Out", "o", "--gif", "--out", "p/"}, " E'' S'_gadget' F'*.gaf' V2 O'p/'"}, {{"--out"}, out}, {{"--out", "-b"}, out},
      {{"--out", ""}, out}, {{"-E", "--out", "x"}, starQuestionDot}, {{"--out", "-E", "x"}, out},
      {{"-E", "--dither", "x"}, starQuestion}, {{"-E", "--write-palette", "x.pal"}, starQuestionDot},
      {{"--write-palette", "x.GPL"}, " E'' S'_gadget' F'*.gaf' W'x.GPL'"}, {{"--write-palette", "x.bmp"}, form},
      {{"--write-palette", ".pal"}, form}, {{"--write-palette", "-b", "a.pal"}, "ERROR: --write-palette requires a file name\n"},
      {{"--write-palette", "a.pal", "--gif"}, oneMode}, {{"-b", "--write-palette", "a.png"}, oneMode}, {{"--pack", "a", "b", "--write-palette", "a.act"}, oneMode},
      {{"--write-palette", "a.pal", "b.gaf"}, "ERROR: --write-palette takes no other file name\n"},
      {{"--write-palette", "a.act", "--palette", "p"}, " E'' S'_gadget' F'*.gaf' C'p' W'a.act'"}};
  // clang-format on
  for (auto [args, expected] : rows) {
    args.insert(args.begin(), "tessly");
    app::Options o;
    testing::internal::CaptureStdout();
    const app::Parsed parsed = app::ParseOptions(static_cast<int>(args.size()), args.data(), o);
    const std::string options = std::string(o.bitmapMode ? "B" : "") + (o.pngFiles ? "G" : "") +
                                (o.describeEntries ? "J" : "") + (o.buildPicsOnly ? "P" : "") +
                                (o.yesToAll ? "Y" : "") + (o.noToAll ? "N" : "") +
                                (o.pack ? "K" : "") + (o.nearest ? "R" : "") + (o.dither ? "T" : "") + " E'" + o.pattern + "' S'" +
                                o.suffix + "' F'" + o.fileSpec + "'" +
                                (o.paletteFile.empty() ? "" : " C'" + o.paletteFile + "'") +
                                (o.view == app::View::None ? "" : " V" + std::to_string(int(o.view))) +
                                (o.delayGiven ? " D" + std::to_string(o.delay) : "") +
                                (o.outFolder.empty() ? "" : " O'" + o.outFolder + "'") +
                                (o.paletteOutput.empty() ? "" : " W'" + o.paletteOutput + "'");
    const std::string shown = parsed == app::Parsed::Run ? options : parsed == app::Parsed::Help ? "help" : "";
    EXPECT_EQ(testing::internal::GetCapturedStdout() + shown, expected) << args.back();
  }
}

// Every job runs once; a job that fails, or throws, fails the whole.
TEST(Parallel, JobsTable) {
  for (const auto& [count, failing, throwing] : {std::tuple{0, -1, -1}, {1000, -1, -1}, {1000, 999, -1}, {3, -1, 0}}) {
    std::vector<std::atomic<int>> calls(static_cast<std::size_t>(count));
    const bool all = app::ForEachInParallel(calls.size(), [&, failing = failing, throwing = throwing](std::size_t i) {
      if (int(i) == throwing) throw std::bad_alloc();
      return ++calls[i] == 1 && int(i) != failing;
    });
    EXPECT_EQ(all, failing < 0 && throwing < 0) << count;
    for (int i = 0; all && i < count; ++i) EXPECT_EQ(calls[std::size_t(i)], 1) << i;
  }
}

// Append gives room only where the buffer has it, and after a failed write
// nothing more is taken until the sink is closed for the next file.
TEST(FileSink, GivesRoomOnlyInItsBufferAndNothingAfterAFailedWrite) {
  app::FileSink sink(4);
  const std::uint8_t bytes[6] = {};
  std::vector<bool> taken;
  // Write count bytes, Append -count, 0 flushes and 99 opens a file: the first flush has none to write to.
  for (const int count : {4, 1, 1, -1, 0, 99, 3, 1, -1, 2, 6, -1, 4, -1, -5, 1, 0}) {
    if (count == 99) sink.Close();
    taken.push_back(count == 99  ? platform::CreateOutput({"", "sink"}, sink.file())
                    : count == 0 ? sink.Flush()
                    : count < 0  ? sink.Append(std::size_t(-count)) != nullptr
                                 : sink.Write(bytes, std::size_t(count)));
  }
  EXPECT_EQ(taken, std::vector<bool>({1, 0, 0, 0, 0, 1, 1, 1, 0, 1, 1, 1, 1, 0, 0, 1, 1}));
}

TEST(Patterns, MatchTable) {
  // clang-format off
  const std::tuple<const char*, const char*, bool> rows[] = {
      {"ARM*", "armsolar", true}, {"arm*", "ARMSOLAR", true}, {"ARM*", "CORSOLAR", false}, {"*SOLAR", "ARMSOLAR", true},
      {"*B", "ABB", false}, {"*B", "AB", true}, {"A?C", "ABC", true}, {"A?C", "AC", false}, {"A?", "A", false},
      {"*", "", true}, {"A**", "A", true}, {"A*?", "A", false}, {"*??", "AB", true}, {"*??", "A", false},
      {"*??C", "XABC", true}, {"*??C", "ABC", true}, {"*??C", "AC", false}, {"*?*", "AB", true}, {"*?*", "", false},
      {"*??*", "A", false}, {"A*??", "AB", false}, {"ABC", "ABCD", false}, {"ABCD", "ABC", false}, {"\xE9*", "\xC9X", false}, {"", "", true},
      {"*?*", "A", true}, {"*?X", "X", false}, {"*?X", "AX", true}, {"*?*B", "AB", true}};
  // clang-format on
  for (const auto& [pattern, name, matches] : rows) EXPECT_EQ(tessly::MatchPattern(pattern, name), matches) << pattern;
}

// Counts what is written without keeping it.
struct CountingSink : tessly::ByteSink {
  bool Write(const void*, std::size_t count) override { return written += count, true; }
  std::uint64_t written = 0;
};

// No written file passes 2 GiB, so that every offset in it can be sought.
// The rows are never touched, so they take no memory.
TEST(Limits, TheWritersRefuseAFilePastTheOffsetLimit) {
#ifdef TESSLY_SANITIZED
  GTEST_SKIP() << "an unoptimised build constructs each of the 2^31 bytes";
#endif
  // One image's rows, moved from one file to the next: the split layout
  // adds 16 + 24 + 40 + 8 bytes, the standard layout the same and padding to 4.
  std::vector<std::uint8_t> rows;
  for (const bool split : {true, false}) {
    for (const bool fits : {true, false}) {
      tessly::StoredArchive archive{tessly::kGafVersion, 0, {{{}, std::vector<tessly::StoredFrame>(1)}}};
      rows.resize((std::size_t{1} << 31) - 88 + !fits);
      archive.entries[0].frames[0].image.rows = std::move(rows);
      CountingSink sink;
      const tessly::Status status =
          split ? tessly::WriteGafEntry(archive.entries[0], sink) : tessly::WriteGafArchive(archive, sink);
      EXPECT_EQ(status, fits ? tessly::Status::Ok : tessly::Status::EntryTooLarge) << split;
      EXPECT_EQ(sink.written, fits ? std::uint64_t{1} << 31 : 0u) << split;
      rows = std::move(archive.entries[0].frames[0].image.rows);
    }
  }
}

// A file opened again closes its old handle first, and a search of a
// directory closes it: with few handles allowed, none may be left open.
TEST(Limits, NoHandleIsLeftOpen) {
  const rlimit few{32, 32};
  platform::File file;
  std::vector<std::string> names;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
  for (int i = 0; i < 64; ++i) {
    ASSERT_TRUE(platform::CreateOutput({"", "reopened"}, file) && platform::OpenForReading("reopened", file)) << i;
    platform::FindMatchingNames("*", names);
  }
}

// One write call takes at most about 2 GiB on Linux, so larger writes go in
// pieces. /dev/null does not read the untouched pages. Outputs are bare
// names in the current directory.
TEST(Limits, WritesOfMoreThanAGibibyteGoInPieces) {
#ifdef TESSLY_SANITIZED
  GTEST_SKIP() << "the sanitizers' check of a write would read every page";
#endif
  const std::size_t size = std::size_t{3} << 30;
  void* pages = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  platform::File null;
  const fs::path here = fs::current_path();
  fs::current_path("/dev");
  EXPECT_TRUE(platform::CreateOutput({"", "null"}, null) && platform::WriteAll(null, pages, size));
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
  const std::uint64_t kept = 56 + 2 * 32 + 4 + 8;
  for (const std::uint64_t limit : {kept, kept - 1}) {
    tessly::MemorySource source(archive);
    const tessly::Archive reader(source, {.entryBytes = limit});
    tessly::Entry entry;
    tessly::StoredEntry stored;
    std::vector<std::pair<tessly::Status, int>> problems;
    ASSERT_EQ(reader.ReadEntry(0, entry), tessly::Status::Ok);
    EXPECT_EQ(reader.ReadStoredEntry(entry, stored, [&](const tessly::Problem& p) { problems.emplace_back(p.status, p.row); }),
              limit == kept ? tessly::Status::Ok : tessly::Status::EntryTooLarge);
    EXPECT_EQ(problems, decltype(problems)({{tessly::Status::RowRead, 1}, {tessly::Status::RowRead, 2}}));
    EXPECT_EQ(tessly::GafEntryFileSize(stored), limit == kept ? kept : kept - 4);
    EXPECT_EQ(stored.frames[0].image.rows.size(), 4u);  // the one row read
  }
}

}  // namespace
