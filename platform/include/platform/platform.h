// The operating-system services that Tessly needs, and nothing more.
// One implementation per system sits beside this header; no other file
// calls the operating system directly.
//
// What differs between the systems:
// - Found names come sorted on Linux (letters compared without regard to
//   case, ties by the bytes) and in the file system's own order on Windows.
// - An output name is a bare name in the current directory. It cannot hold
//   '/' or '\' anywhere; on Windows not ':' either, nor anything else that
//   Windows file names cannot hold, and a device name such as CON is no file.
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
  void Close();

 private:
  friend struct FileHandle;  // each system's implementation reaches the handle through it
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
};

// Settings the whole run needs, made once at the start of main. A closed
// standard output must not end the run: messages are a report, the files
// are the work (on Linux SIGPIPE is ignored, and a standard descriptor
// that is not open is opened on /dev/null, so that no file takes its
// number). On Windows, standard output is binary, so "\n" stays one byte,
// and the C runtime does not expand wildcards in the arguments: the
// filespec is Tessly's to expand.
void PrepareProcess();

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
std::int64_t ReadFileAt(File& file, std::uint64_t offset, void* buffer, std::size_t count);

// True when a file that could be replaced stands at the output name. A name
// that cannot be an output, a directory and a symbolic link are not such
// files: creating them fails without a question.
bool OutputExists(const std::string& name);

// Creates the output file, or empties it when it exists. A name that is a
// directory or a symbolic link is refused, and the link is left untouched.
bool CreateOutput(const std::string& name, File& file);

// Creates the output file only when nothing of that name exists yet.
bool CreateNewOutput(const std::string& name, File& file);

// Writes all `count` bytes; anything less is a failure.
bool WriteAll(File& file, const void* bytes, std::size_t count);

// Waits for one key at the console, also when standard input is redirected,
// echoes it there and returns its character. Without a console the key comes
// from standard input and is echoed to standard output. Returns -1 when no
// key can ever come.
int ReadConsoleKey();

// Writes `text` on the console when standard output goes elsewhere (a file,
// a pipe), so that a question whose key is read at the console is seen
// there too. Does nothing without a console.
void MirrorToConsole(std::string_view text);

}  // namespace platform
