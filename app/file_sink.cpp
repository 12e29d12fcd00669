#include "app/file_sink.h"

#include <algorithm>
#include <new>

namespace app {

void FileSink::Expect(std::uint64_t bytes) {
  try {
    buffer_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(bytes, capacity_)));
  } catch (const std::bad_alloc&) {
    // Only a hint: the buffer grows as the writes need.
  }
}

bool FileSink::Write(const void* bytes, std::size_t count) {
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
  try {
    buffer_.insert(buffer_.end(), from, from + count);
  } catch (const std::bad_alloc&) {
    failed_ = true;
  }
  return !failed_;
}

void FileSink::Close() {
  file_.Close();
  buffer_.clear();
  failed_ = false;
}

bool FileSink::Flush() {
  if (failed_) return false;
  if (!buffer_.empty()) {
    failed_ = !platform::WriteAll(file_, buffer_.data(), buffer_.size());
    buffer_.clear();
  }
  return !failed_;
}

}  // namespace app
