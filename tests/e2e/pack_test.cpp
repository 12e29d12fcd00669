// Rebuilding archives: taken apart with --json and packed again, an archive
// in the standard layout and encoding comes back byte for byte; any other
// keeps its fields, pixels, order and sharing, and then comes back byte for
// byte; edited inputs are packed, or refused with one line and no archive.
#include "tests/support/tessly_run.h"
#include "tools/image_builder.h"
#include "tools/row_encoder.h"

namespace e2e {
namespace {

using fixture::Entry, fixture::Frame, fixture::Png, fixture::Bmp;

Image Compressed(std::int16_t width, std::vector<Bytes> codes, std::uint16_t originX = 0) {
  return Image{width, std::int16_t(codes.size()), 1, std::move(codes), originX, 0xFFF0, 9, 0xC4, 0xD5};
}

// Rows in the standard encoding, written by hand: a run of 128 skipped
// pixels is 127 + 1; 129 equal pixels 64 + 64 repeats, then a literal that
// takes the last of them; a row of nothing but 9 has no codes; three equal
// pixels end a literal, two do not; skipped pixels at the end are skips.
// Names with bytes from 0x80, a frame of subframes, plain images, an empty
// one, and shared rows. Image files are read in both kinds.
TEST(Pack, StandardArchivesComeBackByteForByte) {
  const Image runs = Compressed(130, {{0xFF, 0x03, 0x04, 5, 6}, {0xFE, 7, 0xFE, 7, 0x04, 7, 8}, {}});
  const Image small =
      Compressed(5, {{0x0C, 1, 2, 3, 3, 0x03}, {0x05, 0x0A, 4}, {0x00, 1, 0x09}, {0x00, 1, 0x0A, 2, 0x00, 5}}, 0xFFFE);
  const Image plain = fixture::PlainImage(3, 2, 8), empty{0, 3, 1, {{}, {}, {}}};  // 10 to 13 black, as 0 is
  Frame subframes{Image{9, 9, 1, {}, 4, 5}, {small, plain}, 0x77};
  // 300 pixels 0 to 7 and again: literals of 64, 64, 64, 64 and 44, 305
  // bytes of codes, whose length takes both bytes.
  Bytes literals;
  for (int i = 0; i < 300; ++i) {
    if (i % 64 == 0) literals.push_back(std::uint8_t((std::min(64, 300 - i) - 1) << 2));
    literals.push_back(std::uint8_t(i % 8));
  }
  const Image wide = Compressed(300, {literals, {}});
  const std::vector<std::pair<std::vector<Entry>, std::map<int, int>>> rows = {
      {{{"RUNS", {{runs}, subframes}, 0xAB, 0xCDEF}, {"N\xE9\x80\xFF", {{plain, {}, 5}, {small}}}}, {{3, 2}, {4, 1}}},
      // THREE's second image has ONE's rows, stored again: no sharing is made up.
      {{{"ONE", {{small}}}, {"TWO", {{empty}, {small}}}, {"THREE", {{plain}, {small}}}}, {{2, 0}}},
      // Images of no pixels, rows of no codes, a plain image of no width, images of one pixel.
      {{{"E", {{Image{0, 0}}, {empty}, {Image{1, 1, 0, {{5}}}}, {Compressed(1, {{0x00, 6}})}, {Image{0, 2}}, {Image{2, 0}}}},
        {"F", {Frame{Image{1, 1, 1, {}}, {Image{0, 0}, Image{1, 1, 0, {{5}}}}}}}},
       {}},
      // Entries of one name, and of one name but for case, each with images of its own.
      {{{"ROCK", {{small}}}, {"rock", {{wide}}}, {"ROCK", {{plain}, {runs}}}}, {}},
  };
  for (const auto& [entries, shares] : rows) {
    const Bytes archive = fixture::BuildStandardGaf(entries, shares);
    for (const std::string mode : {"--png", "-B"}) {
      TempDir dir;
      fixture::WriteFile(dir / "a.gaf", archive);
      // BMP files go into a folder given by its absolute path, and the archive to one.
      const bool bmp = mode == "-B";
      const std::string parts = bmp ? "parts/" : "", target = bmp ? dir / "b.gaf" : "b.gaf";
      RunTessly(dir.path, {mode, "--json", "--out", bmp ? dir / "parts" : ".", "a.gaf"});
      std::string packed = target + "\n";
      for (const Entry& entry : entries) packed += "  Packed " + entry.name + "\n";
      EXPECT_EQ(RunTessly(dir.path, {"--pack", target, parts + "a.gaf.json"}), kBanner + packed + Exported(target)) << mode;
      std::map<std::string, Bytes> files = FilesIn(dir.path);
      EXPECT_TRUE(files["b.gaf"] == archive) << entries[0].name << mode;
      const std::string listed(files[parts + "a.gaf.json"].begin(), files[parts + "a.gaf.json"].end());
      const std::string ext = bmp ? ".BMP" : ".PNG";
      const bool apart = listed.find(R"("ROCK.json",
    "rock(1).json",
    "ROCK(2).json")") != std::string::npos;
      const std::size_t named = files.count(parts + "rock(1)00" + ext) + files.count(parts + "ROCK(2)01" + ext);
      EXPECT_TRUE(entries[0].name != "ROCK" || (apart && named == 2)) << listed;
    }
  }
}

// Another layout and encoding, with frame 1's pixel data also frame 2's
// under another origin: packed, it holds the same images, fields and
// sharing; packed again from its own output, it is the same file.
TEST(Pack, OtherLayoutsKeepEverythingThenComeBackByteForByte) {
  const Image disc = tools::CompressedImage(5, {{9, 1, 1, 1, 9}, {2, 2, 2, 2, 2}}, 9);
  fixture::Layout at;
  Bytes archive = fixture::BuildGaf({{"X", {{disc}, {fixture::PlainImage(2, 2)}, {fixture::PlainImage(2, 2, 50)}}},
                                     {"Y", {Frame{disc, {disc, fixture::PlainImage(1, 1)}}}}},
                                    &at);
  fixture::Put(archive, at.frames[0][2] + 4, 0x00030003);
  fixture::Put(archive, at.frames[0][2] + 16, at.frames[0][1] + 24);
  TempDir first, second;
  fixture::WriteFile(first / "a.gaf", archive);
  RunTessly(first.path, {"--png", "--json", "a.gaf"});
  RunTessly(first.path, {"--pack", "b.gaf", "a.gaf.json"});
  fixture::WriteFile(second / "b.gaf", FilesIn(first.path)["b.gaf"]);
  RunTessly(second.path, {"--png", "--json", "b.gaf"});
  std::map<std::string, Bytes> taken = FilesIn(first.path), again = FilesIn(second.path);
  EXPECT_EQ(taken.size(), again.size() + 1);  // and a.gaf
  for (const auto& [name, bytes] : taken) {
    EXPECT_TRUE(name.ends_with(".gaf") || name == "a.gaf.json" || again[name] == bytes) << name;
  }
  EXPECT_TRUE(again["b.gaf.json"] == taken["a.gaf.json"]);
  const std::string shared = R"("sharedWith": "X01.PNG")";
  EXPECT_NE(std::string(taken["X.json"].begin(), taken["X.json"].end()).find(shared), std::string::npos);
  RunTessly(second.path, {"--pack", "c.gaf", "b.gaf.json"});
  EXPECT_TRUE(FilesIn(second.path)["c.gaf"] == again["b.gaf"]);
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// One image file named by many frames, each with fields of its own: every
// frame keeps its own origin and encoding, on every run, also where the
// entries pass what is read ahead at once (1,024) and two entries on either
// side of that boundary name the same file. ROCK00.PNG holds 1 2 9 / 3 3 3.
TEST(Pack, OneImageNamedByManyFrames) {
  // Entries and frames in each; frame k of entry e has origin (k + e, -k),
  // compressed when k + e is even.
  for (const auto& [entries, frames] : std::vector<std::pair<int, int>>{{1, 2}, {1, 200}, {1030, 2}}) {
    TempDir dir;
    fixture::WriteFile(dir / "ROCK00.PNG", fixture::Png(3, 2, {1, 2, 9, 3, 3, 3}, 10));
    std::vector<Entry> built;
    std::string printed = "b.gaf\n";
    for (int e = 0; e < entries; ++e) {
      const std::string name = "E" + std::to_string(10000 + e);
      std::string json = R"({"name": ")" + name + R"(", "frames": [)";
      for (int k = 0; k < frames; ++k) {
        const bool compressed = (k + e) % 2 == 0;
        json += (k ? ", " : "") + std::string(R"({"width": 3, "height": 2, "originX": )") + std::to_string(k + e) +
                R"(, "originY": )" + std::to_string(-k) + R"(, "compressed": )" + std::to_string(compressed) +
                R"(, "image": "ROCK00.PNG"})";
        const std::vector<Bytes> rows = compressed ? std::vector<Bytes>{{0x04, 1, 2, 0x03}, {0x0A, 3}}
                                                   : std::vector<Bytes>{{1, 2, 9}, {3, 3, 3}};
        if (k == 0) built.push_back({name, {}, 1});  // aux1 as in the game's archives
        built.back().frames.push_back({Image{3, 2, compressed, rows, std::uint16_t(k + e), std::uint16_t(-k), 9}});
      }
      fixture::WriteFile(dir / (name + ".json"), Text(json + "]}"));
      printed += "  Packed " + name + "\n";
    }
    EXPECT_EQ(RunTessly(dir.path, {"--pack", "b.gaf", "E*.json"}), kBanner + printed + Exported("b.gaf"));
    EXPECT_TRUE(FilesIn(dir.path)["b.gaf"] == fixture::BuildStandardGaf(built)) << entries << " entries";
  }
}

// Colours a palette lacks, worked out by hand. The palette: 0 black, 1 grey
// 250, 2 white, 3 green 250, 4 magenta, 9 grey 50 (the rest black). In
// G00, --nearest gives grey 120 black and grey 50 black, not index 9;
// --dither also passes 120 x 7/16 = 53 on to the grey 250 beside it, which
// becomes white. G01 is dithered in every direction and channel: its first
// pixel, grey 128, becomes grey 250 and passes on -122 x 3/16, 5/16 and
// 1/16 to the row below; its transparent pixels take and pass on nothing,
// so that the third, (30, 200, 90), becomes green 250 as it is.
TEST(Pack, NearestAndDitherSayWhatTheyChanged) {
  const auto rgba = [](std::initializer_list<std::uint32_t> colours) {
    Bytes pixels;
    for (const std::uint32_t c : colours) {
      pixels.insert(pixels.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), std::uint8_t(c >> 24 ? 0 : 255)});
    }
    return pixels;
  };
  std::string lines = "GIMP Palette\n0 0 0\n250 250 250\n255 255 255\n0 250 0\n255 0 255\n";
  for (int i = 5; i < 9; ++i) lines += "0 0 0\n";
  lines += "50 50 50\n";
  const std::map<std::string, Bytes> inputs{
      {"g.gpl", Text(lines)},
      {"G00.PNG", Png(3, 1, rgba({0x787878, 0xFAFAFA, 0x323232}))},  // 0x01RRGGBB: transparent
      {"G01.PNG", Png(4, 3, rgba({0x808080, 0x01780000, 0x1EC85A, 0x01780000, 0x783CC8, 0xFAFAFA, 0x00FAFA, 0x01FF0000,
                                  0x5A5A5A, 0x5A5A5A, 0x5A5A5A, 0xFFFFFF}))},
      {"G.json", Text(R"({"name": "G", "frames": [{"width": 3, "height": 1, "compressed": 0, "image": "G00.PNG"},
                                                   {"compressed": 0, "image": "G01.PNG"}]})")}};
  const auto archive = [](Bytes first, std::vector<Bytes> second) {
    return fixture::BuildStandardGaf({{"G", {{Image{3, 1, 0, {first}, 0, 0, 9}}, {Image{4, 3, 0, second, 0, 0, 9}}}, 1}});
  };
  std::map<std::string, Bytes> lone = inputs;
  lone["G00.PNG"] = Png(3, 1, rgba({0xFAFAFA, 0xFAFAFA, 0x323232}));
  const std::string packed = "  Packed G\n  Exported b.gaf\n";
  const std::string green = "ERROR: G01.PNG (G.json, frame 1): pixel (0, 0) has colour #808080, which the palette lacks\n"
                            "  b.gaf not written: an error above stopped it\n";
  const std::vector<RunRow> rows = {
      {inputs, {"--palette", "g.gpl", "--pack", "b.gaf", "G.json"}, {.exitStatus = 1},
       "b.gaf\nERROR: G00.PNG (G.json, frame 0): pixel (0, 0) has colour #787878, which the palette lacks\n" + green},
      {lone, {"--palette", "g.gpl", "--pack", "b.gaf", "G.json"}, {.exitStatus = 1},
       "b.gaf\nERROR: G00.PNG (G.json, frame 0): pixel (2, 0) is opaque but has colour #323232, which only the transparent "
       "index 9 has\n" + green},
      {inputs, {"--palette", "g.gpl", "--nearest", "--pack", "b.gaf", "G.json"}, {},
       "b.gaf\n  G00.PNG: 2 of its pixels changed to the nearest colours\n  G01.PNG: 7 of its pixels changed to the nearest "
       "colours\n" + packed,
       {{"b.gaf", archive({0, 1, 0}, {{1, 9, 3, 9}, {4, 1, 1, 9}, {0, 0, 0, 2}})}}},
      {inputs, {"--palette", "g.gpl", "--dither", "--pack", "b.gaf", "G.json"}, {},
       "b.gaf\n  G00.PNG: 3 of its pixels changed by dithering\n  G01.PNG: 8 of its pixels changed by dithering\n" + packed,
       {{"b.gaf", archive({0, 2, 0}, {{1, 9, 3, 9}, {0, 1, 1, 9}, {4, 3, 0, 1}})}}},
  };
  for (const RunRow& row : rows) ExpectRun(row);
}

// Entry E: frame 0 a compressed 3x2 image (indexes 1 2 9 / 3 3 3), frame 1
// a plain 2x1 one (4 0). Each row gives inputs, arguments, output and the
// archive that must be there afterwards.
TEST(Pack, EditedInputsTable) {
  const std::string frame0 = R"({"width": 3, "height": 2, "originX": -1, "image": "E00.PNG"})";
  const std::string frame1 = R"({"compressed": 0, "transparencyIndex": 0, "image": "E01.BMP"})";
  const auto description = [&](const std::string& first, const std::string& second) {
    return Text(R"({"name": "E", "aux2": 7, "frames": [)" + first + ", " + second + "]}");
  };
  const auto Rows = [](std::int16_t width, std::vector<Bytes> codes) {
    return Image{width, std::int16_t(codes.size()), 1, std::move(codes)};
  };
  const auto archive = [](Image first, Image second) {
    first.aux1 = 0xFFFF, first.aux3 = 9;
    return fixture::BuildStandardGaf({{"E", {{first}, {second}}, 1, 7}});
  };
  const Image second{2, 1, 0, {{4, 0}}};
  const Bytes indexed = Png(3, 2, {1, 2, 9, 3, 3, 3}, 10), bmp = Bmp(2, {0x000080, 0x000000});
  const Bytes good = archive(Rows(3, {{0x04, 1, 2, 0x03}, {0x0A, 3}}), second);
  const auto rgba = [](std::uint32_t first, std::uint8_t alpha = 255) {
    Bytes pixels;
    for (const std::uint32_t rgb : {first, 0x008000u, 0x5454FCu, 0x808000u, 0x808000u, 0x808000u}) {
      pixels.insert(pixels.end(), {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), alpha});
    }
    pixels[11] = 0;  // the third pixel fully transparent
    return pixels;
  };
  const std::map<std::string, Bytes> inputs{
      {"E.json", description(frame0, frame1)}, {"E00.PNG", indexed}, {"E01.BMP", bmp}, {"b.gaf", kOld}};
  const auto with = [&inputs](std::map<std::string, Bytes> changed) {
    changed.insert(inputs.begin(), inputs.end());
    return changed;
  };
  const std::string packed = "b.gaf\n  Packed E\n  Exported b.gaf\n", refused = "b.gaf\nERROR: ";
  const std::string notWritten = " not written: an error above stopped it\n", stopped = "  b.gaf" + notWritten;
  const auto Patched = [](Bytes file, std::size_t at, std::uint32_t value) {
    fixture::Put(file, at, value);
    return file;
  };
  const auto many = [](const std::string& piece) {  // 32768 of them
    std::string list = piece;
    for (int i = 1; i < 32768; ++i) list += ", " + piece;
    return list;
  };
  const RunOptions failing{.exitStatus = 1};
  // clang-format off
  std::vector<RunRow> rows = {
      {inputs, {"-Y", "--pack", "b.gaf", "*.json"}, {}, packed, {{"b.gaf", good}}},
      // A truecolour image from an editor: colours of the palette, the lowest index of each (black is 0 and 10).
      {with({{"E00.PNG", Png(3, 2, rgba(0x800000))}}), {"-Y", "--pack", "b.gaf", "E.json"}, {}, packed, {{"b.gaf", good}}},
      {with({{"E00.PNG", Png(3, 2, rgba(0x000000))}}), {"-Y", "--pack", "b.gaf", "E.json"}, {}, packed,
       {{"b.gaf", archive(Rows(3, {{0x04, 0, 2, 0x03}, {0x0A, 3}}), second)}}},
      // A colour table other than the palette's: its colours are matched.
      // An opaque pixel of index 9's colour alone would turn transparent: refused.
      {with({{"E00.PNG", Png(3, 2, {0, 1, 8, 2, 2, 2}, 9, 1)}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing, refused +
       "E00.PNG (E.json, frame 0): pixel (2, 0) is opaque but has colour #5454FC, which only the transparent index 9 has\n" + stopped,
       {{"b.gaf", kOld}}},
      // Resized: the image's size wins over the description's. Indexes of a table that is the palette's stay as they are.
      {with({{"E00.PNG", Png(1, 1, {10}, 11)}}), {"-Y", "--pack", "b.gaf", "E.json"}, {}, packed,
       {{"b.gaf", archive(Rows(1, {{0x00, 10}}), second)}}},
      {with({{"E00.PNG", Png(3, 2, rgba(0x010203))}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E00.PNG (E.json, frame 0): pixel (0, 0) has colour #010203, which the palette lacks\n" + stopped, {{"b.gaf", kOld}}},
      {with({{"E00.PNG", Png(3, 2, rgba(0x010203))}}), {"-Y", "--nearest", "--pack", "b.gaf", "E.json"}, {},
       "b.gaf\n  E00.PNG: 1 of its pixels changed to the nearest colours\n  E01.BMP: 0 of its pixels changed to the nearest colours\n"
       "  Packed E\n  Exported b.gaf\n",
       {{"b.gaf", archive(Rows(3, {{0x04, 0, 2, 0x03}, {0x0A, 3}}), second)}}},
      {with({{"E00.PNG", Png(3, 2, rgba(0x800000, 128))}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E00.PNG (E.json, frame 0): pixel (0, 0) is partly transparent (colour #800000, alpha 128)\n" + stopped, {{"b.gaf", kOld}}},
      {with({{"E.json", description(frame0, R"({"aux4": -1, "image": "E01.BMP"})")}}), {"-Y", "--pack", "b.gaf", "E.json"},
       failing, refused + "E.json: frames[1].aux4 -1 is not a number from 0 to 4294967295\n" + stopped, {{"b.gaf", kOld}}},
      {with({{"E.json", Text(R"({"name": ")" + std::string(31, 'N') + R"(", "frames": []})")}}), {"--pack", "c.gaf", "E.json"},
       {}, "c.gaf\n  Packed " + std::string(31, 'N') + "\n  Exported c.gaf\n"},
      {with({{"E.json", description(frame0, R"({"image": "E02.BMP"})")}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E02.BMP (E.json, frame 1): there is no such file\n" + stopped, {{"b.gaf", kOld}}},
      {with({{"E.json", Text(R"({"name": "E", "frames": [{"subframes": [{"image": "in"}, {"image": "E00.PNG"}]}]})")}, {"in/x", {}}}),
       {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "in (E.json, frame 0, subframe 0): it is a folder or a device, not a file\n" + stopped, {{"b.gaf", kOld}}},
      // Indexes of 4, 2 and 1 bits, as editors write images of few colours.
      {with({{"E00.PNG", Png(3, 2, {0x12, 0x90, 0x33, 0x30}, 10, 0, 4)}}), {"-Y", "--pack", "b.gaf", "E.json"}, {}, packed,
       {{"b.gaf", good}}},
      {with({{"E00.PNG", Png(3, 2, {0x60, 0xFC}, 4, 0, 2)}}), {"-Y", "--pack", "b.gaf", "E.json"}, {}, packed,
       {{"b.gaf", archive(Rows(3, {{0x08, 1, 2, 0}, {0x0A, 3}}), second)}}},
      {with({{"E00.PNG", Png(10, 2, {0xA1, 0x40, 0xE0, 0x40}, 2, 0, 1)}}), {"-Y", "--pack", "b.gaf", "E.json"}, {}, packed,
       {{"b.gaf", archive(Rows(10, {{0x08, 1, 0, 1, 0x0E, 0, 0x08, 1, 0, 1}, {0x0A, 1, 0x16, 0, 0x00, 1}}), second)}}},
      // BMP files of 8 bits with a table of their own, top row first; an index past the table.
      {with({{"E01.BMP", Bmp(1, {0x000080, 0x000000}, 8, true)}}), {"-Y", "--pack", "b.gaf", "E.json"}, {}, packed,
       {{"b.gaf", archive(Rows(3, {{0x04, 1, 2, 0x03}, {0x0A, 3}}), Image{1, 2, 0, {{4}, {0}}})}}},
      {with({{"E01.BMP", Patched(Bmp(1, {0x000080, 0x000000}, 8), 62, 2)}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E01.BMP (E.json, frame 1): the image file is damaged\n" + stopped, {{"b.gaf", kOld}}},
      // A BMP file of 32 bits, whose fourth byte is no alpha.
      {with({{"E01.BMP", Bmp(2, {0x000080, 0x000000}, 32)}}), {"-Y", "--pack", "b.gaf", "E.json"}, {}, packed,
       {{"b.gaf", good}}},
      {with({{"E00.PNG", Text("not an image")}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E00.PNG (E.json, frame 0): neither a PNG file nor a BMP file\n" + stopped, {{"b.gaf", kOld}}},
      {with({{"E01.BMP", Patched(bmp, 30, 1)}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E01.BMP (E.json, frame 1): a BMP file that is compressed, or not of 8, 24 or 32 bits\n" + stopped, {{"b.gaf", kOld}}},
      // BMP headers that say more than the file holds: rows past its end, a wider image.
      {with({{"E01.BMP", Patched(bmp, 10, 55)}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E01.BMP (E.json, frame 1): the image file is damaged\n" + stopped, {{"b.gaf", kOld}}},
      {with({{"E01.BMP", Patched(bmp, 18, 3)}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E01.BMP (E.json, frame 1): the image file is damaged\n" + stopped, {{"b.gaf", kOld}}},
      // Descriptions are told apart by what they hold, not by their names.
      {with({{"list.json", Text(R"({"entries": ["E.json"]})")}}), {"-Y", "--pack", "b.gaf", "list.json"}, {}, packed,
       {{"b.gaf", good}}},
      {with({{"list.json", Text(R"({"entries": ["in.json"]})")}, {"in.json", Text(R"({"entries": ["E.json"]})")}}),  // no nesting
       {"-Y", "--pack", "b.gaf", "list.json"}, failing, refused + "in.json: name is missing\n" + stopped, {{"b.gaf", kOld}}},
      {{{"E.GAF.JSON", inputs.at("E.json")}, {"E00.PNG", indexed}, {"E01.BMP", bmp}}, {"--pack", "b.gaf", "E.GAF.JSON"},
       {}, "b.gaf\n  Packed E\n  Exported b.gaf\n", {{"b.gaf", good}}},
      // Descriptions in another folder name images beside them.
      {{{"in/E.json", inputs.at("E.json")}, {"in/E00.PNG", indexed}, {"in/E01.BMP", bmp}}, {"--pack", "b.gaf", "in/E.json"},
       {}, "b.gaf\n  Packed E\n  Exported b.gaf\n", {{"b.gaf", good}}},
      // No more pieces than a count holds.
      {with({{"E.json", Text(R"({"name": "E", "frames": [{"subframes": [)" + many(R"({"image": "E00.PNG"})") + "]}]}")}}),
       {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E.json: frames[0].subframes holds 32768 subframes, more than a frame can hold (32767)\n" + stopped, {{"b.gaf", kOld}}},
      {with({{"E.json", Text(R"({"name": "E", "frames": [)" + many(R"({"image": "E00.PNG"})") + "]}")}}),
       {"-Y", "--pack", "b.gaf", "E.json"}, failing,
       refused + "E.json: frames holds 32768 frames, more than an entry can hold (32767)\n" + stopped, {{"b.gaf", kOld}}},
      {inputs, {"--palette", "no.pal", "--pack", "b.gaf", "E.json"}, failing,
       "b.gaf\nERROR: cannot use the palette no.pal: there is no such file\n" + stopped, {{"b.gaf", kOld}}},
      {inputs, {"-N", "--pack", "b.gaf", "E.json"}, failing, "b.gaf\n  Packed E\n  b.gaf already exists; skipping\n", {{"b.gaf", kOld}}},
      {with({{"b.gaf.unfinished/in", {}}}), {"-Y", "--pack", "b.gaf", "E.json"}, failing,  // where the new one is written first
       "b.gaf\n  Packed E\n  error opening b.gaf.unfinished to write\n", {{"b.gaf", kOld}}},
      {inputs, {"-E", "x*", "--pack", "c.gaf", "E.json"}, failing, "c.gaf\nERROR: c.gaf: no entry to pack\n  c.gaf" + notWritten},
      {inputs, {"--pack", "c.gaf", "F*.json"}, failing, "c.gaf\nERROR: F*.json: no such description\n  c.gaf" + notWritten},
      {inputs, {"--pack", "no/c.gaf", "E.json"}, failing, "no/c.gaf\n  Packed E\n  error opening no/c.gaf to write\n"},
      // Into another folder, as given or from that of --out, which is made.
      {with({{"o/b.gaf", kOld}}), {"--pack", "o/b.gaf", "E.json", "-Y"}, {}, "o/b.gaf\n  Packed E\n  Exported o/b.gaf\n",
       {{"o/b.gaf", good}}},
      {inputs, {"--out", "o/p", "--pack", "c.gaf", "E.json"}, {}, "c.gaf\n  Packed E\n  Exported o/p/c.gaf\n", {{"o/p/c.gaf", good}}},
      {inputs, {"--pack", "c.gaf"}, failing, "ERROR: --pack needs an archive name and at least one description\n" + kUsage},
      {inputs, {"--pack", "c.gaf", "E.json", "-B"}, failing, "ERROR: --pack cannot be used with -B, --png, --json, -P or -S\n" + kUsage},
  };
  // clang-format on
  if (std::getenv("TESSLY_COMMAND") == nullptr) {  // Wine's server fails under a file-size limit
    // A write that fails leaves no part of an archive, and the file it was to replace as it was.
    rows.push_back({inputs, {"-Y", "--pack", "b.gaf", "E.json"}, {.fileSizeLimit = 40, .exitStatus = 1},
                    "b.gaf\n  Packed E\n  Failed to write b.gaf\n", {{"b.gaf", kOld}}});
    // A link in another folder is not written through, nor replaced.
    rows.push_back({with({{"o/c.gaf@", Text("../t")}, {"t", kOld}}), {"-Y", "--pack", "o/c.gaf", "E.json"}, failing,
                    "o/c.gaf\n  Packed E\n  error opening o/c.gaf to write\n", {{"t", kOld}}});
    TempDir dir;
    for (const auto& [name, bytes] : inputs) fixture::WriteFile(dir / name, bytes);
    RunTessly(dir.path, {"--pack", "c.gaf", "E.json"}, {.fileSizeLimit = 40, .exitStatus = 1});
    EXPECT_EQ(FilesIn(dir.path).size(), inputs.size());
  }
  for (const RunRow& row : rows) ExpectRun(row);
}

}  // namespace
}  // namespace e2e
