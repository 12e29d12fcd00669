// Palette files, in the forms that paint programs and sprite tools save.
//
// Threads: any number may read palettes at once, each from its own source.
#pragma once

#include <string_view>

#include "tessly/io.h"
#include "tessly/palette.h"
#include "tessly/status.h"

namespace tessly {

// The largest palette file read: a PCX image whose palette ends it is read whole.
constexpr std::size_t kLargestPaletteFile = 64 << 20;

// Reads a palette file into `palette`, its form told by its content, not
// its name:
// - RIFF "PAL ": a "data" chunk of version 0x0300, a count and that many
//   red, green, blue, flags;
// - text that starts "JASC-PAL": a version line, a count, then that many
//   lines "red green blue";
// - text that starts "GIMP Palette": lines "red green blue [name]", with
//   "Name:", "Columns:", "#" comments and blank lines passed over;
// - a PNG image with a colour table (PLTE): its colours;
// - a 256-colour PCX image: 0x0A first, and at 769 bytes from the end 0x0C
//   and the 256 colours as red, green, blue;
// - exactly 1024 bytes: 256 times red, green, blue and a byte not used;
// - exactly 768 bytes: 256 times red, green, blue.
// A file of fewer than 256 colours leaves the rest black. Ok, ReadFailed,
// PaletteUnknownForm (also for a file larger than kLargestPaletteFile),
// PaletteWrongCount, PaletteBadColour, OutOfMemory; `palette` is changed
// only on Ok.
Status ReadPalette(ByteSource& source, Palette& palette);

// The forms that palettes are written in, each of all 256 colours, so that
// ReadPalette reads every one back as the same palette.
enum class PaletteForm {
  Jasc,       // .pal: "JASC-PAL", "0100", "256", then "red green blue" lines, CR LF ends
  Gimp,       // .gpl: "GIMP Palette", a name, 16 columns, then "red green blue<TAB>Index N" lines
  Act,        // .act: Photoshop's colour table, 256 times red, green, blue
  PngSwatch,  // .png: the indexes 0 to 255 in 16 rows of 16 cells of 8 x 8 pixels, as WritePng writes it
};

// The form that a file name's extension stands for, in any letter case;
// false for any other name.
bool PaletteFormOf(std::string_view fileName, PaletteForm& form);

// Writes `palette` in `form`. Ok, OutOfMemory, WriteFailed.
Status WritePalette(const Palette& palette, PaletteForm form, ByteSink& sink);

}  // namespace tessly
