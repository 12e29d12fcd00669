// Palette files of any content. A file that reads as a palette in the raw
// forms gives back exactly its bytes; any other reads or is refused with a
// palette status, and a refused file leaves the palette as it was.
#include <cstdint>
#include <cstdlib>

#include "tessly/palette_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessly;
  MemorySource source({data, size});
  Palette palette;
  palette.colours[0] = {1, 2, 3};
  const Status status = ReadPalette(source, palette);
  if (status != Status::Ok) {
    if (palette.colours[0] != Colour{1, 2, 3}) std::abort();
    return 0;
  }
  const std::size_t stride = size == 1024 ? 4 : 3;
  if ((size == 768 || size == 1024) && data[0] != 'R' && data[0] != 'J' && data[0] != 'G' && data[0] != 0x0A) {
    for (std::size_t i = 0; i < 256; ++i) {
      const Colour& c = palette.colours[i];
      if (c != Colour{data[stride * i], data[stride * i + 1], data[stride * i + 2]}) std::abort();
    }
  }
  return 0;
}
