// The steps that the exporters take to reach an entry and its frames. Each
// prints the line of the step that failed and returns false; the caller
// then goes on with the next piece.
#pragma once

#include <cstdint>

#include "app/options.h"
#include "tessly/archive.h"
#include "tessly/walk.h"

namespace app {

bool ReadEntry(const tessly::Archive& archive, std::int32_t index, tessly::Entry& entry);

// -P first, then -E. Prints nothing.
bool IsEntrySelected(const Options& options, const tessly::Archive& archive, const tessly::Entry& entry);

// Frame k and the headers of its subframes; those that fail to read are
// left for the caller to report, in their place.
bool ReadFrameAndSubframes(const tessly::Archive& archive, const tessly::Entry& entry, int k,
                           tessly::FrameLayout& layout);

}  // namespace app
