// The one way the library reaches a record or a row: a seek to an absolute
// offset, then reads of exact byte counts from there on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "io/little_endian.h"
#include "format/record_codec.h"
#include "tessly/archive.h"
#include "tessly/io.h"

namespace tessly {

class Cursor {
 public:
  explicit Cursor(ByteSource& source) : source_(source) {}

  // Fails for an offset of kOffsetLimit or more, never for one past the end.
  bool Seek(std::uint64_t offset) {
    if (offset >= kOffsetLimit) return false;
    window_ = {};
    position_ = offset;
    return true;
  }

  // Reads exactly `count` bytes. After a read that meets the end, the
  // position stands after the bytes that were there; after a failed one, where it stood.
  bool Read(void* buffer, std::size_t count) {
    window_ = {};  // a read may load another block where the window was
    const std::int64_t got = source_.ReadAt(position_, buffer, count);
    if (got < 0) return false;
    position_ += static_cast<std::uint64_t>(got);
    return static_cast<std::size_t>(got) == count;
  }

  // The next `count` bytes (1 or more), without a copy, where the source
  // holds them in one piece (the position then stands after them); else
  // null, and the position stays. What the source showed last is kept, so
  // that the rows after a row need no call: nothing else may read the
  // source between a cursor's views, as another read may reuse that memory.
  const std::uint8_t* View(std::size_t count) {
    if (position_ < windowStart_ || position_ - windowStart_ + count > window_.size()) {
      window_ = source_.View(position_, count);
      windowStart_ = position_;
      if (window_.empty()) return nullptr;
    }
    const std::uint8_t* bytes = window_.data() + (position_ - windowStart_);
    position_ += count;
    return bytes;
  }

  bool Read(std::uint16_t& value) { return ReadDecoded(value, little_endian::LoadU16); }
  bool Read(std::uint32_t& value) { return ReadDecoded(value, little_endian::LoadU32); }
  bool Read(GafEntryHeader& header) { return ReadDecoded(header, DecodeEntryHeader); }
  bool Read(GafFrameEntry& entry) { return ReadDecoded(entry, DecodeFrameEntry); }
  bool Read(GafFrameHeader& header) { return ReadDecoded(header, DecodeFrameHeader); }

  std::uint64_t position() const { return position_; }

 private:
  template <typename Value, typename Decode>
  bool ReadDecoded(Value& value, Decode decode) {
    std::uint8_t bytes[sizeof(Value)];
    if (!Read(bytes, sizeof bytes)) return false;
    value = decode(bytes);
    return true;
  }

  ByteSource& source_;
  std::uint64_t position_ = 0;
  std::span<const std::uint8_t> window_;  // what the source last showed, from windowStart_ on
  std::uint64_t windowStart_ = 0;
};

// Tells `report` of a problem; an empty report is not told.
inline void Tell(const ProblemReport& report, Status problem, int row) {
  if (!report) return;
  Problem told;
  told.status = problem;
  told.row = row;
  report(told);
}

inline Status PixelsSeekFailed(ImageKind kind) {
  return kind == ImageKind::Frame ? Status::FramePixelsSeek : Status::SubframePixelsSeek;
}

}  // namespace tessly
