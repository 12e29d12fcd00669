// Image mode: one 8-bit BMP file (-B) or PNG file (--png) per frame without
// subframes and per subframe, named after the entry, the frame and the
// subframe; with --json, then a description of the entry.
#pragma once

#include <cstdint>

#include "app/options.h"
#include "app/overwrite.h"
#include "tessly/archive.h"

namespace app {

// Exports entry `index` of the archive. False only when the user answered Quit.
bool ExportEntryImages(const Options& options, OverwriteState& overwrite, const tessly::Archive& archive,
                       std::int32_t index);

}  // namespace app
