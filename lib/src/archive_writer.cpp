#include "tessly/archive_writer.h"

#include <new>
#include <vector>

#include "file_writer.h"
#include "tessly/row_codes.h"

namespace tessly {
namespace {

constexpr std::uint64_t kHeaderSize = sizeof(GafFrameHeader);

// Where everything goes, worked out before the first byte is written.
struct Plan {
  std::vector<std::uint32_t> rowsAt;           // each image's rows, in the order of the walk
  std::vector<bool> rowsOwn;                   // whether they are written there, or shared
  std::vector<std::uint32_t> subframeTableAt;  // each frame's; 0 for a frame that is an image
  std::uint64_t headersAt = 0;                 // where the frame headers start, after the padding
  std::vector<std::uint32_t> frameHeaderAt;    // each frame's header, its subframes' right after it
  std::vector<std::uint32_t> entryAt;          // each entry's header, its frame table right after it
  std::uint64_t fileSize = 0;
};

// Calls `visit(frame)` for each frame of each entry, in order.
template <typename Visit>
void ForEachFrame(const StoredArchive& archive, Visit visit) {
  for (const StoredEntry& entry : archive.entries) {
    for (const StoredFrame& frame : entry.frames) visit(frame);
  }
}

// The rows of image `i` are those of the image it names as sharing them.
bool SharesRows(const std::vector<const StoredImage*>& images, std::size_t i) {
  const std::int32_t other = images[i]->sharesRowsOf;
  return other >= 0 && static_cast<std::size_t>(other) < i &&
         images[static_cast<std::size_t>(other)]->rows == images[i]->rows;
}

Plan MakePlan(const StoredArchive& archive) {
  Plan plan;
  std::vector<const StoredImage*> images;
  std::uint64_t at = sizeof(GafHeader) + 4 * std::uint64_t{archive.entries.size()};
  const auto placeRows = [&](const StoredImage& image) {
    images.push_back(&image);
    const std::size_t i = images.size() - 1;
    const bool own = !SharesRows(images, i);
    plan.rowsOwn.push_back(own);
    plan.rowsAt.push_back(own ? static_cast<std::uint32_t>(at)
                              : plan.rowsAt[static_cast<std::size_t>(images[i]->sharesRowsOf)]);
    if (own) at += image.rows.size();
  };
  ForEachFrame(archive, [&](const StoredFrame& frame) {
    plan.subframeTableAt.push_back(frame.subframes.empty() ? 0 : static_cast<std::uint32_t>(at));
    at += 4 * std::uint64_t{frame.subframes.size()};
    if (frame.subframes.empty()) placeRows(frame.image);
    for (const StoredImage& subframe : frame.subframes) placeRows(subframe);
  });
  at = plan.headersAt = (at + 3) / 4 * 4;
  ForEachFrame(archive, [&](const StoredFrame& frame) {
    plan.frameHeaderAt.push_back(static_cast<std::uint32_t>(at));
    at += kHeaderSize * (1 + frame.subframes.size());
  });
  for (const StoredEntry& entry : archive.entries) {
    plan.entryAt.push_back(static_cast<std::uint32_t>(at));
    at += sizeof(GafEntryHeader) + sizeof(GafFrameEntry) * std::uint64_t{entry.frames.size()};
  }
  plan.fileSize = at;
  return plan;
}

// A count is the number of pieces written.
std::int16_t Count(std::size_t written) { return static_cast<std::int16_t>(written); }

bool WriteRows(FileWriter& out, const StoredArchive& archive, const Plan& plan) {
  std::size_t image = 0, frameNumber = 0;
  bool written = true;
  const auto rows = [&](const StoredImage& stored) {
    if (plan.rowsOwn[image++]) written = written && out.Write(stored.rows.data(), stored.rows.size());
  };
  ForEachFrame(archive, [&](const StoredFrame& frame) {
    const std::uint32_t frameHeader = plan.frameHeaderAt[frameNumber++];
    for (std::size_t j = 0; j < frame.subframes.size(); ++j) {
      written = written && out.WriteU32(frameHeader + static_cast<std::uint32_t>(kHeaderSize * (1 + j)));
    }
    if (frame.subframes.empty()) rows(frame.image);
    for (const StoredImage& subframe : frame.subframes) rows(subframe);
  });
  static constexpr std::uint8_t kZeros[3] = {};
  return written && out.Write(kZeros, plan.headersAt - out.position());
}

bool WriteHeaders(FileWriter& out, const StoredArchive& archive, const Plan& plan) {
  std::size_t image = 0, frameNumber = 0;
  bool written = true;
  ForEachFrame(archive, [&](const StoredFrame& frame) {
    GafFrameHeader header = frame.image.header;
    if (frame.subframes.empty()) {
      written = written && out.WriteHeader(header, plan.rowsAt[image++]);
    } else {
      header.subframeCount = Count(frame.subframes.size());
      written = written && out.WriteHeader(header, plan.subframeTableAt[frameNumber]);
      for (const StoredImage& subframe : frame.subframes) {
        written = written && out.WriteHeader(subframe.header, plan.rowsAt[image++]);
      }
    }
    ++frameNumber;
  });
  return written;
}

bool WriteEntries(FileWriter& out, const StoredArchive& archive, const Plan& plan) {
  std::size_t frameNumber = 0;
  for (const StoredEntry& entry : archive.entries) {
    GafEntryHeader header = entry.header;
    header.frameCount = Count(entry.frames.size());
    std::uint8_t bytes[sizeof(GafEntryHeader)];
    EncodeEntryHeader(header, bytes);
    if (!out.Write(bytes, sizeof bytes)) return false;
    for (const StoredFrame& frame : entry.frames) {
      std::uint8_t element[sizeof(GafFrameEntry)];
      EncodeFrameEntry({plan.frameHeaderAt[frameNumber++], frame.tableAux}, element);
      if (!out.Write(element, sizeof element)) return false;
    }
  }
  return true;
}

}  // namespace

Status EncodeStoredImage(const DecodedImage& image, bool compressed, StoredImage& stored) {
  stored.header.width = static_cast<std::int16_t>(image.width);
  stored.header.height = static_cast<std::int16_t>(image.height);
  stored.rowCount = image.height;
  stored.rows.clear();
  try {
    if (!compressed) {
      stored.rows = image.pixels;
      return Status::Ok;
    }
    std::vector<std::uint8_t> codes;
    for (std::size_t y = 0; y < image.height; ++y) {
      codes.clear();
      EncodeRowCodes(std::span(image.pixels).subspan(y * image.width, image.width), codes);
      stored.rows.push_back(static_cast<std::uint8_t>(codes.size()));
      stored.rows.push_back(static_cast<std::uint8_t>(codes.size() >> 8));
      stored.rows.insert(stored.rows.end(), codes.begin(), codes.end());
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

std::uint64_t GafArchiveFileSize(const StoredArchive& archive) {
  try {
    return MakePlan(archive).fileSize;
  } catch (const std::bad_alloc&) {
    return UINT64_MAX;
  }
}

Status WriteGafArchive(const StoredArchive& archive, ByteSink& sink) {
  Plan plan;
  try {
    plan = MakePlan(archive);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  if (plan.fileSize > kOffsetLimit) return Status::EntryTooLarge;
  sink.Expect(plan.fileSize);
  FileWriter out(sink);
  std::uint8_t fileHeader[sizeof(GafHeader)];
  EncodeGafHeader({archive.version, static_cast<std::int32_t>(archive.entries.size()), archive.reserved}, fileHeader);
  bool written = out.Write(fileHeader, sizeof fileHeader);
  for (const std::uint32_t entryAt : plan.entryAt) written = written && out.WriteU32(entryAt);
  written =
      written && WriteRows(out, archive, plan) && WriteHeaders(out, archive, plan) && WriteEntries(out, archive, plan);
  return written ? Status::Ok : Status::WriteFailed;
}

}  // namespace tessly
