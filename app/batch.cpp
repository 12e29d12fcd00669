#include "app/batch.h"

#include <string>
#include <vector>

#include "app/console_output.h"
#include "export/bitmap_export.h"
#include "export/gaf_export.h"
#include "gaf/archive_reader.h"
#include "gaf/records.h"
#include "platform/platform.h"

namespace app {
namespace {

constexpr std::uint64_t kEntryTableOffset = sizeof(gaf::GafHeader);

// Takes one archive apart. False when the user answered Quit.
bool RunArchive(Options& options, const std::string& path) {
  platform::File file;
  if (!platform::OpenForReading(path, file)) {
    Print("ERROR;  could not open\n");
    return true;
  }
  gaf::ArchiveReader reader(file);
  std::uint8_t headerBytes[sizeof(gaf::GafHeader)];
  switch (reader.ReadBytes(headerBytes, sizeof headerBytes)) {
    case gaf::ReadStatus::Complete:
      break;
    case gaf::ReadStatus::EndOfFile:  // too short to be an archive
      Print("Invalid GAF\n");
      return true;
    case gaf::ReadStatus::Failed:
      return true;
  }
  const gaf::GafHeader header = gaf::DecodeGafHeader(headerBytes);
  if (header.version != gaf::kGafVersion) {
    Print("Invalid GAF\n");
    return true;
  }
  for (std::int32_t i = 0; i < header.entryCount; ++i) {
    if (!reader.Seek(kEntryTableOffset + 4 * static_cast<std::uint64_t>(i))) {
      Print(" error seeking file position\n");
      continue;
    }
    if (options.bitmapMode) {
      if (!exporter::ExportEntryBitmaps(options, reader)) return false;
    } else if (header.entryCount > 1) {
      if (!exporter::ExportEntryGaf(options, reader)) return false;
    } else {
      Print("  Only one GAF entry (no action taken)\n");
    }
  }
  return true;
}

}  // namespace

void RunBatch(Options& options) {
  // The list is complete before the first archive is opened, so files that
  // this run writes are never taken as input.
  std::vector<std::string> names;
  platform::FindMatchingNames(options.fileSpec, names);
  if (names.empty()) {
    Print("File not found\n");
    return;
  }
  // The names are bare; they are opened in the directory they were found in.
  const std::string directory = platform::DirectoryPart(options.fileSpec);
  for (const std::string& name : names) {
    PrintWith("%s\n", name);
    if (!RunArchive(options, directory + name)) return;
  }
}

}  // namespace app
