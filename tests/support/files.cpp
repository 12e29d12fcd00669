#include "tests/support/files.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace support {
namespace {

void RemoveTree(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return;
  if (!S_ISDIR(info.st_mode)) {
    ::unlink(path.c_str());
    return;
  }
  ::chmod(path.c_str(), 0700);
  if (DIR* dir = ::opendir(path.c_str())) {
    while (const dirent* item = ::readdir(dir)) {
      const std::string name = item->d_name;
      if (name != "." && name != "..") RemoveTree(path + "/" + name);
    }
    ::closedir(dir);
  }
  ::rmdir(path.c_str());
}

void CollectFiles(const std::string& root, const std::string& relative, std::map<std::string, Bytes>& files) {
  DIR* dir = ::opendir((root + "/" + relative).c_str());
  if (dir == nullptr) return;
  while (const dirent* item = ::readdir(dir)) {
    const std::string name = item->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = relative + name;
    const std::string full = root + "/" + path;
    struct stat info {};
    ::lstat(full.c_str(), &info);
    if (S_ISDIR(info.st_mode)) {
      files[path + "/"] = {};
      CollectFiles(root, path + "/", files);
    } else if (S_ISLNK(info.st_mode)) {
      char target[4096];
      const ssize_t length = ::readlink(full.c_str(), target, sizeof target);
      files[path + "@"] = Bytes(target, target + std::max<ssize_t>(length, 0));
    } else {
      files[path] = ReadBytes(full);
    }
  }
  ::closedir(dir);
}

}  // namespace

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tessly-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern;
}

TempDir::~TempDir() { RemoveTree(path_); }

void TempDir::Write(const std::string& name, const Bytes& bytes) const {
  ASSERT_TRUE(fixture::WriteFile(*this / name, bytes)) << name;
}

void TempDir::MakeDirectory(const std::string& name) const {
  ASSERT_EQ(::mkdir((*this / name).c_str(), 0755), 0) << name;
}

std::map<std::string, Bytes> FilesIn(const std::string& directory) {
  std::map<std::string, Bytes> files;
  CollectFiles(directory, "", files);
  return files;
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  const std::string text = contents.str();
  return Bytes(text.begin(), text.end());
}

}  // namespace support
