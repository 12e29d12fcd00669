// --check on archives damaged at one place each: the line it must print,
// and exit status 1 for an error, 0 for warnings alone. The places come
// from the fixture builder's layout; the texts are written out here.
#include <functional>

#include "tests/support/tessly_run.h"

namespace e2e {
namespace {

using fixture::Put;

Image Plain(std::int16_t width, std::int16_t height) {
  Image image = PlainImage(width, height, 1);
  image.aux3 = 9;
  return image;
}

Image Compressed(std::int16_t width, std::vector<Bytes> rows) {
  return Image{width, std::int16_t(rows.size()), 1, std::move(rows), 0, 0, 9};
}

// Entry 0 "ROCK": a plain 2 x 2 frame; entry 1 "TREE": a frame of two
// subframes, plain 2 x 1 and compressed 3 x 1 of one literal.
std::vector<fixture::Entry> Entries() {
  fixture::Frame tree{Plain(3, 1), {Plain(2, 1), Compressed(3, {{0x08, 1, 2, 3}})}};
  return {{"ROCK", {{Plain(2, 2)}}}, {"TREE", {tree}}};
}

struct CheckRow {
  std::string what;
  std::function<void(Bytes&, const fixture::Layout&)> damage;
  std::function<std::string(const fixture::Layout&)> lines;  // the findings, then the count
  int exitStatus = 1;
  std::vector<fixture::Entry> entries = Entries();
};

std::string N(std::uint64_t n) { return std::to_string(n); }
const std::string kNote = "  note: byte 0: --pack would not rebuild this archive byte for byte (another layout or row encoding)\n";

const std::vector<CheckRow> kRows = {
    {"short", [](Bytes& b, auto&) { b.resize(11); },
     [](auto&) { return "  error: byte 0: the file is shorter than a GAF header (12 bytes)\n  1 error, 0 warnings\n"; }},
    {"version", [](Bytes& b, auto&) { Put(b, 0, 5); },
     [](auto&) { return "  error: byte 0: the version is 5, not 65792 (0x00010100)\n  1 error, 0 warnings\n"; }},
    {"entry count", [](Bytes& b, auto&) { Put(b, 4, 0xFFFFFFFF); },
     [](auto&) { return "  error: byte 4: the entry count is negative (-1)\n  1 error, 0 warnings\n"; }},
    {"entry table", [](Bytes& b, auto&) { b.resize(12); Put(b, 4, 2); },  // one line for both
     [](auto&) { return "  error: entry 0, byte 12: the entry's element of the entry table lies outside the file\n"
                        "  1 error, 0 warnings\n"; }},
    {"entry header", [](Bytes& b, auto&) { Put(b, 16, 0x10000); },
     [](auto& l) { return "  error: entry 1, byte 16: the entry header (at byte 65536) lies outside the file\n"
                          "  warning: byte " + N(l.entries[1]) + ": 136 bytes that no record or row uses\n"
                          "  1 error, 1 warning\n"; }},
    {"frame count", [](Bytes& b, auto& l) { Put(b, l.entries[0], 0xFFFF, 2); },
     [](auto& l) { return "  error: entry 0 (ROCK), byte " + N(l.entries[0]) + ": the frame count is negative (-1)\n"
                          "  warning: byte " + N(l.entries[0] + 40) + ": 36 bytes that no record or row uses\n"
                          "  1 error, 1 warning\n"; }},
    {"frame header", [](Bytes& b, auto& l) { Put(b, l.entries[0] + 40, 0x10000); },
     [](auto& l) { return "  error: entry 0 (ROCK), frame 0, byte " + N(l.entries[0] + 40) +
                          ": the frame header (at byte 65536) lies outside the file\n"
                          "  warning: byte " + N(l.frames[0][0]) + ": 28 bytes that no record or row uses\n"
                          "  1 error, 1 warning\n"; }},
    {"subframe header", [](Bytes& b, auto& l) { Put(b, l.frames[1][0] + 24, 0x10000); },
     [](auto& l) { return "  error: entry 1 (TREE), frame 0, subframe 0, byte " + N(l.frames[1][0] + 24) +
                          ": the subframe header (at byte 65536) lies outside the file\n"
                          "  warning: byte " + N(l.frames[1][0] + 32) + ": 26 bytes that no record or row uses\n"
                          "  1 error, 1 warning\n"; }},
    {"subframe table", [](Bytes& b, auto& l) { Put(b, l.frames[1][0] + 16, 0x10000); },
     [](auto& l) { return "  error: entry 1 (TREE), frame 0, subframe 0, byte 65536: the subframe's element of the "
                          "subframe table lies outside the file\n"
                          "  warning: byte " + N(l.frames[1][0] + 24) + ": 64 bytes that no record or row uses\n"
                          "  1 error, 1 warning\n"; }},
    {"negative size", [](Bytes& b, auto& l) { Put(b, l.frames[0][0], 0xFFFF, 2); },
     [](auto& l) { return "  error: entry 0 (ROCK), frame 0, byte " + N(l.frames[0][0]) +
                          ": the width or height is negative\n"
                          "  warning: byte " + N(l.frames[0][0] + 24) + ": 4 bytes that no record or row uses\n"
                          "  1 error, 1 warning\n"; }},
    {"subframe count", [](Bytes& b, auto& l) { Put(b, l.frames[1][0] + 10, 0xFFFE, 2); },
     [](auto& l) { return "  error: entry 1 (TREE), frame 0, byte " + N(l.frames[1][0] + 10) +
                          ": the subframe count is negative (-2)\n"  // and it is a 3 x 1 image
                          "  warning: byte " + N(l.frames[1][0] + 27) + ": 61 bytes that no record or row uses\n"
                          "  1 error, 1 warning\n"; }},
    // TREE's frame header lies at 144, its subframes' headers at 176 and
    // 202, their rows at 200 and 226 (a length, then 4 codes), the end at 232.
    {"plain rows", [](Bytes& b, auto& l) { Put(b, l.frames[0][0] + 16, 250); },
     [](auto& l) { return "  error: entry 0 (ROCK), frame 0, byte 250: the pixel data lies outside the file\n"
                          "  warning: byte " + N(l.frames[0][0] + 24) + ": 4 bytes that no record or row uses\n"
                          "  1 error, 1 warning\n"; }},
    // A compressed image of no rows, its pixel data past where readers seek.
    {"far pixel data", [](Bytes& b, auto& l) { Put(b, l.frames[0][0] + 2, 0, 2), b[l.frames[0][0] + 9] = 1, Put(b, l.frames[0][0] + 16, 0x90000000); },
     [](auto& l) { return "  error: entry 0 (ROCK), frame 0, byte 2415919104: the pixel data lies past 2 GiB\n"
                          "  warning: byte " + N(l.frames[0][0] + 24) + ": 4 bytes that no record or row uses\n"
                          "  1 error, 1 warning\n"; }},
    {"row length", [](Bytes& b, auto&) { Put(b, 226, 5, 2); },  // one byte past the end
     [](auto&) { return "  error: entry 1 (TREE), frame 0, subframe 1, byte 226: row 0 runs past the end of the file\n"
                        "  warning: byte 226: 6 bytes that no record or row uses\n  1 error, 1 warning\n"; }},
    {"second row", [](Bytes& b, auto&) { Put(b, 204, 2, 2); },  // the first row ends the file
     [](auto&) { return "  error: entry 1 (TREE), frame 0, subframe 1, byte 232: the pixel data lies outside the file\n"
                        "  warning: byte 226: 6 bytes that no record or row uses\n  1 error, 1 warning\n"; }},
    {"codes", [](Bytes& b, auto&) { Put(b, 226, 1, 2); },  // a literal of 3 with no byte; then 3 bytes of padding
     [](auto&) { return "  error: entry 1 (TREE), frame 0, subframe 1, byte 226: the codes of row 0 run past the "
                        "row's length\n  1 error, 0 warnings\n"; }},
    {"nested", [](Bytes& b, auto&) { Put(b, 186, 1, 2); },
     [](auto&) { return "  error: entry 1 (TREE), frame 0, subframe 0, byte 186: a subframe claims 1 subframes of its "
                        "own: subframes cannot nest\n  1 error, 0 warnings\n"; }},
    {"past width", [](Bytes& b, auto&) { Put(b, 202, 2, 2); },
     [](auto&) { return "  warning: entry 1 (TREE), frame 0, subframe 1, byte 226: the codes of row 0 give more pixels "
                        "than the width\n" + kNote + "  0 errors, 1 warning\n"; }, 0},
    {"overlap", [](Bytes& b, auto&) { Put(b, 192, 93); },
     [](auto&) { return "  warning: entry 1 (TREE), frame 0, subframe 0, byte 93: the pixel data overlaps other pixel "
                        "data (at byte 92) without being the same\n"
                        "  warning: byte 200: 2 bytes that no record or row uses\n" + kNote +
                        "  0 errors, 2 warnings\n"; }, 0},
    {"empty inside", [](Bytes& b, auto& l) { Put(b, l.frames[0][0] + 2, 0, 2), Put(b, l.frames[0][0] + 16, 201); },  // no overlap
     [](auto& l) { return "  warning: byte " + N(l.frames[0][0] + 24) + ": 4 bytes that no record or row uses\n" + kNote + "  0 errors, 1 warning\n"; }, 0},
    {"transparency", [](Bytes& b, auto& l) { b[l.frames[0][0] + 8] = 0; },
     [](auto& l) { return "  warning: entry 0 (ROCK), frame 0, byte " + N(l.frames[0][0] + 8) +
                          ": the transparency field is 0, not 9\n" + kNote + "  0 errors, 1 warning\n"; }, 0},
    {"names", [](Bytes&, auto&) {},
     [](auto& l) { return "  warning: entry 1 (rock), byte " + N(l.entries[1] + 8) +
                          ": the name is entry 0's but for letter case\n"
                          "  warning: entry 2 (ROCK), byte " + N(l.entries[2] + 8) + ": the name is also entry 0's\n"
                          "  warning: entry 3 (A:B), byte " + N(l.entries[3] + 8) +
                          ": the name cannot name a file on Windows\n"
                          "  warning: entry 4 (com1.x), byte " + N(l.entries[4] + 8) +
                          ": the name cannot name a file on Windows\n"
                          "  warning: entry 5 (" + std::string(32, 'L') + "), byte " + N(l.entries[5] + 8) +
                          ": the name fills all 32 bytes, with no NUL\n"  // entries of no frames: the standard layout
                          "  warning: entry 6 (Aux), byte " + N(l.entries[6] + 8) + ": the name cannot name a file on Windows\n"
                          "  warning: entry 7 (\x1f), byte " + N(l.entries[7] + 8) + ": the name cannot name a file on Windows\n"
                          "  0 errors, 7 warnings\n"; }, 0,
     {{"ROCK", {}}, {"rock", {}}, {"ROCK", {}}, {"A:B", {}}, {"com1.x", {}}, {std::string(32, 'L'), {}}, {"Aux", {}},
      {"\x1f", {}}}},
    {"slash", [](Bytes&, auto&) {},
     [](auto& l) { return "  error: entry 0 (A/B), byte " + N(l.entries[0] + 8) +
                          ": the name holds / or \\, so extraction cannot write its files\n  1 error, 0 warnings\n"; },
     1, {{"A/B", {}}}},
    {"frame table", [](Bytes& b, auto& l) { Put(b, l.entries[0], 2, 2); },  // one line for both
     [](auto& l) { return "  error: entry 0 (ROCK), frame 0, byte " + N(l.entries[0] + 40) +
                          ": the frame's element of the frame table lies outside the file\n  1 error, 0 warnings\n"; },
     1, {{"ROCK", {}}}},
    {"shared subframe", [](Bytes& b, auto&) { Put(b, 172, 176), b[184] = 0; },  // checked once
     [](auto&) { return "  warning: entry 1 (TREE), frame 0, subframe 0, byte 184: the transparency field is 0, not 9\n"
                        "  warning: byte 202: 30 bytes that no record or row uses\n" + kNote + "  0 errors, 2 warnings\n"; }, 0},
    {"each once", [](Bytes&, auto&) {},  // rows cut short and rows past the width: a line for the first of each
     [](auto& l) { return "  error: entry 0 (C), frame 0, byte " + N(l.frames[0][0] + 24) + ": the codes of row 0 run past the row's length\n"
                          "  warning: entry 0 (C), frame 0, byte " + N(l.frames[0][0] + 28) + ": the codes of row 1 give more pixels than the width\n  1 error, 1 warning\n"; },
     1, {{"C", {{Compressed(3, {{0x08, 1}, {0x0C, 1, 2, 3, 4}, {0x0C, 1, 2, 3, 4}, {0x08}})}}}}},
    {"sound", [](Bytes&, auto&) {}, [](auto&) { return kNote + "  no problems\n"; }, 0},
};

// An archive as --pack writes it has nothing to report, and no note: with
// images that share pixel data too, within an entry and across entries.
TEST(Check, AStandardArchiveHasNoProblems) {
  std::vector<fixture::Entry> two = Entries();
  two.push_back({"WALL", {{Plain(2, 2)}, {Compressed(3, {{0x08, 1, 2, 3}})}}});
  // Shared rows counted once for each image would pass the file's size.
  two.push_back({"SEA", {{Plain(40, 40)}, {Plain(40, 40)}, {Plain(40, 40)}}});
  for (const std::map<int, int>& shares :
       std::vector<std::map<int, int>>{{}, {{4, 2}}, {{3, 0}, {4, 2}, {6, 5}, {7, 5}}}) {
    TempDir dir;
    fixture::WriteFile(dir / "x.gaf", fixture::BuildStandardGaf(two, shares));
    EXPECT_EQ(RunTessly(dir.path, {"--check", "x.gaf"}), kBanner + "x.gaf\n  no problems\n") << shares.size();
    // And as Tessly rebuilds it from what it took apart.
    RunTessly(dir.path, {"--png", "--json", "x.gaf"});
    RunTessly(dir.path, {"--pack", "y.gaf", "x.gaf.json"});
    EXPECT_EQ(RunTessly(dir.path, {"--check", "y.gaf"}), kBanner + "y.gaf\n  no problems\n") << shares.size();
  }
}

TEST(Check, OneLinePerDamage) {
  for (const CheckRow& row : kRows) {
    fixture::Layout layout;
    Bytes bytes = fixture::BuildGaf(row.entries, &layout);
    row.damage(bytes, layout);
    TempDir dir;
    fixture::WriteFile(dir / "x.gaf", bytes);
    EXPECT_EQ(RunTessly(dir.path, {"--check", "x.gaf"}, {.exitStatus = row.exitStatus}),
              kBanner + "x.gaf\n" + row.lines(layout))
        << row.what;
  }
}

}  // namespace
}  // namespace e2e
