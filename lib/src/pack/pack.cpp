#include "tessly/pack.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>

#include "format/record_codec.h"
#include "tessly/archive.h"
#include "tessly/archive_writer.h"
#include "tessly/io.h"
#include "tessly/palette.h"
#include "tessly/description.h"
#include "tessly/walk.h"

namespace tessly {
namespace {

// A PNG file cannot hold an empty image, so one transparent pixel stands
// for it where the description has no width or no height.
bool StandsForEmptyImage(const GafFrameHeader& described, const DecodedImage& image) {
  return (described.width == 0 || described.height == 0) && described.width >= 0 && described.height >= 0 &&
         image.width == 1 && image.height == 1 && image.pixels[0] == kSkippedPixel;
}

class EntryPacker {
 public:
  EntryPacker(const std::string& folder, const std::vector<ImageUse>& uses, const PreparedImageLoader& load,
              PackedArchive& packed)
      : folder_(folder), uses_(uses), load_(load), packed_(packed) {}

  // Loads and numbers the next image use, which is the image at `place`.
  void AddNext(const ImagePlace& place, StoredImage& stored) {
    const std::size_t use = next_++;
    if (status_ == Status::EntryTooLarge) return;  // no more memory for an archive that cannot be written
    const ImageUse& image = uses_[use];
    if (!load_(use, image, prepared_)) {
      status_ = Status::ImageDamaged;
      return;
    }
    stored = std::move(prepared_.stored);
    const std::string& sharedWith = image.described->sharedWith;
    if (!sharedWith.empty()) {
      const auto shared = packed_.imageNumbers.find(folder_ + sharedWith);
      if (shared != packed_.imageNumbers.end()) stored.sharesRowsOf = shared->second;
    }
    packed_.imageNumbers.try_emplace(image.path, static_cast<std::int32_t>(packed_.images.size()));
    packed_.images.push_back(prepared_.sum);
    packed_.places.push_back(place);
    // The writer stores rows that are another image's once, as this does.
    if (!SameRowsAsShared(stored)) packed_.rowBytes += stored.rows.size();
    if (packed_.rowBytes > kOffsetLimit) status_ = Status::EntryTooLarge;
  }

  Status status() const { return status_; }

 private:
  // Whether the image whose rows `stored` shares holds the same rows; a
  // number that names no image packed here shares nothing.
  bool SameRowsAsShared(const StoredImage& stored) const {
    const auto number = static_cast<std::size_t>(stored.sharesRowsOf);
    if (stored.sharesRowsOf < 0 || number >= packed_.places.size()) return false;
    const ImagePlace& at = packed_.places[number];
    const std::vector<StoredEntry>& entries = packed_.archive.entries;
    if (at.entry >= entries.size() || at.frame >= entries[at.entry].frames.size()) return false;
    const StoredFrame& frame = entries[at.entry].frames[at.frame];
    const auto subframe = static_cast<std::size_t>(at.subframe);
    if (at.subframe >= 0 && subframe >= frame.subframes.size()) return false;
    return (at.subframe < 0 ? frame.image : frame.subframes[subframe]).rows == stored.rows;
  }

  const std::string& folder_;
  const std::vector<ImageUse>& uses_;
  const PreparedImageLoader& load_;
  PackedArchive& packed_;
  PreparedImage prepared_;
  std::size_t next_ = 0;
  Status status_ = Status::Ok;
};

// --- Reading back: every piece compared with what was packed.

class ReadBack {
 public:
  ReadBack(const Archive& archive, const PackedArchive& packed, Problem& mismatch)
      : archive_(archive), packed_(packed), mismatch_(mismatch) {}

  bool All() {
    mismatch_ = {};
    mismatch_.status = Status::ReadBackDiffers;
    GafHeader header;
    const StoredArchive& meant = packed_.archive;
    if (archive_.ReadHeader(header) != Status::Ok || header.version != meant.version ||
        header.reserved != meant.reserved || header.entryCount != static_cast<std::int32_t>(meant.entries.size())) {
      return Differs("the file header");
    }
    for (std::size_t e = 0; e < meant.entries.size(); ++e) {
      mismatch_.entry = static_cast<std::int32_t>(e);
      mismatch_.entryName = EntryName(meant.entries[e].header);
      if (!Entry(static_cast<std::int32_t>(e), meant.entries[e])) return false;
    }
    return true;
  }

 private:
  bool Entry(std::int32_t index, const StoredEntry& meant) {
    tessly::Entry entry;
    if (archive_.ReadEntry(index, entry) != Status::Ok || entry.header.name != meant.header.name ||
        entry.header.aux1 != meant.header.aux1 || entry.header.aux2 != meant.header.aux2 ||
        entry.header.frameCount != static_cast<std::int16_t>(meant.frames.size())) {
      return Differs("the entry header");
    }
    FrameLayout layout;
    for (std::size_t k = 0; k < meant.frames.size(); ++k) {
      mismatch_.frame = static_cast<int>(k);
      const StoredFrame& frame = meant.frames[k];
      GafFrameHeader header = frame.image.header;
      if (!frame.subframes.empty()) header.subframeCount = static_cast<std::int16_t>(frame.subframes.size());
      if (ReadFrameLayout(archive_, entry, static_cast<int>(k), layout) != Status::Ok ||
          layout.frame.tableElement.aux != frame.tableAux || !SameHeader(layout.frame.header, header) ||
          HasSubframes(layout.frame.header) == frame.subframes.empty() ||
          layout.images.size() != std::max<std::size_t>(frame.subframes.size(), 1)) {
        return Differs("the frame header");
      }
      for (const ImageSlot& slot : layout.images) {
        mismatch_.subframe = slot.subframe;
        if (!Image(slot, slot.subframe < 0 ? frame.image : frame.subframes[static_cast<std::size_t>(slot.subframe)])) {
          return false;
        }
      }
      mismatch_.subframe = -1;
    }
    mismatch_.frame = -1;
    return true;
  }

  bool Image(const ImageSlot& slot, const StoredImage& meant) {
    if (slot.status != Status::Ok || (slot.subframe >= 0 && !SameHeader(slot.header, meant.header))) {
      return Differs("the subframe header");
    }
    if (next_ >= packed_.images.size() || archive_.DecodeImage(slot.header, slot.kind(), image_, {}) != Status::Ok ||
        SumOf(image_) != packed_.images[next_++]) {
      return Differs("the image");
    }
    return true;
  }

  // All fields but dataOffset, which the writer sets.
  static bool SameHeader(GafFrameHeader read, GafFrameHeader meant) {
    read.dataOffset = meant.dataOffset = 0;
    std::uint8_t a[sizeof(GafFrameHeader)], b[sizeof(GafFrameHeader)];
    EncodeFrameHeader(read, a);
    EncodeFrameHeader(meant, b);
    return std::memcmp(a, b, sizeof a) == 0;
  }

  bool Differs(const char* what) {
    mismatch_.detail = what;
    return false;
  }

  const tessly::Archive& archive_;
  const PackedArchive& packed_;
  Problem& mismatch_;
  DecodedImage image_;
  std::size_t next_ = 0;  // the number of the next image in the order of the walk
};

}  // namespace

ImageSum SumOf(const DecodedImage& image) {
  // Eight indexes at a time, each word mixed in by a multiply, then the rest.
  const std::vector<std::uint8_t>& pixels = image.pixels;
  std::uint64_t sum = 0xcbf29ce484222325u;
  std::size_t i = 0;
  for (; i + 8 <= pixels.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, pixels.data() + i, 8);
    sum = (sum ^ word) * 0x9E3779B97F4A7C15u;
    sum ^= sum >> 29;
  }
  for (; i < pixels.size(); ++i) sum = (sum ^ pixels[i]) * 0x100000001b3u;
  return {image.width, image.height, sum};
}

Status PrepareImage(const ImageDescription& described, DecodedImage& image, PreparedImage& prepared) {
  if (StandsForEmptyImage(described.header, image)) {
    image = {static_cast<std::uint16_t>(described.header.width), static_cast<std::uint16_t>(described.header.height), {}};
  }
  prepared.stored = {};
  prepared.stored.header = described.header;
  prepared.sum = SumOf(image);
  return EncodeStoredImage(image, described.header.compressed != 0, prepared.stored);
}

Status ListImageUses(const EntryDescription& described, const std::string& folder, std::vector<ImageUse>& uses) {
  uses.clear();
  try {
    for (std::size_t k = 0; k < described.frames.size(); ++k) {
      const std::optional<FrameDescription>& frame = described.frames[k];
      if (!frame) return Status::DescriptionInvalid;
      const int number = static_cast<int>(k);
      if (!frame->hasSubframes) uses.push_back({folder + frame->own.image, &frame->own, number});
      for (std::size_t j = 0; j < frame->subframes.size(); ++j) {
        const std::optional<ImageDescription>& subframe = frame->subframes[j];
        if (!subframe) return Status::DescriptionInvalid;
        uses.push_back({folder + subframe->image, &*subframe, number, static_cast<int>(j)});
      }
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

Status PackEntry(const EntryDescription& described, const std::string& folder, const ImageLoader& load,
                 PackedArchive& packed) {
  DecodedImage image;  // its memory is reused
  bool outOfMemory = false;
  const PreparedImageLoader prepare = [&](std::size_t, const ImageUse& use, PreparedImage& out) {
    if (!load(use.path, image)) return false;
    outOfMemory = outOfMemory || PrepareImage(*use.described, image, out) != Status::Ok;
    return !outOfMemory;
  };
  const Status status = PackEntry(described, folder, prepare, packed);
  return outOfMemory ? Status::OutOfMemory : status;
}

Status PackEntry(const EntryDescription& described, const std::string& folder, const PreparedImageLoader& load,
                 PackedArchive& packed) {
  try {
    std::vector<ImageUse> uses;
    if (const Status listed = ListImageUses(described, folder, uses); listed != Status::Ok) return listed;
    StoredEntry& entry = packed.archive.entries.emplace_back();
    entry.header.frameCount = described.frameCount;
    entry.header.aux1 = described.aux1;
    entry.header.aux2 = described.aux2;
    std::copy(described.name.begin(), described.name.end(), entry.header.name.begin());
    EntryPacker packer(folder, uses, load, packed);
    const std::size_t e = packed.archive.entries.size() - 1;
    for (const std::optional<FrameDescription>& frame : described.frames) {
      const std::size_t k = entry.frames.size();
      StoredFrame& stored = entry.frames.emplace_back();
      stored.tableAux = frame->tableAux;
      stored.image.header = frame->own.header;
      if (!frame->hasSubframes) packer.AddNext({e, k, -1}, stored.image);
      for (std::size_t j = 0; j < frame->subframes.size(); ++j) {
        packer.AddNext({e, k, static_cast<std::ptrdiff_t>(j)}, stored.subframes.emplace_back());
      }
    }
    return packer.status();
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status WritePackedArchive(const PackedArchive& packed, std::vector<std::uint8_t>& file, Problem& mismatch) {
  MemorySink sink;  // written into the memory that `file` holds, when there is room
  sink.bytes = std::move(file);
  sink.bytes.clear();
  const Status written = WriteGafArchive(packed.archive, sink);
  if (written != Status::Ok) return written == Status::WriteFailed ? Status::OutOfMemory : written;
  file = std::move(sink.bytes);
  try {
    MemorySource source(file);
    const Archive archive(source);
    return ReadBack(archive, packed, mismatch).All() ? Status::Ok : Status::ReadBackDiffers;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status RebuildArchive(const Archive& archive, std::uint64_t largestRows, std::vector<std::uint8_t>& file) {
  try {
    GafHeader header;
    if (const Status read = archive.ReadHeader(header); read != Status::Ok) return read;
    PackedArchive packed;
    packed.archive.version = header.version;
    PixelDataUsers users;
    UsedFileStems stems;
    std::map<std::string, ImageSlot> slots;  // the entry's images by the names of their files
    bool tooLarge = false;
    const ImageLoader load = [&](const std::string& name, DecodedImage& image) {
      tooLarge = tooLarge || packed.rowBytes > largestRows;
      const auto slot = slots.find(name);
      return !tooLarge && slot != slots.end() &&
             archive.DecodeImage(slot->second.header, slot->second.kind(), image, {}) == Status::Ok;
    };
    for (std::int32_t i = 0; i < header.entryCount; ++i) {
      Entry entry;
      EntryDescription described;
      if (const Status read = archive.ReadEntry(i, entry); read != Status::Ok) return read;
      const std::string stem = EntryFileStem(entry.name, i, stems);
      if (const Status done = DescribeEntry(archive, entry, stem, ".PNG", users, described); done != Status::Ok) return done;
      slots.clear();
      FrameLayout layout;
      for (int k = 0; k < entry.header.frameCount; ++k) {
        if (const Status read = ReadFrameLayout(archive, entry, k, layout); read != Status::Ok) return read;
        for (const ImageSlot& slot : layout.images) slots[ImageFileName(stem, slot.frame, slot.subframe, ".PNG")] = slot;
      }
      const Status packedEntry = PackEntry(described, "", load, packed);
      if (tooLarge || packed.rowBytes > largestRows) return Status::EntryTooLarge;
      if (packedEntry != Status::Ok) return packedEntry;
    }
    Problem mismatch;
    return WritePackedArchive(packed, file, mismatch);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace tessly
