// One entry of an archive held in memory, as GAF mode copies it: every
// frame and subframe with its header and its stored rows, byte for byte.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gaf/records.h"

namespace exporter {

// One stored row: the image's width in pixels, or a compressed row's code
// bytes (its length word not counted).
struct PixelChunk {
  std::uint16_t length;
  const std::uint8_t* bytes;
};

// The kept rows of one image, top row first. They share one buffer, and a
// compressed row's length is kept beside it, so that an entry takes no more
// memory than the file it becomes.
class PixelRows {
 public:
  void ReservePlain(std::size_t bytes) { bytes_.reserve(bytes); }
  void AppendPlain(std::span<const std::uint8_t> row);
  void AppendCompressed(std::span<const std::uint8_t> codes);

  std::size_t size() const { return plainCount_ + compressedLengths_.size(); }
  bool empty() const { return size() == 0; }

  template <typename Visit>
  void ForEach(Visit&& visit) const {
    const std::uint8_t* next = bytes_.data();
    for (std::size_t i = 0; i < plainCount_; ++i, next += plainLength_) visit(PixelChunk{plainLength_, next});
    for (const std::uint16_t length : compressedLengths_) {
      visit(PixelChunk{length, next});
      next += length;
    }
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t plainCount_ = 0;
  std::uint16_t plainLength_ = 0;
  std::vector<std::uint16_t> compressedLengths_;
};

// A frame, or a subframe of one.
struct FrameNode {
  std::uint32_t headerOffset = 0;  // where the writer put the header
  std::uint32_t aux = 10;          // a frame's table element carries this value
  gaf::GafFrameHeader header{};    // as read; the writer sets dataOffset
  std::uint32_t dataSize = 0;      // bytes of pixel data written for this node
  PixelRows rows;                  // empty for a frame with subframes
  std::vector<FrameNode> subframes;
};

}  // namespace exporter
