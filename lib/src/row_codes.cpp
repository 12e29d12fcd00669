#include "tessly/row_codes.h"

#include <algorithm>
#include <cstring>

namespace tessly {

void ExpandRowCodes(std::span<const std::uint8_t> codes, std::span<std::uint8_t> row) {
  if (row.empty()) return;
  const std::uint8_t* code = codes.data();
  const std::uint8_t* const codesEnd = code + codes.size();
  std::uint8_t* out = row.data();
  std::uint8_t* const rowEnd = out + row.size();
  // Once the row is full, the remaining codes could only produce dropped pixels.
  while (code < codesEnd && out < rowEnd) {
    const std::uint8_t b = *code++;
    const auto room = static_cast<std::size_t>(rowEnd - out);
    if (b & 1) {
      const std::size_t count = std::min<std::size_t>(b >> 1, room);
      std::memset(out, kSkippedPixel, count);
      out += count;
    } else if (b & 2) {
      if (code == codesEnd) break;
      const std::size_t count = std::min<std::size_t>((b >> 2) + 1u, room);
      std::memset(out, *code++, count);
      out += count;
    } else {
      const std::size_t wanted = (b >> 2) + 1u;
      const auto available = static_cast<std::size_t>(codesEnd - code);
      const std::size_t count = std::min({wanted, available, room});
      std::memcpy(out, code, count);
      out += count;
      if (available < wanted) break;
      code += wanted;
    }
  }
  std::memset(out, kSkippedPixel, static_cast<std::size_t>(rowEnd - out));
}

}  // namespace tessly
