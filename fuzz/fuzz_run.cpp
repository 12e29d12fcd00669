// A whole run in bitmap mode and in GAF mode (both with -Y) on an arbitrary
// archive, in a directory of its own. Afterwards nothing may exist outside
// that directory, nothing but regular files inside it, and every BMP file
// must be as long as its header says.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/batch.h"
#include "app/options.h"
#include "base/little_endian.h"
#include "tests/fixture/work_estimate.h"

namespace {

// Inputs that ask for more work than this are passed over: their cost grows
// with their counts, and a fuzzing run cannot afford it.
constexpr std::uint64_t kMostSteps = 20000;
constexpr std::uint64_t kMostBytes = 4u << 20;

std::string gRoot;  // holds only gWork
std::string gWork;  // the current directory of every run
int gHome = -1;     // the fuzzer's own current directory, for its files

std::vector<std::string> Names(const std::string& directory) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(directory.c_str())) {
    while (const dirent* item = ::readdir(dir)) {
      const std::string name = item->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  return names;
}

void CheckBitmap(const std::string& name) {
  if (name.size() < 4 || name.compare(name.size() - 4, 4, ".BMP") != 0) return;
  FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) std::abort();
  std::uint8_t header[54];
  const std::size_t got = std::fread(header, 1, sizeof header, file);
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fclose(file);
  if (got != sizeof header) std::abort();
  if (base::LoadU32(header + 2) != static_cast<std::uint32_t>(size)) std::abort();
}

// Checks what the run left and empties the directory for the next one.
void CheckAndClean() {
  if (Names(gRoot) != std::vector<std::string>{"work"}) std::abort();
  for (const std::string& name : Names(gWork)) {
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) std::abort();
    CheckBitmap(name);
    ::unlink(name.c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A memory file system where there is one: every run creates files.
  char inMemory[] = "/dev/shm/tessly-fuzz-XXXXXX";
  char onDisk[] = "/tmp/tessly-fuzz-XXXXXX";
  const char* root = ::mkdtemp(inMemory);
  if (root == nullptr) root = ::mkdtemp(onDisk);
  if (root == nullptr) std::abort();
  gRoot = root;
  gWork = gRoot + "/work";
  gHome = ::open(".", O_RDONLY | O_DIRECTORY);
  if (gHome < 0 || ::mkdir(gWork.c_str(), 0700) != 0) std::abort();
  // The messages are not looked at; printing them costs time only.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  std::atexit([] {
    if (::chdir(gWork.c_str()) == 0) CheckAndClean();
    ::rmdir(gWork.c_str());
    ::rmdir(gRoot.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fixture::Affordable(data, size, kMostSteps, kMostBytes)) return -1;
  if (::chdir(gWork.c_str()) != 0) std::abort();
  FILE* archive = std::fopen("in.gaf", "wb");
  if (archive == nullptr || std::fwrite(data, 1, size, archive) != size || std::fclose(archive) != 0) std::abort();
  for (const bool bitmapMode : {true, false}) {
    app::Options options;
    options.bitmapMode = bitmapMode;
    options.yesToAll = true;
    options.fileSpec = "in.gaf";
    app::RunBatch(options);
  }
  CheckAndClean();
  if (::fchdir(gHome) != 0) std::abort();
  return 0;
}
