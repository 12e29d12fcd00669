#include "app/gaf_export.h"

#include <algorithm>
#include <new>
#include <string>

#include "app/console_output.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "writer/gaf_entry_writer.h"

namespace app {
namespace {

using namespace messages;
using writer::FrameNode;

constexpr std::size_t kLargestReservation = 1 << 20;

// Reads one entry into FrameNodes, keeping count of the size of the file
// they will make. Each function returns false only when that size would
// pass the largest file allowed; read failures are reported and left out.
class EntryCopier {
 public:
  EntryCopier(gaf::ArchiveReader& file, std::uint64_t largestFile) : file_(file), largestFile_(largestFile) {}

  bool ReadFrames(const EntryStart& entry, std::vector<FrameNode>& frames) {
    for (int k = 0; k < entry.header.frameCount; ++k) {
      FrameNode frame;
      if (!ReadFrameHeader(file_, entry.offset, k, frame.header)) continue;
      if (!AddWithinLimit(writer::kFrameFileSize)) return false;
      const bool fits = frame.header.subframeCount > 0 ? ReadSubframes(frame) : ReadImage(frame);
      frames.push_back(std::move(frame));
      if (!fits) return false;
    }
    return true;
  }

 private:
  // Adds `bytes` to the size of the file to be; false once it is too large.
  bool AddWithinLimit(std::uint64_t bytes) {
    fileSize_ += bytes;
    return fileSize_ <= largestFile_;
  }

  bool ReadSubframes(FrameNode& frame) {
    for (int j = 0; j < frame.header.subframeCount; ++j) {
      FrameNode subframe;
      subframe.aux = 0;  // never written for a subframe
      if (!ReadSubframeHeader(file_, frame.header, j, subframe.header)) continue;
      if (!AddWithinLimit(writer::kSubframeFileSize)) return false;
      const bool fits = ReadImage(subframe);
      frame.dataSize += subframe.dataSize;
      frame.subframes.push_back(std::move(subframe));
      if (!fits) return false;
    }
    return true;
  }

  // The stored rows of a frame without subframes, or of a subframe.
  bool ReadImage(FrameNode& image) {
    const gaf::GafFrameHeader& header = image.header;
    if (!gaf::HasStoredRowLength(header)) {
      Print(kImageSizeOutOfRange);
      return true;
    }
    if (!file_.Seek(header.dataOffset)) {
      Print(kErrorSeekingFramePixelData);
      return true;
    }
    if (header.compressed == 0 && header.height > 0) {
      // Capped: a header may claim far more rows than the archive holds.
      image.rows.Reserve(std::min<std::size_t>(
          static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height), kLargestReservation));
    }
    for (int r = 0; r < header.height; ++r) {
      if (!ReadRow(image, r)) return false;
    }
    image.rows.ReleaseSlack();
    return true;
  }

  bool ReadRow(FrameNode& image, int r) {
    const bool compressed = image.header.compressed != 0;
    std::uint16_t length = static_cast<std::uint16_t>(image.header.width);
    if (compressed && !file_.Read(length)) {
      Print(kErrorReadingPixelDataRowLength);
      return true;
    }
    const std::uint32_t stored = writer::StoredRowSize(length, compressed);
    if (!AddWithinLimit(stored)) return false;
    if (!image.rows.ReadRow(file_, length, compressed)) {
      PrintWith(kErrorReadingPixelDataRow, r);
      fileSize_ -= stored;
      return true;
    }
    image.dataSize += stored;
    return true;
  }

  gaf::ArchiveReader& file_;
  const std::uint64_t largestFile_;
  std::uint64_t fileSize_ = writer::kEmptyGafFileSize;
};

// A count in a written file is the number of pieces written, 0 for none:
// readers that take counts as unsigned must not see a negative one.
void SettleCount(std::int16_t& count, std::size_t written) { count = static_cast<std::int16_t>(written); }

// Reads the whole entry and writes it to `out`. False when it cannot be
// written: a failed write, a file too large for a GAF file's offsets, or an
// entry too large for the memory at hand.
bool CopyEntry(gaf::ArchiveReader& file, EntryStart& entry, platform::File& out) {
  try {
    std::vector<FrameNode> frames;
    if (!ReadEntryFrames(file, entry, frames, writer::kLargestGafFile)) return false;
    SettleCounts(entry.header, frames);
    return writer::WriteGafEntryFile(out, entry.header, frames);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

bool ReadEntryFrames(gaf::ArchiveReader& file, const EntryStart& entry, std::vector<FrameNode>& frames,
                     std::uint64_t largestFile) {
  EntryCopier copier(file, largestFile);
  return copier.ReadFrames(entry, frames);
}

void SettleCounts(gaf::GafEntryHeader& entryHeader, std::vector<FrameNode>& frames) {
  SettleCount(entryHeader.frameCount, frames.size());
  for (FrameNode& frame : frames) {
    if (frame.subframes.empty()) {
      SettleCount(frame.header.subframeCount, 0);
      SettleCount(frame.header.height, frame.rows.size());
      continue;
    }
    SettleCount(frame.header.subframeCount, frame.subframes.size());
    for (FrameNode& subframe : frame.subframes) SettleCount(subframe.header.height, subframe.rows.size());
  }
}

bool ExportEntryGaf(const Options& options, OverwriteState& overwrite, gaf::ArchiveReader& file) {
  EntryStart entry;
  if (!ReadEntryStart(file, entry) || !IsEntrySelected(options, file, entry)) return true;

  const std::string target = entry.name + options.suffix + ".GAF";
  // Created before any frame is read, so an entry whose frames all fail to
  // read still gives a file.
  platform::File out;
  const OutputStatus status = OpenOutput(target, kErrorOpeningGafToWrite, overwrite, out);
  if (status != OutputStatus::Open) return status != OutputStatus::Quit;
  PrintWith(CopyEntry(file, entry, out) ? kExported : kFailedToWrite, target);
  return true;
}

}  // namespace app
