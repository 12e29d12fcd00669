#include <cstdio>
#include <string>

#include "base/ascii.h"
#include "tessly/image.h"
#include "tessly/palette_file.h"
#include "tessly/png.h"

namespace tessly {
namespace {

// The swatch: 16 cells a row, each a square of 8 pixels a side.
constexpr int kSwatchColumns = 16;
constexpr int kSwatchCell = 8;

Status WriteText(const std::string& text, ByteSink& sink) {
  sink.Expect(text.size());
  return sink.Write(text.data(), text.size()) ? Status::Ok : Status::WriteFailed;
}

// One line a colour: `format` takes red, green, blue and the index.
std::string ColourLines(const Palette& palette, const char* format) {
  std::string lines;
  char line[64];
  for (std::size_t i = 0; i < palette.colours.size(); ++i) {
    const Colour& c = palette.colours[i];
    std::snprintf(line, sizeof line, format, c.red, c.green, c.blue, static_cast<int>(i));
    lines += line;
  }
  return lines;
}

Status WriteSwatch(const Palette& palette, ByteSink& sink) {
  DecodedImage swatch;
  swatch.width = swatch.height = kSwatchColumns * kSwatchCell;
  swatch.pixels.resize(std::size_t{swatch.width} * swatch.height);
  for (std::size_t i = 0; i < swatch.pixels.size(); ++i) {
    const std::size_t x = i % swatch.width / kSwatchCell, y = i / swatch.width / kSwatchCell;
    swatch.pixels[i] = static_cast<std::uint8_t>(y * kSwatchColumns + x);
  }
  return WritePng(swatch, palette, sink);
}

}  // namespace

bool PaletteFormOf(std::string_view fileName, PaletteForm& form) {
  constexpr std::pair<std::string_view, PaletteForm> kExtensions[] = {{".PAL", PaletteForm::Jasc},
                                                                      {".GPL", PaletteForm::Gimp},
                                                                      {".ACT", PaletteForm::Act},
                                                                      {".PNG", PaletteForm::PngSwatch}};
  for (const auto& [extension, named] : kExtensions) {
    if (fileName.size() > extension.size() &&
        base::EqualsIgnoringCase(fileName.substr(fileName.size() - extension.size()), extension)) {
      form = named;
      return true;
    }
  }
  return false;
}

Status WritePalette(const Palette& palette, PaletteForm form, ByteSink& sink) {
  try {
    switch (form) {
      case PaletteForm::Jasc:
        return WriteText("JASC-PAL\r\n0100\r\n256\r\n" + ColourLines(palette, "%d %d %d\r\n"), sink);
      case PaletteForm::Gimp:
        return WriteText(
            "GIMP Palette\nName: Tessly\nColumns: 16\n#\n" + ColourLines(palette, "%3d %3d %3d\tIndex %d\n"), sink);
      case PaletteForm::Act: {
        std::string table;
        for (const Colour& c : palette.colours) table += {char(c.red), char(c.green), char(c.blue)};
        return WriteText(table, sink);
      }
      case PaletteForm::PngSwatch:
        return WriteSwatch(palette, sink);
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::WriteFailed;
}

}  // namespace tessly
