// Row-code expansion on rows shaped like sprites: long skips at the edges,
// short literals and repeats inside. Reports decoded pixels per second as
// bytes_per_second (one byte a pixel).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "tessly/row_codes.h"
#include "tools/gaf_builder.h"
#include "tools/row_encoder.h"

namespace {

struct Row {
  std::vector<std::uint8_t> codes;
  std::size_t width;
};

std::vector<Row> SpriteRows(std::size_t width) {
  std::mt19937 random(7);
  std::vector<Row> rows;
  for (int r = 0; r < 256; ++r) {
    std::vector<std::uint8_t> pixels(width, 0);
    const std::size_t edge = width / 5 + random() % (width / 5 + 1);
    std::uint8_t colour = static_cast<std::uint8_t>(16 + random() % 200);
    for (std::size_t x = edge; x + edge < width; ++x) {
      if (random() % 7 == 0) colour = static_cast<std::uint8_t>(16 + random() % 200);
      pixels[x] = random() % 5 == 0 ? static_cast<std::uint8_t>(16 + random() % 200) : colour;
    }
    rows.push_back({tools::EncodeRow(pixels, 0), width});
  }
  return rows;
}

void ExpandSpriteRows(benchmark::State& state) {
  const auto width = static_cast<std::size_t>(state.range(0));
  const std::vector<Row> rows = SpriteRows(width);
  std::vector<std::uint8_t> out(width);
  std::size_t pixels = 0;
  for (auto _ : state) {
    for (const Row& row : rows) {
      tessly::ExpandRowCodes(row.codes, out);
      benchmark::DoNotOptimize(out.data());
      pixels += row.width;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(pixels));
}

BENCHMARK(ExpandSpriteRows)->Arg(8)->Arg(32)->Arg(64)->Arg(128)->Arg(256);

}  // namespace

BENCHMARK_MAIN();
