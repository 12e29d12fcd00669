#include <spng.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "image/bmp_format.h"
#include "image/spng_context.h"
#include "io/little_endian.h"
#include "tessly/image_file.h"
#include "tessly/records.h"

namespace tessly {
namespace {


std::uint32_t Rgb(const Colour& colour) {
  return std::uint32_t{colour.red} << 16 | std::uint32_t{colour.green} << 8 | colour.blue;
}

// Turns colours into the indexes of a palette, as ReadImageFile says.
class ColourMatcher {
 public:
  ColourMatcher(const Palette& palette, const ImageReadOptions& options) : palette_(palette), options_(options) {
    // The skipped index is no colour an opaque pixel can take.
    for (std::size_t i = palette.colours.size(); i-- > 0;) {
      if (i != kSkippedPixel) indexes_[Rgb(palette.colours[i])] = static_cast<std::uint8_t>(i);
    }
  }

  // Every pixel of `rgba` (red, green, blue, alpha, row after row) into
  // `image`, which has its size; false, with `problem` naming the pixel,
  // for one that has no index.
  bool Match(const std::vector<std::uint8_t>& rgba, DecodedImage& image, Problem& problem, std::uint64_t& changed) const {
    changed = 0;
    const std::size_t width = image.width;
    // Floyd-Steinberg: what a pixel's colour missed by goes on in sixteenths,
    // 7 to the right, 3, 5 and 1 to the row below; one row of errors for this
    // row and one for the next, each with room for x = -1 and x = width.
    std::vector<int> errors(options_.dither ? 2 * 3 * (width + 2) : 0);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
      const std::size_t x = i % width, y = i / width;
      const std::uint8_t* p = rgba.data() + 4 * i;
      if (options_.dither && x == 0 && y > 0) {  // the next row's errors become this row's
        const auto next = errors.begin() + static_cast<std::ptrdiff_t>(3 * (width + 2));
        std::copy(next, errors.end(), errors.begin());
        std::fill(next, errors.end(), 0);
      }
      int* here = options_.dither ? &errors[3 * (x + 1)] : nullptr;
      Colour colour{p[0], p[1], p[2]};
      if (here != nullptr && p[3] == 255) colour = WithError(colour, here);
      if (!Index(colour, p[3], static_cast<int>(x), static_cast<int>(y), image.pixels[i], problem)) return false;
      if (p[3] == 0) continue;
      const Colour& taken = palette_.colours[image.pixels[i]];
      changed += taken != Colour{p[0], p[1], p[2]} ? 1 : 0;
      if (here != nullptr) Spread(colour, taken, here, width);
    }
    return true;
  }

 private:
  // The colour with the error that reached it, rounded and kept within 0 to 255.
  static Colour WithError(const Colour& colour, const int* error) {
    const auto channel = [](int value, int sixteenths) {
      const int rounded = sixteenths >= 0 ? (sixteenths + 8) / 16 : -((-sixteenths + 8) / 16);
      return static_cast<std::uint8_t>(std::clamp(value + rounded, 0, 255));
    };
    return {channel(colour.red, error[0]), channel(colour.green, error[1]), channel(colour.blue, error[2])};
  }

  // Passes on what `wanted` missed by when it became `taken`.
  static void Spread(const Colour& wanted, const Colour& taken, int* here, std::size_t width) {
    const int missed[3] = {wanted.red - taken.red, wanted.green - taken.green, wanted.blue - taken.blue};
    int* below = here + 3 * (width + 2);
    for (int c = 0; c < 3; ++c) {
      here[3 + c] += 7 * missed[c];
      below[c - 3] += 3 * missed[c];
      below[c] += 5 * missed[c];
      below[c + 3] += missed[c];
    }
  }

  bool Index(const Colour& colour, std::uint8_t alpha, int x, int y, std::uint8_t& index, Problem& problem) const {
    if (alpha == 0) {
      index = kSkippedPixel;
      return true;
    }
    const auto found = indexes_.find(Rgb(colour));
    if (alpha == 255 && found != indexes_.end()) {
      index = found->second;
      return true;
    }
    if (alpha == 255 && (options_.nearest || options_.dither)) {
      index = Nearest(colour);
      return true;
    }
    problem = {};
    problem.status = alpha != 255                                ? Status::PartlyTransparent
                     : colour == palette_.colours[kSkippedPixel] ? Status::OpaqueSkippedColour
                                                                 : Status::ColourNotInPalette;
    problem.x = x;
    problem.y = y;
    problem.colour = colour;
    problem.alpha = alpha;
    return false;
  }

  std::uint8_t Nearest(const Colour& colour) const {
    const auto distance = [&colour](const Colour& c) {
      const int r = c.red - colour.red, g = c.green - colour.green, b = c.blue - colour.blue;
      return r * r + g * g + b * b;
    };
    std::size_t best = kSkippedPixel == 0 ? 1 : 0;
    for (std::size_t i = 0; i < palette_.colours.size(); ++i) {
      if (i != kSkippedPixel && distance(palette_.colours[i]) < distance(palette_.colours[best])) best = i;
    }
    return static_cast<std::uint8_t>(best);
  }

  const Palette& palette_;
  const ImageReadOptions& options_;
  std::unordered_map<std::uint32_t, std::uint8_t> indexes_;
};

// Whether a colour table's `count` colours (256 at most in PNG and BMP
// files alike) are the palette's first ones.
template <typename ColourAt>
bool TableIsPalette(std::size_t count, const Palette& palette, ColourAt colourAt) {
  for (std::size_t i = 0; i < count; ++i) {
    if (colourAt(i) != palette.colours[i]) return false;
  }
  return true;
}

Status Resize(DecodedImage& image, std::uint32_t width, std::uint32_t height, const ImageReadOptions& options) {
  if (width > kLargestImageSide || height > kLargestImageSide) return Status::ImageTooLarge;
  if (options.largestPixels != 0 && std::uint64_t{width} * height > options.largestPixels) return Status::ImageTooLarge;
  image.width = static_cast<std::uint16_t>(width);
  image.height = static_cast<std::uint16_t>(height);
  image.pixels.resize(std::size_t{width} * height);
  return Status::Ok;
}

// --- PNG, through libspng.

// An indexed image of 1 to 8 bits whose table is the palette: its indexes.
Status ReadPngIndexes(spng_ctx* context, const spng_ihdr& header, DecodedImage& image) {
  std::size_t size = 0;
  if (spng_decoded_image_size(context, SPNG_FMT_PNG, &size) != 0) return Status::ImageDamaged;
  const std::size_t depth = header.bit_depth, stride = (std::size_t{header.width} * depth + 7) / 8;
  if (depth == 8 && size == image.pixels.size()) {  // a byte a pixel already: decoded in place
    return spng_decode_image(context, image.pixels.data(), size, SPNG_FMT_PNG, 0) == 0 ? Status::Ok
                                                                                      : Status::ImageDamaged;
  }
  std::vector<std::uint8_t> packed(size);
  if (spng_decode_image(context, packed.data(), size, SPNG_FMT_PNG, 0) != 0) return Status::ImageDamaged;
  for (std::size_t y = 0; y < header.height; ++y) {
    for (std::size_t x = 0; x < header.width; ++x) {
      const std::size_t bit = x * depth;
      const unsigned byte = packed[y * stride + bit / 8];
      image.pixels[y * header.width + x] =
          static_cast<std::uint8_t>(byte >> (8 - depth - bit % 8) & ((1u << depth) - 1));
    }
  }
  return Status::Ok;
}

Status ReadPngColours(spng_ctx* context, const ColourMatcher& matcher, DecodedImage& image, Problem& problem,
                      std::uint64_t& changed) {
  std::size_t size = 0;
  if (spng_decoded_image_size(context, SPNG_FMT_RGBA8, &size) != 0) return Status::ImageDamaged;
  std::vector<std::uint8_t> rgba(size);
  if (spng_decode_image(context, rgba.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0) return Status::ImageDamaged;
  return matcher.Match(rgba, image, problem, changed) ? Status::Ok : problem.status;
}

Status ReadPng(std::span<const std::uint8_t> file, const Palette& palette, const ImageReadOptions& options,
               DecodedImage& image, Problem& problem, std::uint64_t& changed) {
  const SpngContext context(spng_ctx_new(0));
  if (!context) return Status::OutOfMemory;
  spng_ihdr header{};
  if (spng_set_png_buffer(context.get(), file.data(), file.size()) != 0 ||
      spng_set_image_limits(context.get(), kLargestImageSide, kLargestImageSide) != 0 ||
      spng_get_ihdr(context.get(), &header) != 0) {
    return Status::ImageDamaged;
  }
  if (const Status status = Resize(image, header.width, header.height, options); status != Status::Ok) return status;
  spng_plte table{};
  if (header.color_type == SPNG_COLOR_TYPE_INDEXED && spng_get_plte(context.get(), &table) == 0 &&
      TableIsPalette(table.n_entries, palette, [&table](std::size_t i) {
        return Colour{table.entries[i].red, table.entries[i].green, table.entries[i].blue};
      })) {
    return ReadPngIndexes(context.get(), header, image);
  }
  const ColourMatcher matcher(palette, options);
  return ReadPngColours(context.get(), matcher, image, problem, changed);
}

// --- BMP: the file header, an info header of 40 bytes or more, the colour
// table of an 8-bit file, and rows padded to 4 bytes, bottom-up unless the
// height is negative.

Status ReadBmp(std::span<const std::uint8_t> file, const Palette& palette, const ImageReadOptions& options,
               DecodedImage& image, Problem& problem, std::uint64_t& changed) {
  using little_endian::LoadU16;
  using little_endian::LoadU32;
  if (file.size() < bmp::kHeadersSize) return Status::ImageDamaged;
  const std::uint32_t rowsAt = LoadU32(&file[bmp::kRowsOffsetAt]), infoSize = LoadU32(&file[bmp::kInfoSizeAt]);
  const auto width = static_cast<std::int32_t>(LoadU32(&file[bmp::kWidthAt])),
             height = static_cast<std::int32_t>(LoadU32(&file[bmp::kHeightAt]));
  const std::uint16_t bits = LoadU16(&file[bmp::kBitsAt]);
  const std::uint32_t compression = LoadU32(&file[bmp::kCompressionAt]);
  std::uint32_t tableSize = LoadU32(&file[bmp::kColoursUsedAt]);
  if (infoSize < bmp::kInfoHeaderSize || width < 0 || height == INT32_MIN) return Status::ImageDamaged;
  if (compression != 0 || (bits != 8 && bits != 24 && bits != 32)) return Status::ImageUnsupported;
  if (tableSize == 0 || tableSize > 256) tableSize = bits == 8 ? 256 : 0;
  const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -std::int64_t{height} : height);
  const std::uint64_t stride = bmp::RowStride(std::uint64_t(width), bits),
                      tableAt = bmp::kInfoSizeAt + std::uint64_t{infoSize};
  if (tableAt + 4 * std::uint64_t{tableSize} > file.size() || rowsAt + stride * rows > file.size()) {
    return Status::ImageDamaged;
  }
  if (const Status status = Resize(image, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(rows), options);
      status != Status::Ok) {
    return status;
  }
  const auto tableColour = [&](std::size_t i) {
    const std::uint8_t* entry = &file[tableAt + 4 * i];
    return Colour{entry[2], entry[1], entry[0]};
  };
  const bool keepIndexes = bits == 8 && TableIsPalette(tableSize, palette, tableColour);
  // Other files' colours, top row first, all opaque, to be matched.
  std::vector<std::uint8_t> rgba(keepIndexes ? 0 : 4 * image.pixels.size());
  for (std::uint64_t y = 0; y < rows; ++y) {
    const std::uint8_t* row = &file[rowsAt + stride * (height < 0 ? y : rows - 1 - y)];
    for (std::uint64_t x = 0; x < std::uint64_t(width); ++x) {
      const std::uint64_t i = y * std::uint64_t(width) + x;
      if (keepIndexes) {
        image.pixels[i] = row[x];
        continue;
      }
      if (bits == 8 && row[x] >= tableSize) return Status::ImageDamaged;
      const std::uint8_t* bgr = row + x * bits / 8;
      const Colour colour = bits == 8 ? tableColour(row[x]) : Colour{bgr[2], bgr[1], bgr[0]};
      std::copy_n(std::array{colour.red, colour.green, colour.blue, std::uint8_t{255}}.begin(), 4, &rgba[4 * i]);
    }
  }
  const ColourMatcher matcher(palette, options);
  return keepIndexes || matcher.Match(rgba, image, problem, changed) ? Status::Ok : problem.status;
}

}  // namespace

Status ReadImageFile(std::span<const std::uint8_t> file, const Palette& palette, const ImageReadOptions& options,
                     DecodedImage& image, Problem& problem, std::uint64_t* changedPixels) {
  static constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::uint64_t changed = 0;
  if (changedPixels == nullptr) changedPixels = &changed;
  *changedPixels = 0;
  try {
    if (file.size() >= 8 && std::memcmp(file.data(), kPngSignature, 8) == 0) {
      return ReadPng(file, palette, options, image, problem, *changedPixels);
    }
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') {
      return ReadBmp(file, palette, options, image, problem, *changedPixels);
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::ImageUnknownForm;
}

}  // namespace tessly
