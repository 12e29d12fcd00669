// How the Win32 implementation reaches a File's handle.
#pragma once

#include <windows.h>

#include <string>

#include "platform/files.h"

namespace platform {

struct FileHandle {
  static HANDLE Get(const File& file) { return reinterpret_cast<HANDLE>(file.handle_); }
  static void Adopt(File& file, HANDLE handle) {
    file.Close();
    file.handle_ = reinterpret_cast<std::intptr_t>(handle);
  }
};

inline HANDLE Handle(const File& file) { return FileHandle::Get(file); }

inline void Adopt(File& file, HANDLE handle) { FileHandle::Adopt(file, handle); }

// Opens a file that must be a disk file; a name such as CON or NUL opens a
// device, which can be neither read at offsets nor written as an output.
bool OpenDiskFile(const std::string& name, DWORD access, DWORD disposition, File& file);

}  // namespace platform
