// Writes the speed benchmark's workloads, the same for the same seed:
//   make_workload DIRECTORY [SEED]
// DIRECTORY/a/big.gaf:      about 150 MB, about 20,000 entries of 1 to 8 frames
// DIRECTORY/b/NNNN.gaf:     2,000 archives of about 50 KB
// Images run from 8x8 to 256x256, mostly small as sprites are; about two in
// three are row-compressed; some frames are made of subframes. Compressed
// rows look like sprites: long skips at the edges, short literals and
// repeats inside.
#include <cstdio>
#include <random>
#include <string>

#include "tools/gaf_builder.h"
#include "tools/row_encoder.h"

namespace {

using fixture::Bytes;

class Sprites {
 public:
  explicit Sprites(unsigned seed) : random_(seed) {}

  // A side from 8 to 256, small ones far more often.
  std::int16_t Side() {
    const double u = Uniform();
    return static_cast<std::int16_t>(8 + static_cast<int>(u * u * u * u * u * 248));
  }

  fixture::Image Image() {
    const std::int16_t width = Side(), height = Side();
    std::vector<Bytes> rows = Pixels(width, height);
    if (Uniform() < 0.33) {
      fixture::Image image;
      image.width = width;
      image.height = height;
      image.rows = std::move(rows);
      return image;
    }
    return tools::CompressedImage(width, rows, kTransparent);
  }

  fixture::Frame Frame() {
    if (Uniform() < 0.1) {
      std::vector<fixture::Image> subframes;
      const int count = 2 + static_cast<int>(Uniform() * 3);
      for (int j = 0; j < count; ++j) subframes.push_back(Image());
      return tools::WithSubframes(std::move(subframes));
    }
    return fixture::Frame{Image()};
  }

  fixture::Entry Entry(const std::string& name) {
    fixture::Entry entry{name, {}};
    const int frames = 1 + static_cast<int>(Uniform() * 8);
    for (int k = 0; k < frames; ++k) entry.frames.push_back(Frame());
    return entry;
  }

 private:
  static constexpr std::uint8_t kTransparent = 0;

  double Uniform() { return std::uniform_real_distribution<double>(0, 1)(random_); }
  std::uint8_t Colour() { return static_cast<std::uint8_t>(16 + random_() % 224); }

  // An irregular blob on a transparent background: runs of a few colours
  // with some single pixels of detail.
  std::vector<Bytes> Pixels(int width, int height) {
    std::vector<Bytes> rows;
    const double cx = width / 2.0, cy = height / 2.0;
    std::uint8_t colour = Colour();
    for (int y = 0; y < height; ++y) {
      Bytes row(static_cast<std::size_t>(width), kTransparent);
      const double dy = (y - cy) / cy;
      const double half = cx * (0.55 + 0.35 * Uniform()) * std::max(0.0, 1 - dy * dy);
      const int from = static_cast<int>(cx - half), to = static_cast<int>(cx + half);
      for (int x = std::max(from, 0); x < std::min(to, width); ++x) {
        if (Uniform() < 0.15) colour = Colour();
        row[static_cast<std::size_t>(x)] = Uniform() < 0.2 ? Colour() : colour;
      }
      rows.push_back(std::move(row));
    }
    return rows;
  }

  std::mt19937 random_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_workload DIRECTORY [SEED]\n");
    return 2;
  }
  const std::string directory = argv[1];
  Sprites sprites(argc > 2 ? static_cast<unsigned>(std::stoul(argv[2])) : 20261207u);

  std::vector<fixture::Entry> big;
  for (int e = 0; e < 20000; ++e) big.push_back(sprites.Entry("SPRITE" + std::to_string(e)));
  if (!fixture::WriteFile(directory + "/a/big.gaf", fixture::BuildGaf(big))) return 1;
  big.clear();

  for (int a = 0; a < 2000; ++a) {
    std::vector<fixture::Entry> entries;
    std::size_t size = 0;
    for (int e = 0; size < 50000; ++e) {
      entries.push_back(sprites.Entry("A" + std::to_string(a) + "E" + std::to_string(e)));
      size = fixture::BuildGaf(entries).size();
      if (size > 65000 && entries.size() > 1) entries.pop_back();
      if (size > 65000) break;
    }
    char name[32];
    std::snprintf(name, sizeof name, "/b/%04d.gaf", a);
    if (!fixture::WriteFile(directory + name, fixture::BuildGaf(entries))) return 1;
  }
  return 0;
}
