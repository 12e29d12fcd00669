// Row-code expansion on arbitrary codes and widths, against a plain model.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gaf/row_codes.h"

namespace {

// Decodes code by code into a growing row, then cuts or pads it to the width.
std::vector<std::uint8_t> Model(const std::uint8_t* codes, std::size_t length, std::size_t width) {
  std::vector<std::uint8_t> row;
  std::size_t i = 0;
  while (i < length && row.size() < width) {
    const std::uint8_t b = codes[i];
    if ((b & 1) != 0) {
      row.insert(row.end(), b >> 1, 9);
      i += 1;
    } else if ((b & 2) != 0) {
      if (i + 1 >= length) break;
      row.insert(row.end(), (b >> 2) + 1u, codes[i + 1]);
      i += 2;
    } else {
      const std::size_t n = (b >> 2) + 1u;
      std::size_t t = 0;
      for (; t < n && i + 1 + t < length; ++t) row.push_back(codes[i + 1 + t]);
      if (t < n) break;  // the literal ran out of bytes: the row ends
      i += 1 + n;
    }
  }
  row.resize(width, 9);
  return row;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return -1;
  const std::size_t width = (data[0] | (data[1] << 8)) & 0x7FFF;
  const std::uint8_t* codes = data + 2;
  const std::size_t length = size - 2;
  // Exactly the row's bytes, so that the sanitizer sees any access past them.
  std::vector<std::uint8_t> codeBytes(codes, codes + length);
  std::vector<std::uint8_t> row(width, 0xEE);
  gaf::ExpandRowCodes(codeBytes, row);
  if (row != Model(codes, length, width)) std::abort();
  return 0;
}
