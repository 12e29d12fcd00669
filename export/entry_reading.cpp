#include "export/entry_reading.h"

#include "app/console_output.h"
#include "gaf/filters.h"

namespace exporter {
namespace {

using app::Print;

// A failed step prints its line; the && chains below stop at the first.
bool Step(bool succeeded, std::string_view failure) {
  if (!succeeded) Print(failure);
  return succeeded;
}

}  // namespace

bool ReadEntryStart(gaf::ArchiveReader& file, EntryStart& entry) {
  if (!Step(file.Read(entry.offset), " error reading file\n") ||
      !Step(file.Seek(entry.offset), " error seeking position\n") ||
      !Step(file.Read(entry.header), " error reading GAF entry\n")) {
    return false;
  }
  entry.name = gaf::EntryName(entry.header);
  return true;
}

bool IsEntrySelected(const app::Options& options, gaf::ArchiveReader& file, const EntryStart& entry) {
  if (options.buildPicsOnly && !gaf::IsBuildPicEntry(file, entry.offset)) return false;
  return options.pattern.empty() || gaf::MatchPattern(options.pattern, entry.name);
}

bool ReadFrameHeader(gaf::ArchiveReader& file, std::uint32_t entryOffset, int k, gaf::GafFrameHeader& header) {
  gaf::GafFrameEntry frameEntry;
  const std::uint64_t tableElement = std::uint64_t{entryOffset} + 40 + 8 * static_cast<std::uint64_t>(k);
  return Step(file.Seek(tableElement), " error seeking GAF frame position\n") &&
         Step(file.Read(frameEntry), " error reading GAF frame entry\n") &&
         Step(file.Seek(frameEntry.headerOffset), " error seeking frame data position\n") &&
         Step(file.Read(header), " error reading frame data\n");
}

bool ReadSubframeHeader(gaf::ArchiveReader& file, const gaf::GafFrameHeader& frame, int j,
                        gaf::GafFrameHeader& header) {
  std::uint32_t headerOffset = 0;
  const std::uint64_t tableElement = std::uint64_t{frame.dataOffset} + 4 * static_cast<std::uint64_t>(j);
  return Step(file.Seek(tableElement), " error seeking subframe entry position\n") &&
         Step(file.Read(headerOffset), " error reading subframe entry data\n") &&
         Step(file.Seek(headerOffset), " error seeking subframe data position\n") &&
         Step(file.Read(header), " error reading subframe data\n");
}

}  // namespace exporter
