// Frames drawn as the game draws them, and the canvases that hold a run of
// them. A frame without subframes is its image. A frame of subframes is a
// canvas of the frame header's width and height on which each subframe is
// drawn in order, its top-left at (frame originX - subframe originX, frame
// originY - subframe originY), clipped to the canvas; its skipped pixels
// leave what lies below, and pixels that no subframe covers stay
// kSkippedPixel, the transparent index. An origin is the header's aux1 and
// aux2 taken as signed: the point of the frame that the game places.
//
// Threads: as the archive allows (tessly/archive.h); the planning
// functions are pure.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "tessly/archive.h"
#include "tessly/image.h"
#include "tessly/status.h"

namespace tessly {

// The most pixels of one canvas: those of the largest image that a frame
// header can describe (32767 by 32767), so that drawing never asks for more
// memory than extraction may.
constexpr std::uint64_t kLargestCanvasPixels = std::uint64_t{kLargestImageSide} * kLargestImageSide;
// The widest and highest canvas: what a GIF screen and a DecodedImage hold.
constexpr int kLargestCanvasSide = 65535;

// What a frame's header says of its drawing: its size and origin.
struct FrameGeometry {
  int width = 0;
  int height = 0;
  int originX = 0;
  int originY = 0;
  bool operator==(const FrameGeometry&) const = default;
};

// The size and origin of frame `k`, once its header has read and it can be
// drawn: Ok, what Archive::ReadFrame returns, or what Archive::CheckImage
// returns for a frame that is an image and Archive::CheckImageSize for a
// frame of subframes, whose canvas is of its header's size.
Status ReadFrameGeometry(const Archive& archive, const Entry& entry, int k, FrameGeometry& geometry);

// Draws frame `k` into `canvas` (replacing what it held). A subframe that
// fails to read is reported with its status and left out; a row that fails
// is reported as DecodeImage reports it. Ok, what ReadFrameGeometry
// returns, or OutOfMemory.
Status DrawFrame(const Archive& archive, const Entry& entry, int k, DecodedImage& canvas,
                 const ProblemReport& report);

// Draws `image` onto `canvas` with its top-left at (left, top), clipped to
// the canvas; its kSkippedPixel pixels leave what lies below.
void DrawImage(const DecodedImage& image, int left, int top, DecodedImage& canvas);

// Where the top-left of a drawn frame lies on a larger canvas.
struct Placement {
  int left = 0;
  int top = 0;
  bool operator==(const Placement&) const = default;
};

// A canvas for a run of frames, and each frame's place on it.
struct CanvasPlan {
  int width = 0;
  int height = 0;
  std::vector<Placement> places;  // one per frame, in order
};

// Draws frame `index` of a plan's frames into `image`; Ok or why not.
using FrameDrawer = std::function<Status(std::size_t index, DecodedImage& image)>;

// An animation: the smallest canvas (1 by 1 at least) on which every
// frame's origin falls on one point. Ok, or ImageTooLarge for a canvas
// wider or higher than kLargestCanvasSide or of more than
// kLargestCanvasPixels.
Status PlanAnimation(std::span<const FrameGeometry> frames, CanvasPlan& plan);

// Whether `image`, drawn at `place`, lies wholly on the plan's canvas
// (an image of no pixels always does).
bool LiesOnCanvas(const CanvasPlan& plan, const Placement& place, const DecodedImage& image);

// Whether a canvas of this size may be drawn: Ok or ImageTooLarge, as above.
Status CheckCanvasSize(std::uint64_t width, std::uint64_t height);

}  // namespace tessly
