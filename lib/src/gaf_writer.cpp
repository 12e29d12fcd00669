#include "tessly/gaf_writer.h"

#include <vector>

#include "file_writer.h"
#include "gaf_layout.h"
#include "little_endian.h"
#include "record_codec.h"

namespace tessly {
namespace {

constexpr std::uint32_t kFileStart = sizeof(GafHeader) + 4;  // file header and the one entry offset
constexpr std::uint32_t kHeaderSize = sizeof(GafFrameHeader);

// A count in a written file is the number of pieces written, 0 for none:
// readers that take counts as unsigned must not see a negative one.
std::int16_t Count(std::size_t written) { return static_cast<std::int16_t>(written); }

// The bytes of pixel data a frame brings: its rows, or all its subframes' rows.
std::uint64_t PixelDataSize(const StoredFrame& frame) {
  std::uint64_t size = frame.image.rows.size();
  for (const StoredImage& subframe : frame.subframes) size += subframe.rows.size();
  return size;
}

// Where the entry header lies: after the file start, every frame's data,
// subframe headers and tables, and header.
std::uint64_t EntryOffset(const StoredEntry& entry) {
  std::uint64_t offset = kFileStart;
  for (const StoredFrame& frame : entry.frames) {
    offset += kHeaderSize + PixelDataSize(frame) + kSubframeFileSize * std::uint64_t{frame.subframes.size()};
  }
  return offset;
}

// The entry header and the frame table end the file.
std::uint64_t FileSizeAfter(std::uint64_t entryOffset, const StoredEntry& entry) {
  return entryOffset + sizeof(GafEntryHeader) + sizeof(GafFrameEntry) * std::uint64_t{entry.frames.size()};
}

// Pixel data of every image, in the order of the headers; a frame with
// subframes has none of its own.
bool WritePixelData(FileWriter& out, const StoredEntry& entry) {
  for (const StoredFrame& frame : entry.frames) {
    if (frame.subframes.empty() && !out.Write(frame.image.rows.data(), frame.image.rows.size())) return false;
    for (const StoredImage& subframe : frame.subframes) {
      if (!out.Write(subframe.rows.data(), subframe.rows.size())) return false;
    }
  }
  return true;
}

// Each frame's subframe headers, then its subframe table (which becomes the
// frame's data), then the frame's own header, whose offset goes into
// `frameHeaders`. Pixel data was written in the same order from kFileStart.
bool WriteHeaders(FileWriter& out, const StoredEntry& entry, std::vector<std::uint32_t>& frameHeaders) {
  std::uint32_t pixels = kFileStart;
  auto nextPixels = [&pixels](const StoredImage& image) {
    const std::uint32_t at = pixels;
    pixels += static_cast<std::uint32_t>(image.rows.size());
    return at;
  };
  for (const StoredFrame& frame : entry.frames) {
    GafFrameHeader header = frame.image.header;
    if (frame.subframes.empty()) {
      header.subframeCount = 0;
      header.height = Count(frame.image.rowCount);
      frameHeaders.push_back(out.position());
      if (!out.WriteHeader(header, nextPixels(frame.image))) return false;
      continue;
    }
    const std::uint32_t firstSubframe = out.position();
    for (const StoredImage& subframe : frame.subframes) {
      GafFrameHeader subframeHeader = subframe.header;
      subframeHeader.height = Count(subframe.rowCount);
      if (!out.WriteHeader(subframeHeader, nextPixels(subframe))) return false;
    }
    const std::uint32_t table = out.position();
    for (std::size_t j = 0; j < frame.subframes.size(); ++j) {
      if (!out.WriteU32(firstSubframe + kHeaderSize * static_cast<std::uint32_t>(j))) return false;
    }
    header.subframeCount = Count(frame.subframes.size());
    frameHeaders.push_back(out.position());
    if (!out.WriteHeader(header, table)) return false;
  }
  return true;
}

bool WriteEntryHeader(FileWriter& out, const StoredEntry& entry, const std::vector<std::uint32_t>& frameHeaders) {
  GafEntryHeader header = entry.header;
  header.frameCount = Count(entry.frames.size());
  std::uint8_t bytes[sizeof(GafEntryHeader)];
  EncodeEntryHeader(header, bytes);
  if (!out.Write(bytes, sizeof bytes)) return false;
  for (const std::uint32_t headerOffset : frameHeaders) {
    std::uint8_t element[sizeof(GafFrameEntry)];
    EncodeFrameEntry({headerOffset, kWrittenFrameTableAux}, element);
    if (!out.Write(element, sizeof element)) return false;
  }
  return true;
}

}  // namespace

std::uint64_t GafEntryFileSize(const StoredEntry& entry) { return FileSizeAfter(EntryOffset(entry), entry); }

Status WriteGafEntry(const StoredEntry& entry, ByteSink& sink) {
  const std::uint64_t entryOffset = EntryOffset(entry);
  const std::uint64_t fileSize = FileSizeAfter(entryOffset, entry);
  if (fileSize > kOffsetLimit) return Status::EntryTooLarge;
  std::vector<std::uint32_t> frameHeaders;
  try {
    frameHeaders.reserve(entry.frames.size());
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  sink.Expect(fileSize);
  FileWriter out(sink);
  std::uint8_t fileHeader[sizeof(GafHeader)];
  EncodeGafHeader({kGafVersion, 1, 0}, fileHeader);
  const bool written = out.Write(fileHeader, sizeof fileHeader) &&
                       out.WriteU32(static_cast<std::uint32_t>(entryOffset)) && WritePixelData(out, entry) &&
                       WriteHeaders(out, entry, frameHeaders) && WriteEntryHeader(out, entry, frameHeaders);
  return written ? Status::Ok : Status::WriteFailed;
}

}  // namespace tessly
