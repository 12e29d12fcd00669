// GAF mode: each entry of a multi-entry archive becomes a GAF file of its
// own, named after the entry and the suffix, with every header and stored
// row copied byte for byte.
#pragma once

#include <cstdint>

#include "app/file_sink.h"
#include "app/options.h"
#include "app/overwrite.h"
#include "tessly/archive.h"

namespace app {

// Exports entry `index` of the archive through `out`, which keeps its
// buffer from one file to the next. False only when the user answered Quit.
bool ExportEntryGaf(const Options& options, OverwriteState& overwrite, FileSink& out, const tessly::Archive& archive,
                    std::int32_t index);

}  // namespace app
