// Reading a GAF archive: its header, each entry, its frames and their
// subframes by index, an image decoded to palette indexes, and an entry's
// stored rows for copying. Every step is given the offsets it needs; none
// depends on what an earlier step read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "tessly/io.h"
#include "tessly/records.h"
#include "tessly/status.h"

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

// An image as palette indexes, `width` by `height`, top row first.
struct DecodedImage {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::vector<std::uint8_t> pixels;

  bool operator==(const DecodedImage&) const = default;
};

// Grows a vector of bytes without zero-filling what is about to be read into.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

// An image's rows exactly as stored, back to back: a compressed row is its
// 2-byte length and then its codes, a plain row its `width` pixels.
struct StoredImage {
  GafFrameHeader header{};  // as read
  std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>> rows;
  std::uint32_t rowCount = 0;  // rows held, which may be fewer than the header's height
};

// A frame: its header, and its rows or its subframes (an empty list makes
// the frame an image).
struct StoredFrame {
  StoredImage image;
  std::vector<StoredImage> subframes;
};

// What a one-entry GAF file is written from.
struct StoredEntry {
  GafEntryHeader header{};  // as read
  std::vector<StoredFrame> frames;
};

// Told of each piece that failed to read while the step went on: the status,
// and the row's number (from 0) for a row, else -1.
using ProblemReport = std::function<void(Status problem, int row)>;

// An archive over a byte source that the caller owns and keeps alive. Holds
// no state between calls but the source's own.
class Archive {
 public:
  explicit Archive(ByteSource& source, const Limits& limits = {}) : source_(source), limits_(limits) {}

  // The file header at offset 0. Ok, ArchiveUnreadable, or NotAGafArchive
  // when the source is shorter than the header or holds another version.
  Status ReadHeader(GafHeader& header) const;

  // Entry `index` (from 0): its offset from the entry table, then its
  // header. Ok, EntryTable*, EntryHeader*, OutOfMemory.
  Status ReadEntry(std::int32_t index, Entry& entry) const;

  // Frame `k` of the entry. Ok, FrameTable*, FrameHeader*.
  Status ReadFrame(const Entry& entry, int k, Frame& frame) const;

  // Subframe `j` of the frame whose header is given. Ok, SubframeTable*, SubframeHeader*.
  Status ReadSubframe(const GafFrameHeader& frame, int j, GafFrameHeader& subframe) const;

  // Whether the image can be decoded: Ok, ImageSizeOutOfRange for a
  // negative width or height, or the kind's *PixelsSeek.
  Status CheckImage(const GafFrameHeader& header, ImageKind kind) const;

  // Decodes the image that `header` describes into `image`. A row that
  // fails to read is reported and becomes skipped pixels, so the image
  // keeps its height. Ok, or before anything is reported: what CheckImage
  // returns, ImageTooLarge, OutOfMemory.
  Status DecodeImage(const GafFrameHeader& header, ImageKind kind, DecodedImage& image,
                     const ProblemReport& report) const;

  // Reads every frame, subframe and stored row of the entry into `stored`,
  // reporting and leaving out what fails to read. Ok, or EntryTooLarge as
  // soon as the file they make would pass Limits::entryBytes, or
  // OutOfMemory; `stored` then holds part of the entry.
  Status ReadStoredEntry(const Entry& entry, StoredEntry& stored, const ProblemReport& report) const;

 private:
  ByteSource& source_;
  Limits limits_;
};

}  // namespace tessly
