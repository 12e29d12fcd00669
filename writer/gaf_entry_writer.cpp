#include "writer/gaf_entry_writer.h"

#include "writer/buffered_writer.h"

namespace writer {
namespace {

constexpr std::uint32_t kFileStart = sizeof(gaf::GafHeader) + 4;  // file header and the one entry offset
constexpr std::uint32_t kHeaderSize = sizeof(gaf::GafFrameHeader);
constexpr std::uint32_t kTableElementSize = 4;

// Where the entry header lies: after the file start, every frame's data,
// subframe headers and tables, and header.
std::uint64_t GafEntryOffset(const std::vector<FrameNode>& frames) {
  std::uint64_t offset = kFileStart;
  for (const FrameNode& frame : frames) {
    offset += kHeaderSize + std::uint64_t{frame.dataSize} + kSubframeFileSize * std::uint64_t{frame.subframes.size()};
  }
  return offset;
}

// The rows are held as they are stored: compressed rows with their length words.
bool WriteRows(BufferedWriter& out, const FrameNode& image) {
  const std::span<const std::uint8_t> rows = image.rows.Stored();
  return out.Write(rows.data(), rows.size());
}

bool WriteHeader(BufferedWriter& out, const gaf::GafFrameHeader& header) {
  std::uint8_t bytes[sizeof(gaf::GafFrameHeader)];
  gaf::EncodeFrameHeader(header, bytes);
  return out.Write(bytes, sizeof bytes);
}

// Pixel data of every image; a frame with subframes has none of its own.
bool WritePixelData(BufferedWriter& out, std::vector<FrameNode>& frames, std::uint32_t& position) {
  auto writeImage = [&](FrameNode& image) {
    image.header.dataOffset = position;
    position += image.dataSize;
    return WriteRows(out, image);
  };
  for (FrameNode& frame : frames) {
    if (frame.subframes.empty()) {
      if (!writeImage(frame)) return false;
      continue;
    }
    for (FrameNode& subframe : frame.subframes) {
      if (!writeImage(subframe)) return false;
    }
  }
  return true;
}

// Each frame's subframe headers, then its subframe table (which becomes the
// frame's data), then the frame's own header.
bool WriteHeaders(BufferedWriter& out, std::vector<FrameNode>& frames, std::uint32_t& position) {
  auto writeHeader = [&](FrameNode& node) {
    node.headerOffset = position;
    position += kHeaderSize;
    return WriteHeader(out, node.header);
  };
  for (FrameNode& frame : frames) {
    for (FrameNode& subframe : frame.subframes) {
      if (!writeHeader(subframe)) return false;
    }
    if (!frame.subframes.empty()) {
      frame.header.dataOffset = position;
      for (const FrameNode& subframe : frame.subframes) {
        if (!out.WriteU32(subframe.headerOffset)) return false;
        position += kTableElementSize;
      }
    }
    if (!writeHeader(frame)) return false;
  }
  return true;
}

bool WriteEntry(BufferedWriter& out, const gaf::GafEntryHeader& entryHeader, const std::vector<FrameNode>& frames) {
  std::uint8_t bytes[sizeof(gaf::GafEntryHeader)];
  gaf::EncodeEntryHeader(entryHeader, bytes);
  if (!out.Write(bytes, sizeof bytes)) return false;
  for (const FrameNode& frame : frames) {
    std::uint8_t element[sizeof(gaf::GafFrameEntry)];
    gaf::EncodeFrameEntry({frame.headerOffset, frame.aux}, element);
    if (!out.Write(element, sizeof element)) return false;
  }
  return true;
}

// The entry header and the frame table end the file.
std::uint64_t FileSizeAfter(std::uint64_t entryOffset, const std::vector<FrameNode>& frames) {
  return entryOffset + sizeof(gaf::GafEntryHeader) + sizeof(gaf::GafFrameEntry) * std::uint64_t{frames.size()};
}

}  // namespace

std::uint64_t GafEntryFileSize(const std::vector<FrameNode>& frames) {
  return FileSizeAfter(GafEntryOffset(frames), frames);
}

bool WriteGafEntryFile(platform::File& out, const gaf::GafEntryHeader& entryHeader, std::vector<FrameNode>& frames) {
  const std::uint64_t entryOffset = GafEntryOffset(frames);
  const std::uint64_t fileSize = FileSizeAfter(entryOffset, frames);
  if (fileSize > kLargestGafFile) return false;
  BufferedWriter writer(out);
  writer.Reserve(static_cast<std::size_t>(fileSize));
  std::uint8_t fileHeader[sizeof(gaf::GafHeader)];
  gaf::EncodeGafHeader({gaf::kGafVersion, 1, 0}, fileHeader);
  std::uint32_t position = kFileStart;
  return writer.Write(fileHeader, sizeof fileHeader) && writer.WriteU32(static_cast<std::uint32_t>(entryOffset)) &&
         WritePixelData(writer, frames, position) && WriteHeaders(writer, frames, position) &&
         WriteEntry(writer, entryHeader, frames) && writer.Flush();
}

}  // namespace writer
