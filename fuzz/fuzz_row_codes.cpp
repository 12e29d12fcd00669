// Row-code expansion on arbitrary codes and widths, against a plain model;
// and the standard encoding of the same bytes taken as a row, which must
// expand back to exactly that row.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tessly/row_codes.h"

namespace {

// Decodes code by code into a growing row, then cuts or pads it to the width.
std::vector<std::uint8_t> Model(const std::vector<std::uint8_t>& codes, std::size_t width) {
  std::vector<std::uint8_t> row;
  for (std::size_t i = 0; i < codes.size() && row.size() < width;) {
    const std::uint8_t b = codes[i++];
    const std::size_t count = (b & 1) != 0 ? b >> 1 : (b >> 2) + 1u, left = codes.size() - i;
    if ((b & 3) == 2 && left == 0) break;  // a repeat without its value ends the row
    if ((b & 1) != 0 || (b & 3) == 2) row.insert(row.end(), count, (b & 1) != 0 ? 9 : codes[i++]);  // skip, repeat
    if ((b & 3) != 0) continue;
    row.insert(row.end(), codes.begin() + long(i), codes.begin() + long(i + std::min(count, left)));  // literal
    if (left < count) break;  // cut short: the row ends
    i += count;
  }
  row.resize(width, 9);
  return row;
}

}  // namespace

// Two bytes of width (up to 32767), then the codes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return -1;
  // Exactly the row's bytes, so that the sanitizers see any access past them.
  const std::vector<std::uint8_t> codes(data + 2, data + size);
  std::vector<std::uint8_t> row((data[0] | data[1] << 8) & 0x7FFF, 0xEE);
  tessly::ExpandRowCodes(codes, row);
  if (row != Model(codes, row.size())) std::abort();
  std::vector<std::uint8_t> encoded, decoded(codes.size(), 0xEE);
  tessly::EncodeRowCodes(codes, encoded);
  tessly::ExpandRowCodes(encoded, decoded);
  if (decoded != codes) std::abort();
  return 0;
}
