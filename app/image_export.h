// Image mode: one 8-bit BMP file (-B) or PNG file (--png) per frame without
// subframes and per subframe, named after the entry, the frame and the
// subframe; with --json, then a description of the entry, and the files of
// an entry whose name an earlier one had are named apart (EntryFileStem).
#pragma once

#include <cstdint>
#include <string>

#include "app/file_sink.h"
#include "app/options.h"
#include "app/overwrite.h"
#include "tessly/archive.h"
#include "tessly/description.h"
#include "tessly/image.h"
#include "tessly/palette.h"
#include "tessly/walk.h"

namespace app {

// What image export keeps from one image to the next: the colours of the
// files, and the memory of the last image, file buffer and frame, which the
// next ones reuse; with --json, what the archive's description gathers.
struct ImageWork {
  tessly::Palette palette = tessly::BuiltInPalette();
  tessly::DecodedImage image;
  FileSink out;
  tessly::FrameLayout layout;
  tessly::PixelDataUsers users;        // of the archive's entries so far
  tessly::ArchiveDescription archive;  // its version, and the entry descriptions written
  tessly::UsedFileStems stems;         // given to the archive's entries so far
  std::string stem;                    // that the entry's files are named after
  tessly::EntryDescription entry;
};

// Exports entry `index` of the archive. False only when the user answered Quit.
bool ExportEntryImages(const Options& options, OverwriteState& overwrite, ImageWork& work,
                       const tessly::Archive& archive, std::int32_t index);

// Starts an archive of this version: no entries described yet.
void StartArchive(ImageWork& work, std::uint32_t version);

// With --json, ARCHIVE.json after the archive's entries, named after the
// archive's file. False only when the user answered Quit.
bool ExportArchiveDescription(const Options& options, OverwriteState& overwrite, ImageWork& work,
                              const std::string& archiveName);

}  // namespace app
