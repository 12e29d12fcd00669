// Reading a GAF archive: its header, each entry, its frames and their
// subframes by index, an image decoded to palette indexes, and an entry's
// stored rows for copying. Every step is given the offsets it needs; none
// depends on what an earlier step read. tessly/walk.h reads a frame with
// all its subframes at once.
//
// Threads: an Archive holds nothing that changes, so what may be shared is
// decided by its source. Over a MemorySource, one Archive may be read by
// any number of threads at once; over a FileSource, whose cache changes
// with every read, by one thread at a time (or give each thread a
// FileSource of its own).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tessly/image.h"
#include "tessly/io.h"
#include "tessly/problem.h"
#include "tessly/records.h"
#include "tessly/status.h"
#include "tessly/stored_entry.h"

namespace tessly {

// What a caller lets one archive cost it.
struct Limits {
  // The most pixels that DecodeImage allocates for one image; 0 for no limit.
  std::uint64_t imagePixels = 0;
  // The largest one-entry file that ReadStoredEntry holds in memory. Never
  // more than kOffsetLimit, the largest file WriteGafEntry writes.
  std::uint64_t entryBytes = kOffsetLimit;
};

// An entry: where its header lies, the header, and its name.
struct Entry {
  std::uint32_t offset = 0;
  GafEntryHeader header{};
  std::string name;
};

// A frame: its element of the frame table and the header it points at.
struct Frame {
  GafFrameEntry tableElement{};
  GafFrameHeader header{};
};

// Whether an image is a frame's own or a subframe, for the statuses that tell the two apart.
enum class ImageKind { Frame, Subframe };

// An archive over a byte source that the caller owns and keeps alive. Holds
// no state between calls but the source's own.
class Archive {
 public:
  explicit Archive(ByteSource& source, const Limits& limits = {}) : source_(source), limits_(limits) {}

  // What the archive was given to cost at most.
  const Limits& limits() const { return limits_; }

  // The file header at offset 0. Ok, ArchiveUnreadable, or NotAGafArchive
  // when the source is shorter than the header or holds another version.
  Status ReadHeader(GafHeader& header) const;

  // Entry `index` (from 0): its offset from the entry table, then its
  // header. Ok, EntryTable*, EntryHeader*, OutOfMemory, IndexOutOfRange
  // unless 0 <= index < the header's entryCount, or what ReadHeader returns.
  Status ReadEntry(std::int32_t index, Entry& entry) const;

  // Frame `k` of the entry. Ok, FrameTable*, FrameHeader*, IndexOutOfRange
  // unless 0 <= k < the entry's frameCount.
  Status ReadFrame(const Entry& entry, int k, Frame& frame) const;

  // Subframe `j` of the frame whose header is given, and where its header
  // lies, when the table read. Ok, SubframeTable*, SubframeHeader*,
  // IndexOutOfRange unless 0 <= j < its subframeCount.
  Status ReadSubframe(const GafFrameHeader& frame, int j, GafFrameHeader& subframe) const;
  Status ReadSubframe(const GafFrameHeader& frame, int j, GafFrameHeader& subframe, std::uint32_t& headerOffset) const;

  // Whether the image can be decoded: Ok, FrameHasSubframes for a frame
  // made of subframes (decode those instead), ImageSizeOutOfRange for a
  // negative width or height, the kind's *PixelsSeek for pixel data at or
  // past kOffsetLimit, or ImageTooLarge past Limits::imagePixels.
  Status CheckImage(const GafFrameHeader& header, ImageKind kind) const;

  // Whether an image of the header's size may be held in memory: Ok,
  // ImageSizeOutOfRange for a negative width or height, or ImageTooLarge
  // past Limits::imagePixels.
  Status CheckImageSize(const GafFrameHeader& header) const;

  // Decodes the image that `header` describes into `image`. A row that
  // fails to read is reported and becomes skipped pixels, so the image
  // keeps its height. Ok, or before anything is reported: what CheckImage
  // returns, OutOfMemory.
  Status DecodeImage(const GafFrameHeader& header, ImageKind kind, DecodedImage& image,
                     const ProblemReport& report) const;

  // Reads every frame, subframe and stored row of the entry into `stored`,
  // reporting and leaving out what fails to read, as a one-entry file holds
  // it: each image's height is the number of its rows held, a frame that is
  // an image (or whose subframes all failed) has 0 subframes, and each
  // frame-table value is kWrittenFrameTableAux. Ok, or EntryTooLarge as
  // soon as the file they make would pass Limits::entryBytes, or
  // OutOfMemory; `stored` then holds part of the entry.
  Status ReadStoredEntry(const Entry& entry, StoredEntry& stored, const ProblemReport& report) const;

 private:
  ByteSource& source_;
  Limits limits_;
};

}  // namespace tessly
