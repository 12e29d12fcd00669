// An entry as stored: its headers and each image's rows exactly as a GAF
// file holds them. What the archive reader copies and the GAF writers write.
//
// Threads: plain values; one that no thread changes may be read by all.
#pragma once

#include <cstdint>
#include <vector>

#include "tessly/records.h"

namespace tessly {

// The second field of every frame-table element of a one-entry file.
constexpr std::uint32_t kWrittenFrameTableAux = 10;

// An image's rows exactly as stored, back to back: a compressed row is its
// 2-byte length and then its codes, a plain row its `width` pixels.
struct StoredImage {
  GafFrameHeader header{};  // as written, but for dataOffset; `height` rows are held
  std::vector<std::uint8_t> rows;
  // The number (in the order of entries, frames and subframes, from 0) of
  // an earlier image whose rows are these, so that they are stored once;
  // -1 for none.
  std::int32_t sharesRowsOf = -1;
};

// A frame: its header, and its rows or its subframes (an empty list makes
// the frame an image).
struct StoredFrame {
  StoredImage image;
  std::vector<StoredImage> subframes;
  std::uint32_t tableAux = 0;  // the frame-table element's second field, as read
};

// What a one-entry GAF file is written from.
struct StoredEntry {
  GafEntryHeader header{};  // as read
  std::vector<StoredFrame> frames;
};

// What a GAF archive of any number of entries is written from.
struct StoredArchive {
  std::uint32_t version = kGafVersion;
  std::uint32_t reserved = 0;
  std::vector<StoredEntry> entries;
};

}  // namespace tessly
