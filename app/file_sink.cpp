#include "app/file_sink.h"

#include <cstring>
#include <new>

namespace app {

bool FileSink::HasBuffer() {
  if (!buffer_) buffer_.reset(new (std::nothrow) std::uint8_t[capacity_]);
  return buffer_ != nullptr;
}

bool FileSink::Write(const void* bytes, std::size_t count) {
  if (failed_) return false;
  if (used_ + count > capacity_) {
    if (!Flush()) return false;
    // A piece larger than the buffer goes straight to the file.
    if (count > capacity_) {
      failed_ = !platform::WriteAll(file_, bytes, count);
      return !failed_;
    }
  }
  failed_ = !HasBuffer();
  if (!failed_ && count > 0) std::memcpy(buffer_.get() + used_, bytes, count);
  used_ += failed_ ? 0 : count;
  return !failed_;
}

// Room only where the buffer has it: a file is written from the start of
// the buffer, and Write takes over for anything larger.
std::uint8_t* FileSink::Append(std::size_t count) {
  if (failed_ || used_ + count > capacity_ || !HasBuffer()) return nullptr;
  used_ += count;
  return buffer_.get() + used_ - count;
}

void FileSink::Close() {
  file_.Close();
  used_ = 0;
  failed_ = false;
}

bool FileSink::Flush() {
  if (failed_) return false;
  if (used_ > 0) {
    failed_ = !platform::WriteAll(file_, buffer_.get(), used_);
    used_ = 0;
  }
  return !failed_;
}

}  // namespace app
