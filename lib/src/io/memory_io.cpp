#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "tessly/io.h"

namespace tessly {

std::int64_t MemorySource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (offset >= bytes_.size()) return 0;
  const std::size_t take = std::min<std::size_t>(count, bytes_.size() - static_cast<std::size_t>(offset));
  if (take > 0) std::memcpy(buffer, bytes_.data() + offset, take);
  return static_cast<std::int64_t>(take);
}

std::span<const std::uint8_t> MemorySource::View(std::uint64_t offset, std::size_t count) {
  const bool within = count > 0 && offset < bytes_.size() && count <= bytes_.size() - offset;
  return within ? bytes_.subspan(static_cast<std::size_t>(offset)) : std::span<const std::uint8_t>();
}

Status ReadAll(ByteSource& source, std::size_t largest, std::vector<std::uint8_t>& bytes) {
  // Pieces that start small, as most files read whole are, and grow: the
  // bytes of a piece are zeroed before they are read into.
  std::size_t piece = std::size_t{1} << 12;
  bytes.clear();
  try {
    while (true) {
      const std::size_t start = bytes.size();
      bytes.resize(start + piece);
      const std::int64_t got = source.ReadAt(start, bytes.data() + start, piece);
      if (got < 0) return Status::ReadFailed;
      bytes.resize(start + static_cast<std::size_t>(got));
      if (bytes.size() > largest) return Status::FileTooLarge;
      if (static_cast<std::size_t>(got) < piece) return Status::Ok;
      piece = std::min(2 * piece, std::size_t{1} << 20);
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

bool MemorySink::Write(const void* from, std::size_t count) {
  const auto* first = static_cast<const std::uint8_t*>(from);
  try {
    bytes.insert(bytes.end(), first, first + count);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

void MemorySink::Expect(std::uint64_t count) {
  try {
    bytes.reserve(bytes.size() + static_cast<std::size_t>(count));
  } catch (...) {
    // Only a hint: the writes grow the buffer as they need.
  }
}

}  // namespace tessly
