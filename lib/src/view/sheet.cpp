#include "tessly/sheet.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "pack/json_text.h"
#include "tessly/description.h"
#include "tessly/palette.h"

namespace tessly {
namespace {

// The width that rows are filled to, gaps included: as many average cells
// as the square root of the frames with pixels, so that a sheet of
// like-sized frames is about square; at least the widest cell.
std::int64_t TargetWidth(std::span<const FrameGeometry> frames) {
  std::int64_t cells = 0, width = 0, widest = 0;
  for (const FrameGeometry& frame : frames) {
    if (frame.width == 0 || frame.height == 0) continue;
    cells += 1;
    width += frame.width + kSheetGap;
    widest = std::max<std::int64_t>(widest, frame.width + kSheetGap);
  }
  if (cells == 0) return 0;
  const auto columns = static_cast<std::int64_t>(std::ceil(std::sqrt(static_cast<double>(cells))));
  return std::max(widest, (width + cells - 1) / cells * columns);
}

Json Rectangle(const Placement& place, const FrameGeometry& frame) {
  return {{"x", place.left}, {"y", place.top}, {"w", frame.width}, {"h", frame.height}};
}

double Pivot(int origin, int side) { return side == 0 ? 0.0 : static_cast<double>(origin) / side; }

}  // namespace

Status PlanSheet(std::span<const FrameGeometry> frames, CanvasPlan& plan) {
  const std::int64_t target = TargetWidth(frames);
  std::int64_t x = kSheetGap, y = kSheetGap, rowHeight = 0, width = 1;
  plan = {};
  try {
    plan.places.reserve(frames.size());
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  for (const FrameGeometry& frame : frames) {
    const bool empty = frame.width == 0 || frame.height == 0;
    if (!empty && x > kSheetGap && x + frame.width + kSheetGap > kSheetGap + target) {
      y += rowHeight + kSheetGap;
      x = kSheetGap;
      rowHeight = 0;
    }
    // Sides are at most 32767 and frames 32767 an entry, so these stay far
    // within int; a place lies within the sheet, whose size is checked below.
    if (empty) {
      plan.places.push_back({});
      continue;
    }
    plan.places.push_back({static_cast<int>(x), static_cast<int>(y)});
    x += frame.width + kSheetGap;
    rowHeight = std::max<std::int64_t>(rowHeight, frame.height);
    width = std::max(width, x);
  }
  const std::int64_t height = rowHeight == 0 && y == kSheetGap ? 1 : y + rowHeight + kSheetGap;
  if (CheckCanvasSize(std::uint64_t(width), std::uint64_t(height)) != Status::Ok) return Status::ImageTooLarge;
  plan.width = static_cast<int>(width);
  plan.height = static_cast<int>(height);
  return Status::Ok;
}

Status DrawSheet(const CanvasPlan& plan, const FrameDrawer& draw, DecodedImage& sheet) {
  try {
    sheet.width = static_cast<std::uint16_t>(plan.width);
    sheet.height = static_cast<std::uint16_t>(plan.height);
    sheet.pixels.assign(std::size_t{sheet.width} * sheet.height, kSkippedPixel);
    DecodedImage frame;
    for (std::size_t i = 0; i < plan.places.size(); ++i) {
      if (const Status drawn = draw(i, frame); drawn != Status::Ok) return drawn;
      const Placement& place = plan.places[i];
      if (!LiesOnCanvas(plan, place, frame)) return Status::ImageSizeOutOfRange;
      DrawImage(frame, place.left, place.top, sheet);
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

Status WriteSheetAtlas(const CanvasPlan& sheet, std::span<const FrameGeometry> frames, const AtlasNames& names,
                       ByteSink& sink) {
  CanvasPlan animation;
  if (const Status planned = PlanAnimation(frames, animation); planned != Status::Ok) return planned;
  try {
    const std::string entry = CodePointsOf(names.entryName);
    // Every frame's origin falls on one point of the animation's canvas.
    const std::size_t count = std::min({frames.size(), sheet.places.size(), animation.places.size()});
    const int originX = count == 0 ? 0 : animation.places[0].left + frames[0].originX;
    const int originY = count == 0 ? 0 : animation.places[0].top + frames[0].originY;
    const Json anchor = {{"x", Pivot(originX, animation.width)}, {"y", Pivot(originY, animation.height)}};
    Json described = Json::object(), keys = Json::array();
    for (std::size_t k = 0; k < count; ++k) {
      const FrameGeometry& frame = frames[k];
      const Placement& onCanvas = animation.places[k];
      const bool trimmed = onCanvas.left != 0 || onCanvas.top != 0 || frame.width != animation.width ||
                           frame.height != animation.height;
      const std::string key = ImageFileName(entry, static_cast<int>(k), -1, "");
      described[key] = {{"frame", Rectangle(sheet.places[k], frame)},
                        {"rotated", false},
                        {"trimmed", trimmed},
                        {"spriteSourceSize", Rectangle(onCanvas, frame)},
                        {"sourceSize", {{"w", animation.width}, {"h", animation.height}}},
                        {"anchor", anchor},
                        {"pivot", anchor},
                        {"duration", names.durationMs}};
      keys.push_back(key);
    }
    Json tags = Json::array();
    if (!frames.empty()) {
      tags.push_back({{"name", entry}, {"from", 0}, {"to", frames.size() - 1}, {"direction", "forward"}});
    }
    const Json atlas = {{"frames", std::move(described)},
                        {"animations", {{entry, std::move(keys)}}},
                        {"meta",
                         {{"app", "Tessly"},
                          {"version", "1.0"},
                          {"image", CodePointsOf(names.imageFile)},
                          {"format", "INDEXED8"},
                          {"size", {{"w", sheet.width}, {"h", sheet.height}}},
                          {"scale", "1"},
                          {"frameTags", std::move(tags)}}}};
    return WriteJson(atlas, sink);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace tessly
