// Reading files: the one part of the operating system that the library
// needs. One implementation per system sits beside the program's part
// (platform/platform.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// An open file. It closes itself when it goes out of scope.
class File {
 public:
  File() = default;
  ~File() { Close(); }
  File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kNoHandle; }
  File& operator=(File&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.handle_;
      other.handle_ = kNoHandle;
    }
    return *this;
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool IsOpen() const { return handle_ != kNoHandle; }
  void Close();

 private:
  friend struct FileHandle;  // each system's implementation reaches the handle through it
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
};

// Opens an existing regular file for reading; others may read it too.
bool OpenForReading(const std::string& path, File& file);

// What stands at a path, followed through links: nothing (or a path
// through something that is no folder), a regular file, or anything else.
enum class PathKind { Missing, File, Other };
PathKind KindOfPath(const std::string& path);

// Reads up to `count` bytes at absolute `offset`. Returns the number of bytes
// read (fewer than `count` only at the end of the file), or -1 on failure.
std::int64_t ReadFileAt(File& file, std::uint64_t offset, void* buffer, std::size_t count);

}  // namespace platform
