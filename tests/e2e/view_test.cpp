// --gif, --sheet, --list and --check through the real binary. Expected
// canvases are drawn by hand: '.' is the transparent index 9, any other
// character a hex digit. GIF files are read back with giflib and shown as
// a viewer shows them; sheets with libspng, cropped where the atlas says.
#include <gif_lib.h>
#include <spng.h>

#include <nlohmann/json.hpp>

#include "tests/support/tessly_run.h"

namespace e2e {
namespace {

using Json = nlohmann::json;

struct Canvas {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
  bool operator==(const Canvas&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Canvas& canvas) {
  for (int y = 0; y < canvas.height; ++y) {
    out << "\n";
    for (int x = 0; x < canvas.width; ++x) {
      const int p = canvas.pixels[std::size_t(y * canvas.width + x)];
      out << (p == 9 ? '.' : "0123456789abcdef"[p & 15]);
    }
  }
  return out << " (" << canvas.width << " x " << canvas.height << ")";
}

std::uint8_t Index(char c) { return c == '.' ? 9 : std::uint8_t(std::stoi(std::string(1, c), nullptr, 16)); }

Canvas Drawn(const std::vector<std::string>& rows) {
  Canvas canvas{rows.empty() ? 0 : int(rows[0].size()), int(rows.size()), {}};
  for (const std::string& row : rows)
    for (const char c : row) canvas.pixels.push_back(Index(c));
  return canvas;
}

// A plain image of these rows, with its origin.
Image Picture(const std::vector<std::string>& rows, int originX, int originY) {
  Image image{std::int16_t(rows.empty() ? 0 : rows[0].size()), std::int16_t(rows.size())};
  for (const std::string& row : rows) {
    image.rows.emplace_back();
    for (const char c : row) image.rows.back().push_back(Index(c));
  }
  image.aux1 = std::uint16_t(originX), image.aux2 = std::uint16_t(originY), image.aux3 = 9;
  return image;
}

// A frame of subframes: the frame's size and origin, and no rows.
fixture::Frame Composed(int width, int height, int originX, int originY, std::vector<Image> subframes) {
  Image frame{std::int16_t(width), std::int16_t(height)};
  frame.aux1 = std::uint16_t(originX), frame.aux2 = std::uint16_t(originY), frame.aux3 = 9;
  return {frame, std::move(subframes)};
}

struct DrawRow {
  fixture::Entry entry;
  std::vector<Canvas> frames;  // each frame as drawn
  Canvas screen;               // the GIF's canvas size (its pixels unused)
  std::vector<Canvas> shown;   // what a viewer shows of each GIF frame
  Canvas sheet;                // the sheet's size: rows of about the square root of the frames
};

const std::vector<DrawRow> kDrawRows = {
    // Subframes placed above, below, left and right of the frame's origin.
    {{"SIDES", {Composed(4, 4, 2, 2, {Picture({"12", "34"}, 2, 2), Picture({"56", "78"}, 0, 0),
                                        Picture({"a"}, 0, 2), Picture({"b"}, 2, 0)})}},
     {Drawn({"12a.", "34..", "b.56", "..78"})}, {4, 4}, {Drawn({"12a.", "34..", "b.56", "..78"})}, {8, 8}},
    // A subframe larger than the canvas, clipped on every side.
    {{"CLIP", {Composed(3, 2, 0, 0, {Picture({"1234", "5678", "9abc", "def0"}, 1, 1)})}},
     {Drawn({"678", "abc"})}, {3, 2}, {Drawn({"678", "abc"})}, {7, 6}},
    // Index 9 of a later subframe leaves what lies below.
    {{"OVER", {Composed(3, 1, 0, 0, {Picture({"123"}, 0, 0), Picture({"4.5"}, 0, 0)})}}, {Drawn({"425"})}, {3, 1},
     {Drawn({"425"})}, {7, 5}},
    // Frames of other sizes and origins: the origins meet on one point, and
    // a later frame never shows an earlier one through its transparency.
    {{"MOVE", {{Picture({"12", "34"}, 1, 1)}, {Picture({"5.7"}, 0, 0)}, {Picture({}, 40, 40)}}},
     {Drawn({"12", "34"}), Drawn({"5.7"}), Drawn({})},
     {4, 2},
     {Drawn({"12..", "34.."}), Drawn({"....", ".5.7"}), Drawn({"....", "...."})},
     {11, 6}},  // a row of 2 average cells of 5
    // A frame of subframes that none covers, and a frame of no pixels.
    {{"EMPTY", {Composed(2, 1, 0, 0, {Picture({}, 0, 0)}), {Picture({}, 0, 0)}}},
     {Drawn({".."}), Drawn({})}, {2, 1}, {Drawn({".."}), Drawn({".."})}, {6, 5}},
};

// One entry of no frames, which gives no file, then the rows' entries.
Bytes Archive() {
  std::vector<fixture::Entry> entries{{"NONE", {}}};
  for (const DrawRow& row : kDrawRows) entries.push_back(row.entry);
  return fixture::BuildGaf(entries);
}
const std::string kNoFrame = "  NONE has no frame to draw; no file written\n";

// --- GIF files, read back through giflib.

// What a viewer shows of each frame: each frame's area is cleared after it
// shows (disposal 2), so a frame shows on a transparent canvas.
void ExpectGif(const std::string& path, const DrawRow& row, int delay) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_EQ(Canvas({gif->SWidth, gif->SHeight, {}}), row.screen) << row.entry.name;
  ASSERT_EQ(gif->ImageCount, int(row.shown.size())) << row.entry.name;
  bool loops = false;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock* block = image.ExtensionBlocks + e;
      loops = loops || (block->Function == APPLICATION_EXT_FUNC_CODE && block->ByteCount == 11 &&
                        std::memcmp(block->Bytes, "NETSCAPE2.0", 11) == 0 && block[1].ByteCount == 3 &&
                        block[1].Bytes[0] == 1 && block[1].Bytes[1] == 0 && block[1].Bytes[2] == 0);
    }
    GraphicsControlBlock control{};
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
    EXPECT_EQ(control.TransparentColor, 9);
    if (gif->ImageCount > 1) {
      EXPECT_EQ(control.DisposalMode * 100000 + control.DelayTime, 200000 + delay);
    }
    Canvas shown{gif->SWidth, gif->SHeight, std::vector<std::uint8_t>(std::size_t(gif->SWidth * gif->SHeight), 9)};
    const GifImageDesc& at = image.ImageDesc;
    EXPECT_TRUE(at.Left >= 0 && at.Top >= 0 && at.Left + at.Width <= gif->SWidth && at.Top + at.Height <= gif->SHeight);
    for (int y = 0; y < at.Height; ++y)
      for (int x = 0; x < at.Width; ++x) {
        const std::uint8_t p = image.RasterBits[y * at.Width + x];
        if (p != 9) shown.pixels[std::size_t((at.Top + y) * shown.width + at.Left + x)] = p;
      }
    EXPECT_EQ(shown, row.shown[std::size_t(i)]) << row.entry.name << " frame " << i;
  }
  EXPECT_EQ(loops, gif->ImageCount > 1) << row.entry.name;
  // The palette's 256 colours, and 9 the background.
  EXPECT_EQ((gif->SColorMap ? gif->SColorMap->ColorCount : 0) * 1000 + gif->SBackGroundColor, 256009);
  DGifCloseFile(gif, &error);
}

TEST(Views, GifFramesAreDrawnAsTheGameDrawsThem) {
  TempDir dir;
  fixture::WriteFile(dir / "a.gaf", Archive());
  for (const int delay : {7, 12}) {
    std::vector<std::string> args = {"--gif", "-Y", "a.gaf"};
    if (delay != 7) args.insert(args.begin(), {"--delay", std::to_string(delay)});
    std::string expected = kBanner + "a.gaf\n" + kNoFrame;
    for (const DrawRow& row : kDrawRows) expected += Exported(row.entry.name + ".gif");
    EXPECT_EQ(RunTessly(dir.path, args), expected);
    for (const DrawRow& row : kDrawRows) ExpectGif(dir / (row.entry.name + ".gif"), row, delay);
  }
  // A frame that cannot be read shows nothing; the others show as they are.
  fixture::Layout at;
  Bytes holed = fixture::BuildGaf({kDrawRows[3].entry}, &at);
  fixture::Put(holed, at.entries[0] + 48, std::uint32_t(holed.size()));  // MOVE's frame 1 lies past the end
  fixture::WriteFile(dir / "h.gaf", holed);
  EXPECT_EQ(RunTessly(dir.path, {"--gif", "-Y", "h.gaf"}), kBanner + "h.gaf\n error reading frame data\n" + Exported("MOVE.gif"));
  ExpectGif(dir / "MOVE.gif", {kDrawRows[3].entry, {}, {2, 2}, {Drawn({"12", "34"}), Drawn({"..", ".."}), Drawn({"..", ".."})}}, 7);
}

// --- Sheets, read back through libspng and cropped where the atlas says.

Canvas ReadPng(const Bytes& file) {
  spng_ctx* png = spng_ctx_new(0);
  spng_set_png_buffer(png, file.data(), file.size());
  spng_ihdr header{};
  std::size_t size = 0;
  spng_get_ihdr(png, &header);
  spng_decoded_image_size(png, SPNG_FMT_PNG, &size);
  Canvas canvas{int(header.width), int(header.height), std::vector<std::uint8_t>(size)};
  EXPECT_EQ(spng_decode_image(png, canvas.pixels.data(), size, SPNG_FMT_PNG, 0) + header.bit_depth, 8);
  spng_ctx_free(png);
  return canvas;
}

Canvas Crop(const Canvas& sheet, const Json& cell) {
  Canvas part{cell["w"], cell["h"], {}};
  for (int y = 0; y < part.height; ++y)
    for (int x = 0; x < part.width; ++x)
      part.pixels.push_back(sheet.pixels[std::size_t((int(cell["y"]) + y) * sheet.width + int(cell["x"]) + x)]);
  return part;
}

TEST(Views, SheetCellsHoldTheFramesAndTheAtlasSaysWhere) {
  TempDir dir;
  fixture::WriteFile(dir / "a.gaf", Archive());
  std::string expected = kBanner + "a.gaf\n" + kNoFrame;
  for (const DrawRow& row : kDrawRows) expected += Exported(row.entry.name + ".sheet.png") + Exported(row.entry.name + ".sheet.json");
  EXPECT_EQ(RunTessly(dir.path, {"--sheet", "--delay", "5", "-Y", "a.gaf"}), expected);
  std::map<std::string, Bytes> files = FilesIn(dir.path);
  for (const DrawRow& row : kDrawRows) {
    const std::string& name = row.entry.name;
    const Canvas sheet = ReadPng(files[name + ".sheet.png"]);
    Canvas outside = sheet;  // the sheet with its cells cleared
    const Json atlas = Json::parse(files[name + ".sheet.json"]);
    EXPECT_EQ(Canvas({sheet.width, sheet.height, {}}), row.sheet) << name;
    EXPECT_EQ(atlas["meta"]["size"], Json({{"w", sheet.width}, {"h", sheet.height}})) << name;
    EXPECT_EQ(atlas["meta"]["image"], name + ".sheet.png");
    EXPECT_EQ(atlas["meta"]["frameTags"], Json::parse(R"([{"name": ")" + name + R"(", "from": 0, "to": )" +
                                                      std::to_string(row.frames.size() - 1) + R"(, "direction": "forward"}])"));
    EXPECT_EQ(atlas["meta"]["format"], "INDEXED8");
    std::vector<std::string> keys, expectedKeys;
    const auto inOrder = nlohmann::ordered_json::parse(files[name + ".sheet.json"]);
    for (const auto& [key, frame] : inOrder["frames"].items()) keys.push_back(key);
    for (std::size_t k = 0; k < row.frames.size(); ++k) expectedKeys.push_back(name + "0" + std::to_string(k));
    ASSERT_EQ(keys, expectedKeys);
    EXPECT_EQ(atlas["animations"], Json({{name, keys}}));
    for (std::size_t k = 0; k < row.frames.size(); ++k) {
      const fixture::Image& header = row.entry.frames[k].image;
      const auto& frame = atlas["frames"][keys[k]];
      const Json cell = frame["frame"], placed = frame["spriteSourceSize"];
      const int x = cell["x"], y = cell["y"], w = cell["w"], h = cell["h"];
      EXPECT_EQ(Crop(sheet, cell), row.frames[k]) << keys[k];
      // The cell, placed where spriteSourceSize says on a canvas of sourceSize, is the GIF's frame.
      Canvas canvas{frame["sourceSize"]["w"], frame["sourceSize"]["h"], {}};
      canvas.pixels.assign(std::size_t(canvas.width * canvas.height), 9);
      for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
          canvas.pixels[std::size_t((int(placed["y"]) + j) * canvas.width + int(placed["x"]) + i)] = row.frames[k].pixels[std::size_t(j * w + i)];
      EXPECT_EQ(canvas, row.shown[k]) << keys[k];
      EXPECT_EQ(Json({placed["w"], placed["h"], frame["trimmed"], frame["rotated"]}),
                Json({w, h, placed["x"] != 0 || placed["y"] != 0 || w != canvas.width || h != canvas.height, false}));
      // One anchor for every frame: the origin's point on the canvas.
      EXPECT_EQ(frame["anchor"], frame["pivot"]);
      if (w * h != 0) {
        EXPECT_EQ(double(frame["anchor"]["x"]) * canvas.width * 1000 + double(frame["duration"]),
                  (int(placed["x"]) + std::int16_t(header.aux1)) * 1000 + 50) << keys[k];
        EXPECT_EQ(double(frame["anchor"]["y"]) * canvas.height, int(placed["y"]) + std::int16_t(header.aux2)) << keys[k];
      }
      // A cell with pixels keeps a gap of 2 from the edges; one of none lies at (0, 0).
      EXPECT_TRUE(w * h == 0 ? x + y == 0 : x >= 2 && y >= 2 && x + w + 2 <= sheet.width && y + h + 2 <= sheet.height);
      for (int row_y = y; row_y < y + h; ++row_y) std::fill_n(outside.pixels.begin() + row_y * sheet.width + x, w, 9);
    }
    EXPECT_EQ(outside.pixels, std::vector<std::uint8_t>(sheet.pixels.size(), 9)) << name << ": drawn outside the cells";
  }
}

// Rows of the standard layout at 20 (ROCK's, shared by its second frame)
// and 32 and 34 (TREE's subframes, after their table at 24).
TEST(Views, ListShowsEveryFrameAndWhatSharesPixelData) {
  TempDir dir;
  Image rock = Picture({"12", "34"}, 1, -1), wide = Picture({"12"}, 0, 0), packed = Picture({"123"}, 5, 6);
  packed.compressed = 1, packed.rows = {{0x08, 1, 2, 3}};
  fixture::Frame tree = Composed(3, 1, 2, 0, {wide, packed});
  fixture::WriteFile(dir / "a.gaf", fixture::BuildStandardGaf({{"ROCK", {{rock}, {rock}}, 7, 8}, {"TREE", {tree}}},
                                                              {{1, 0}}));
  EXPECT_EQ(RunTessly(dir.path, {"--list", "-E", "*", "a.gaf"}),
            kBanner + "a.gaf\n  version 0x00010100, 2 entries\n"
                      "  entry  name                              frames   aux1        aux2\n"
                      "      0  ROCK                                   2      7  0x00000008\n"
                      "         frame  sub      size          origin      transp.  compressed  subframes  pixel data\n"
                      "             0    -      2 x 2           1,-1            9          no          0  at 20\n"
                      "             1    -      2 x 2           1,-1            9          no          0  at 20, shared "
                      "with ROCK00\n"
                      "      1  TREE                                   1      0  0x00000000\n"
                      "         frame  sub      size          origin      transp.  compressed  subframes  pixel data\n"
                      "             0    -      3 x 1           2,0             9          no          2  subframe "
                      "table at 24\n"
                      "                  0      2 x 1           0,0             9          no          -  at 32\n"
                      "                  1      3 x 1           5,6             9         yes          -  at 34\n");
}

}  // namespace
}  // namespace e2e
