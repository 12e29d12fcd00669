// The one way to reach a record of an archive: a seek to an absolute offset,
// then a read of an exact byte count.
//
// A seek fails for an offset of 0x80000000 or more (positions are signed
// 32-bit in the format's world) and never for an offset past the end. A read
// fails when the file cannot be read or ends before the full count; the
// position then stands after the bytes that were there.
//
// Reads are served from a small cache of file blocks, so that the many small
// reads of records and rows cost few system calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "gaf/records.h"
#include "platform/platform.h"

namespace gaf {

enum class ReadStatus { Complete, EndOfFile, Failed };

class ArchiveReader {
 public:
  static constexpr std::uint64_t kSeekLimit = 0x80000000u;

  explicit ArchiveReader(platform::File& file);

  bool Seek(std::uint64_t offset);

  ReadStatus ReadBytes(void* buffer, std::size_t count);

  bool Read(void* buffer, std::size_t count) {
    // Most reads lie within the block that the last one used.
    if (lastBlock_ != nullptr && position_ >= lastBlock_->start &&
        position_ - lastBlock_->start + count <= lastBlock_->length) {
      if (count > 0) std::memcpy(buffer, lastBlock_->bytes.get() + (position_ - lastBlock_->start), count);
      position_ += count;
      return true;
    }
    return ReadBytes(buffer, count) == ReadStatus::Complete;
  }

  bool Read(std::uint16_t& value);
  bool Read(std::uint32_t& value);
  bool Read(GafEntryHeader& header);
  bool Read(GafFrameEntry& entry);
  bool Read(GafFrameHeader& header);

  // A seek followed by a read, the usual way to fetch a record.
  template <typename Record>
  bool SeekAndRead(std::uint64_t offset, Record& record) {
    return Seek(offset) && Read(record);
  }

 private:
  static constexpr std::size_t kBlockSize = 64 * 1024;
  static constexpr std::size_t kBlockCount = 16;

  struct Block {
    std::uint64_t start = UINT64_MAX;
    std::size_t length = 0;  // shorter than kBlockSize only at the end of the file
    std::uint64_t lastUse = 0;
    std::unique_ptr<std::uint8_t[]> bytes;
  };

  // The cached block that holds `position_`, loaded when needed; null when
  // the file cannot be read there.
  const Block* BlockAtPosition();

  platform::File& file_;
  std::uint64_t position_ = 0;
  std::uint64_t useCounter_ = 0;
  Block blocks_[kBlockCount];
  Block* lastBlock_ = nullptr;
};

}  // namespace gaf
