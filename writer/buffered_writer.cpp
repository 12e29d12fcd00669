#include "writer/buffered_writer.h"

#include <algorithm>

#include "base/little_endian.h"

namespace writer {

BufferedWriter::BufferedWriter(platform::File& file, std::size_t capacity) : file_(file), capacity_(capacity) {}

void BufferedWriter::Reserve(std::size_t count) { buffer_.reserve(std::min(count, capacity_)); }

bool BufferedWriter::Write(const void* bytes, std::size_t count) {
  if (failed_) return false;
  if (buffer_.size() + count > capacity_) {
    if (!Flush()) return false;
    // A piece larger than the buffer goes straight to the file.
    if (count > capacity_) {
      failed_ = !platform::WriteAll(file_, bytes, count);
      return !failed_;
    }
  }
  const auto* from = static_cast<const std::uint8_t*>(bytes);
  buffer_.insert(buffer_.end(), from, from + count);
  return true;
}

bool BufferedWriter::WriteU32(std::uint32_t value) {
  std::uint8_t bytes[4];
  base::StoreU32(bytes, value);
  return Write(bytes, sizeof bytes);
}

bool BufferedWriter::Flush() {
  if (failed_) return false;
  if (!buffer_.empty()) {
    failed_ = !platform::WriteAll(file_, buffer_.data(), buffer_.size());
    buffer_.clear();
  }
  return !failed_;
}

}  // namespace writer
