// Bitmap mode: one 8-bit BMP file per frame without subframes and per
// subframe, named after the entry, the frame and the subframe.
#pragma once

#include <cstdint>

#include "app/file_sink.h"
#include "app/options.h"
#include "app/overwrite.h"
#include "tessly/archive.h"

namespace app {

// Exports entry `index` of the archive. False only when the user answered Quit.
bool ExportEntryBitmaps(const Options& options, OverwriteState& overwrite, const tessly::Archive& archive,
                        std::int32_t index);

}  // namespace app
