// Writes GAF archives from a description, and says where it put the
// records, so that a test can damage an archive at a chosen place.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace fixture {

using Bytes = std::vector<std::uint8_t>;

// An image header and its rows as stored: pixels, or a compressed row's
// codes (the builder adds the length word). `height` is written as given.
struct Image {
  std::int16_t width = 0, height = 0;
  std::uint8_t compressed = 0;
  std::vector<Bytes> rows;
  std::uint16_t aux1 = 0, aux2 = 0;
  std::uint8_t aux3 = 0;
  std::uint32_t aux4 = 0, aux5 = 0;
};

// The frame's header, its subframes (with none, the header's image is the
// frame's), and its frame table element's second field.
struct Frame {
  Image image;
  std::vector<Image> subframes;
  std::uint32_t aux = 0;
};

struct Entry {
  std::string name;
  std::vector<Frame> frames;
  std::uint16_t aux1 = 0;
  std::uint32_t aux2 = 0;
};

// Where the builder put entry e's header, and its frame k's header.
struct Layout {
  std::vector<std::uint32_t> entries;
  std::vector<std::vector<std::uint32_t>> frames;
};

// Stores `value` in `size` bytes at `at`, growing `bytes` as needed.
inline void Put(Bytes& bytes, std::size_t at, std::uint32_t value, std::size_t size = 4) {
  bytes.resize(std::max(bytes.size(), at + size));
  for (std::size_t i = 0; i < size; ++i) bytes[at + i] = i < 4 ? static_cast<std::uint8_t>(value >> (8 * i)) : 0;
}

// A 24-byte header, then its subframe table or its rows.
inline std::uint32_t AddImage(Bytes& out, const Image& image, std::size_t subframes) {
  const auto at = static_cast<std::uint32_t>(out.size());
  Put(out, at, std::uint16_t(image.width) | std::uint32_t(std::uint16_t(image.height)) << 16);
  Put(out, at + 4, image.aux1 | std::uint32_t(image.aux2) << 16);
  Put(out, at + 8, image.aux3 | image.compressed << 8 | std::uint32_t(subframes) << 16);
  Put(out, at + 12, image.aux4), Put(out, at + 16, at + 24), Put(out, at + 20, image.aux5);
  Put(out, at + 24, 0, 4 * subframes);
  for (const Bytes& row : subframes == 0 ? image.rows : std::vector<Bytes>{}) {
    if (image.compressed != 0) Put(out, out.size(), static_cast<std::uint32_t>(row.size()), 2);
    out.insert(out.end(), row.begin(), row.end());
  }
  return at;
}

// File header and entry table, then per entry its header and frame table,
// and per frame its image, or its header, subframe table and subframes.
inline Bytes BuildGaf(const std::vector<Entry>& entries, Layout* layout = nullptr) {
  Layout where;
  Bytes out;
  Put(out, 0, 0x00010100), Put(out, 4, static_cast<std::uint32_t>(entries.size())),
      Put(out, 8, 0, 4 + 4 * entries.size());
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const auto at = static_cast<std::uint32_t>(out.size());
    const std::vector<Frame>& frames = entries[e].frames;
    Put(out, 12 + 4 * e, at), Put(out, at, static_cast<std::uint32_t>(frames.size() | entries[e].aux1 << 16));
    Put(out, at + 4, entries[e].aux2), Put(out, at + 8, 0, 32 + 8 * frames.size());
    std::copy_n(entries[e].name.begin(), std::min<std::size_t>(entries[e].name.size(), 32), out.begin() + at + 8);
    where.entries.push_back(at), where.frames.emplace_back();
    for (std::size_t k = 0; k < frames.size(); ++k) {
      const std::vector<Image>& subframes = frames[k].subframes;
      const std::uint32_t header = AddImage(out, frames[k].image, subframes.size());
      Put(out, at + 40 + 8 * k, header), Put(out, at + 44 + 8 * k, frames[k].aux), where.frames[e].push_back(header);
      for (std::size_t j = 0; j < subframes.size(); ++j) Put(out, header + 24 + 4 * j, AddImage(out, subframes[j], 0));
    }
  }
  if (layout != nullptr) *layout = where;
  return out;
}

// An archive in the standard layout: header and entry table; every image's
// rows (a compressed row's codes after their length), a frame of subframes
// putting its table of header offsets first, shared rows stored once; zeros
// to a multiple of 4; frame headers, each followed by its subframes'; entry
// headers, each followed by its frame table. `shares` maps an image's number
// in that order to the earlier image whose rows it points at.
inline Bytes BuildStandardGaf(const std::vector<Entry>& entries, std::map<int, int> shares = {}) {
  Bytes out;
  Put(out, 0, 0x00010100), Put(out, 4, std::uint32_t(entries.size())), Put(out, 8, 0);
  out.resize(12 + 4 * entries.size());
  std::vector<std::uint32_t> rowsAt, tables;  // by image, by frame
  std::vector<const Image*> images;
  const auto addRows = [&](const Image& image) {
    const int n = int(images.size());
    images.push_back(&image);
    rowsAt.push_back(shares.count(n) ? rowsAt[shares[n]] : std::uint32_t(out.size()));
    for (const Bytes& row : shares.count(n) ? std::vector<Bytes>{} : image.rows) {
      if (image.compressed) Put(out, out.size(), std::uint32_t(row.size()), 2);
      out.insert(out.end(), row.begin(), row.end());
    }
  };
  for (const Entry& entry : entries) {
    for (const Frame& frame : entry.frames) {
      tables.push_back(std::uint32_t(out.size()));
      out.resize(out.size() + 4 * frame.subframes.size());
      if (frame.subframes.empty()) addRows(frame.image);
      for (const Image& subframe : frame.subframes) addRows(subframe);
    }
  }
  out.resize((out.size() + 3) / 4 * 4);
  const auto header = [&out](const Image& image, std::size_t subframes, std::uint32_t data) {
    const auto at = std::uint32_t(out.size());
    Put(out, at, std::uint16_t(image.width) | std::uint32_t(std::uint16_t(image.height)) << 16);
    Put(out, at + 4, image.aux1 | std::uint32_t(image.aux2) << 16);
    Put(out, at + 8, image.aux3 | image.compressed << 8 | std::uint32_t(subframes) << 16);
    Put(out, at + 12, image.aux4), Put(out, at + 16, data), Put(out, at + 20, image.aux5);
    return at;
  };
  std::vector<std::uint32_t> frameAt;
  std::size_t image = 0, frameNumber = 0;
  for (const Entry& entry : entries) {
    for (const Frame& frame : entry.frames) {
      const std::size_t table = tables[frameNumber++];
      frameAt.push_back(header(frame.image, frame.subframes.size(), frame.subframes.empty() ? rowsAt[image++] : table));
      for (std::size_t j = 0; j < frame.subframes.size(); ++j) {
        Put(out, table + 4 * j, header(frame.subframes[j], 0, rowsAt[image++]));
      }
    }
  }
  frameNumber = 0;
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const auto at = std::uint32_t(out.size());
    Put(out, 12 + 4 * e, at);
    Put(out, at, std::uint32_t(entries[e].frames.size()) | std::uint32_t(entries[e].aux1) << 16);
    Put(out, at + 4, entries[e].aux2), Put(out, at + 8, 0, 32);
    std::copy(entries[e].name.begin(), entries[e].name.end(), out.begin() + at + 8);
    for (const Frame& frame : entries[e].frames) {
      Put(out, out.size(), frameAt[frameNumber++]), Put(out, out.size(), frame.aux);
    }
  }
  return out;
}

// An uncompressed image whose pixel (x, y) is (seed + x + 3y) mod 256.
inline Image PlainImage(std::int16_t width, std::int16_t height, std::uint8_t seed = 0) {
  Image image{width, height, 0, std::vector<Bytes>(static_cast<std::size_t>(height), Bytes(std::size_t(width)))};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.rows[std::size_t(y)][std::size_t(x)] = std::uint8_t(seed + x + 3 * y);
  }
  return image;
}

inline bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  return static_cast<bool>(out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())));
}

}  // namespace fixture
