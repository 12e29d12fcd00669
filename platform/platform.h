// The operating-system services that Tessly needs, and nothing more.
// One implementation per system sits beside this header; no other file
// calls the operating system directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
  void Close();  // each system's implementation

  // Used by the implementations only.
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
};

// Appends to `names` the bare names in the directory that `fileSpec` names
// (the current directory when it names none) whose names match its last
// component: '*' any run of characters, '?' any one, ASCII letters compared
// without regard to case. Directories are included, "." and ".." are not.
void FindMatchingNames(std::string_view fileSpec, std::vector<std::string>& names);

// The directory part of a filespec, ready to have a found name
// appended ("data/" for "data/*.gaf", "" for "*.gaf").
std::string DirectoryPart(std::string_view fileSpec);

// Opens an existing regular file for reading; others may read it too.
bool OpenForReading(const std::string& path, File& file);

// Reads up to `count` bytes at absolute `offset`. Returns the number of bytes
// read (fewer than `count` only at the end of the file), or -1 on failure.
std::int64_t ReadAt(File& file, std::uint64_t offset, void* buffer, std::size_t count);

// Output files are bare names in the current directory. A name holding a
// path separator is never an output file: it does not exist and cannot be
// created.
bool OutputExists(const std::string& name);

// Creates the output file, or empties it when it exists. A name that is a
// directory or a symbolic link is refused, and the link is left untouched.
bool CreateOutput(const std::string& name, File& file);

// Creates the output file only when nothing of that name exists yet.
bool CreateNewOutput(const std::string& name, File& file);

// Writes all `count` bytes; anything less is a failure.
bool WriteAll(File& file, const void* bytes, std::size_t count);

// Waits for one key at the console, also when standard input is redirected,
// echoes it and returns its character. Returns -1 when no key can ever come.
int ReadConsoleKey();

}  // namespace platform
