// Whole runs of Tessly, end to end, each in a directory of its own: what
// each must print and leave there. Files written are checked against files
// built here from the rules of the formats.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/tessly_run.h"

namespace e2e {
namespace {

// Six entries of three frames; only GOOD and HOLE are build pictures, all
// 64x64. HOLE's first frame cannot be read, which counts in its favour.
Bytes BuildPictures() {
  const Image pic{64, 64, 1, std::vector<Bytes>(64)}, wide{65, 64}, tall{64, 65};
  fixture::Layout at;
  // clang-format off
  Bytes bytes = fixture::BuildGaf({{"GOOD", {{pic}, {pic}, {pic}}}, {"TWO", {{pic}, {pic}}}, {"WIDE", {{pic}, {pic}, {wide}}},
      {"TALL", {{pic}, {tall}, {pic}}}, {"SUB", {{pic, {pic}}, {pic}, {pic}}}, {"HOLE", {{tall}, {pic}, {pic}}}}, &at);
  // clang-format on
  fixture::Put(bytes, at.entries[5] + 40, 0x90000000);
  return bytes;
}

TEST(Run, Table) {
  const Bytes one = fixture::BuildGaf({{"ONE", {{PlainImage(1, 1)}}}});
  const Bytes two = fixture::BuildGaf({{"P", {{PlainImage(1, 1)}}}, {"Q", {{PlainImage(2, 1)}}}});
  const Bytes slash = fixture::BuildGaf({{"x/y", {{PlainImage(1, 1)}}}, {"Z", {{PlainImage(1, 1)}}}});
  const std::vector<fixture::Frame> many(520, {PlainImage(2, 2)});  // more files than it may have open
  std::map<std::string, Bytes> manyFiles;
  for (int k = 0; k < 1040; ++k) manyFiles["AB"[k / 520] + std::string(k % 520 < 10, '0') + std::to_string(k % 520) + ".BMP"];
  const Bytes big = fixture::BuildGaf({{"A", {{PlainImage(40, 40)}, {PlainImage(3, 3)}}}, {"B", {{PlainImage(3, 3)}}}});
  // Entry A: a frame, then a frame of two subframes; entry B: a frame. All outputs exist.
  const fixture::Frame subframes{PlainImage(1, 1), {PlainImage(1, 1), PlainImage(1, 1)}};
  Image far[3] = {PlainImage(1, 1), PlainImage(1, 1), PlainImage(1, 1)};  // origins 65535 apart; transparency 9
  far[0].aux1 = 0x7FFF, far[1].aux1 = 0x8000, far[2].aux3 = 9;
  const std::string q0 = "a.gaf\n" + Question("A00.BMP"), q1 = Question("A01_00.BMP"), q2 = Question("A01_01.BMP");
  const std::string qb = Question("B00.BMP"), x0 = Exported("A00.BMP"), x1 = Exported("A01_00.BMP");
  const std::string x2 = Exported("A01_01.BMP"), xb = Exported("B00.BMP"), skipping = " already exists; skipping\n";
  // clang-format off
  const std::map<std::string, Bytes> old{
      {"a.gaf", fixture::BuildGaf({{"A", {{PlainImage(1, 1)}, subframes}}, {"B", {{PlainImage(1, 1)}}}})},
      {"A00.BMP", kOld}, {"A01_00.BMP", kOld}, {"A01_01.BMP", kOld}, {"B00.BMP", kOld}, {"A_gadget.GAF", kOld},
      {"B_gadget.GAF", kOld}};
  const std::map<std::string, Bytes> none{{"A00.BMP", kOld}, {"A01_01.BMP", kOld}, {"B00.BMP", kOld}};
  std::vector<RunRow> rows = {
      {{{"x.gaXf", {}}}, {}, {}, "File not found\n"},  // no *.gaf: after a mismatch the match resumes past the star
      {{}, {"nowhere/*.gaf"}, {}, "File not found\n"},
      {{}, {"-?"}, {}, kUsage},
      {{}, {"--HELP", "-E"}, {}, kUsage + "--png\tOutput individual PNG files, skipped pixels transparent, instead of GAFs\n"
       "--json\tWith -B or --png, also write NAME.json describing each entry\n--palette FILE\tUse the colours of FILE (a palette file) in BMP and PNG files\n"
       "--pack ARCHIVE DESCRIPTION...\tBuild ARCHIVE from the descriptions that --json wrote and their images\n"
       "--nearest\tWith --pack, give a colour that the palette lacks its nearest colour\n"
       "--dither\tWith --pack, dither colours that the palette lacks (Floyd-Steinberg) instead\n"
       "--list\tList every entry, frame and subframe with its header fields; nothing is written\n"
       "--gif\tWrite NAME.gif, each entry's frames as an animation that loops forever\n"
       "--sheet\tWrite NAME.sheet.png, each entry's frames on one sheet, and its atlas NAME.sheet.json\n"
       "--delay CS\tWith --gif or --sheet, show each frame CS hundredths of a second (default 7)\n"
       "--check\tReport what is damaged or off in each archive; exit status 1 if any is damaged\n"
       "--out DIR\tWrite every output into DIR, made if missing, instead of the current folder\n"
       "--write-palette FILE\tWrite the palette as FILE: .pal (JASC), .gpl (GIMP), .act (Photoshop) or .png (swatch)\n"
       "--help\tShow this text with the long options\n"},
      {{}, {"-E"}, {}, "ERROR: -E requires a pattern (use * and ? as wildcards)\n" + kUsage},
      // A palette that cannot be used ends the run before any archive: missing, damaged, not given.
      {{{"t.gaf", two}}, {"-B", "--palette", "none.pal"}, {}, "ERROR: cannot use the palette none.pal: there is no such file\n"},
      {{{"t.gaf", two}, {"p.pal", {'J', 'A', 'S', 'C', '-', 'P', 'A', 'L', '\n', '0', '\n', '1', '\n', '1', ' ', '2', '\n'}}},
       {"--png", "--palette", "p.pal"}, {},
       "ERROR: cannot use the palette p.pal: a colour of the palette is not three numbers from 0 to 255\n"},
      {{}, {"--palette", "-S"}, {}, "ERROR: --palette requires a file name\n" + kUsage},
      {{}, {"--write-palette", "x.pal", "--palette", "no.pal"}, {.exitStatus = 1},
       "ERROR: cannot use the palette no.pal: there is no such file\n"},
      // Names in order without regard to case, ties by their bytes; too short, another version, a directory, empty.
      {{{"b.gaf", one}, {"a.gaf", Bytes(one.begin(), one.begin() + 11)}, {"A.gaf", Bytes(12)}, {"_.gaf", one}, {"c.GAF/in", {}}, {"e.gaf", {}}}, {"*.*"}, {},
       "A.gaf\nInvalid GAF\na.gaf\nInvalid GAF\nb.gaf\n  Only one GAF entry (no action taken)\nc.GAF\n"
       "ERROR;  could not open\ne.gaf\nInvalid GAF\n_.gaf\n  Only one GAF entry (no action taken)\n"},
      // Found in sub/, beside a decoy in the current directory, where the outputs go.
      {{{"sub/x.gaf", two}, {"x.gaf", one}}, {"-S", "_s", "sub/X*"}, {},
       "x.gaf\n" + Exported("P_s.GAF") + Exported("Q_s.GAF")},
      {{{"t.gaf", two}}, {"-B", "-E", "q"}, {}, "t.gaf\n" + Exported("Q00.BMP")},
      // Each archive names its entries' files afresh.
      {{{"a.gaf", one}, {"b.gaf", one}}, {"-Y", "--png", "--json"}, {}, "a.gaf\n" + Exported("ONE00.PNG") + Exported("ONE.json") +
       Exported("a.gaf.json") + "b.gaf\n" + Exported("ONE00.PNG") + Exported("ONE.json") + Exported("b.gaf.json")},
      // --out: the folder is made with its parents, the question asks there, and no name from an
      // archive leaves it; a folder that cannot be made ends the run before any archive.
      {{{"s.gaf", slash}}, {"-B", "--out", "o/p"}, {}, "s.gaf\n error opening o/p/x/y00.BMP to write\n" + Exported("o/p/Z00.BMP")},
      {{{"a.gaf", one}, {"o/ONE00.PNG", kOld}}, {"--png", "--json", "--out", "o/", "-N"}, {},
       "a.gaf\n  o/ONE00.PNG" + skipping + Exported("o/ONE.json") + Exported("o/a.gaf.json"), {{"o/ONE00.PNG", kOld}}},
      {{{"t.gaf", two}, {"o/P_gadget.GAF", kOld}}, {"--out", "o"}, {"y"}, "t.gaf\n" + Question("o/P_gadget.GAF") + "y\n" +
       Exported("o/P_gadget.GAF") + Exported("o/Q_gadget.GAF")},
      {{{"a.gaf", one}, {"f", kOld}}, {"--sheet", "--out", "f/g"}, {}, "ERROR: cannot make the folder f/g/\n"},
      // Tessly's own modes take every filespec, in order, each archive once; -B and the split the last only.
      {{{"a.gaf", one}, {"t.gaf", two}}, {"--png", "t.gaf", "none*", "*.GAF"}, {},
       "File not found: none*\nt.gaf\n" + Exported("P00.PNG") + Exported("Q00.PNG") + "a.gaf\n" + Exported("ONE00.PNG")},
      {{{"a.gaf", one}, {"t.gaf", two}}, {"-B", "t.gaf", "a.gaf"}, {}, "a.gaf\n" + Exported("ONE00.BMP")},
      {{{"a.gaf", fixture::BuildStandardGaf({{"ONE", {{far[2]}}}})}}, {"--check", "none*", "a.gaf"},
       {.exitStatus = 1}, "File not found: none*\na.gaf\n  no problems\n"},
      // Previews of entries of one name are named as --json names their files, whichever -E selects.
      {{{"r.gaf", fixture::BuildGaf({{"R", {{PlainImage(1, 1)}}}, {"S", {{PlainImage(1, 1)}}}, {"r", {{PlainImage(1, 1)}}},
                                      {"R", {{PlainImage(1, 1)}}}})}},
       {"--gif", "-E", "r"}, {}, "r.gaf\n" + Exported("R.gif") + Exported("r(2).gif") + Exported("R(3).gif")},
      // Origins 65535 apart need a canvas wider than a GIF's; the next entry is drawn all the same.
      {{{"w.gaf", fixture::BuildGaf({{"W", {{far[0]}, {far[1]}}}, {"ONE", {{PlainImage(1, 1)}}}})}}, {"--sheet"}, {},
       "w.gaf\n  W: the frames need a canvas larger than 65535 pixels a side or 32767 x 32767 pixels; no file written\n" +
       Exported("ONE.sheet.png") + Exported("ONE.sheet.json")},
      {{{"p.gaf", BuildPictures()}}, {"-P"}, {},
       "p.gaf\n" + Exported("GOOD_gadget.GAF") + " error seeking frame data position\n" + Exported("HOLE_gadget.GAF")},
      // Outputs that cannot be created, and are not asked about: a name with a path separator, a link.
      {{{"s.gaf", slash}, {"x/in", {}}}, {}, {}, "s.gaf\n  error opening x/y_gadget.GAF to write\n" + Exported("Z_gadget.GAF")},
      // A closed standard output loses the report and the echo of a key, but not the work.
      {{{"a.gaf", fixture::BuildGaf({{"A", many}, {"B", many}})}, {"A00.BMP", kOld}}, {"-B"},
       {.input = "y", .closedOutput = true}, "", manyFiles},
      // The question without a terminal: keys from standard input, whose end answers No. No for a
      // frame's file ends the entry, for a subframe's only that file; other keys are echoed.
      {old, {"-B", "a.gaf"}, {"n"}, q0 + "n\n" + qb + "\n", none},
      {old, {"-B", "a.gaf"}, {"YNy"}, q0 + "Y\n" + x0 + q1 + "N\n" + q2 + "y\n" + x2 + qb + "\n",
       {{"A01_00.BMP", kOld}, {"B00.BMP", kOld}}},
      {old, {"-B", "a.gaf"}, {"x\x1F\x7F A"}, q0 + "x A\n" + x0 + x1 + x2 + xb},
      {old, {"-B", "a.gaf"}, {"qy"}, q0 + "q", none},
      {{{"a.gaf", old.at("a.gaf")}, {"b.gaf", one}, {"A00.BMP", kOld}}, {"-B"}, {"q"}, q0 + "q", {{"A00.BMP", kOld}}},  // no archive after
      {old, {"-B", "a.gaf"}, {"yqy"}, q0 + "y\n" + x0 + q1 + "q", {{"A01_01.BMP", kOld}}},
      {old, {"-B", "-n", "a.gaf"}, {"y"}, "a.gaf\n  A00.BMP" + skipping + "  B00.BMP" + skipping, none},
      {old, {"a.gaf"}, {"n"}, "a.gaf\n" + Question("A_gadget.GAF") + "n\n" + Question("B_gadget.GAF") + "\n",
       {{"A_gadget.GAF", kOld}, {"B_gadget.GAF", kOld}}},
      {old, {"-N", "a.gaf"}, {}, "a.gaf\n  A_gadget.GAF" + skipping + "  B_gadget.GAF" + skipping},
  };
  if (std::getenv("TESSLY_COMMAND") == nullptr) {  // Wine shows a link as the file it points at, and its server fails under these limits
    // A failed write, and an image too large for memory: reported, and the next file written whole.
    rows.push_back({{{"a.gaf", big}}, {"-B"}, {.fileSizeLimit = 1536},
       "a.gaf\n  Failed to write A00.BMP\n" + Exported("A01.BMP") + Exported("B00.BMP")});
    rows.push_back({{{"a.gaf", big}}, {}, {.fileSizeLimit = 1536}, "a.gaf\n  Failed to write A_gadget.GAF\n" + Exported("B_gadget.GAF")});
    rows.push_back({{{"d.gaf@", {'n', 'o', 'n', 'e'}}}, {}, {}, "d.gaf\nERROR;  could not open\n"});
    // No standard input: the end of the keys answers, not the archive that would take its place.
    rows.push_back({old, {"-B", "a.gaf"}, {.closedInput = true}, q0 + "\n" + qb + "\n", none});
    rows.push_back({{{"s.gaf", slash}, {"t", kOld}, {"Z00.BMP@", {'t'}}}, {"-B"}, {},
                    "s.gaf\n error opening x/y00.BMP to write\n error opening Z00.BMP to write\n",
                    {{"t", kOld}, {"Z00.BMP", kOld}}});
#ifndef TESSLY_SANITIZED  // whose runtime needs the address space
    // Empty rows make a 1 GiB bitmap; 200 frames of one 2 MiB image, an entry of 400 MiB.
    fixture::Layout at;
    std::vector<fixture::Frame> frames(200);
    frames[0].image = PlainImage(1024, 2048);
    Bytes shared = fixture::BuildGaf({{"S", frames}, {"T"}}, &at);
    for (std::uint32_t k = 1; k < 200; ++k) fixture::Put(shared, at.entries[0] + 40 + 8 * k, at.frames[0][0]);
    rows.push_back({{{"s.gaf", shared}}, {}, {.memoryLimit = 256 << 20}, "s.gaf\n  Failed to write S_gadget.GAF\n" + Exported("T_gadget.GAF")});
    rows.push_back({{{"h.gaf", fixture::BuildGaf({{"H", {{Image{32767, 32767, 1, std::vector<Bytes>(32767)}}, {PlainImage(1, 1)}}}})}}, {"-B"},
                    {.memoryLimit = 256 << 20}, "h.gaf\n  Failed to write H00.BMP\n" + Exported("H01.BMP")});
#endif
  }
  // clang-format on
  for (const RunRow& row : rows) ExpectRun(row);
}

// Appends little-endian fields.
struct Fields {
  Bytes bytes;
  Fields& Put(std::uint32_t value, std::size_t size) { return fixture::Put(bytes, bytes.size(), value, size), *this; }
  // An image header whose opaque fields run from 0xA0 + seed up.
  Fields& Header(int width, int height, int compressed, int subframes, std::uint32_t data, std::uint8_t seed) {
    Put(std::uint16_t(width), 2).Put(std::uint16_t(height), 2).Put(0xA0u + seed, 2).Put(0xA1u + seed, 2);
    Put(0xA2u + seed, 1).Put(compressed, 1).Put(subframes, 2).Put(0xA3u + seed, 4);
    return Put(data, 4).Put(0xA4u + seed, 4);
  }
};

// A BMP of these top-down rows, without its colour table.
Bytes Bitmap(std::uint32_t width, const std::vector<Bytes>& rows) {
  const std::uint32_t stride = (width + 3) / 4 * 4, height = static_cast<std::uint32_t>(rows.size());
  Fields bmp;
  bmp.Put('B', 1).Put('M', 1).Put(1078 + stride * height, 4).Put(0, 4).Put(1078, 4);  // file header
  bmp.Put(40, 4).Put(width, 4).Put(height, 4).Put(1, 2).Put(8, 2).Put(0, 16).Put(256, 4).Put(256, 4);
  for (std::size_t y = rows.size(); y-- > 0;) {
    bmp.bytes.insert(bmp.bytes.end(), rows[y].begin(), rows[y].end());
    bmp.Put(0, stride - width);
  }
  return bmp.bytes;
}

}  // namespace

// Every image file of one entry: plain rows, the codes of compressed ones,
// subframes, an image of no rows, noise that fills more than one PNG data
// chunk and the largest window of deflate, and an image whose last row
// cannot be read. As BMP files, byte for byte.
RunRow Images(const std::string& extension, const std::vector<std::string>& args) {
  Image noise = PlainImage(192, 180), cut = PlainImage(2, 2, 40);
  std::uint32_t seed = 1;
  for (Bytes& row : noise.rows) {
    for (std::uint8_t& pixel : row) pixel = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
  }
  cut.height = 3;  // the third row lies past the end of the archive
  const Image codes{6, 2, 1, {{0x05, 0x06, 0x2A, 0x04, 0x11, 0x22}, {0x00, 0x44, 0x09, 0x06, 0x33}}};
  const fixture::Frame subframes{Image{1, 1}, {PlainImage(1, 1, 7), Image{2, 1, 1, {{}}}, Image{3, 0}}};
  const fixture::Frame oneSubframe{Image{2, 1}, {PlainImage(1, 1, 3)}};
  std::string output = "a.gaf\n";
  for (const std::string stem : {"IMG00", "IMG01", "IMG02_00", "IMG02_01", "IMG02_02", "IMG03_00", "IMG04"}) {
    output += Exported(stem + extension);
  }
  // clang-format off
  return {{{"a.gaf", fixture::BuildGaf({{"IMG", {{PlainImage(3, 2, 10)}, {codes}, subframes, oneSubframe, {noise}, {cut}}}})}},
          args, {}, output + " error reading pixel data\n" + Exported("IMG05" + extension),
          {{"IMG00" + extension, Bitmap(3, {{10, 11, 12}, {13, 14, 15}})}, {"IMG02_00" + extension, Bitmap(1, {{7}})},
           {"IMG01" + extension, Bitmap(6, {{9, 9, 0x2A, 0x2A, 0x11, 0x22}, {0x44, 9, 9, 9, 9, 0x33}})},
           {"IMG02_01" + extension, Bitmap(2, {{9, 9}})}, {"IMG02_02" + extension, Bitmap(3, {})},
           {"IMG03_00" + extension, Bitmap(1, {{3}})}, {"IMG04" + extension, Bitmap(192, noise.rows)},
           {"IMG05" + extension, Bitmap(2, {{40, 41}, {43, 44}, {9, 9}})}}};
  // clang-format on
}

namespace {

TEST(Bitmap, EveryImageByteForByte) { ExpectRun(Images(".BMP", {"-B"})); }

Image WithAux(Image image, std::uint8_t seed) {
  image.aux1 = 0xA0 + seed, image.aux2 = 0xA1 + seed, image.aux3 = static_cast<std::uint8_t>(0xA2 + seed);
  image.aux4 = 0xA3u + seed, image.aux5 = 0xA4u + seed;
  return image;
}

// W: a plain 2x2 frame, and a frame of two subframes, a compressed row of 3
// bytes and a plain 1x1 image; every opaque field differs. X: no frames,
// though it claims -3. N: counts of -3 in a frame's height and subframe count.
TEST(GafMode, OneEntryFilesFieldByField) {
  // clang-format off
  const fixture::Entry w{"W", {{WithAux(Image{2, 2, 0, {{1, 2}, {3, 4}}}, 0), {}, 0x77},
      {WithAux(Image{3, 1, 1}, 0x10), {WithAux(Image{3, 1, 1, {{0x04, 5, 6}}}, 0x20), WithAux(Image{1, 1, 0, {{9}}}, 0x30)}, 0x88}},
      0xB1B2, 0xC1C2C3C4};
  // clang-format on
  fixture::Layout at;
  Bytes archive = fixture::BuildGaf(
      {w, {"X"}, {"N", {{WithAux(PlainImage(2, 1), 0x40)}, {WithAux(PlainImage(2, 1, 3), 0x50)}}}}, &at);
  for (const std::uint32_t count : {at.entries[1], at.frames[2][0] + 2, at.frames[2][1] + 10}) {
    fixture::Put(archive, count, 0xFFFD, 2);
  }
  Fields wFile, xFile, nFile;
  wFile.Put(0x00010100, 4).Put(1, 4).Put(0, 4).Put(130, 4);
  wFile.Put(0x04030201, 4).Put(3, 2).Put(0x060504, 3).Put(9, 1);  // pixel data
  wFile.Header(2, 2, 0, 0, 16, 0).Header(3, 1, 1, 0, 20, 0x20).Header(1, 1, 0, 0, 25, 0x30);
  wFile.Put(50, 4).Put(74, 4).Header(3, 1, 1, 2, 98, 0x10);  // subframe table, frame 1
  wFile.Put(2, 2).Put(0xB1B2, 2).Put(0xC1C2C3C4, 4).Put('W', 32).Put(26, 4).Put(10, 4).Put(106, 4).Put(10, 4);
  xFile.Put(0x00010100, 4).Put(1, 4).Put(0, 4).Put(16, 4).Put(0, 8).Put('X', 32);
  nFile.Put(0x00010100, 4).Put(1, 4).Put(0, 4).Put(66, 4).Put(0x0403, 2);
  nFile.Header(2, 0, 0, 0, 16, 0x40).Header(2, 1, 0, 0, 16, 0x50);
  nFile.Put(2, 8).Put('N', 32).Put(18, 4).Put(10, 4).Put(42, 4).Put(10, 4);
  // clang-format off
  ExpectRun({{{"a.gaf", archive}}, {}, {}, "a.gaf\n" + Exported("W_gadget.GAF") + Exported("X_gadget.GAF") +
             Exported("N_gadget.GAF"), {{"W_gadget.GAF", wFile.bytes}, {"X_gadget.GAF", xFile.bytes}, {"N_gadget.GAF", nFile.bytes}}});
  // clang-format on
}

// Written files read back in bitmap mode give exactly the original's BMP
// files; one image is larger than the writer's buffer.
TEST(GafMode, RoundTripThroughBitmapMode) {
  const Image codes{5, 2, 1, {{0x03, 0x06, 0x40}, {0x08, 1, 2, 3, 0x41}}};
  TempDir original, back;
  // Images of no pixels, rows of no codes, a plain image of no width (reads of 0 bytes), one pixel.
  const Image none{0, 0}, noCodes{0, 3, 1, {{}, {}, {}}}, noWidth{0, 2, 0, {{}, {}}};
  fixture::WriteFile(original / "a.gaf",
                     fixture::BuildGaf({{"S", {{codes}, {Image{1, 1}, {PlainImage(3, 3), codes}}, {none}, {noCodes}}},
                                        {"T", {{noWidth}, {PlainImage(1, 1)}, {Image{1, 1}, {none, PlainImage(1, 1)}}}},
                                        {"BIG", {{PlainImage(1100, 1000, 5)}}}}));
  RunTessly(original.path, {"-B"});
  RunTessly(original.path, {"-S", "", "a.gaf"});
  for (const std::string name : {"S.GAF", "T.GAF", "BIG.GAF"}) fs::rename(original / name, back / name);
  RunTessly(back.path, {"-B", "*.GAF"});
  std::map<std::string, Bytes> bitmaps = FilesIn(original.path), again = FilesIn(back.path);
  for (const std::string name : {"a.gaf", "S.GAF", "T.GAF", "BIG.GAF"}) bitmaps.erase(name), again.erase(name);
  EXPECT_EQ(bitmaps.size(), 4u + 2 + 4);
  EXPECT_TRUE(bitmaps == again);
}

// Damaged archives: one table of damage done to a sound archive, and the
// report each must give in both modes while everything else is written.
TEST(Damaged, ReportTable) {
  // A: a plain 2x2 frame and a frame of two subframes; B: a compressed frame.
  fixture::Layout at;
  const Bytes sound =
      fixture::BuildGaf({{"A", {{PlainImage(2, 2)}, {Image{1, 1}, {PlainImage(1, 1), Image{2, 1, 1, {{0x05}}}}}}},
                         {"B", {{Image{2, 2, 1, {{0x05}, {0x02, 0x07}}}}}}},
                        &at);
  const auto end = static_cast<std::uint32_t>(sound.size());
  const std::uint32_t a0 = at.frames[0][0], a1 = at.frames[0][1], table = a1 + 24, b0 = at.frames[1][0];
  const std::string x0 = Exported("A00.BMP"), x1 = Exported("A01_00.BMP") + Exported("A01_01.BMP"), xa = x0 + x1;
  const std::string xb = Exported("B00.BMP"), ga = Exported("A_gadget.GAF"), gb = Exported("B_gadget.GAF");
  const std::string gab = ga + gb;
  const auto Set = [](std::size_t offset, std::uint32_t value, std::size_t size = 4) {
    return [=](Bytes& bytes) { fixture::Put(bytes, offset, value, size); };
  };
  // clang-format off
  const struct {
    std::function<void(Bytes&)> damage;
    std::string bitmapReport, gafReport;
  } rows[] = {
      // The entry, its frame table, frame headers, subframe tables and subframe headers: past
      // 2 GiB (no seek), at the last offset that can be sought, and past the end (no read).
      {Set(12, 0x80000000), " error seeking position\n" + xb, " error seeking position\n" + gb},
      {Set(12, 0x7FFFFFFF), " error reading GAF entry\n" + xb, " error reading GAF entry\n" + gb},
      {[](Bytes& b) { b.resize(14); }, " error reading file\n error reading file\n",
       " error reading file\n error reading file\n"},
      {[](Bytes& b) { fixture::Put(b, 16, static_cast<std::uint32_t>(b.size())), fixture::Put(b, b.size(), 1, 40); },
       xa + " error reading GAF frame entry\n", ga + " error reading GAF frame entry\n  Exported _gadget.GAF\n"},
      {Set(at.entries[0] + 40, 0x80000000), " error seeking frame data position\n" + x1 + xb,
       " error seeking frame data position\n" + gab},
      {Set(at.entries[0] + 48, end), x0 + " error reading frame data\n" + xb, " error reading frame data\n" + gab},
      {Set(a1 + 16, 0x80000000),
       x0 + " error seeking subframe entry position\n error seeking subframe entry position\n" + xb,
       " error seeking subframe entry position\n error seeking subframe entry position\n" + gab},
      {Set(a1 + 16, end - 2), x0 + " error reading subframe entry data\n error reading subframe entry data\n" + xb,
       " error reading subframe entry data\n error reading subframe entry data\n" + gab},
      {Set(table, 0x80000000), x0 + " error seeking subframe data position\n  Exported A01_01.BMP\n" + xb,
       " error seeking subframe data position\n" + gab},
      {Set(table + 4, end), x0 + "  Exported A01_00.BMP\n error reading subframe data\n" + xb,
       " error reading subframe data\n" + gab},
      // Pixels: past 2 GiB, rows that end too soon, codes cut short, sizes out of range.
      {Set(a0 + 16, 0x80000000), " error accessing frame pixel data\n" + x1 + xb,
       " error seeking frame pixel data\n" + gab},
      {Set(table + 24, 0x80000000), x0 + " error accessing subframe pixel data\n  Exported A01_01.BMP\n" + xb,
       " error seeking frame pixel data\n" + gab},
      {Set(a0 + 16, end - 2), " error reading pixel data\n" + xa + xb, " error reading pixel data row 1\n" + gab},
      {Set(b0 + 16, end), xa + " error reading pixel data length\n error reading pixel data length\n" + xb,
       ga + " error reading pixel data row length\n error reading pixel data row length\n" + gb},
      {Set(b0 + 16, end - 3), xa + " error reading compressed pixel data\n error reading pixel data length\n" + xb,
       ga + " error reading pixel data row 0\n error reading pixel data row length\n" + gb},
      {Set(a0, 0xFFFE, 2), " error: image size out of range\n" + x1 + xb, " error: image size out of range\n" + gab},
      {Set(a0 + 2, 0xFFFE, 2), " error: image size out of range\n" + x1 + xb, gab},
      {Set(b0, 0xFFFE, 2), xa + " error: image size out of range\n", gab},
  };
  // clang-format on
  for (const auto& row : rows) {
    Bytes archive = sound;
    row.damage(archive);
    ExpectRun({{{"d.gaf", archive}}, {"-B"}, {}, "d.gaf\n" + row.bitmapReport});
    ExpectRun({{{"d.gaf", archive}}, {}, {}, "d.gaf\n" + row.gafReport});
  }
}

}  // namespace
}  // namespace e2e
