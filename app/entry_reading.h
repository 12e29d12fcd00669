// The steps that both exporters take to reach an entry, its frames and
// their subframes. Each prints the line of the step that failed and
// returns false; the caller then goes on with the next piece.
#pragma once

#include <cstdint>

#include "app/options.h"
#include "tessly/archive.h"

namespace app {

bool ReadEntry(const tessly::Archive& archive, std::int32_t index, tessly::Entry& entry);

// -P first, then -E. Prints nothing.
bool IsEntrySelected(const Options& options, const tessly::Archive& archive, const tessly::Entry& entry);

bool ReadFrame(const tessly::Archive& archive, const tessly::Entry& entry, int k, tessly::Frame& frame);

bool ReadSubframe(const tessly::Archive& archive, const tessly::GafFrameHeader& frame, int j,
                  tessly::GafFrameHeader& subframe);

}  // namespace app
