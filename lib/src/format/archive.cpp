#include "tessly/archive.h"

#include <algorithm>
#include <span>

#include "format/cursor.h"
#include "format/stored_rows.h"
#include "tessly/row_codes.h"
#include "tessly/walk.h"

namespace tessly {
namespace {

// A seek, then a read of the record there: the first of the two statuses
// that fails, or Ok.
template <typename Record>
Status SeekAndRead(Cursor& cursor, std::uint64_t offset, Record& record, Status seekFailed, Status readFailed) {
  if (!cursor.Seek(offset)) return seekFailed;
  return cursor.Read(record) ? Status::Ok : readFailed;
}

// Reads the next row into `row`, whose size is the image's width. A row
// that fails to read is reported and becomes skipped pixels, so that every
// other row keeps its place.
void DecodeRow(StoredRowReader& rows, std::span<std::uint8_t> row, int r, const ProblemReport& report) {
  std::span<const std::uint8_t> bytes;
  const Status read = rows.Next(bytes);
  if (read != Status::Ok) Tell(report, read, r);
  if (rows.compressed() || read != Status::Ok) return ExpandRowCodes(bytes, row);
  std::copy(bytes.begin(), bytes.end(), row.begin());
}

constexpr bool IsIndexIn(int index, int count) { return index >= 0 && index < count; }

}  // namespace

Status Archive::ReadHeader(GafHeader& header) const {
  std::uint8_t bytes[sizeof(GafHeader)];
  const std::int64_t got = source_.ReadAt(0, bytes, sizeof bytes);
  if (got < 0) return Status::ArchiveUnreadable;
  if (got < static_cast<std::int64_t>(sizeof bytes)) return Status::NotAGafArchive;
  header = DecodeGafHeader(bytes);
  return header.version == kGafVersion ? Status::Ok : Status::NotAGafArchive;
}

Status Archive::ReadEntry(std::int32_t index, Entry& entry) const {
  GafHeader header;
  if (const Status status = ReadHeader(header); status != Status::Ok) return status;
  if (!IsIndexIn(index, header.entryCount)) return Status::IndexOutOfRange;
  Cursor cursor(source_);
  Status status =
      SeekAndRead(cursor, EntryTableElementOffset(index), entry.offset, Status::EntryTableSeek, Status::EntryTableRead);
  if (status == Status::Ok) {
    status = SeekAndRead(cursor, entry.offset, entry.header, Status::EntryHeaderSeek, Status::EntryHeaderRead);
  }
  if (status != Status::Ok) return status;
  try {
    entry.name = EntryName(entry.header);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

Status Archive::ReadFrame(const Entry& entry, int k, Frame& frame) const {
  if (!IsIndexIn(k, entry.header.frameCount)) return Status::IndexOutOfRange;
  Cursor cursor(source_);
  const Status status = SeekAndRead(cursor, FrameTableElementOffset(entry.offset, k), frame.tableElement,
                                    Status::FrameTableSeek, Status::FrameTableRead);
  if (status != Status::Ok) return status;
  return SeekAndRead(cursor, frame.tableElement.headerOffset, frame.header, Status::FrameHeaderSeek,
                     Status::FrameHeaderRead);
}

Status Archive::ReadSubframe(const GafFrameHeader& frame, int j, GafFrameHeader& subframe) const {
  std::uint32_t headerOffset;
  return ReadSubframe(frame, j, subframe, headerOffset);
}

Status Archive::ReadSubframe(const GafFrameHeader& frame, int j, GafFrameHeader& subframe,
                             std::uint32_t& headerOffset) const {
  if (!IsIndexIn(j, frame.subframeCount)) return Status::IndexOutOfRange;
  Cursor cursor(source_);
  headerOffset = 0;
  const Status status = SeekAndRead(cursor, SubframeTableElementOffset(frame, j), headerOffset,
                                    Status::SubframeTableSeek, Status::SubframeTableRead);
  if (status != Status::Ok) return status;
  return SeekAndRead(cursor, headerOffset, subframe, Status::SubframeHeaderSeek, Status::SubframeHeaderRead);
}

Status Archive::CheckImage(const GafFrameHeader& header, ImageKind kind) const {
  if (kind == ImageKind::Frame && HasSubframes(header)) return Status::FrameHasSubframes;
  if (!IsImageSizeInRange(header)) return Status::ImageSizeOutOfRange;
  if (header.dataOffset >= kOffsetLimit) return PixelsSeekFailed(kind);
  return CheckImageSize(header);
}

Status Archive::CheckImageSize(const GafFrameHeader& header) const {
  if (!IsImageSizeInRange(header)) return Status::ImageSizeOutOfRange;
  const std::uint64_t pixels = std::uint64_t(header.width) * std::uint64_t(header.height);
  return limits_.imagePixels != 0 && pixels > limits_.imagePixels ? Status::ImageTooLarge : Status::Ok;
}

Status Archive::DecodeImage(const GafFrameHeader& header, ImageKind kind, DecodedImage& image,
                            const ProblemReport& report) const {
  const Status status = CheckImage(header, kind);
  if (status != Status::Ok) return status;
  image.width = static_cast<std::uint16_t>(header.width);
  image.height = static_cast<std::uint16_t>(header.height);
  const std::size_t width = image.width;
  const std::uint64_t pixels = std::uint64_t{image.width} * image.height;
  Cursor cursor(source_);
  cursor.Seek(header.dataOffset);
  StoredRowReader rows(cursor, header);
  try {
    image.pixels.resize(static_cast<std::size_t>(pixels));
    for (int r = 0; r < image.height; ++r) {
      DecodeRow(rows, std::span(image.pixels.data() + width * static_cast<std::size_t>(r), width), r, report);
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

}  // namespace tessly
