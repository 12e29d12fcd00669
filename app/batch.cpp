#include "app/batch.h"

#include <string>
#include <vector>

#include "app/bitmap_export.h"
#include "app/console_output.h"
#include "app/gaf_export.h"
#include "app/messages.h"
#include "app/overwrite.h"
#include "gaf/archive_reader.h"
#include "gaf/records.h"
#include "platform/platform.h"

namespace app {
namespace {

using namespace messages;

// Takes one archive apart. False when the user answered Quit.
bool RunArchive(const Options& options, OverwriteState& overwrite, const std::string& path) {
  platform::File file;
  if (!platform::OpenForReading(path, file)) {
    Print(kCouldNotOpen);
    return true;
  }
  gaf::ArchiveReader reader(file);
  std::uint8_t headerBytes[sizeof(gaf::GafHeader)];
  switch (reader.ReadBytes(headerBytes, sizeof headerBytes)) {
    case gaf::ReadStatus::Complete:
      break;
    case gaf::ReadStatus::EndOfFile:  // too short to be an archive
      Print(kInvalidGaf);
      return true;
    case gaf::ReadStatus::Failed:
      return true;
  }
  const gaf::GafHeader header = gaf::DecodeGafHeader(headerBytes);
  if (header.version != gaf::kGafVersion) {
    Print(kInvalidGaf);
    return true;
  }
  for (std::int32_t i = 0; i < header.entryCount; ++i) {
    if (!reader.Seek(gaf::EntryTableElementOffset(i))) {
      Print(kErrorSeekingFilePosition);
      continue;
    }
    if (options.bitmapMode) {
      if (!ExportEntryBitmaps(options, overwrite, reader)) return false;
    } else if (header.entryCount > 1) {
      if (!ExportEntryGaf(options, overwrite, reader)) return false;
    } else {
      Print(kOnlyOneGafEntry);
    }
  }
  return true;
}

}  // namespace

void RunBatch(const Options& options) {
  // The list is complete before the first archive is opened, so files that
  // this run writes are never taken as input.
  std::vector<std::string> names;
  platform::FindMatchingNames(options.fileSpec, names);
  if (names.empty()) {
    Print(kFileNotFound);
    return;
  }
  OverwriteState overwrite = OverwriteState::From(options);
  // The names are bare; they are opened in the directory they were found in.
  const std::string directory = platform::DirectoryPart(options.fileSpec);
  for (const std::string& name : names) {
    PrintWith(kArchiveName, name);
    if (!RunArchive(options, overwrite, directory + name)) return;
  }
}

}  // namespace app
