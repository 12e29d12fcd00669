// POSIX implementation of the program's platform services.
#include <dirent.h>
#include <fcntl.h>
#if __has_include(<malloc.h>)
#include <malloc.h>
#endif
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <compare>
#include <cstdint>
#include <cstdio>

#include "base/ascii.h"
#include "file_handle_posix.h"
#include "platform/platform.h"

namespace platform {

namespace {

using base::AsciiUpper;

// Full wildcard match, '*' any run and '?' any one character, ASCII case
// ignored. On a mismatch the last '*' takes one more character and the
// match resumes after it.
bool WildcardMatches(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t starAt = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      starName = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || AsciiUpper(pattern[p]) == AsciiUpper(name[n]))) {
      ++p;
      ++n;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Sorted by upper-cased bytes, ties by the bytes themselves, so that every
// run visits the archives in the same order.
bool NameOrder(const std::string& a, const std::string& b) {
  const auto order = std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(AsciiUpper(x)) <=> static_cast<unsigned char>(AsciiUpper(y));
  });
  return order != 0 ? order < 0 : a < b;
}

bool IsBareName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && name.find('\\') == std::string::npos;
}

}  // namespace

void PrepareProcess() {
  // A standard descriptor left closed by whoever started us would be taken
  // by the first file opened: the question would read its keys from an
  // archive. /dev/null takes its place; open gives the lowest free number.
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) < 0) static_cast<void>(::open("/dev/null", O_RDWR));
  }
  ::signal(SIGPIPE, SIG_IGN);
#ifdef M_TRIM_THRESHOLD
  // A PNG file's compressor takes some 256 KiB and gives them back; with
  // glibc's default threshold of 128 KiB each file's would shrink the heap
  // and grow it again, a page fault a page. A few MiB stay in hand instead.
  ::mallopt(M_TRIM_THRESHOLD, 4 << 20);
#endif
}

void PreferLargePages(void* start, std::size_t size) {
#ifdef MADV_HUGEPAGE
  // madvise takes whole pages: the ones that lie wholly within.
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto first = (reinterpret_cast<std::uintptr_t>(start) + page - 1) / page * page;
  const auto end = reinterpret_cast<std::uintptr_t>(start) + size;
  if (end > first) static_cast<void>(::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE));
#else
  static_cast<void>(start), static_cast<void>(size);
#endif
}

void FindMatchingNames(std::string_view fileSpec, std::vector<std::string>& names) {
  const std::string directory = DirectoryPart(fileSpec);
  const std::string_view pattern = fileSpec.substr(directory.size());
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return;
  const std::size_t first = names.size();
  while (const dirent* item = ::readdir(dir)) {
    const std::string_view name = item->d_name;
    if (name == "." || name == "..") continue;
    if (WildcardMatches(pattern, name)) names.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin() + static_cast<std::ptrdiff_t>(first), names.end(), NameOrder);
}

std::string DirectoryPart(std::string_view fileSpec) {
  const std::size_t slash = fileSpec.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(fileSpec.substr(0, slash + 1));
}

bool IsAbsolutePath(std::string_view path) { return path.starts_with('/'); }

std::string FolderPrefix(std::string_view folder) {
  std::string prefix(folder);
  if (!prefix.empty() && !prefix.ends_with('/')) prefix += '/';
  return prefix;
}

bool MakeFolders(const std::string& folder) {
  // Each folder on the way is made in turn; one that is there already, or
  // cannot be made, shows in the last test.
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    static_cast<void>(::mkdir(folder.substr(0, slash).c_str(), 0777));
  }
  static_cast<void>(::mkdir(folder.c_str(), 0777));
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool OutputExists(const OutputName& output) {
  if (!IsBareName(output.name)) return false;
  // lstat: a symbolic link is never written through, so it is no file to replace.
  struct stat info {};
  return ::lstat(output.Path().c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && !S_ISLNK(info.st_mode);
}

namespace {

bool OpenWritable(const OutputName& output, int mode, File& file) {
  if (!IsBareName(output.name)) return false;
  // O_NOFOLLOW refuses a symbolic link. O_NONBLOCK keeps a FIFO without a
  // reader from stalling the run; regular files ignore it.
  const int fd =
      ::open(output.Path().c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | mode, 0666);
  if (fd < 0) return false;
  FileHandle::Adopt(file, fd);
  return true;
}

}  // namespace

bool CreateOutput(const OutputName& output, File& file) { return OpenWritable(output, O_TRUNC, file); }

bool CreateNewOutput(const OutputName& output, File& file) { return OpenWritable(output, O_EXCL, file); }

bool RemoveOutput(const OutputName& output) { return IsBareName(output.name) && ::unlink(output.Path().c_str()) == 0; }

bool ReplaceOutput(const OutputName& from, const OutputName& to) {
  return IsBareName(from.name) && IsBareName(to.name) && ::rename(from.Path().c_str(), to.Path().c_str()) == 0;
}

bool WriteAll(File& file, const void* bytes, std::size_t count) {
  // A single write call takes at most about 2 GiB on Linux, so larger
  // buffers go in pieces; a piece stored short is a failed write.
  constexpr std::size_t kPiece = std::size_t{1} << 30;
  const auto* next = static_cast<const char*>(bytes);
  while (count > 0) {
    const std::size_t piece = std::min(count, kPiece);
    const ssize_t wrote = ::write(Fd(file), next, piece);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0 || static_cast<std::size_t>(wrote) != piece) return false;
    next += piece;
    count -= piece;
  }
  return true;
}

}  // namespace platform
