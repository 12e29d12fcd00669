// POSIX implementation of reading files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "file_handle_posix.h"

namespace platform {

void File::Close() {
  if (IsOpen()) {
    ::close(Fd(*this));
    handle_ = kNoHandle;
  }
}

bool OpenForReading(const std::string& path, File& file) {
  // Non-blocking, so that a FIFO cannot stall the open; only regular files
  // can be read at offsets.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  File opened;
  FileHandle::Adopt(opened, fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  file = std::move(opened);
  return true;
}

PathKind KindOfPath(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::File;
  return S_ISREG(info.st_mode) ? PathKind::File : PathKind::Other;
}

std::int64_t ReadFileAt(File& file, std::uint64_t offset, void* buffer, std::size_t count) {
  if (offset > static_cast<std::uint64_t>(LLONG_MAX)) return -1;
  auto* bytes = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(Fd(file), bytes + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

}  // namespace platform
