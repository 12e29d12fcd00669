// An output file as a byte sink: small writes are collected into few
// large ones. After the first failed write nothing more is written. One
// sink serves file after file, keeping its buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/platform.h"
#include "tessly/io.h"

namespace app {

class FileSink : public tessly::ByteSink {
 public:
  explicit FileSink(std::size_t capacity = 1 << 20) : capacity_(capacity) {}

  platform::File& file() { return file_; }

  void Expect(std::uint64_t) override {}
  bool Write(const void* bytes, std::size_t count) override;
  // Room in what the buffer has left, else null.
  std::uint8_t* Append(std::size_t count) override;
  // Writes what is buffered. True when every write so far succeeded.
  bool Flush();
  // Closes the file without writing what is buffered, ready for the next.
  void Close();

 private:
  // The buffer, allocated at the first write and kept from file to file; `used_` bytes hold data.
  bool HasBuffer();

  platform::File file_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t used_ = 0;
  std::size_t capacity_;
  bool failed_ = false;
};

}  // namespace app
