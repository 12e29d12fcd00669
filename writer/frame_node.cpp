#include "writer/frame_node.h"

#include "base/little_endian.h"

namespace writer {

std::uint8_t* PixelRows::Extend(std::uint16_t length, bool compressed) {
  const std::size_t start = stored_.size();
  const std::size_t lengthWord = compressed ? 2 : 0;
  stored_.resize(start + lengthWord + length);
  if (compressed) base::StoreU16(stored_.data() + start, length);
  return stored_.data() + start + lengthWord;
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

}  // namespace writer
