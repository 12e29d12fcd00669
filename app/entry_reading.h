// The steps that both exporters take to reach an entry, its frames and
// their subframes. Each prints the line for the step that failed and
// returns false; the caller then goes on with the next piece.
#pragma once

#include <cstdint>
#include <string>

#include "app/options.h"
#include "gaf/archive_reader.h"
#include "gaf/records.h"

namespace app {

struct EntryStart {
  std::uint32_t offset = 0;
  gaf::GafEntryHeader header{};
  std::string name;
};

// Reads the entry's offset at the current position (which the batch driver
// set), then the entry header there.
bool ReadEntryStart(gaf::ArchiveReader& file, EntryStart& entry);

// -P first, then -E. Prints nothing.
bool IsEntrySelected(const Options& options, gaf::ArchiveReader& file, const EntryStart& entry);

// Frame k's table element, then the header it points at.
bool ReadFrameHeader(gaf::ArchiveReader& file, std::uint32_t entryOffset, int k, gaf::GafFrameHeader& header);

// Subframe j's element of the frame's subframe table, then its header.
bool ReadSubframeHeader(gaf::ArchiveReader& file, const gaf::GafFrameHeader& frame, int j, gaf::GafFrameHeader& header);

}  // namespace app
