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
#include "gaf/little_endian.h"

namespace {

// What an archive can make Tessly do grows with the counts it holds, not
// with its size: 2^31 entries, or 32767 frames of 32767 subframes, each
// failing with a line of its own, or images of 32767 x 32767 pixels.
// Inputs that ask for more work than a fuzzing run can afford are passed
// over; this model follows the reading steps and counts what they cost.
class WorkEstimate {
 public:
  WorkEstimate(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Affordable() {
    std::uint32_t version = 0, entryCount = 0;
    if (!U32(0, version) || !U32(4, entryCount) || version != 0x00010100) return true;
    const auto entries = static_cast<std::int32_t>(entryCount);
    for (std::int32_t i = 0; i < entries && Within(); ++i) Entry(12 + 4 * static_cast<std::uint64_t>(i));
    return Within();
  }

 private:
  static constexpr std::uint64_t kSteps = 20000;
  static constexpr std::uint64_t kBytes = 4u << 20;

  bool Within() const { return steps_ <= kSteps && bytes_ <= kBytes; }

  bool U32(std::uint64_t at, std::uint32_t& value) const {
    if (at >= 0x80000000u || at + 4 > size_) return false;
    value = gaf::LoadU32(data_ + at);
    return true;
  }

  bool I16(std::uint64_t at, std::int16_t& value) const {
    if (at >= 0x80000000u || at + 2 > size_) return false;
    value = static_cast<std::int16_t>(gaf::LoadU16(data_ + at));
    return true;
  }

  void Entry(std::uint64_t element) {
    ++steps_;
    std::uint32_t entryAt = 0;
    std::int16_t frames = 0;
    if (!U32(element, entryAt) || std::uint64_t{entryAt} + 40 > size_ || !I16(entryAt, frames)) return;
    for (int k = 0; k < frames && Within(); ++k) {
      ++steps_;
      std::uint32_t header = 0;
      if (!U32(std::uint64_t{entryAt} + 40 + 8 * static_cast<std::uint64_t>(k), header) ||
          std::uint64_t{header} + 24 > size_) {
        continue;
      }
      std::int16_t subframes = 0;
      std::uint32_t table = 0;
      I16(header + 10, subframes);
      U32(header + 16, table);
      if (subframes <= 0) {
        Image(header);
        continue;
      }
      for (int j = 0; j < subframes && Within(); ++j) {
        ++steps_;
        std::uint32_t subframe = 0;
        if (U32(std::uint64_t{table} + 4 * static_cast<std::uint64_t>(j), subframe) &&
            std::uint64_t{subframe} + 24 <= size_) {
          Image(subframe);
        }
      }
    }
  }

  // Rows read, and bytes written or held: a BMP, or stored rows in GAF mode.
  void Image(std::uint32_t header) {
    std::int16_t width = 0, height = 0;
    I16(header, width);
    I16(header + 2, height);
    if (width < 0 || height <= 0) return;
    const bool compressed = data_[header + 9] != 0;
    steps_ += static_cast<std::uint64_t>(height);
    const std::uint64_t row = compressed ? std::min<std::uint64_t>(65537, size_) : static_cast<std::uint64_t>(width);
    bytes_ += (static_cast<std::uint64_t>(width) + 4 + row) * static_cast<std::uint64_t>(height);
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::uint64_t steps_ = 0;
  std::uint64_t bytes_ = 0;
};

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
  if (gaf::LoadU32(header + 2) != static_cast<std::uint32_t>(size)) std::abort();
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
  if (!WorkEstimate(data, size).Affordable()) return -1;
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
