// Image mode with PNG files and JSON descriptions. Every PNG file is read
// back with libspng and holds exactly the indexes of the BMP file of the
// same image, top row first, with the documented palette and only index 9
// transparent.
#include <spng.h>

#include "tests/support/tessly_run.h"

namespace e2e {
namespace {

using fixture::Image;
using fixture::PlainImage;

std::uint32_t Load32(const Bytes& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

// The indexes of a BMP file, top row first; an image of no pixels as a PNG holds one skipped pixel.
std::vector<std::uint8_t> TopDownIndexes(const Bytes& bmp) {
  const std::uint32_t width = Load32(bmp, 18), height = Load32(bmp, 22), stride = (width + 3) / 4 * 4;
  if (width == 0 || height == 0) return {9};
  std::vector<std::uint8_t> indexes;
  for (std::uint32_t y = height; y-- > 0;) {
    indexes.insert(indexes.end(), bmp.begin() + 1078 + stride * y, bmp.begin() + 1078 + stride * y + width);
  }
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
  for (std::uint32_t i = 0; i < plte.n_entries; ++i) {
    for (const std::uint8_t byte : {plte.entries[i].blue, plte.entries[i].green, plte.entries[i].red, std::uint8_t{0}}) {
      digest = (digest ^ byte) * 0x100000001b3;
    }
  }
  EXPECT_EQ(digest, 0x579cb54d9c596c6au) << name;
  const std::vector<std::uint8_t> alpha(trns.type3_alpha, trns.type3_alpha + trns.n_type3_entries);
  EXPECT_EQ(alpha, std::vector<std::uint8_t>({255, 255, 255, 255, 255, 255, 255, 255, 255, 0})) << name;
  spng_text text{};
  std::uint32_t texts = 0;
  EXPECT_NE(spng_get_text(png_ctx, &text, &texts), 0) << name;  // no text or time chunk
  spng_ctx_free(png_ctx);
}

TEST(Png, TheIndexesOfTheBitmaps) {
  const Image codes{6, 2, 1, {{0x05, 0x06, 0x2A, 0x04, 0x11, 0x22}, {0x00, 0x44, 0x09, 0x06, 0x33}}};
  Image cut = PlainImage(5, 2, 40);
  cut.height = 3;  // the third row lies past the end of the archive
  const Bytes archive = fixture::BuildGaf(
      {{"BIG", {{PlainImage(300, 257, 1)}}},
       {"IMG", {{PlainImage(3, 2, 10)}, {codes}, {Image{1, 1}, {PlainImage(1, 1, 7), Image{3, 0}}}, {cut}}}});
  TempDir bitmaps, pngs;
  bitmaps.Write("a.gaf", archive);
  pngs.Write("a.gaf", archive);
  RunTessly(bitmaps.path, {"-B"});
  EXPECT_EQ(RunTessly(pngs.path, {"-B", "--PNG"}),
            kBanner + "a.gaf\n" + Exported("BIG00.PNG") + Exported("IMG00.PNG") + Exported("IMG01.PNG") + Exported("IMG02_00.PNG") +
                Exported("IMG02_01.PNG") + " error reading pixel data\n" + Exported("IMG03.PNG"));
  std::map<std::string, Bytes> written = FilesIn(pngs.path);
  for (const auto& [name, bmp] : FilesIn(bitmaps.path)) {
    if (name == "a.gaf") continue;
    const std::string png = name.substr(0, name.size() - 3) + "PNG";
    ExpectPngOf(written[png], bmp, png);
    written.erase(png);
  }
  EXPECT_EQ(written.size(), 1u);  // a.gaf
}

// Entry RÉ: frame 0 an image with a negative origin, frame 1 unreadable,
// frame 2 two subframes of which the second is unreadable.
TEST(Json, TheDescriptionOfAnEntry) {
  Image image = PlainImage(2, 1);
  image.aux1 = 0xFFFE, image.aux2 = 5, image.aux3 = 9, image.aux4 = 0xA3, image.aux5 = 0xFFFFFFFF;
  fixture::Layout at;
  Bytes archive = fixture::BuildGaf(
      {{"R\xC9", {{image, {}, 0x77}, {image}, {Image{1, 1}, {PlainImage(1, 1), PlainImage(1, 1)}}}, 0xB1B2, 0xC1C2C3C4}},
      &at);
  fixture::Put(archive, at.entries[0] + 48, 0x80000000);
  fixture::Put(archive, at.frames[0][2] + 28, 0x7FFFFFF0);
  const std::string fields =
      R"("width": 1, "height": 1, "originX": 0, "originY": 0, "transparencyIndex": 0, "compressed": 0, )";
  std::string json = R"({"name": "R\u00c9", "frameCount": 3, "aux1": 45490, "aux2": 3250766788, "frames": [
    {"tableAux": 119, "width": 2, "height": 1, "originX": -2, "originY": 5, "transparencyIndex": 9, "compressed": 0,
      "subframeCount": 0, "aux4": 163, "aux5": 4294967295, "image": "R\u00c900.PNG"}, null,
    {"tableAux": 0, )" + fields + R"("subframeCount": 2, "aux4": 0, "aux5": 0, "subframes": [
      {)" + fields + R"("subframeCount": 0, "aux4": 0, "aux5": 0, "image": "R\u00c902_00.PNG"}, null]}]})";
  // Laid out as written: a key or a list item a line, indented by two blanks a level.
  std::string expected;
  int depth = 0;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (c == '\n' || (c == ' ' && (json[i - 1] == ',' || json[i - 1] == '\n' || json[i - 1] == ' '))) continue;
    if (c == ']' || c == '}') expected += "\n" + std::string(2 * --depth, ' ');
    expected += c;
    if (c == '[' || c == '{') expected += "\n" + std::string(2 * ++depth, ' ');
    if (c == ',') expected += "\n" + std::string(2 * depth, ' ');
  }
  expected += "\n";
  const std::string name = "R\xC9";
  ExpectRun({{{"a.gaf", archive}}, {"--json", "--png"}, {},
             "a.gaf\n" + Exported(name + "00.PNG") + " error seeking frame data position\n" + Exported(name + "02_00.PNG") +
                 " error reading subframe data\n" + Exported(name + ".json"),
             {{name + ".json", Bytes(expected.begin(), expected.end())}}});
}

}  // namespace
}  // namespace e2e
