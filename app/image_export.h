// Image mode: one 8-bit BMP file (-B) or PNG file (--png) per frame without
// subframes and per subframe, named after the entry, the frame and the
// subframe; with --json, then a description of the entry.
#pragma once

#include <cstdint>

#include "app/file_sink.h"
#include "app/options.h"
#include "app/overwrite.h"
#include "tessly/archive.h"
#include "tessly/image.h"
#include "tessly/palette.h"
#include "tessly/walk.h"

namespace app {

// What image export keeps from one image to the next: the colours of the
// files, and the memory of the last image, file buffer and frame, which the
// next ones reuse.
struct ImageWork {
  tessly::Palette palette = tessly::BuiltInPalette();
  tessly::DecodedImage image;
  FileSink out;
  tessly::FrameLayout layout;
};

// Exports entry `index` of the archive. False only when the user answered Quit.
bool ExportEntryImages(const Options& options, OverwriteState& overwrite, ImageWork& work,
                       const tessly::Archive& archive, std::int32_t index);

}  // namespace app
