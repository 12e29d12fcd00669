#include "tessly/palette_file.h"

#include <charconv>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "image/spng_context.h"
#include "io/little_endian.h"

namespace tessly {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kPcxPaletteSize = 1 + 768;
constexpr std::size_t kPcxHeaderSize = 128;

bool StartsWith(Bytes bytes, std::string_view text) {
  return bytes.size() >= text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

// Colours stored as red, green, blue, then `stride - 3` bytes not used.
Palette Unpacked(Bytes bytes, std::size_t count, std::size_t stride) {
  Palette palette;
  for (std::size_t i = 0; i < count; ++i) {
    palette.colours[i] = {bytes[stride * i], bytes[stride * i + 1], bytes[stride * i + 2]};
  }
  return palette;
}

// RIFF "PAL ": chunks of a 4-byte id, a little-endian size and the data,
// padded to an even length; the "data" chunk holds version, count, colours.
Status ReadRiffPalette(Bytes file, Palette& palette) {
  std::size_t at = 12;
  while (at + 8 <= file.size()) {
    const std::uint32_t size = little_endian::LoadU32(file.data() + at + 4);
    const Bytes chunk = file.subspan(at + 8);
    if (StartsWith(file.subspan(at), "data")) {
      if (chunk.size() < 4) return Status::PaletteWrongCount;  // no count; the size is checked against it below
      const std::size_t count = little_endian::LoadU16(chunk.data() + 2);
      if (count == 0 || count > 256 || size < 4 + 4 * count || chunk.size() < 4 + 4 * count) {
        return Status::PaletteWrongCount;
      }
      palette = Unpacked(chunk.subspan(4), count, 4);
      return Status::Ok;
    }
    at += 8 + std::size_t{size} + (size & 1);
  }
  return Status::PaletteWrongCount;
}

// The lines of a text, without their line ends (LF or CR LF) and trailing blanks.
std::vector<std::string_view> Lines(Bytes file) {
  const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Reads a number from 0 to `largest` after any blanks; false if there is none.
bool TakeNumber(std::string_view& text, int largest, int& number) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || number < 0 || number > largest) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

// "red green blue", then a blank and a name when `nameMayFollow`.
bool TakeColour(std::string_view line, bool nameMayFollow, Colour& colour) {
  int rgb[3];
  for (int& value : rgb) {
    if (!TakeNumber(line, 255, value)) return false;
  }
  if (!line.empty() && !(nameMayFollow && (line.front() == ' ' || line.front() == '\t'))) return false;
  colour = {static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]), static_cast<std::uint8_t>(rgb[2])};
  return true;
}

// "JASC-PAL", a version, the count, then exactly that many colour lines.
Status ReadJascPalette(const std::vector<std::string_view>& lines, Palette& palette) {
  std::size_t end = lines.size();
  while (end > 0 && lines[end - 1].empty()) --end;  // blank lines at the end
  int count = 0;
  std::string_view countLine = lines.size() > 2 ? lines[2] : std::string_view();
  if (!TakeNumber(countLine, 256, count) || !countLine.empty() || count == 0 ||
      end != 3 + static_cast<std::size_t>(count)) {
    return Status::PaletteWrongCount;
  }
  Palette read;
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    if (!TakeColour(lines[3 + i], false, read.colours[i])) return Status::PaletteBadColour;
  }
  palette = read;
  return Status::Ok;
}

// "GIMP Palette", then colour lines among names, columns, comments and blanks.
Status ReadGimpPalette(const std::vector<std::string_view>& lines, Palette& palette) {
  Palette read;
  std::size_t count = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.empty() || line.front() == '#' || line.starts_with("Name:") || line.starts_with("Columns:")) continue;
    if (count == 256) return Status::PaletteWrongCount;
    if (!TakeColour(line, true, read.colours[count++])) return Status::PaletteBadColour;
  }
  if (count == 0) return Status::PaletteWrongCount;
  palette = read;
  return Status::Ok;
}

bool IsPcxWithPalette(Bytes file) {
  return file.size() >= kPcxHeaderSize + kPcxPaletteSize && file[0] == 0x0A &&
         file[file.size() - kPcxPaletteSize] == 0x0C;
}

// A PNG file's colour table, whatever its image holds.
Status ReadPngPalette(Bytes file, Palette& palette) {
  const SpngContext context(spng_ctx_new(0));
  if (!context) return Status::OutOfMemory;
  spng_plte table{};
  if (spng_set_png_buffer(context.get(), file.data(), file.size()) != 0 ||
      spng_get_plte(context.get(), &table) != 0 || table.n_entries == 0) {
    return Status::PaletteWrongCount;
  }
  Palette read;
  for (std::size_t i = 0; i < table.n_entries && i < read.colours.size(); ++i) {
    read.colours[i] = {table.entries[i].red, table.entries[i].green, table.entries[i].blue};
  }
  palette = read;
  return Status::Ok;
}

Status ParsePalette(Bytes file, Palette& palette) {
  static constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1A\n";
  if (StartsWith(file, kPngSignature)) return ReadPngPalette(file, palette);
  if (StartsWith(file, "RIFF") && file.size() >= 12 && StartsWith(file.subspan(8), "PAL ")) {
    return ReadRiffPalette(file, palette);
  }
  if (StartsWith(file, "JASC-PAL")) return ReadJascPalette(Lines(file), palette);
  if (StartsWith(file, "GIMP Palette")) return ReadGimpPalette(Lines(file), palette);
  if (IsPcxWithPalette(file)) {
    palette = Unpacked(file.subspan(file.size() - 768), 256, 3);
    return Status::Ok;
  }
  if (file.size() == 1024 || file.size() == 768) {
    palette = Unpacked(file, 256, file.size() / 256);
    return Status::Ok;
  }
  return Status::PaletteUnknownForm;
}

}  // namespace

Status ReadPalette(ByteSource& source, Palette& palette) {
  std::vector<std::uint8_t> file;
  const Status status = ReadAll(source, kLargestPaletteFile, file);
  if (status == Status::FileTooLarge) return Status::PaletteUnknownForm;
  if (status != Status::Ok) return status;
  try {
    return ParsePalette(file, palette);  // text forms split the file into lines
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace tessly
