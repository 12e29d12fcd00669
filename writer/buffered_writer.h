// Collects small writes into few large ones. After the first failed write
// nothing more is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace writer {

class BufferedWriter {
 public:
  explicit BufferedWriter(platform::File& file, std::size_t capacity = 1 << 20);

  // Room for `count` bytes before the buffer next grows; one allocation when
  // the size of what is to come is known.
  void Reserve(std::size_t count);

  bool Write(const void* bytes, std::size_t count);
  bool WriteU32(std::uint32_t value);
  // Writes what is buffered. True when every write so far succeeded.
  bool Flush();

 private:
  platform::File& file_;
  std::vector<std::uint8_t> buffer_;
  std::size_t capacity_;
  bool failed_ = false;
};

}  // namespace writer
