#include "tessly/walk.h"

#include <new>

namespace tessly {

Status ReadFrameLayout(const Archive& archive, const Entry& entry, int k, FrameLayout& layout) {
  layout.images.clear();
  const Status status = archive.ReadFrame(entry, k, layout.frame);
  if (status != Status::Ok) return status;
  const GafFrameHeader& header = layout.frame.header;
  try {
    if (!HasSubframes(header)) {
      layout.images.push_back({.frame = k, .header = header});
      return Status::Ok;
    }
    layout.images.resize(static_cast<std::size_t>(header.subframeCount));
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  for (int j = 0; j < header.subframeCount; ++j) {
    ImageSlot& slot = layout.images[static_cast<std::size_t>(j)];
    slot.frame = k;
    slot.subframe = j;
    slot.status = archive.ReadSubframe(header, j, slot.header, slot.headerOffset);
    if (slot.status != Status::Ok) slot.header = {};
  }
  return Status::Ok;
}

}  // namespace tessly
