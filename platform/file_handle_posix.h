// How the POSIX implementation reaches a File's descriptor.
#pragma once

#include "platform/files.h"

namespace platform {

struct FileHandle {
  static int Fd(const File& file) { return static_cast<int>(file.handle_); }
  static void Adopt(File& file, int fd) {
    file.Close();
    file.handle_ = fd;
  }
};

inline int Fd(const File& file) { return FileHandle::Fd(file); }

}  // namespace platform
