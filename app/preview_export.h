// --gif and --sheet: each selected entry's frames drawn as the game draws
// them, as an animated NAME.gif, or as NAME.sheet.png with its atlas
// NAME.sheet.json. A frame that cannot be drawn is reported and stays in
// its place as a frame of no pixels, so that the numbers and timing of the
// others hold.
#pragma once

#include <cstdint>

#include "app/image_export.h"
#include "app/options.h"
#include "app/overwrite.h"
#include "tessly/archive.h"

namespace app {

// Exports entry `index` of the archive. False only when the user answered Quit.
bool ExportEntryPreview(const Options& options, OverwriteState& overwrite, ImageWork& work,
                        const tessly::Archive& archive, std::int32_t index);

}  // namespace app
