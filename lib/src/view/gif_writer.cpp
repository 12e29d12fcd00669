#include <gif_lib.h>

#include <memory>

#include "tessly/gif.h"

namespace tessly {
namespace {

// Where giflib's output goes; the first refused write fails the rest.
struct SinkStream {
  ByteSink& sink;
  bool failed = false;
};

int WriteToSink(GifFileType* gif, const GifByteType* bytes, int count) {
  auto* stream = static_cast<SinkStream*>(gif->UserData);
  if (!stream->failed) stream->failed = !stream->sink.Write(bytes, static_cast<std::size_t>(count));
  return stream->failed ? 0 : count;
}

struct GifClose {
  void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};
using Gif = std::unique_ptr<GifFileType, GifClose>;

struct MapFree {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

bool PutScreen(GifFileType* gif, const CanvasPlan& plan, const Palette& palette) {
  GifColorType colours[256];
  for (std::size_t i = 0; i < 256; ++i) {
    colours[i] = {palette.colours[i].red, palette.colours[i].green, palette.colours[i].blue};
  }
  const std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(256, colours));
  EGifSetGifVersion(gif, true);
  return map && EGifPutScreenDesc(gif, plan.width, plan.height, 8, kSkippedPixel, map.get()) == GIF_OK;
}

// The NETSCAPE2.0 application extension: repeat forever (a count of 0).
bool PutLoopForever(GifFileType* gif) {
  static constexpr GifByteType kLoop[3] = {1, 0, 0};
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(gif, 3, kLoop) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool PutControl(GifFileType* gif, bool animated, int delay) {
  GraphicsControlBlock control{};
  control.DisposalMode = animated ? DISPOSE_BACKGROUND : DISPOSAL_UNSPECIFIED;
  control.UserInputFlag = false;
  control.DelayTime = animated ? delay : 0;
  control.TransparentColor = kSkippedPixel;
  GifByteType bytes[4];
  const auto size = static_cast<int>(EGifGCBToExtension(&control, bytes));
  return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, size, bytes) == GIF_OK;
}

// One frame's image at its place; a frame of no pixels is one transparent pixel.
bool PutImage(GifFileType* gif, const Placement& place, DecodedImage& image) {
  if (image.width == 0 || image.height == 0) {
    GifPixelType transparent = kSkippedPixel;
    return EGifPutImageDesc(gif, 0, 0, 1, 1, false, nullptr) == GIF_OK && EGifPutLine(gif, &transparent, 1) == GIF_OK;
  }
  if (EGifPutImageDesc(gif, place.left, place.top, image.width, image.height, false, nullptr) != GIF_OK) return false;
  for (std::size_t y = 0; y < image.height; ++y) {
    if (EGifPutLine(gif, image.pixels.data() + y * image.width, image.width) != GIF_OK) return false;
  }
  return true;
}

}  // namespace

Status WriteGif(const CanvasPlan& plan, const FrameDrawer& draw, const Palette& palette, const GifOptions& options,
                ByteSink& sink) {
  SinkStream stream{sink};
  int error = 0;
  Gif gif(EGifOpen(&stream, WriteToSink, &error));
  if (!gif) return Status::OutOfMemory;
  const bool animated = plan.places.size() > 1;
  const auto failed = [&stream] { return stream.failed ? Status::WriteFailed : Status::OutOfMemory; };
  if (!PutScreen(gif.get(), plan, palette) || (animated && !PutLoopForever(gif.get()))) return failed();
  DecodedImage image;
  for (std::size_t i = 0; i < plan.places.size(); ++i) {
    if (const Status drawn = draw(i, image); drawn != Status::Ok) return drawn;
    if (!LiesOnCanvas(plan, plan.places[i], image)) return Status::ImageSizeOutOfRange;
    if (!PutControl(gif.get(), animated, options.delay) || !PutImage(gif.get(), plan.places[i], image)) {
      return failed();
    }
  }
  GifFileType* closing = gif.release();
  if (EGifCloseFile(closing, &error) != GIF_OK || stream.failed) return failed();
  return Status::Ok;
}

}  // namespace tessly
