// Animated GIF files of drawn frames, written by giflib. Every frame is
// written at its place on the plan's canvas with the palette as the global
// colour table and kSkippedPixel as the transparent index; each frame's
// area is cleared before the next is shown (disposal "restore to
// background"), so a transparent pixel never shows an earlier frame. An
// animation loops forever; a single frame gives a still picture.
//
// Threads: any number may write at once.
#pragma once

#include "tessly/draw.h"
#include "tessly/io.h"
#include "tessly/palette.h"
#include "tessly/status.h"

namespace tessly {

struct GifOptions {
  int delay = 7;  // how long each frame shows, in hundredths of a second (1 to 65535)
};

// Writes the GIF file of the plan's frames, each drawn by `draw`, into
// `sink`. A frame of no pixels shows nothing for its delay. Ok, what `draw`
// returns, ImageSizeOutOfRange for a drawn frame that leaves the canvas,
// OutOfMemory, or WriteFailed once the sink refuses a write.
Status WriteGif(const CanvasPlan& plan, const FrameDrawer& draw, const Palette& palette, const GifOptions& options,
                ByteSink& sink);

}  // namespace tessly
