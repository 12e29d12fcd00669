// --pack: a GAF archive built from the descriptions that --json writes and
// the image files they name, in the standard layout, and written only once
// every entry and image has been read and encoded.
#pragma once

#include "app/options.h"

namespace app {

// Builds and writes the archive. True only when it was written.
bool RunPack(const Options& options);

}  // namespace app
