// Temporary directories and file contents for the tests.
#pragma once

#include <map>
#include <string>

#include "tests/fixture/gaf_builder.h"

namespace support {

using fixture::Bytes;

// A fresh directory, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const Bytes& bytes) const;
  void MakeDirectory(const std::string& name) const;

 private:
  std::string path_;
};

// Every file below `directory` (relative names; directories with a trailing
// '/', symbolic links with a trailing '@' and their target), with contents.
std::map<std::string, Bytes> FilesIn(const std::string& directory);

Bytes ReadBytes(const std::string& path);

}  // namespace support
