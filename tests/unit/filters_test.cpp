#include "gaf/filters.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "tests/fixture/gaf_builder.h"
#include "tests/support/files.h"

namespace {

struct PatternCase {
  std::string pattern;
  std::string name;
  bool matches;
};

// The behaviour of the single forward pass, including where it rejects
// names that a full wildcard match would accept.
TEST(MatchPattern, SingleForwardPass) {
  const PatternCase cases[] = {
      {"rock*", "ROCKS", true}, {"ROCK*", "rock", true}, {"*", "", true},        {"?", "", false},
      {"A?", "AB", true},       {"??", "A", false},      {"AB", "ABC", false},   {"ABC", "AB", false},
      {"A.B", "A.B", true},     {"A.B", "AXB", false},   {"*B", "AB", true},     {"*B", "ABB", false},
      {"*AB", "XAAB", false},   {"A*C", "ABC", true},    {"A*C", "ACBC", false}, {"*B*", "ABCB", true},
      {"*?B", "AXB", true},     {"*?B", "B", false},     {"*?B", "BXB", false},  {"*?B", "XBYB", false},
      {"*??", "AB", true},      {"*??", "A", false},     {"*?*", "AB", true},    {"*??*B", "XYZB", true},
      {"*??*B", "XB", false},   {"A*B", "A", false},     {"*?", "", false},      {"**B", "AB", false},
      {"*", "*B", false},       {"\xE4", "\xC4", false}, {"", "", true},         {"", "A", false},
      {"a?c", "AbC", true},
  };
  for (const PatternCase& c : cases) {
    EXPECT_EQ(gaf::MatchPattern(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
  }
}

// A used-up name facing a '*' that only further '*' follow matches.
TEST(MatchPattern, UsedUpNameBeforeOnlyStarsMatches) {
  EXPECT_TRUE(gaf::MatchPattern("A**", "A"));
  EXPECT_TRUE(gaf::MatchPattern("**", "ABC"));
  EXPECT_TRUE(gaf::MatchPattern("*?*", "A"));
  EXPECT_FALSE(gaf::MatchPattern("A**?", "A"));
}

class BuildPicTest : public testing::Test {
 protected:
  static fixture::Frame Frame64() { return fixture::SingleImage(fixture::PlainImage(64, 64)); }

  // The entry's verdict, after `damage` has changed the built archive.
  bool Verdict(const fixture::Entry& entry,
               const std::function<void(fixture::Bytes&, const fixture::Layout&)>& damage = {}) {
    fixture::Layout layout;
    fixture::Bytes bytes = fixture::BuildGaf({entry}, &layout);
    if (damage) damage(bytes, layout);
    dir_.Write("a.gaf", bytes);
    platform::File file;
    EXPECT_TRUE(platform::OpenForReading(dir_ / "a.gaf", file));
    gaf::ArchiveReader reader(file);
    return gaf::IsBuildPicEntry(reader, layout.entryOffsets[0]);
  }

  support::TempDir dir_;
};

TEST_F(BuildPicTest, ThreeFramesOf64By64Pass) {
  fixture::Entry entry{"PIC", {Frame64(), Frame64(), Frame64()}};
  entry.frames[1].image.compressed = 1;  // compression is not looked at
  entry.frames[1].image.rows.assign(64, {});
  EXPECT_TRUE(Verdict(entry));
}

TEST_F(BuildPicTest, OtherFrameCountsFail) {
  EXPECT_FALSE(Verdict({"PIC", {Frame64(), Frame64()}}));
  EXPECT_FALSE(Verdict({"PIC", {Frame64(), Frame64(), Frame64(), Frame64()}}));
}

TEST_F(BuildPicTest, FrameSizesAndSubframes) {
  EXPECT_FALSE(Verdict({"PIC", {Frame64(), fixture::SingleImage(fixture::PlainImage(64, 63)), Frame64()}}));
  EXPECT_FALSE(Verdict({"PIC", {Frame64(), Frame64(), fixture::WithSubframes({fixture::PlainImage(64, 64)})}}));
  // Stored as 0xFFFF and 0x8000, the subframe count is negative: no subframes.
  for (const std::uint16_t count : {0xFFFF, 0x8000}) {
    EXPECT_TRUE(Verdict({"PIC", {Frame64(), Frame64(), Frame64()}},
                        [count](fixture::Bytes& bytes, const fixture::Layout& layout) {
                          fixture::PutU16(bytes, layout.frameHeaders[0][2] + 10, count);
                        }));
  }
}

TEST_F(BuildPicTest, UnreadableRecordsCountInTheEntrysFavour) {
  const fixture::Entry entry{"PIC", {Frame64(), fixture::SingleImage(fixture::PlainImage(8, 8)), Frame64()}};
  // Frame 1's header offset points past the end: frame 1 passes.
  EXPECT_TRUE(Verdict(entry, [](fixture::Bytes& bytes, const fixture::Layout& layout) {
    fixture::PutU32(bytes, layout.entryOffsets[0] + 40 + 8, 0x7FFFFFF0);
  }));
  // ... or where no seek can go.
  EXPECT_TRUE(Verdict(entry, [](fixture::Bytes& bytes, const fixture::Layout& layout) {
    fixture::PutU32(bytes, layout.entryOffsets[0] + 40 + 8, 0x80000000);
  }));
  // A frame header cut short by the end of the file is not judged.
  fixture::Layout layout;
  fixture::Bytes bytes = fixture::BuildGaf({{"PIC", {Frame64(), Frame64(), Frame64()}}}, &layout);
  fixture::PutU32(bytes, layout.entryOffsets[0] + 40 + 16, static_cast<std::uint32_t>(bytes.size() - 10));
  dir_.Write("short.gaf", bytes);
  platform::File file;
  ASSERT_TRUE(platform::OpenForReading(dir_ / "short.gaf", file));
  gaf::ArchiveReader reader(file);
  EXPECT_TRUE(gaf::IsBuildPicEntry(reader, layout.entryOffsets[0]));
  // An entry header that cannot be read passes the test.
  EXPECT_TRUE(gaf::IsBuildPicEntry(reader, 0x7FFFFF00));
  EXPECT_TRUE(gaf::IsBuildPicEntry(reader, 0x90000000));
}

}  // namespace
