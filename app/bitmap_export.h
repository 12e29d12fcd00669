// Bitmap mode: one 8-bit BMP file per frame without subframes and per
// subframe, named after the entry, the frame and the subframe.
#pragma once

#include "app/options.h"
#include "app/overwrite.h"
#include "gaf/archive_reader.h"
#include "gaf/records.h"
#include "platform/platform.h"

namespace app {

// Exports the entry whose element of the entry offset table the read
// position stands at. False only when the user answered Quit.
bool ExportEntryBitmaps(const Options& options, OverwriteState& overwrite, gaf::ArchiveReader& file);

// Writes the BMP file of one image whose size is in range and whose pixel
// data starts at the read position. Rows that fail to read are reported and
// written as skipped pixels, so the file always matches its headers. False
// when a write fails or the image is too large for memory.
bool WriteBitmap(platform::File& out, gaf::ArchiveReader& in, const gaf::GafFrameHeader& header);

}  // namespace app
