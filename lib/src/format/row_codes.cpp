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

enum class RowCode { Skip, Repeat, Literal };

// Walks a row's codes as every reader of them does, calling `take` with
// each code, its count of pixels and the bytes it takes after itself (none
// for a skip, the value for a repeat, the pixels for a literal), until
// `take` returns false. A code whose bytes run past the codes is given
// those there are and ends the walk, which then returns false.
template <typename Take>
bool WalkRowCodes(std::span<const std::uint8_t> codes, Take take) {
  for (std::size_t i = 0; i < codes.size();) {
    const std::uint8_t b = codes[i++];
    const RowCode code = b & 1 ? RowCode::Skip : b & 2 ? RowCode::Repeat : RowCode::Literal;
    const std::size_t count = code == RowCode::Skip ? b >> 1 : (b >> 2) + 1u;
    const std::size_t takes = code == RowCode::Skip ? 0 : code == RowCode::Repeat ? 1 : count;
    const std::size_t there = std::min(takes, codes.size() - i);
    if (!take(code, count, codes.subspan(i, there))) return true;
    if (there < takes) return false;
    i += takes;
  }
  return true;
}

}  // namespace

void ExpandRowCodes(std::span<const std::uint8_t> codes, std::span<std::uint8_t> row) {
  if (row.empty()) return;
  std::uint8_t* out = row.data();
  std::uint8_t* const rowEnd = out + row.size();
  // Once the row is full, the remaining codes could only produce dropped pixels.
  WalkRowCodes(codes, [&](RowCode code, std::size_t count, std::span<const std::uint8_t> bytes) {
    const auto room = static_cast<std::size_t>(rowEnd - out);
    if (code == RowCode::Skip) {
      count = std::min(count, room);
      std::memset(out, kSkippedPixel, count);
    } else if (code == RowCode::Repeat) {
      if (bytes.empty()) return false;
      count = std::min(count, room);
      std::memset(out, bytes[0], count);
    } else {
      count = std::min({count, bytes.size(), room});
      std::memcpy(out, bytes.data(), count);
    }
    out += count;
    return out < rowEnd;
  });
  std::memset(out, kSkippedPixel, static_cast<std::size_t>(rowEnd - out));
}

RowCodesMeasure MeasureRowCodes(std::span<const std::uint8_t> codes) {
  RowCodesMeasure measure;
  measure.cutShort = !WalkRowCodes(codes, [&measure](RowCode, std::size_t count, std::span<const std::uint8_t>) {
    measure.pixels += count;
    return true;
  });
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
