#include <spng.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "image/spng_context.h"
#include "tessly/png.h"

namespace tessly {
namespace {


// Where libspng's output goes; the first refused write ends the encoding.
struct SinkStream {
  ByteSink& sink;
  bool failed = false;
};

int WriteToSink(spng_ctx*, void* user, void* bytes, std::size_t count) {
  auto* stream = static_cast<SinkStream*>(user);
  stream->failed = !stream->sink.Write(bytes, count);
  return stream->failed ? SPNG_IO_ERROR : 0;
}

// The smallest deflate window, from 512 bytes to zlib's 32 KiB, that holds
// the filtered rows: a sprite's few kilobytes then need tens of kilobytes
// of compressor state, not the quarter of a megabyte of the default.
int WindowBits(std::uint64_t filteredBytes) {
  int bits = 9;
  while (bits < 15 && (std::uint64_t{1} << bits) < filteredBytes) ++bits;
  return bits;
}

// IHDR (8-bit indexes, no interlace), PLTE, and tRNS for indexes 0 to
// kSkippedPixel, all opaque but the last; those past the table are opaque.
bool SetChunks(spng_ctx* context, std::uint32_t width, std::uint32_t height, const Palette& palette) {
  spng_ihdr header{};
  header.width = width;
  header.height = height;
  header.bit_depth = 8;
  header.color_type = SPNG_COLOR_TYPE_INDEXED;
  spng_plte colours{};
  colours.n_entries = 256;
  for (std::size_t i = 0; i < 256; ++i) {
    colours.entries[i] = {palette.colours[i].red, palette.colours[i].green, palette.colours[i].blue, 255};
  }
  spng_trns transparency{};
  transparency.n_type3_entries = kSkippedPixel + 1;
  std::fill_n(transparency.type3_alpha, kSkippedPixel, 255);
  transparency.type3_alpha[kSkippedPixel] = 0;
  return spng_set_ihdr(context, &header) == 0 && spng_set_plte(context, &colours) == 0 &&
         spng_set_trns(context, &transparency) == 0;
}

bool SetOptions(spng_ctx* context, std::uint64_t filteredBytes, const PngOptions& options) {
  const int bits = WindowBits(filteredBytes);
  return spng_set_option(context, SPNG_IMG_COMPRESSION_LEVEL, options.compressionLevel) == 0 &&
         spng_set_option(context, SPNG_IMG_WINDOW_BITS, bits) == 0 &&
         spng_set_option(context, SPNG_IMG_MEM_LEVEL, bits - 7) == 0 &&
         spng_set_option(context, SPNG_FILTER_CHOICE,
                         options.filterRows ? SPNG_FILTER_CHOICE_ALL : SPNG_DISABLE_FILTERING) == 0;
}

}  // namespace

Status WritePng(const DecodedImage& image, const Palette& palette, ByteSink& sink, const PngOptions& options) {
  const bool empty = image.width == 0 || image.height == 0;
  const std::uint32_t width = empty ? 1 : image.width, height = empty ? 1 : image.height;
  const std::uint8_t onePixel = kSkippedPixel;
  const std::uint8_t* pixels = empty ? &onePixel : image.pixels.data();
  const std::size_t size = std::size_t{width} * height;

  const SpngContext context(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!context) return Status::OutOfMemory;
  SinkStream stream{sink};
  if (spng_set_png_stream(context.get(), WriteToSink, &stream) != 0 ||
      !SetChunks(context.get(), width, height, palette) ||
      !SetOptions(context.get(), std::uint64_t{width + 1} * height, options)) {
    return Status::OutOfMemory;
  }
  const int result = spng_encode_image(context.get(), pixels, size, SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
  if (stream.failed) return Status::WriteFailed;
  return result == 0 ? Status::Ok : Status::OutOfMemory;
}

}  // namespace tessly
