#include "gaf/archive_reader.h"

#include <algorithm>
#include <cstring>

#include "base/little_endian.h"

namespace gaf {

ArchiveReader::ArchiveReader(platform::File& file) : file_(file) {}

bool ArchiveReader::Seek(std::uint64_t offset) {
  if (offset >= kSeekLimit) return false;
  position_ = offset;
  return true;
}

const ArchiveReader::Block* ArchiveReader::BlockAtPosition() {
  const std::uint64_t start = position_ - position_ % kBlockSize;
  ++useCounter_;
  if (lastBlock_ != nullptr && lastBlock_->start == start) {
    lastBlock_->lastUse = useCounter_;
    return lastBlock_;
  }
  Block* victim = &blocks_[0];
  for (Block& block : blocks_) {
    if (block.start == start) {
      block.lastUse = useCounter_;
      lastBlock_ = &block;
      return &block;
    }
    if (block.lastUse < victim->lastUse) victim = &block;
  }
  if (!victim->bytes) victim->bytes = std::make_unique<std::uint8_t[]>(kBlockSize);
  victim->start = UINT64_MAX;
  lastBlock_ = nullptr;
  const std::int64_t got = platform::ReadFileAt(file_, start, victim->bytes.get(), kBlockSize);
  if (got < 0) return nullptr;
  victim->start = start;
  victim->length = static_cast<std::size_t>(got);
  victim->lastUse = useCounter_;
  lastBlock_ = victim;
  return victim;
}

ReadStatus ArchiveReader::ReadBytes(void* buffer, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  while (count > 0) {
    const Block* block = BlockAtPosition();
    if (block == nullptr) return ReadStatus::Failed;
    const std::size_t within = static_cast<std::size_t>(position_ - block->start);
    if (within >= block->length) return ReadStatus::EndOfFile;
    const std::size_t take = std::min(count, block->length - within);
    std::memcpy(out, block->bytes.get() + within, take);
    out += take;
    count -= take;
    position_ += take;
  }
  return ReadStatus::Complete;
}

bool ArchiveReader::Read(std::uint16_t& value) {
  std::uint8_t bytes[2];
  if (!Read(bytes, sizeof bytes)) return false;
  value = base::LoadU16(bytes);
  return true;
}

bool ArchiveReader::Read(std::uint32_t& value) {
  std::uint8_t bytes[4];
  if (!Read(bytes, sizeof bytes)) return false;
  value = base::LoadU32(bytes);
  return true;
}

bool ArchiveReader::Read(GafEntryHeader& header) {
  std::uint8_t bytes[sizeof(GafEntryHeader)];
  if (!Read(bytes, sizeof bytes)) return false;
  header = DecodeEntryHeader(bytes);
  return true;
}

bool ArchiveReader::Read(GafFrameEntry& entry) {
  std::uint8_t bytes[sizeof(GafFrameEntry)];
  if (!Read(bytes, sizeof bytes)) return false;
  entry = DecodeFrameEntry(bytes);
  return true;
}

bool ArchiveReader::Read(GafFrameHeader& header) {
  std::uint8_t bytes[sizeof(GafFrameHeader)];
  if (!Read(bytes, sizeof bytes)) return false;
  header = DecodeFrameHeader(bytes);
  return true;
}

}  // namespace gaf
