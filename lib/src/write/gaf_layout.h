// Where every record and row of a GAF file goes. A layout is a plan made
// before the first byte is written: the pieces of the file in file order,
// each with its offset. The one-entry files of split mode and the standard
// layout of rebuilt archives are two ways of filling the same plan, which
// one function writes and one function measures.
//
// Every file starts with its header and the table of entry offsets. After
// them, the pieces:
//   Rows            an image's rows, exactly as stored (none for an image
//                   that shares the rows of an earlier one)
//   SubframeTable   a frame's table of subframe-header offsets
//   FrameHeader     a frame's header
//   SubframeHeader  a subframe's header
//   Entry           an entry's header, then its frame table
//   Padding         zero bytes up to the next multiple of 4
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tessly/io.h"
#include "tessly/records.h"
#include "tessly/stored_entry.h"

namespace tessly {

// What each piece takes, which the reader also bounds the entries it holds by.
constexpr std::uint64_t kFileStartBytes = sizeof(GafHeader);
constexpr std::uint64_t kEntryOffsetBytes = 4;
constexpr std::uint64_t kHeaderBytes = sizeof(GafFrameHeader);
constexpr std::uint64_t kTableElementBytes = 4;  // of a subframe table
constexpr std::uint64_t EntryBytes(std::uint64_t frames) {
  return sizeof(GafEntryHeader) + sizeof(GafFrameEntry) * frames;
}
// A frame in a one-entry file: its header and its frame-table element;
// a subframe: its header and its subframe-table element.
constexpr std::uint64_t kFrameFileSize = kHeaderBytes + sizeof(GafFrameEntry);
constexpr std::uint64_t kSubframeFileSize = kHeaderBytes + kTableElementBytes;
constexpr std::uint64_t kEmptyGafFileSize = kFileStartBytes + kEntryOffsetBytes + EntryBytes(0);

enum class GafPiece : std::uint8_t { Rows, SubframeTable, FrameHeader, SubframeHeader, Entry, Padding };

struct PlacedPiece {
  GafPiece piece;
  std::uint32_t index;  // of the image, frame or entry, counted in the order of the walk
};

struct GafLayout {
  std::span<const StoredEntry> entries;
  // Frames and images in the order of the walk: entries, frames, and a
  // frame's own image or its subframes.
  std::vector<const StoredFrame*> frames;
  std::vector<const StoredImage*> images;
  std::vector<std::uint32_t> firstFrame;  // of each entry
  std::vector<std::uint32_t> firstImage;  // of each frame
  std::vector<PlacedPiece> pieces;        // in file order, after the file header and entry table
  // The offset of each piece that something points at.
  std::vector<std::uint32_t> entryAt, frameHeaderAt, subframeTableAt, subframeHeaderAt, rowsAt;
  std::uint64_t fileSize = 0;
};

// One-entry files as split mode writes them: every image's rows, then for
// each frame its subframes' headers, its subframe table and its own header,
// then the entry. No padding.
GafLayout PlanSplitLayout(std::span<const StoredEntry> entries);

// Archives as they are rebuilt: for each frame its subframe table and its
// images' rows; padding; every frame header, each followed by its
// subframes' headers; every entry.
GafLayout PlanStandardLayout(std::span<const StoredEntry> entries);

// The size of the file that a layout makes.
std::uint64_t GafFileSize(const GafLayout& layout);

// Writes the file: `header` with the number of entries, then the pieces.
// Headers are written as the entries hold them but for the offsets, which
// point at what was written, and the counts of frames and (in a frame of
// subframes) subframes, which are the numbers written. EntryTooLarge, with
// nothing written, for a file larger than kOffsetLimit; WriteFailed at the
// first write the sink refuses, after which nothing more is written.
Status WriteGafFile(GafHeader header, const GafLayout& layout, ByteSink& sink);

// The rows of image `i` are those of the earlier image it names as sharing them.
bool SharesRows(const GafLayout& layout, std::size_t i);

}  // namespace tessly
