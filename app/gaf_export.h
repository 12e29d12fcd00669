// GAF mode: each entry of a multi-entry archive becomes a GAF file of its
// own, named after the entry and the suffix, with every header and stored
// row copied byte for byte.
#pragma once

#include <cstdint>
#include <vector>

#include "app/entry_reading.h"
#include "app/options.h"
#include "app/overwrite.h"
#include "gaf/archive_reader.h"
#include "writer/frame_node.h"

namespace app {

// Exports the entry whose element of the entry offset table the read
// position stands at. False only when the user answered Quit.
bool ExportEntryGaf(const Options& options, OverwriteState& overwrite, gaf::ArchiveReader& file);

// Reads every frame, subframe and stored row of the entry into `frames`,
// reporting and leaving out what fails to read. Stops with false as soon as
// the file they make would be larger than `largestFile`.
bool ReadEntryFrames(gaf::ArchiveReader& file, const EntryStart& entry, std::vector<writer::FrameNode>& frames,
                     std::uint64_t largestFile);

// Makes the counts in the headers the numbers of pieces written: the
// entry's frame count, each frame's subframe count, each image's row count,
// 0 for none. A frame left without subframes becomes an image of height 0.
void SettleCounts(gaf::GafEntryHeader& entryHeader, std::vector<writer::FrameNode>& frames);

}  // namespace app
