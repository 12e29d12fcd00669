// Image mode with PNG files and JSON descriptions. Every PNG file is read
// back with libspng and holds exactly the indexes of the BMP file of the
// same image, top row first, with the documented palette and only index 9
// transparent.
#include <spng.h>

#include <nlohmann/json.hpp>

#include "tests/support/tessly_run.h"

namespace e2e {

// Every image file of one entry, and the BMP files that they must match (run_test.cpp).
RunRow Images(const std::string& extension, const std::vector<std::string>& args);

namespace {

// The indexes of a BMP file without its colour table, top row first; an
// image of no pixels as a PNG holds one skipped pixel.
std::vector<std::uint8_t> TopDownIndexes(const Bytes& bmp) {
  const std::uint32_t width = bmp[18] | bmp[19] << 8, height = bmp[22] | bmp[23] << 8, stride = (width + 3) / 4 * 4;
  if (width == 0 || height == 0) return {9};
  std::vector<std::uint8_t> indexes;
  for (std::uint32_t y = height; y-- > 0;)
    indexes.insert(indexes.end(), bmp.begin() + 54 + stride * y, bmp.begin() + 54 + stride * y + width);
  return indexes;
}

void ExpectPngOf(const Bytes& png, const Bytes& bmp, const std::string& name) {
  spng_ctx* png_ctx = spng_ctx_new(0);
  spng_set_png_buffer(png_ctx, png.data(), png.size());
  spng_ihdr ihdr{};
  spng_plte plte{};
  spng_trns trns{};
  std::size_t size = 0;
  EXPECT_EQ(spng_get_ihdr(png_ctx, &ihdr) | spng_get_plte(png_ctx, &plte) | spng_get_trns(png_ctx, &trns), 0) << name;
  EXPECT_EQ(spng_decoded_image_size(png_ctx, SPNG_FMT_PNG, &size), 0) << name;
  std::vector<std::uint8_t> indexes(size);
  EXPECT_EQ(spng_decode_image(png_ctx, indexes.data(), size, SPNG_FMT_PNG, 0), 0) << name;
  EXPECT_EQ(ihdr.bit_depth * 10 + ihdr.color_type + ihdr.interlace_method, 83) << name;
  EXPECT_EQ(indexes, TopDownIndexes(bmp)) << name;
  // The same digest as the BMP files' colour table: the documented colours as blue, green, red, 0.
  std::uint64_t digest = 0xcbf29ce484222325;
  for (std::uint32_t i = 0; i < plte.n_entries; ++i)
    for (const std::uint8_t byte : {plte.entries[i].blue, plte.entries[i].green, plte.entries[i].red, std::uint8_t{0}})
      digest = (digest ^ byte) * 0x100000001b3;
  EXPECT_EQ(digest, 0x579cb54d9c596c6au) << name;
  const std::vector<std::uint8_t> alpha(trns.type3_alpha, trns.type3_alpha + trns.n_type3_entries);
  EXPECT_EQ(alpha, std::vector<std::uint8_t>({255, 255, 255, 255, 255, 255, 255, 255, 255, 0})) << name;
  spng_ctx_free(png_ctx);
}

TEST(Png, TheIndexesOfTheBitmaps) {
  RunRow pngs = Images(".PNG", {"-B", "--PNG"});
  pngs.after.clear();  // each reported file must hold something new
  std::map<std::string, Bytes> written = ExpectRun(pngs);
  for (const auto& [name, bmp] : Images(".BMP", {}).after) {
    const std::string png = name.substr(0, name.size() - 3) + "PNG";
    ExpectPngOf(written[png], bmp, png);
  }
}

// Entry R©: frame 0 an image with a negative origin, frame 1 unreadable,
// frame 2 two subframes of which the first shares frame 0's pixel data and
// the second is unreadable. Then the archive's description.
TEST(Json, TheDescriptionOfAnEntry) {
  const Image image{2, 1, 0, {{0, 1}}, 0xFFFE, 5, 9, 0xA3, 0xFFFFFFFF};
  fixture::Layout at;
  Bytes archive = fixture::BuildGaf(
      {{"R\xA9", {{image, {}, 0x77}, {image}, {Image{1, 1}, {PlainImage(1, 1), PlainImage(1, 1)}}}, 0xB1B2, 0xC1C2C3C4}},
      &at);
  fixture::Put(archive, at.entries[0] + 48, 0x80000000);
  fixture::Put(archive, at.frames[0][2] + 28, 0x7FFFFFF0);
  const std::size_t subframe0 = archive[at.frames[0][2] + 24] | archive[at.frames[0][2] + 25] << 8;
  fixture::Put(archive, subframe0 + 16, at.frames[0][0] + 24);
  const std::string fields =
      R"("width": 1, "height": 1, "originX": 0, "originY": 0, "transparencyIndex": 0, "compressed": 0, )";
  const std::string json = R"({"name": "R\u00a9", "frameCount": 3, "aux1": 45490, "aux2": 3250766788, "frames": [
    {"tableAux": 119, "width": 2, "height": 1, "originX": -2, "originY": 5, "transparencyIndex": 9, "compressed": 0,
      "subframeCount": 0, "aux4": 163, "aux5": 4294967295, "image": "R\u00a900.PNG"}, null,
    {"tableAux": 0, )" + fields + R"("subframeCount": 2, "aux4": 0, "aux5": 0, "subframes": [
      {)" + fields + R"("subframeCount": 0, "aux4": 0, "aux5": 0, "image": "R\u00a902_00.PNG",
      "sharedWith": "R\u00a900.PNG"}, null]}]})";
  const std::string described = "{\n  \"version\": 65792,\n  \"entries\": [\n    \"R\\u00a9.json\"\n  ]\n}\n";
  std::map<std::string, Bytes> files = ExpectRun(
      {{{"a.gaf", archive}}, {"--json", "--png"}, {},
       "a.gaf\n" + Exported("R\xA9" "00.PNG") + " error seeking frame data position\n" + Exported("R\xA9" "02_00.PNG") +
           " error reading subframe data\n" + Exported("R\xA9.json") + Exported("a.gaf.json"),
       {{"a.gaf.json", Bytes(described.begin(), described.end())}}});
  // Keys in this order; laid out as the README's example is.
  EXPECT_EQ(nlohmann::ordered_json::parse(files[OnDisk("R\xA9.json")]), nlohmann::ordered_json::parse(json));
}

// --palette gives its colours to the files written, PNG files through the
// same palette as BMP files. Colour i of the palette is (i, 255 - i, i / 2).
TEST(Bitmap, APaletteGivesItsColours) {
  std::string jasc = "JASC-PAL\r\n0100\r\n256\r\n";
  for (int i = 0; i < 256; ++i) jasc += std::to_string(i) + " " + std::to_string(255 - i) + " " + std::to_string(i / 2) + "\r\n";
  TempDir dir;
  fixture::WriteFile(dir / "a.gaf", fixture::BuildGaf({{"P", {{PlainImage(2, 1, 8)}}}}));
  fixture::WriteFile(dir / "units.pal", Bytes(jasc.begin(), jasc.end()));
  EXPECT_EQ(RunTessly(dir.path, {"-B", "--palette", "units.pal"}), kBanner + "a.gaf\n" + Exported("P00.BMP"));
  const Bytes file = FilesIn(dir.path)["P00.BMP"];
  std::vector<std::uint8_t> colours;  // red, green, blue of indexes 8, 9 and 200
  for (const int i : {8, 9, 200}) colours.insert(colours.end(), {file[56 + 4 * i], file[55 + 4 * i], file[54 + 4 * i]});
  EXPECT_EQ(colours, std::vector<std::uint8_t>({8, 247, 4, 9, 246, 4, 200, 55, 100}));
  // --write-palette writes it in every form, and each reads back as the same colours: the JASC file
  // as it was, Photoshop's table as its 768 bytes, the swatch as cells of 8 x 8 pixels, 16 a row.
  Bytes table;
  for (int i = 0; i < 256; ++i) table.insert(table.end(), {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2)});
  for (const std::string form : {"pal", "GPL", "act", "png"}) {
    const std::string written = "out/p." + form;
    EXPECT_EQ(RunTessly(dir.path, {"--palette", "units.pal", "--out", "out", "--write-palette", "p." + form}),
              kBanner + Exported(written));
    EXPECT_EQ(RunTessly(dir.path, {"-Y", "--write-palette", "back.pal", "--palette", written}), kBanner + Exported("back.pal"));
    EXPECT_EQ(FilesIn(dir.path)["back.pal"], Bytes(jasc.begin(), jasc.end())) << form;
  }
  EXPECT_EQ(FilesIn(dir.path)["out/p.act"], table);
  spng_ctx* png = spng_ctx_new(0);
  const Bytes swatch = FilesIn(dir.path)["out/p.png"];
  spng_set_png_buffer(png, swatch.data(), swatch.size());
  std::vector<std::uint8_t> pixels(128 * 128), expected;
  EXPECT_EQ(spng_decode_image(png, pixels.data(), pixels.size(), SPNG_FMT_PNG, 0), 0);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) expected.push_back(std::uint8_t(y / 8 * 16 + x / 8));
  EXPECT_EQ(pixels, expected);
  spng_ctx_free(png);
}

}  // namespace
}  // namespace e2e
