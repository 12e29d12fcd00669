// Win32 implementation of the program's platform services.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "base/file_names.h"
#include "file_handle_win32.h"
#include "platform/platform.h"

// The C runtime reads this before main to decide whether to expand
// wildcards in the arguments; the filespec is Tessly's to expand. It sits
// beside PrepareProcess, which main calls, so it is always linked in.
extern "C" {
int _dowildcard = 0;
}

namespace platform {

namespace {

bool IsReparsePoint(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A drive letter or an alternate data stream is as much a way out of the
// current directory as a path separator.
bool IsBareName(const std::string& name) {
  return !name.empty() && !base::HoldsFolderSeparator(name) && name.find(':') == std::string::npos;
}

bool OpenWritable(const OutputName& output, DWORD disposition, File& file) {
  if (!IsBareName(output.name) || IsReparsePoint(output.Path())) return false;
  return OpenDiskFile(output.Path(), GENERIC_WRITE, disposition, file);
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void PrepareProcess() {
  // Messages are bytes: "\n" must not become "\r\n" on the way out, so that
  // the output is the same on every system. A closed pipe only makes writes
  // to standard output fail.
  _setmode(_fileno(stdout), _O_BINARY);
}

void PreferLargePages(void*, std::size_t) {
  // Large pages on Windows need a privilege that users do not hold.
}

// Names come in the order the file system gives them.
void FindMatchingNames(std::string_view fileSpec, std::vector<std::string>& names) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(std::string(fileSpec).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

std::string DirectoryPart(std::string_view fileSpec) {
  const std::size_t end = fileSpec.find_last_of("/\\:");
  return end == std::string_view::npos ? std::string() : std::string(fileSpec.substr(0, end + 1));
}

bool IsAbsolutePath(std::string_view path) {
  return path.starts_with('/') || path.starts_with('\\') || (path.size() >= 2 && path[1] == ':');
}

// The separator added is the one the folder's path is written with.
std::string FolderPrefix(std::string_view folder) {
  std::string prefix(folder);
  if (prefix.empty() || prefix.find_last_of("/\\:") == prefix.size() - 1) return prefix;
  const bool backslashes = prefix.find('\\') != std::string::npos && prefix.find('/') == std::string::npos;
  return prefix + (backslashes ? '\\' : '/');
}

bool MakeFolders(const std::string& folder) {
  // Each folder on the way is made in turn; one that is there already (a
  // drive or a share among them), or cannot be made, shows in the last test.
  for (std::size_t end = folder.find_first_of("/\\", 1); end != std::string::npos;
       end = folder.find_first_of("/\\", end + 1)) {
    static_cast<void>(CreateDirectoryA(folder.substr(0, end).c_str(), nullptr));
  }
  static_cast<void>(CreateDirectoryA(folder.c_str(), nullptr));
  return IsFolder(folder);
}

bool OutputExists(const OutputName& output) {
  // A link (a reparse point) is never written through, so it is no file to replace.
  if (!IsBareName(output.name) || IsReparsePoint(output.Path())) return false;
  // No access rights asked for; a directory does not open this way.
  const HANDLE handle = CreateFileA(output.Path().c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  CloseHandle(handle);
  return true;
}

bool CreateOutput(const OutputName& output, File& file) { return OpenWritable(output, CREATE_ALWAYS, file); }

bool CreateNewOutput(const OutputName& output, File& file) { return OpenWritable(output, CREATE_NEW, file); }

bool RemoveOutput(const OutputName& output) {
  return IsBareName(output.name) && DeleteFileA(output.Path().c_str()) != 0;
}

bool ReplaceOutput(const OutputName& from, const OutputName& to) {
  return IsBareName(from.name) && IsBareName(to.name) &&
         MoveFileExA(from.Path().c_str(), to.Path().c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool WriteAll(File& file, const void* bytes, std::size_t count) {
  const auto* next = static_cast<const char*>(bytes);
  while (count > 0) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
    DWORD wrote = 0;
    if (!WriteFile(Handle(file), next, piece, &wrote, nullptr) || wrote != piece) return false;
    next += piece;
    count -= piece;
  }
  return true;
}

}  // namespace platform
