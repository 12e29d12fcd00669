// The whole library on an arbitrary archive in memory: every entry walked,
// every image decoded and written as a BMP file, every entry written as a
// one-entry GAF file and read back. The round trip is the property: each
// image that decoded without a problem decodes to the same pixels from the
// written file. And the way back: an entry whose every image decoded
// whole, encoded and written as an archive, reads back as the same headers
// and pixels (a negative frame count is written as the 0 frames there are).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "tessly/archive_writer.h"
#include "tessly/bmp.h"
#include "tessly/gaf_writer.h"
#include "tessly/walk.h"

namespace {

using namespace tessly;

// Bounds on the work one input may ask for: pieces walked, rows per image.
constexpr int kMostPieces = 64;
constexpr int kMostRows = 256;
constexpr Limits kLimits{.imagePixels = 1 << 16, .entryBytes = 1 << 18};

void Require(bool holds) {
  if (!holds) std::abort();
}

// Decodes an image and writes its BMP file; nullopt unless every row read.
std::optional<DecodedImage> Decode(const Archive& archive, const ImageSlot& slot) {
  DecodedImage image;
  bool clean = true;
  if (archive.DecodeImage(slot.header, slot.kind(), image, [&clean](Status, int) { clean = false; }) != Status::Ok) {
    return std::nullopt;
  }
  MemorySink bmp;
  Require(WriteBmp(image, BuiltInPalette(), bmp) == Status::Ok &&
          bmp.bytes.size() == BmpFileSize(image.width, image.height));
  return clean ? std::optional(std::move(image)) : std::nullopt;
}

// The images of each frame that reads: its own, or those of its subframes
// that read. False when the entry asks for more work than the bounds allow.
using Images = std::vector<std::vector<std::optional<DecodedImage>>>;
bool DecodeEntry(const Archive& archive, const Entry& entry, Images& frames) {
  if (entry.header.frameCount > kMostPieces) return false;
  FrameLayout layout;
  for (int k = 0; k < entry.header.frameCount; ++k) {
    Frame frame;
    if (archive.ReadFrame(entry, k, frame) != Status::Ok) continue;
    if (frame.header.subframeCount > kMostPieces) return false;
    Require(ReadFrameLayout(archive, entry, k, layout) == Status::Ok);
    std::vector<std::optional<DecodedImage>>& images = frames.emplace_back();
    for (const ImageSlot& slot : layout.images) {
      if (slot.status != Status::Ok) continue;
      if (slot.header.height > kMostRows) return false;
      images.push_back(Decode(archive, slot));
    }
  }
  return true;
}

// Refuses one write, number `refused` from 0, and counts the writes asked of it after that.
struct RefusingSink : ByteSink {
  explicit RefusingSink(int write) : refused(write) {}
  bool Write(const void*, std::size_t) override { return later += calls > refused, calls++ != refused; }
  int refused, calls = 0, later = 0;
};

// Writes the entry as a one-entry file and checks that it reads back, and
// that a refused write is reported and ends the writing.
void RoundTrip(const Archive& archive, const Entry& entry, const Images& frames) {
  StoredEntry stored;  // read twice: the second read must replace the first
  for (int pass = 0; pass < 2; ++pass)
    if (archive.ReadStoredEntry(entry, stored, [](Status, int) {}) != Status::Ok) return;
  for (RefusingSink sink(0); sink.refused < 64; sink = RefusingSink(sink.refused + 1)) {
    const Status status = WriteGafEntry(stored, sink);
    Require(status == (sink.calls > sink.refused ? Status::WriteFailed : Status::Ok) && sink.later == 0);
  }
  MemorySink file;
  Require(WriteGafEntry(stored, file) == Status::Ok && file.bytes.size() == GafEntryFileSize(stored));
  MemorySource source(file.bytes);
  const Archive copy(source, kLimits);
  GafHeader header;
  Entry copied;
  Images copiedFrames;
  Require(copy.ReadHeader(header) == Status::Ok && header.entryCount == 1 && header.reserved == 0);
  Require(copy.ReadEntry(0, copied) == Status::Ok && copied.name == entry.name);
  Require(DecodeEntry(copy, copied, copiedFrames) && copiedFrames.size() == frames.size());
  for (std::size_t k = 0; k < frames.size(); ++k) {
    // A frame whose subframes all failed to read is written as an image of no rows.
    if (frames[k].empty()) continue;
    Require(copiedFrames[k].size() == frames[k].size());
    for (std::size_t j = 0; j < frames[k].size(); ++j) Require(!frames[k][j] || copiedFrames[k][j] == frames[k][j]);
  }
}

// Each image of the entry with its header, in the order of the walk; false
// unless every frame, subframe and row read.
using HeadedImages = std::vector<std::pair<GafFrameHeader, DecodedImage>>;
bool CleanImages(const Archive& archive, const Entry& entry, HeadedImages& images, std::vector<FrameLayout>& frames) {
  for (int k = 0; k < entry.header.frameCount; ++k) {
    if (ReadFrameLayout(archive, entry, k, frames.emplace_back()) != Status::Ok) return false;
    for (const ImageSlot& slot : frames.back().images) {
      std::optional<DecodedImage> image = slot.status == Status::Ok ? Decode(archive, slot) : std::nullopt;
      if (!image) return false;
      images.emplace_back(slot.header, std::move(*image));
    }
  }
  return true;
}

void Rebuild(const Archive& archive, const Entry& entry) {
  HeadedImages images, again;
  std::vector<FrameLayout> frames, framesAgain;
  if (!CleanImages(archive, entry, images, frames)) return;
  StoredArchive rebuilt;
  rebuilt.entries.push_back({entry.header, {}});
  std::size_t i = 0;
  for (const FrameLayout& layout : frames) {
    StoredFrame& frame = rebuilt.entries[0].frames.emplace_back();
    frame.image.header = layout.frame.header;
    for (std::size_t j = 0; j < layout.images.size(); ++j, ++i) {
      StoredImage& image = HasSubframes(layout.frame.header) ? frame.subframes.emplace_back() : frame.image;
      image.header = images[i].first;
      Require(EncodeStoredImage(images[i].second, image.header.compressed != 0, image) == Status::Ok);
    }
  }
  MemorySink file;
  Require(WriteGafArchive(rebuilt, file) == Status::Ok && file.bytes.size() == GafArchiveFileSize(rebuilt));
  MemorySource source(file.bytes);
  const Archive copy(source, kLimits);
  Entry copied;
  Require(copy.ReadEntry(0, copied) == Status::Ok && copied.name == entry.name &&
          copied.header.frameCount == std::max<std::int16_t>(entry.header.frameCount, 0) &&
          CleanImages(copy, copied, again, framesAgain));
  Require(again.size() == images.size());
  for (std::size_t n = 0; n < images.size(); ++n) {
    GafFrameHeader header = again[n].first;
    header.dataOffset = images[n].first.dataOffset;
    Require(std::memcmp(&header, &images[n].first, sizeof header) == 0 && again[n].second == images[n].second);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemorySource source({data, size});
  const Archive archive(source, kLimits);
  GafHeader header;
  if (archive.ReadHeader(header) != Status::Ok) return 0;
  for (std::int32_t i = 0; i < std::min(header.entryCount, kMostPieces); ++i) {
    Entry entry;
    Images frames;
    if (archive.ReadEntry(i, entry) == Status::Ok && DecodeEntry(archive, entry, frames)) {
      RoundTrip(archive, entry, frames);
      Rebuild(archive, entry);
    }
  }
  return 0;
}
