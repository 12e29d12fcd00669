// The whole library on an arbitrary archive in memory: every entry walked,
// every image decoded and written as a BMP file, every entry written as a
// one-entry GAF file and read back. The round trip is the property: each
// image that decoded without a problem decodes to the same pixels from the
// written file. And the way back: an archive that reads whole, described,
// packed, written and read again, is described the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "tessly/archive_writer.h"
#include "tessly/bmp.h"
#include "tessly/description.h"
#include "tessly/gaf_writer.h"
#include "tessly/pack.h"
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
  if (archive.DecodeImage(slot.header, slot.kind(), image, [&clean](const Problem&) { clean = false; }) != Status::Ok) {
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

// Writes the entry as a one-entry file and checks that it reads back.
void RoundTrip(const Archive& archive, const Entry& entry, const Images& frames) {
  StoredEntry stored;  // read twice: the second read must replace the first
  for (int pass = 0; pass < 2; ++pass)
    if (archive.ReadStoredEntry(entry, stored, [](const Problem&) {}) != Status::Ok) return;
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

// The images of an archive by the names of their files, as its
// descriptions name them; false unless every entry, frame, subframe and row
// read and the archive is within the bounds.
bool DescribeArchive(const Archive& archive, std::vector<EntryDescription>& described,
                     std::map<std::string, DecodedImage>& images) {
  GafHeader header;
  if (archive.ReadHeader(header) != Status::Ok || header.entryCount > kMostPieces) return false;
  PixelDataUsers users;
  UsedFileStems stems;
  for (std::int32_t i = 0; i < header.entryCount; ++i) {
    Entry entry;
    if (archive.ReadEntry(i, entry) != Status::Ok || entry.header.frameCount < 0 ||
        entry.header.frameCount > kMostPieces) {
      return false;
    }
    const std::string stem = EntryFileStem(entry.name, i, stems);
    Require(DescribeEntry(archive, entry, stem, ".PNG", users, described.emplace_back()) == Status::Ok);
    FrameLayout layout;
    for (int k = 0; k < entry.header.frameCount; ++k) {
      Frame frame;
      if (archive.ReadFrame(entry, k, frame) != Status::Ok || frame.header.subframeCount > kMostPieces) return false;
      Require(ReadFrameLayout(archive, entry, k, layout) == Status::Ok);
      for (const ImageSlot& slot : layout.images) {
        std::optional<DecodedImage> image =
            slot.status == Status::Ok && slot.header.height <= kMostRows ? Decode(archive, slot) : std::nullopt;
        if (!image) return false;
        images[ImageFileName(stem, slot.frame, slot.subframe, ".PNG")] = std::move(*image);
      }
    }
  }
  return true;
}

// Sharing is kept only where the rows are the same, so it is not compared.
std::string Text(std::vector<EntryDescription> described) {
  MemorySink text;
  for (EntryDescription& entry : described) {
    for (std::optional<FrameDescription>& frame : entry.frames) {
      frame->own.sharedWith.clear();
      for (std::optional<ImageDescription>& subframe : frame->subframes) subframe->sharedWith.clear();
    }
    Require(WriteEntryDescription(entry, text) == Status::Ok);
  }
  return std::string(text.bytes.begin(), text.bytes.end());
}

// The way back: an archive that reads whole is rebuilt as --pack rebuilds
// it from what --png --json writes, written and read back by the packer's
// own check, and described again: the descriptions and images are the same.
void Cycle(const Archive& archive) {
  std::vector<EntryDescription> described, again;
  std::map<std::string, DecodedImage> images, imagesAgain;
  if (!DescribeArchive(archive, described, images)) return;
  std::vector<std::uint8_t> file;
  Require(RebuildArchive(archive, kOffsetLimit, file) == Status::Ok);
  MemorySource source(file);
  const Archive copy(source, kLimits);
  Require(DescribeArchive(copy, again, imagesAgain) && imagesAgain == images && Text(again) == Text(described));
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
    }
  }
  Cycle(archive);
  return 0;
}
