// The layout of an entry, read once for every user of it: each frame with
// its header, and either its own image or the headers of its subframes.
// A frame whose header counts more than 0 subframes is made of them; any
// other frame is an image.
//
// Threads: as the archive allows (tessly/archive.h).
#pragma once

#include <vector>

#include "tessly/archive.h"
#include "tessly/records.h"
#include "tessly/status.h"

namespace tessly {

// Whether the frame that `header` describes is made of subframes.
constexpr bool HasSubframes(const GafFrameHeader& frameHeader) { return frameHeader.subframeCount > 0; }

// One image of an entry: a frame's own, or one of its subframes.
struct ImageSlot {
  int frame = 0;      // its frame's number, from 0
  int subframe = -1;  // its number among the frame's subframes, from 0; -1 for a frame's own image
  // Ok, or why its header could not be read; `header` is then all zeros.
  Status status = Status::Ok;
  GafFrameHeader header{};
  std::uint32_t headerOffset = 0;  // a subframe's, from the subframe table; 0 when that did not read

  ImageKind kind() const { return subframe < 0 ? ImageKind::Frame : ImageKind::Subframe; }
};

// A frame and its images, in the order of the archive.
struct FrameLayout {
  Frame frame;  // its table element and header, when they read
  // One slot for a frame's own image, one per subframe for a frame of
  // subframes; empty when the frame did not read.
  std::vector<ImageSlot> images;
};

// Reads frame `k` of the entry, and for a frame of subframes every
// subframe's header, into `layout` (replacing what it held). Returns how the
// frame read: Ok, the statuses of Archive::ReadFrame, or OutOfMemory. A
// subframe that fails to read keeps its slot, with the status of the
// failure. Reads only headers, never pixel data.
Status ReadFrameLayout(const Archive& archive, const Entry& entry, int k, FrameLayout& layout);

}  // namespace tessly
