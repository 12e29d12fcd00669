// Replays every file of the folders given, so that the seed corpus and the
// inputs of past findings run in every ctest run, with any compiler. A
// finding ends the process as it would under the fuzzer.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::error_code missing;  // a folder of findings that has none yet
  for (int i = 1; i < argc; ++i) {
    for (const auto& item : std::filesystem::directory_iterator(argv[i], missing)) {
      std::ifstream in(item.path(), std::ios::binary);
      const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
  }
}
