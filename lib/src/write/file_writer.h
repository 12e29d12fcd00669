// Writes the pieces of a GAF file to a sink while keeping count of the
// file's length, for the writers of one-entry files and of archives.
#pragma once

#include <cstddef>
#include <cstdint>

#include "io/little_endian.h"
#include "format/record_codec.h"
#include "tessly/io.h"

namespace tessly {

class FileWriter {
 public:
  explicit FileWriter(ByteSink& sink) : sink_(sink) {}

  bool Write(const void* bytes, std::size_t count) {
    position_ += static_cast<std::uint32_t>(count);
    return sink_.Write(bytes, count);
  }

  bool WriteU32(std::uint32_t value) {
    std::uint8_t bytes[4];
    little_endian::StoreU32(bytes, value);
    return Write(bytes, sizeof bytes);
  }

  bool WriteHeader(GafFrameHeader header, std::uint32_t dataOffset) {
    header.dataOffset = dataOffset;
    std::uint8_t bytes[sizeof(GafFrameHeader)];
    EncodeFrameHeader(header, bytes);
    return Write(bytes, sizeof bytes);
  }

  std::uint32_t position() const { return position_; }

 private:
  ByteSink& sink_;
  std::uint32_t position_ = 0;
};

}  // namespace tessly
