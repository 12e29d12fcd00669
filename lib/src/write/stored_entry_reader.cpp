#include <algorithm>

#include "format/cursor.h"
#include "write/gaf_layout.h"
#include "format/stored_rows.h"
#include "tessly/archive.h"
#include "tessly/walk.h"

namespace tessly {
namespace {

constexpr std::size_t kLargestReservation = 1 << 20;

// Reads one entry into a StoredEntry, keeping count of the size of the file
// it will make. Each function returns false only when that size would pass
// the largest file allowed; read failures are reported and left out.
class EntryCopier {
 public:
  EntryCopier(ByteSource& source, std::uint64_t largestFile, const ProblemReport& report)
      : cursor_(source), largestFile_(largestFile), report_(report) {}

  bool ReadFrames(const Archive& archive, const Entry& entry, std::vector<StoredFrame>& frames) {
    FrameLayout layout;
    for (int k = 0; k < entry.header.frameCount; ++k) {
      if (!Reported(ReadFrameLayout(archive, entry, k, layout))) continue;
      if (!AddWithinLimit(kFrameFileSize)) return false;
      StoredFrame& frame = frames.emplace_back();
      frame.image.header = layout.frame.header;
      // A one-entry file counts what it holds: a frame that is an image has
      // no subframes, and its table element the value that files of one entry carry.
      frame.tableAux = kWrittenFrameTableAux;
      if (!HasSubframes(layout.frame.header)) {
        frame.image.header.subframeCount = 0;
        if (!ReadImage(frame.image, ImageKind::Frame)) return false;
        continue;
      }
      for (const ImageSlot& slot : layout.images) {
        if (!Reported(slot.status)) continue;
        if (!AddWithinLimit(kSubframeFileSize)) return false;
        StoredImage& subframe = frame.subframes.emplace_back();
        subframe.header = slot.header;
        if (!ReadImage(subframe, ImageKind::Subframe)) return false;
      }
      // A frame none of whose subframes read is written as an image of no rows.
      if (frame.subframes.empty()) frame.image.header.subframeCount = frame.image.header.height = 0;
    }
    return true;
  }

 private:
  bool Reported(Status status) {
    if (status != Status::Ok) Tell(report_, status, -1);
    return status == Status::Ok;
  }

  // Adds `bytes` to the size of the file to be; false once it is too large.
  bool AddWithinLimit(std::uint64_t bytes) {
    fileSize_ += bytes;
    return fileSize_ <= largestFile_;
  }

  // The stored rows of a frame without subframes, or of a subframe.
  // The header's height becomes the number of rows held.
  bool ReadImage(StoredImage& image, ImageKind kind) {
    const GafFrameHeader header = image.header;
    image.header.height = 0;
    // What cannot be read is reported, and the image kept without rows.
    if (!HasStoredRowLength(header)) {
      Tell(report_, Status::ImageSizeOutOfRange, -1);
      return true;
    }
    if (!cursor_.Seek(header.dataOffset)) {
      Tell(report_, PixelsSeekFailed(kind), -1);
      return true;
    }
    if (header.compressed == 0 && header.height > 0) {
      // Capped: a header may claim far more rows than the archive holds.
      image.rows.reserve(std::min<std::size_t>(
          static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height), kLargestReservation));
    }
    StoredRowReader rows(cursor_, header);
    for (int r = 0; r < header.height; ++r) {
      if (!ReadRow(rows, image, r)) return false;
    }
    // Gives back room that rows which failed to read did not take, so that
    // an entry holds little more than the file it becomes.
    if (image.rows.capacity() > 2 * image.rows.size()) image.rows.shrink_to_fit();
    return true;
  }

  // Copies the next row as it is stored, after its length word for a
  // compressed row. False when the file would pass the largest allowed.
  bool ReadRow(StoredRowReader& rows, StoredImage& image, int r) {
    std::span<const std::uint8_t> bytes;
    if (const Status read = rows.Next(bytes); read != Status::Ok) {
      Tell(report_, read, r);
      return true;
    }
    const auto length = static_cast<std::uint16_t>(bytes.size());
    const std::uint32_t stored = StoredRowSize(length, rows.compressed());
    if (fileSize_ + stored > largestFile_) return false;
    const std::size_t start = image.rows.size();
    image.rows.resize(start + stored);
    if (rows.compressed()) StoreRowLength(image.rows.data() + start, length);
    std::copy(bytes.begin(), bytes.end(), image.rows.begin() + static_cast<std::ptrdiff_t>(start + stored - length));
    fileSize_ += stored;
    ++image.header.height;
    return true;
  }

  Cursor cursor_;
  const std::uint64_t largestFile_;
  const ProblemReport& report_;
  std::uint64_t fileSize_ = kEmptyGafFileSize;
};

}  // namespace

Status Archive::ReadStoredEntry(const Entry& entry, StoredEntry& stored, const ProblemReport& report) const {
  stored.header = entry.header;
  stored.frames.clear();
  EntryCopier copier(source_, std::min(limits_.entryBytes, kOffsetLimit), report);
  try {
    return copier.ReadFrames(*this, entry, stored.frames) ? Status::Ok : Status::EntryTooLarge;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace tessly
