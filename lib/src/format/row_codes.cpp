#include "tessly/row_codes.h"

#include <algorithm>
#include <cstring>

namespace tessly {
namespace {

constexpr std::size_t kLongestToken = 128;
constexpr std::size_t kLongestSkip = 127;
constexpr std::size_t kLongestRepeat = 64;
constexpr std::size_t kLongestLiteral = 64;

// How many pixels from `x` up to `limit` equal the pixel at `x`.
std::size_t RunLength(std::span<const std::uint8_t> row, std::size_t x, std::size_t limit) {
  std::size_t end = x + 1;
  while (end < limit && row[end] == row[x]) ++end;
  return end - x;
}

// A literal from `x`: its first pixel, then on until a skipped pixel or
// three equal pixels, at most up to `limit`.
std::size_t LiteralLength(std::span<const std::uint8_t> row, std::size_t x, std::size_t limit) {
  std::size_t end = x + 1;
  while (end < limit && row[end] != kSkippedPixel &&
         !(end + 2 < limit && row[end] == row[end + 1] && row[end] == row[end + 2])) {
    ++end;
  }
  return end - x;
}

}  // namespace

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

RowCodesMeasure MeasureRowCodes(std::span<const std::uint8_t> codes) {
  RowCodesMeasure measure;
  for (std::size_t i = 0; i < codes.size();) {
    const std::uint8_t b = codes[i++];
    // Bytes the code takes after itself: one for a repeat, n for a literal.
    const std::size_t takes = b & 1 ? 0 : b & 2 ? 1 : (b >> 2) + 1u;
    measure.pixels += b & 1 ? b >> 1 : (b >> 2) + 1u;
    if (takes > codes.size() - i) {
      measure.cutShort = true;
      break;
    }
    i += takes;
  }
  return measure;
}

void EncodeRowCodes(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& codes) {
  if (std::all_of(row.begin(), row.end(), [](std::uint8_t p) { return p == kSkippedPixel; })) return;
  for (std::size_t x = 0; x < row.size();) {
    const std::size_t limit = std::min(row.size(), x + kLongestToken);
    const std::size_t run = RunLength(row, x, limit);
    if (row[x] == kSkippedPixel) {
      for (std::size_t left = run; left > 0;) {
        const std::size_t n = std::min(left, kLongestSkip);
        codes.push_back(static_cast<std::uint8_t>(n << 1 | 1));
        left -= n;
      }
      x += run;
    } else if (run >= 2) {
      for (std::size_t left = run; left > 0;) {
        const std::size_t n = std::min(left, kLongestRepeat);
        codes.insert(codes.end(), {static_cast<std::uint8_t>((n - 1) << 2 | 2), row[x]});
        left -= n;
      }
      x += run;
    } else {
      const std::size_t end = x + LiteralLength(row, x, limit);
      while (x < end) {
        const std::size_t n = std::min(end - x, kLongestLiteral);
        codes.push_back(static_cast<std::uint8_t>((n - 1) << 2));
        codes.insert(codes.end(), row.begin() + static_cast<std::ptrdiff_t>(x),
                     row.begin() + static_cast<std::ptrdiff_t>(x + n));
        x += n;
      }
    }
  }
}

}  // namespace tessly
