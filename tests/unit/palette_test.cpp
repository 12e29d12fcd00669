// Palette files of every form, and damaged ones: each row gives the file,
// the status, and the colours that indexes 1, 2 and 255 then hold.
#include <gtest/gtest.h>

#include <string>

#include "tessly/palette_file.h"
#include "tools/gaf_builder.h"

namespace {

using fixture::Bytes;
using RGB = std::array<int, 3>;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// 256 colours, colour i being (i, 255 - i, i / 2), each as `text` makes it.
template <typename Format>
std::string Colours(int count, Format text) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += text(i, 255 - i, i / 2);
  return lines;
}

Bytes Raw(int stride, int count = 256) {
  Bytes bytes;
  for (int i = 0; i < count; ++i) {
    for (const int v : {i, 255 - i, i / 2, 0xEE}) bytes.push_back(static_cast<std::uint8_t>(v));
    if (stride == 3) bytes.pop_back();
  }
  return bytes;
}

// A chunk of one byte and its padding, passed over; then a data chunk of
// `count` colours whose size says `shortBy` bytes fewer, holding the first
// `stored` bytes of 257 colours.
Bytes Riff(std::uint16_t count, std::size_t stored, std::uint32_t shortBy = 0) {
  Bytes bytes = Text("RIFF....PAL LIST");
  fixture::Put(bytes, 16, 1), bytes.resize(22);
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  fixture::Put(bytes, 26, static_cast<std::uint32_t>(4 + 4 * count) - shortBy), fixture::Put(bytes, 30, 0x0300 | count << 16);
  const Bytes raw = Raw(4, 257);
  bytes.insert(bytes.end(), raw.begin(), raw.begin() + long(stored));
  return bytes;
}

Bytes Pcx(std::uint8_t marker) {
  Bytes bytes(300, 0x55);
  bytes[0] = 0x0A, bytes.push_back(marker);
  const Bytes raw = Raw(3);
  bytes.insert(bytes.end(), raw.begin(), raw.end());
  return bytes;
}

TEST(Palette, FormsTable) {
  using std::to_string;
  const auto jasc = [](int r, int g, int b) { return to_string(r) + " " + to_string(g) + " " + to_string(b) + "\r\n"; };
  const auto gimp = [](int r, int g, int b) { return to_string(r) + "\t" + to_string(g) + " " + to_string(b) + "\tX\n"; };
  const std::string jascHead = "JASC-PAL\r\n0100\r\n";
  const std::string gimpHead = "GIMP Palette\nName: Units\nColumns: 16\n# colours\n\n";
  const RGB black{0, 0, 0}, one{1, 254, 0}, two{2, 253, 1}, last{255, 0, 127};
  using tessly::Status;
  const struct { const char* form; Bytes file; Status status; RGB at1, at2, at255; } rows[] = {
      {"1024 bytes", Raw(4), Status::Ok, one, two, last},
      {"768 bytes", Raw(3), Status::Ok, one, two, last},
      {"JASC-PAL", Text(jascHead + "256\r\n" + Colours(256, jasc) + "\r\n"), Status::Ok, one, two, last},
      {"JASC-PAL, two colours", Text(jascHead + "2\n" + Colours(2, jasc)), Status::Ok, one, black, black},
      {"GIMP Palette", Text(gimpHead + Colours(256, gimp)), Status::Ok, one, two, last},
      {"RIFF PAL, three colours", Riff(3, 12), Status::Ok, one, two, black},
      {"RIFF PAL of 256 colours", Riff(256, 1024), Status::Ok, one, two, last},
      {"PCX", Pcx(0x0C), Status::Ok, one, two, last},
      {"PCX without its marker", Pcx(0x0B), Status::PaletteUnknownForm},
      {"empty", {}, Status::PaletteUnknownForm},
      {"767 bytes", Bytes(767), Status::PaletteUnknownForm},
      {"RIFF PAL cut short", Riff(3, 11), Status::PaletteWrongCount},
      {"RIFF PAL whose data is a byte short", Riff(3, 12, 1), Status::PaletteWrongCount},
      {"RIFF PAL of no colours", Riff(0, 0), Status::PaletteWrongCount},
      {"RIFF PAL of 257 colours", Riff(257, 1028), Status::PaletteWrongCount},
      {"JASC-PAL without a count", Text(jascHead), Status::PaletteWrongCount},
      {"JASC-PAL, a line short", Text(jascHead + "3\n" + Colours(2, jasc)), Status::PaletteWrongCount},
      {"JASC-PAL, a line over", Text(jascHead + "1\n" + Colours(2, jasc)), Status::PaletteWrongCount},
      {"JASC-PAL of 257", Text(jascHead + "257\n" + Colours(257, jasc)), Status::PaletteWrongCount},
      {"JASC-PAL, two numbers", Text(jascHead + "2\n1 2 3\n1 2\n"), Status::PaletteBadColour},
      {"JASC-PAL, 256", Text(jascHead + "1\n1 2 256\n"), Status::PaletteBadColour},
      {"JASC-PAL, a name after", Text(jascHead + "1\n1 2 3 red\n"), Status::PaletteBadColour},
      {"GIMP Palette of none", Text(gimpHead), Status::PaletteWrongCount},
      {"GIMP Palette of 257", Text(gimpHead + Colours(257, gimp)), Status::PaletteWrongCount},
      {"GIMP Palette, words", Text(gimpHead + "red green blue\n"), Status::PaletteBadColour},
  };
  for (const auto& row : rows) {
    tessly::MemorySource source(row.file);
    tessly::Palette palette;
    palette.colours[255] = {7, 7, 7};  // left as it was unless the file reads
    ASSERT_EQ(tessly::ReadPalette(source, palette), row.status) << row.form;
    const RGB at255 = row.status == Status::Ok ? row.at255 : RGB{7, 7, 7};
    const RGB at0 = row.status == Status::Ok ? RGB{0, 255, 0} : black;  // every file's first colour
    for (const auto& [index, rgb] : {std::pair{0, at0}, {1, row.at1}, {2, row.at2}, {255, at255}}) {
      const tessly::Colour& c = palette.colours[index];
      EXPECT_EQ((RGB{c.red, c.green, c.blue}), rgb) << row.form << " " << index;
    }
  }
}

}  // namespace
