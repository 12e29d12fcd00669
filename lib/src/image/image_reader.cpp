#include <spng.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "image/bmp_format.h"
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
  ColourMatcher(const Palette& palette, bool nearest) : palette_(palette), nearest_(nearest) {
    for (std::size_t i = palette.colours.size(); i-- > 0;)
      indexes_[Rgb(palette.colours[i])] = static_cast<std::uint8_t>(i);
  }

  // The index of pixel (x, y); false, with `problem` filled, when it has none.
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
    if (alpha == 255 && nearest_) {
      index = Nearest(colour);
      return true;
    }
    problem = {};
    problem.status = alpha == 255 ? Status::ColourNotInPalette : Status::PartlyTransparent;
    problem.x = x;
    problem.y = y;
    problem.colour = colour;
    problem.alpha = alpha;
    return false;
  }

 private:
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
  bool nearest_;
  std::unordered_map<std::uint32_t, std::uint8_t> indexes_;
};

Status MatchedPixel(const ColourMatcher& matcher, const Colour& colour, std::uint8_t alpha, int x, int y,
                    std::uint8_t& index, Problem& problem) {
  return matcher.Index(colour, alpha, x, y, index, problem) ? Status::Ok : problem.status;
}

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

struct ContextFree {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

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

Status ReadPngColours(spng_ctx* context, const ColourMatcher& matcher, DecodedImage& image, Problem& problem) {
  std::size_t size = 0;
  if (spng_decoded_image_size(context, SPNG_FMT_RGBA8, &size) != 0) return Status::ImageDamaged;
  std::vector<std::uint8_t> rgba(size);
  if (spng_decode_image(context, rgba.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0) return Status::ImageDamaged;
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const std::uint8_t* p = rgba.data() + 4 * i;
    const Status status = MatchedPixel(matcher, {p[0], p[1], p[2]}, p[3], static_cast<int>(i % image.width),
                                       static_cast<int>(i / image.width), image.pixels[i], problem);
    if (status != Status::Ok) return status;
  }
  return Status::Ok;
}

Status ReadPng(std::span<const std::uint8_t> file, const Palette& palette, const ImageReadOptions& options,
               DecodedImage& image, Problem& problem) {
  std::unique_ptr<spng_ctx, ContextFree> context(spng_ctx_new(0));
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
  return ReadPngColours(context.get(), ColourMatcher(palette, options.nearest), image, problem);
}

// --- BMP: the file header, an info header of 40 bytes or more, the colour
// table of an 8-bit file, and rows padded to 4 bytes, bottom-up unless the
// height is negative.

Status ReadBmp(std::span<const std::uint8_t> file, const Palette& palette, const ImageReadOptions& options,
               DecodedImage& image, Problem& problem) {
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
  const ColourMatcher matcher(palette, options.nearest);
  for (std::uint64_t y = 0; y < rows; ++y) {
    const std::uint8_t* row = &file[rowsAt + stride * (height < 0 ? y : rows - 1 - y)];
    for (std::uint64_t x = 0; x < std::uint64_t(width); ++x) {
      std::uint8_t& index = image.pixels[y * std::uint64_t(width) + x];
      if (keepIndexes) {
        index = row[x];
        continue;
      }
      if (bits == 8 && row[x] >= tableSize) return Status::ImageDamaged;
      const std::uint8_t* bgr = row + x * bits / 8;
      const Colour colour = bits == 8 ? tableColour(row[x]) : Colour{bgr[2], bgr[1], bgr[0]};
      const Status status =
          MatchedPixel(matcher, colour, 255, static_cast<int>(x), static_cast<int>(y), index, problem);
      if (status != Status::Ok) return status;
    }
  }
  return Status::Ok;
}

}  // namespace

Status ReadImageFile(std::span<const std::uint8_t> file, const Palette& palette, const ImageReadOptions& options,
                     DecodedImage& image, Problem& problem) {
  static constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  try {
    if (file.size() >= 8 && std::memcmp(file.data(), kPngSignature, 8) == 0) {
      return ReadPng(file, palette, options, image, problem);
    }
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') return ReadBmp(file, palette, options, image, problem);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::ImageUnknownForm;
}

}  // namespace tessly
