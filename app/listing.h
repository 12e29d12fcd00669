// --list: for each archive a line of its header and, under the columns,
// a line per selected entry and, indented under it, a line per frame and
// subframe. Nothing is written.
#pragma once

#include <cstdint>

#include "app/options.h"
#include "tessly/archive.h"
#include "tessly/description.h"

namespace app {

// The archive's line and the entries' columns.
void ListArchive(const tessly::GafHeader& header);

// Entry `index`, when it reads and is selected. `users` names the first
// image at each offset of pixel data, so that sharing is shown.
void ListEntry(const Options& options, const tessly::Archive& archive, std::int32_t index,
               tessly::PixelDataUsers& users);

}  // namespace app
