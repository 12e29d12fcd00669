// Reading an image's stored rows one after another, as every reader of
// them does: the decoder of pixels, the copier of stored entries and the
// checker. A compressed row is its 2-byte length and that many bytes of
// codes; a plain row is `width` pixels.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "format/cursor.h"
#include "format/row_framing.h"
#include "tessly/records.h"
#include "tessly/status.h"

namespace tessly {

class StoredRowReader {
 public:
  // The rows of the image that `header` describes, from where the cursor
  // stands, which is its pixel data. A plain image's width is not negative.
  StoredRowReader(Cursor& cursor, const GafFrameHeader& header)
      : cursor_(cursor), compressed_(header.compressed != 0), width_(static_cast<std::uint16_t>(header.width)) {}

  // The next row's codes (compressed) or pixels (plain) in `bytes`, valid
  // until the next call. Ok; else `bytes` is empty and the row ran past the
  // end of the source: RowLengthRead, RowCodesRead or RowRead. The next
  // row starts after what was there.
  Status Next(std::span<const std::uint8_t>& bytes) {
    bytes = {};
    std::uint16_t length = width_;
    if (compressed_) {
      if (const std::uint8_t* stored = cursor_.View(kRowLengthBytes)) {
        length = little_endian::LoadU16(stored);
      } else if (!cursor_.Read(length)) {
        return Status::RowLengthRead;
      }
    }
    if (length == 0) return Status::Ok;
    // Most rows lie whole in the source's memory, and are used from there.
    if (const std::uint8_t* stored = cursor_.View(length)) {
      bytes = {stored, length};
    } else if (cursor_.Read(buffer_.data(), length)) {
      bytes = {buffer_.data(), length};
    } else {
      return compressed_ ? Status::RowCodesRead : Status::RowRead;
    }
    return Status::Ok;
  }

  bool compressed() const { return compressed_; }

 private:
  Cursor& cursor_;
  const bool compressed_;
  const std::uint16_t width_;
  std::array<std::uint8_t, UINT16_MAX> buffer_;  // for a row that the source does not hold in one piece
};

}  // namespace tessly
