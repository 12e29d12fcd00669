// Where archives are read from and files are written to: byte sources and
// byte sinks. The library reads and writes only through these.
//
// Threads: a MemorySource may be read by any number of threads at once, as
// its bytes never change; a FileSource and a MemorySink by one at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "tessly/status.h"

namespace tessly {

// Bytes to read at absolute offsets.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `count` bytes at `offset` into `buffer`. Returns the number
  // read, fewer than `count` only at the end of the source, or -1 when the
  // source cannot be read there.
  virtual std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
  // The bytes from `offset` on that the source holds in memory in one
  // piece, at least `count` (1 or more) of them, so that they need no copy;
  // valid until the next call on the source. Empty when it does not hold
  // them so (the default): ReadAt them then.
  virtual std::span<const std::uint8_t> View(std::uint64_t /*offset*/, std::size_t /*count*/) { return {}; }
};

// Bytes in memory, which the caller owns and keeps alive while it is read.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override;
  std::span<const std::uint8_t> View(std::uint64_t offset, std::size_t count) override;

 private:
  std::span<const std::uint8_t> bytes_;
};

// A file, read through a cache of 64 KiB blocks, so that the many small
// reads of records and rows cost few system calls. Closes the file when it
// is destroyed.
class FileSource : public ByteSource {
 public:
  FileSource();
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  // Opens a regular file for reading. Ok, NoSuchFile, NotAFile, CannotOpen
  // (a file that cannot be read, such as one the user may not read) or
  // OutOfMemory.
  Status Open(const std::string& path);
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override;
  // Bytes within one cached block.
  std::span<const std::uint8_t> View(std::uint64_t offset, std::size_t count) override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Reads the whole of `source`, from offset 0 to its end, into `bytes`.
// Ok, ReadFailed when the source fails, FileTooLarge for more than
// `largest` bytes, OutOfMemory.
Status ReadAll(ByteSource& source, std::size_t largest, std::vector<std::uint8_t>& bytes);

// Reads the whole file at `path` into `bytes`, straight from the file with
// no cache: for the many small files (images, descriptions) that are read
// once, front to back. Ok, NoSuchFile, NotAFile, CannotOpen, or what ReadAll returns.
Status ReadFile(const std::string& path, std::size_t largest, std::vector<std::uint8_t>& bytes);

// Bytes to write, front to back.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Appends all `count` bytes; false when they cannot all be taken.
  virtual bool Write(const void* bytes, std::size_t count) = 0;
  // Told before a file is written how many bytes it will take, so that a
  // buffering sink can size its buffer once.
  virtual void Expect(std::uint64_t /*bytes*/) {}
  // Room for the next `count` bytes, which the caller fills in place and
  // which then count as written: a buffering sink saves a copy. Null when
  // the sink has no such room (the default) or has failed; Write then.
  virtual std::uint8_t* Append(std::size_t /*count*/) { return nullptr; }
};

// Collects what is written in memory; `bytes` is the caller's to take.
class MemorySink : public ByteSink {
 public:
  bool Write(const void* bytes, std::size_t count) override;
  void Expect(std::uint64_t bytes) override;
  std::vector<std::uint8_t> bytes;
};

}  // namespace tessly
