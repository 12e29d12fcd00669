// An output file as a byte sink: small writes are collected into few
// large ones. After the first failed write nothing more is written. One
// sink serves file after file, keeping its buffer's memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "tessly/io.h"

namespace app {

class FileSink : public tessly::ByteSink {
 public:
  explicit FileSink(std::size_t capacity = 1 << 20) : capacity_(capacity) {}

  platform::File& file() { return file_; }

  // One allocation when the size of what is to come is known.
  void Expect(std::uint64_t bytes) override;
  bool Write(const void* bytes, std::size_t count) override;
  // Writes what is buffered. True when every write so far succeeded.
  bool Flush();
  // Closes the file without writing what is buffered, ready for the next.
  void Close();

 private:
  platform::File file_;
  std::vector<std::uint8_t> buffer_;
  std::size_t capacity_;
  bool failed_ = false;
};

}  // namespace app
