#include "tessly/archive_writer.h"

#include <new>
#include <vector>

#include "write/gaf_layout.h"
#include "format/row_framing.h"
#include "tessly/row_codes.h"

namespace tessly {

Status EncodeStoredImage(const DecodedImage& image, bool compressed, StoredImage& stored) {
  if (image.width > kLargestImageSide || image.height > kLargestImageSide) return Status::ImageTooLarge;
  stored.header.width = static_cast<std::int16_t>(image.width);
  stored.header.height = static_cast<std::int16_t>(image.height);
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
      if (!AppendCompressedRow(codes, stored.rows)) return Status::ImageTooLarge;
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

std::uint64_t GafArchiveFileSize(const StoredArchive& archive) {
  try {
    return GafFileSize(PlanStandardLayout(archive.entries));
  } catch (const std::bad_alloc&) {
    return UINT64_MAX;
  }
}

Status WriteGafArchive(const StoredArchive& archive, ByteSink& sink) {
  try {
    return WriteGafFile({archive.version, 0, archive.reserved}, PlanStandardLayout(archive.entries), sink);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace tessly
