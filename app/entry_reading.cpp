#include "app/entry_reading.h"

#include <string_view>

#include "app/console_output.h"
#include "app/messages.h"
#include "gaf/filters.h"

namespace app {
namespace {

using namespace messages;

// A failed step prints its line; the && chains below stop at the first.
bool Step(bool succeeded, std::string_view failure) {
  if (!succeeded) Print(failure);
  return succeeded;
}

}  // namespace

bool ReadEntryStart(gaf::ArchiveReader& file, EntryStart& entry) {
  if (!Step(file.Read(entry.offset), kErrorReadingFile) || !Step(file.Seek(entry.offset), kErrorSeekingPosition) ||
      !Step(file.Read(entry.header), kErrorReadingGafEntry)) {
    return false;
  }
  entry.name = gaf::EntryName(entry.header);
  return true;
}

bool IsEntrySelected(const Options& options, gaf::ArchiveReader& file, const EntryStart& entry) {
  if (options.buildPicsOnly && !gaf::IsBuildPicEntry(file, entry.offset)) return false;
  return options.pattern.empty() || gaf::MatchPattern(options.pattern, entry.name);
}

bool ReadFrameHeader(gaf::ArchiveReader& file, std::uint32_t entryOffset, int k, gaf::GafFrameHeader& header) {
  gaf::GafFrameEntry frameEntry;
  return Step(file.Seek(gaf::FrameTableElementOffset(entryOffset, k)), kErrorSeekingGafFramePosition) &&
         Step(file.Read(frameEntry), kErrorReadingGafFrameEntry) &&
         Step(file.Seek(frameEntry.headerOffset), kErrorSeekingFrameDataPosition) &&
         Step(file.Read(header), kErrorReadingFrameData);
}

bool ReadSubframeHeader(gaf::ArchiveReader& file, const gaf::GafFrameHeader& frame, int j,
                        gaf::GafFrameHeader& header) {
  std::uint32_t headerOffset = 0;
  return Step(file.Seek(gaf::SubframeTableElementOffset(frame, j)), kErrorSeekingSubframeEntryPosition) &&
         Step(file.Read(headerOffset), kErrorReadingSubframeEntryData) &&
         Step(file.Seek(headerOffset), kErrorSeekingSubframeDataPosition) &&
         Step(file.Read(header), kErrorReadingSubframeData);
}

}  // namespace app
