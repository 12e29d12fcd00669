#include "tessly/draw.h"

#include <algorithm>
#include <new>

#include "format/cursor.h"
#include "tessly/palette.h"
#include "tessly/walk.h"

namespace tessly {
namespace {

FrameGeometry GeometryOf(const GafFrameHeader& header) {
  return {header.width, header.height, static_cast<std::int16_t>(header.aux1), static_cast<std::int16_t>(header.aux2)};
}

// A frame of subframes is drawn on a canvas of its header's size.
Status CheckGeometry(const Archive& archive, const GafFrameHeader& header) {
  return HasSubframes(header) ? archive.CheckImageSize(header) : archive.CheckImage(header, ImageKind::Frame);
}

// A canvas of the frame's size on which its subframes are drawn in order.
Status DrawSubframes(const Archive& archive, const FrameLayout& layout, DecodedImage& canvas,
                     const ProblemReport& report) {
  const FrameGeometry frame = GeometryOf(layout.frame.header);
  canvas.width = static_cast<std::uint16_t>(frame.width);
  canvas.height = static_cast<std::uint16_t>(frame.height);
  canvas.pixels.assign(std::size_t{canvas.width} * canvas.height, kSkippedPixel);
  DecodedImage subframe;
  for (const ImageSlot& slot : layout.images) {
    Status status = slot.status;
    if (status == Status::Ok) status = archive.DecodeImage(slot.header, ImageKind::Subframe, subframe, report);
    if (status == Status::OutOfMemory) return status;
    if (status != Status::Ok) {
      Tell(report, status, -1);
      continue;
    }
    const FrameGeometry placed = GeometryOf(slot.header);
    DrawImage(subframe, frame.originX - placed.originX, frame.originY - placed.originY, canvas);
  }
  return Status::Ok;
}

}  // namespace

Status ReadFrameGeometry(const Archive& archive, const Entry& entry, int k, FrameGeometry& geometry) {
  Frame frame;
  Status status = archive.ReadFrame(entry, k, frame);
  if (status == Status::Ok) status = CheckGeometry(archive, frame.header);
  if (status == Status::Ok) geometry = GeometryOf(frame.header);
  return status;
}

Status DrawFrame(const Archive& archive, const Entry& entry, int k, DecodedImage& canvas,
                 const ProblemReport& report) {
  try {
    FrameLayout layout;
    Status status = ReadFrameLayout(archive, entry, k, layout);
    if (status == Status::Ok) status = CheckGeometry(archive, layout.frame.header);
    if (status != Status::Ok) return status;
    if (!HasSubframes(layout.frame.header)) {
      return archive.DecodeImage(layout.frame.header, ImageKind::Frame, canvas, report);
    }
    return DrawSubframes(archive, layout, canvas, report);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

void DrawImage(const DecodedImage& image, int left, int top, DecodedImage& canvas) {
  const int firstX = std::max(0, -left), lastX = std::min<int>(image.width, canvas.width - left);
  const int firstY = std::max(0, -top), lastY = std::min<int>(image.height, canvas.height - top);
  if (firstX >= lastX || firstY >= lastY) return;  // nothing of it on the canvas, which may hold no pixels
  const auto count = std::size_t(lastX - firstX);
  for (int y = firstY; y < lastY; ++y) {
    const std::uint8_t* from = image.pixels.data() + std::size_t(y) * image.width + std::size_t(firstX);
    std::uint8_t* to = canvas.pixels.data() + std::size_t(y + top) * canvas.width + std::size_t(left + firstX);
    for (std::size_t x = 0; x < count; ++x) {
      if (from[x] != kSkippedPixel) to[x] = from[x];
    }
  }
}

bool LiesOnCanvas(const CanvasPlan& plan, const Placement& place, const DecodedImage& image) {
  if (image.width == 0 || image.height == 0) return true;
  return place.left >= 0 && place.top >= 0 && place.left + image.width <= plan.width &&
         place.top + image.height <= plan.height;
}

Status CheckCanvasSize(std::uint64_t width, std::uint64_t height) {
  if (width > kLargestCanvasSide || height > kLargestCanvasSide || width * height > kLargestCanvasPixels) {
    return Status::ImageTooLarge;
  }
  return Status::Ok;
}

Status PlanAnimation(std::span<const FrameGeometry> frames, CanvasPlan& plan) {
  // With the common point at (0, 0), a frame covers x from -originX to
  // -originX + width; the canvas is the box of the frames that have pixels.
  int minX = 0, minY = 0, maxX = 1, maxY = 1;
  bool any = false;
  for (const FrameGeometry& frame : frames) {
    if (frame.width == 0 || frame.height == 0) continue;
    const int left = -frame.originX, top = -frame.originY;
    minX = any ? std::min(minX, left) : left;
    minY = any ? std::min(minY, top) : top;
    maxX = any ? std::max(maxX, left + frame.width) : left + frame.width;
    maxY = any ? std::max(maxY, top + frame.height) : top + frame.height;
    any = true;
  }
  plan = {maxX - minX, maxY - minY, {}};
  try {
    for (const FrameGeometry& frame : frames) plan.places.push_back({-frame.originX - minX, -frame.originY - minY});
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return CheckCanvasSize(std::uint64_t(plan.width), std::uint64_t(plan.height));
}

}  // namespace tessly
