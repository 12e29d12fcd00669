// Sprite sheets: an entry's frames, drawn as tessly/draw.h says, on one
// image, and an atlas in the "JSON hash" form that sprite-sheet packers
// write and game engines read (Godot, Phaser, Unity and others).
//
// Layout: frames in order, left to right in rows; a row ends before a
// frame that would pass the target width: as many average cells as the
// square root of the number of frames with pixels, rounded up (at least
// the widest cell), so that like-sized frames make a square. Every cell has
// kSheetGap transparent pixels between it and its neighbours and the
// sheet's edges, so that filtering never mixes two frames. A frame of no
// pixels gets a cell of no size at (0, 0).
//
// Threads: pure functions; any number may run at once.
#pragma once

#include <span>
#include <string_view>

#include "tessly/draw.h"
#include "tessly/io.h"
#include "tessly/status.h"

namespace tessly {

constexpr int kSheetGap = 2;

// Places the frames on a sheet. Ok, or ImageTooLarge for a sheet that
// CheckCanvasSize refuses.
Status PlanSheet(std::span<const FrameGeometry> frames, CanvasPlan& plan);

// Draws each frame at its cell on a transparent sheet of the plan's size.
// Ok, what `draw` returns, ImageSizeOutOfRange for a frame larger than its
// cell, or OutOfMemory.
Status DrawSheet(const CanvasPlan& plan, const FrameDrawer& draw, DecodedImage& sheet);

// What an atlas names: the entry (its frames are NAME00, NAME01, ...), the
// sheet's file, and how long each frame shows, in milliseconds.
struct AtlasNames {
  std::string_view entryName;
  std::string_view imageFile;
  int durationMs = 70;
};

// Writes the atlas of the sheet's frames, as engines load it (PixiJS,
// Phaser, Aseprite's readers): for each frame its cell on the sheet
// (`frame`), `sourceSize` (the animation's canvas, from PlanAnimation),
// `spriteSourceSize` (where the frame lies on that canvas), `trimmed`
// (whether it fills less than the canvas), `rotated` false, `anchor` and
// `pivot` (the origin over the canvas, 0 for a side of no pixels: one point
// for every frame, so that the frames do not jump) and `duration`; then
// `animations` (the entry's frames in order) and `meta`, whose `format`
// says that the sheet holds 8-bit indexes, with one tag that runs through
// all the frames. Ok, ImageTooLarge when the animation's canvas is (as
// PlanAnimation says), OutOfMemory, WriteFailed.
Status WriteSheetAtlas(const CanvasPlan& sheet, std::span<const FrameGeometry> frames, const AtlasNames& names,
                       ByteSink& sink);

}  // namespace tessly
