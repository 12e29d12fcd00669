#include <algorithm>
#include <cstring>
#include <new>

#include "platform/files.h"
#include "tessly/io.h"

namespace tessly {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kBlockCount = 16;

struct Block {
  std::uint64_t start = UINT64_MAX;
  std::size_t length = 0;  // shorter than kBlockSize only at the end of the file
  std::uint64_t lastUse = 0;
  std::unique_ptr<std::uint8_t[]> bytes;
};

// A file read with no cache, for reads of whole files.
class UncachedFile : public ByteSource {
 public:
  explicit UncachedFile(platform::File& file) : file_(file) {}
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override {
    return count == 0 ? 0 : platform::ReadFileAt(file_, offset, buffer, count);
  }

 private:
  platform::File& file_;
};

}  // namespace

struct FileSource::State {
  platform::File file;
  std::uint64_t useCounter = 0;
  Block blocks[kBlockCount];
  Block* lastBlock = nullptr;

  // The cached block that starts at `start`, loaded when needed (the least
  // recently used one makes room); null when the file cannot be read there.
  const Block* BlockAt(std::uint64_t start) {
    ++useCounter;
    if (lastBlock != nullptr && lastBlock->start == start) {
      lastBlock->lastUse = useCounter;
      return lastBlock;
    }
    Block* victim = &blocks[0];
    for (Block& block : blocks) {
      if (block.start == start) {
        block.lastUse = useCounter;
        lastBlock = &block;
        return &block;
      }
      if (block.lastUse < victim->lastUse) victim = &block;
    }
    if (!victim->bytes) victim->bytes.reset(new (std::nothrow) std::uint8_t[kBlockSize]);
    if (!victim->bytes) return nullptr;
    victim->start = UINT64_MAX;
    lastBlock = nullptr;
    const std::int64_t got = platform::ReadFileAt(file, start, victim->bytes.get(), kBlockSize);
    if (got < 0) return nullptr;
    victim->start = start;
    victim->length = static_cast<std::size_t>(got);
    victim->lastUse = useCounter;
    lastBlock = victim;
    return victim;
  }
};

namespace {

// What stands at a path that could not be opened.
Status WhyNotOpened(const std::string& path) {
  switch (platform::KindOfPath(path)) {
    case platform::PathKind::Missing:
      return Status::NoSuchFile;
    case platform::PathKind::Other:
      return Status::NotAFile;
    case platform::PathKind::File:
      break;
  }
  return Status::CannotOpen;
}

}  // namespace

FileSource::FileSource() = default;
FileSource::~FileSource() = default;

Status FileSource::Open(const std::string& path) {
  state_.reset(new (std::nothrow) State);
  if (!state_) return Status::OutOfMemory;
  return platform::OpenForReading(path, state_->file) ? Status::Ok : WhyNotOpened(path);
}

std::span<const std::uint8_t> FileSource::View(std::uint64_t offset, std::size_t count) {
  if (!state_ || count == 0) return {};
  const Block* block = state_->BlockAt(offset - offset % kBlockSize);
  if (block == nullptr || offset - block->start + count > block->length) return {};
  const auto within = static_cast<std::size_t>(offset - block->start);
  return {block->bytes.get() + within, block->length - within};
}

std::int64_t FileSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (!state_) return -1;
  // A read of nothing may come with no buffer at all (the data of an empty vector).
  if (count == 0) return 0;
  // Most reads are a row's few bytes in the block that the last one read.
  if (const Block* last = state_->lastBlock;
      last != nullptr && offset >= last->start && offset - last->start + count <= last->length) {
    std::memcpy(buffer, last->bytes.get() + (offset - last->start), count);
    return static_cast<std::int64_t>(count);
  }
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const std::uint64_t at = offset + done;
    const Block* block = state_->BlockAt(at - at % kBlockSize);
    if (block == nullptr) return -1;
    const auto within = static_cast<std::size_t>(at - block->start);
    if (within >= block->length) break;  // the end of the file
    const std::size_t take = std::min(count - done, block->length - within);
    std::memcpy(out + done, block->bytes.get() + within, take);
    done += take;
  }
  return static_cast<std::int64_t>(done);
}

Status ReadFile(const std::string& path, std::size_t largest, std::vector<std::uint8_t>& bytes) {
  platform::File file;
  if (!platform::OpenForReading(path, file)) return WhyNotOpened(path);
  UncachedFile source(file);
  return ReadAll(source, largest, bytes);
}

}  // namespace tessly
