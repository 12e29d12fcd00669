// Win32 implementation of reading files.
#include <windows.h>

#include <algorithm>

#include "file_handle_win32.h"

namespace platform {

// Opens a file that must be a disk file; a name such as CON or NUL opens a
// device, which can be neither read at offsets nor written as an output.
bool OpenDiskFile(const std::string& name, DWORD access, DWORD disposition, File& file) {
  // Others may read the file while it is open.
  const HANDLE handle =
      CreateFileA(name.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return false;
  }
  Adopt(file, handle);
  return true;
}

void File::Close() {
  if (IsOpen()) {
    CloseHandle(Handle(*this));
    handle_ = kNoHandle;
  }
}

bool OpenForReading(const std::string& path, File& file) {
  return OpenDiskFile(path, GENERIC_READ, OPEN_EXISTING, file);
}

PathKind KindOfPath(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::Missing : PathKind::File;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Other : PathKind::File;
}

std::int64_t ReadFileAt(File& file, std::uint64_t offset, void* buffer, std::size_t count) {
  LONG high = static_cast<LONG>(offset >> 32);
  const DWORD low = SetFilePointer(Handle(file), static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return -1;
  auto* bytes = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(Handle(file), bytes + done, piece, &got, nullptr)) return -1;
    if (got == 0) break;  // the end of the file
    done += got;
  }
  return static_cast<std::int64_t>(done);
}

}  // namespace platform
