// One entry of an archive held in memory, as GAF mode copies it: every
// frame and subframe with its header and its stored rows, byte for byte.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "gaf/archive_reader.h"
#include "gaf/records.h"

namespace writer {

// Grows a vector of bytes without zero-filling what is about to be read into.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

// The kept rows of one image, top row first, in one buffer exactly as they
// are stored in the archive and in the written file: a compressed row is its
// 2-byte length and then its codes, a plain row its pixels. An entry thus
// takes no more memory than the file it becomes.
class PixelRows {
 public:
  // Room for the rows of a plain image before they are read.
  void Reserve(std::size_t bytes) { stored_.reserve(bytes); }

  // Gives back room that the rows did not take (rows that failed to read),
  // so that an entry holds little more than the file it becomes.
  void ReleaseSlack() {
    if (stored_.capacity() > 2 * stored_.size()) stored_.shrink_to_fit();
  }

  // Reads a row of `length` bytes straight from `file` into the buffer.
  // False, with nothing kept, when the read fails.
  bool ReadRow(gaf::ArchiveReader& file, std::uint16_t length, bool compressed);

  std::size_t size() const { return count_; }
  std::span<const std::uint8_t> Stored() const { return stored_; }

 private:
  // Room for one more row; its bytes follow the length word when compressed.
  std::uint8_t* Extend(std::uint16_t length, bool compressed);

  std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>> stored_;
  std::size_t count_ = 0;
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

}  // namespace writer
