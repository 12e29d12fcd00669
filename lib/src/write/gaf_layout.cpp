#include "write/gaf_layout.h"

#include <new>

#include "write/file_writer.h"

namespace tessly {
namespace {

// A count is the number of pieces written.
std::int16_t Count(std::size_t written) { return static_cast<std::int16_t>(written); }

// Numbers the entries, frames and images of a layout, with no piece placed yet.
GafLayout Numbered(std::span<const StoredEntry> entries) {
  GafLayout layout;
  layout.entries = entries;
  for (const StoredEntry& entry : entries) {
    layout.firstFrame.push_back(static_cast<std::uint32_t>(layout.frames.size()));
    for (const StoredFrame& frame : entry.frames) {
      layout.firstImage.push_back(static_cast<std::uint32_t>(layout.images.size()));
      layout.frames.push_back(&frame);
      if (frame.subframes.empty()) layout.images.push_back(&frame.image);
      for (const StoredImage& subframe : frame.subframes) layout.images.push_back(&subframe);
    }
  }
  layout.entryAt.resize(entries.size());
  layout.frameHeaderAt.resize(layout.frames.size());
  layout.subframeTableAt.resize(layout.frames.size());
  layout.subframeHeaderAt.resize(layout.images.size());
  layout.rowsAt.resize(layout.images.size());
  layout.fileSize = kFileStartBytes + kEntryOffsetBytes * entries.size();
  return layout;
}

// Puts a piece at the end of the file so far, and notes its offset.
void Place(GafLayout& layout, GafPiece piece, std::uint32_t index) {
  const auto at = static_cast<std::uint32_t>(layout.fileSize);
  std::uint64_t size = 0;
  switch (piece) {
    case GafPiece::Rows:
      if (SharesRows(layout, index)) {
        layout.rowsAt[index] = layout.rowsAt[static_cast<std::size_t>(layout.images[index]->sharesRowsOf)];
        return;
      }
      layout.rowsAt[index] = at;
      size = layout.images[index]->rows.size();
      break;
    case GafPiece::SubframeTable:
      layout.subframeTableAt[index] = at;
      size = kTableElementBytes * layout.frames[index]->subframes.size();
      break;
    case GafPiece::FrameHeader:
      layout.frameHeaderAt[index] = at;
      size = kHeaderBytes;
      break;
    case GafPiece::SubframeHeader:
      layout.subframeHeaderAt[index] = at;
      size = kHeaderBytes;
      break;
    case GafPiece::Entry:
      layout.entryAt[index] = at;
      size = EntryBytes(layout.entries[index].frames.size());
      break;
    case GafPiece::Padding:
      size = (4 - layout.fileSize % 4) % 4;
      break;
  }
  layout.pieces.push_back({piece, index});
  layout.fileSize += size;
}

// Calls `visit(frame number, its first image number, frame)` for every frame in order.
template <typename Visit>
void ForEachFrame(const GafLayout& layout, Visit visit) {
  for (std::uint32_t f = 0; f < layout.frames.size(); ++f) visit(f, layout.firstImage[f], *layout.frames[f]);
}

void PlaceEntries(GafLayout& layout) {
  for (std::uint32_t e = 0; e < layout.entries.size(); ++e) Place(layout, GafPiece::Entry, e);
}

bool WriteFrameHeader(FileWriter& out, const GafLayout& layout, std::uint32_t f) {
  const StoredFrame& frame = *layout.frames[f];
  GafFrameHeader header = frame.image.header;
  if (frame.subframes.empty()) return out.WriteHeader(header, layout.rowsAt[layout.firstImage[f]]);
  header.subframeCount = Count(frame.subframes.size());
  return out.WriteHeader(header, layout.subframeTableAt[f]);
}

bool WriteSubframeTable(FileWriter& out, const GafLayout& layout, std::uint32_t f) {
  const std::size_t first = layout.firstImage[f];
  for (std::size_t j = 0; j < layout.frames[f]->subframes.size(); ++j) {
    if (!out.WriteU32(layout.subframeHeaderAt[first + j])) return false;
  }
  return true;
}

bool WriteEntry(FileWriter& out, const GafLayout& layout, std::uint32_t e) {
  const StoredEntry& entry = layout.entries[e];
  GafEntryHeader header = entry.header;
  header.frameCount = Count(entry.frames.size());
  std::uint8_t bytes[sizeof(GafEntryHeader)];
  EncodeEntryHeader(header, bytes);
  if (!out.Write(bytes, sizeof bytes)) return false;
  for (std::size_t k = 0; k < entry.frames.size(); ++k) {
    std::uint8_t element[sizeof(GafFrameEntry)];
    EncodeFrameEntry({layout.frameHeaderAt[layout.firstFrame[e] + k], entry.frames[k].tableAux}, element);
    if (!out.Write(element, sizeof element)) return false;
  }
  return true;
}

bool WritePiece(FileWriter& out, const GafLayout& layout, PlacedPiece placed) {
  const std::uint32_t i = placed.index;
  switch (placed.piece) {
    case GafPiece::Rows:
      return out.Write(layout.images[i]->rows.data(), layout.images[i]->rows.size());
    case GafPiece::SubframeTable:
      return WriteSubframeTable(out, layout, i);
    case GafPiece::FrameHeader:
      return WriteFrameHeader(out, layout, i);
    case GafPiece::SubframeHeader:
      return out.WriteHeader(layout.images[i]->header, layout.rowsAt[i]);
    case GafPiece::Entry:
      return WriteEntry(out, layout, i);
    case GafPiece::Padding: {
      static constexpr std::uint8_t kZeros[3] = {};
      return out.Write(kZeros, (4 - out.position() % 4) % 4);
    }
  }
  return false;
}

}  // namespace

bool SharesRows(const GafLayout& layout, std::size_t i) {
  const std::int32_t other = layout.images[i]->sharesRowsOf;
  return other >= 0 && static_cast<std::size_t>(other) < i &&
         layout.images[static_cast<std::size_t>(other)]->rows == layout.images[i]->rows;
}

GafLayout PlanSplitLayout(std::span<const StoredEntry> entries) {
  GafLayout layout = Numbered(entries);
  for (std::uint32_t i = 0; i < layout.images.size(); ++i) Place(layout, GafPiece::Rows, i);
  ForEachFrame(layout, [&layout](std::uint32_t f, std::uint32_t first, const StoredFrame& frame) {
    for (std::uint32_t j = 0; j < frame.subframes.size(); ++j) Place(layout, GafPiece::SubframeHeader, first + j);
    if (!frame.subframes.empty()) Place(layout, GafPiece::SubframeTable, f);
    Place(layout, GafPiece::FrameHeader, f);
  });
  PlaceEntries(layout);
  return layout;
}

GafLayout PlanStandardLayout(std::span<const StoredEntry> entries) {
  GafLayout layout = Numbered(entries);
  ForEachFrame(layout, [&layout](std::uint32_t f, std::uint32_t first, const StoredFrame& frame) {
    if (!frame.subframes.empty()) Place(layout, GafPiece::SubframeTable, f);
    const std::size_t images = frame.subframes.empty() ? 1 : frame.subframes.size();
    for (std::uint32_t j = 0; j < images; ++j) Place(layout, GafPiece::Rows, first + j);
  });
  Place(layout, GafPiece::Padding, 0);
  ForEachFrame(layout, [&layout](std::uint32_t f, std::uint32_t first, const StoredFrame& frame) {
    Place(layout, GafPiece::FrameHeader, f);
    for (std::uint32_t j = 0; j < frame.subframes.size(); ++j) Place(layout, GafPiece::SubframeHeader, first + j);
  });
  PlaceEntries(layout);
  return layout;
}

std::uint64_t GafFileSize(const GafLayout& layout) { return layout.fileSize; }

Status WriteGafFile(GafHeader header, const GafLayout& layout, ByteSink& sink) {
  if (layout.fileSize > kOffsetLimit) return Status::EntryTooLarge;
  sink.Expect(layout.fileSize);
  FileWriter out(sink);
  header.entryCount = static_cast<std::int32_t>(layout.entries.size());
  std::uint8_t fileHeader[sizeof(GafHeader)];
  EncodeGafHeader(header, fileHeader);
  bool written = out.Write(fileHeader, sizeof fileHeader);
  for (const std::uint32_t entryAt : layout.entryAt) written = written && out.WriteU32(entryAt);
  for (const PlacedPiece& placed : layout.pieces) written = written && WritePiece(out, layout, placed);
  return written ? Status::Ok : Status::WriteFailed;
}

}  // namespace tessly
