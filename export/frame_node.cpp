#include "export/frame_node.h"

#include <cstring>

#include "gaf/little_endian.h"

namespace exporter {

std::uint8_t* PixelRows::Extend(std::uint16_t length, bool compressed) {
  const std::size_t start = stored_.size();
  const std::size_t lengthWord = compressed ? 2 : 0;
  stored_.resize(start + lengthWord + length);
  if (compressed) gaf::StoreU16(stored_.data() + start, length);
  return stored_.data() + start + lengthWord;
}

void PixelRows::Append(PixelChunk row, bool compressed) {
  std::uint8_t* bytes = Extend(row.length, compressed);
  if (row.length > 0) std::memcpy(bytes, row.bytes, row.length);
  ++count_;
}

bool PixelRows::ReadRow(gaf::ArchiveReader& file, std::uint16_t length, bool compressed) {
  const std::size_t before = stored_.size();
  if (!file.Read(Extend(length, compressed), length)) {
    stored_.resize(before);
    return false;
  }
  ++count_;
  return true;
}

}  // namespace exporter
