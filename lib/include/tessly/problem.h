// The one record of what went wrong and where, besides a status: a piece
// that failed to read while a step went on, a description or image file
// that cannot be used, an archive that does not read back as it was
// packed, and each finding of the checker are all Problems. The library
// fills in what it knows; a program turns a Problem into its one line.
//
// Threads: a plain value.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tessly/palette.h"
#include "tessly/status.h"

namespace tessly {

struct Problem {
  Status status = Status::Ok;  // what went wrong

  // Where, from 0; -1 for a piece that it does not name.
  std::int32_t entry = -1;
  std::string entryName;  // the entry's name, when its header read
  int frame = -1;
  int subframe = -1;
  int row = -1;
  std::int64_t byte = -1;  // the byte of the archive

  // The values its text needs.
  std::int64_t value = 0;  // a count, an offset or a field as read
  std::string detail;      // words: a description's key and its value, the piece that differs
  int x = -1, y = -1;      // a pixel of an image file, from the top left
  Colour colour;           // and what it holds
  std::uint8_t alpha = 255;
};

// Told of each piece that failed to read while a step went on (`status`,
// and `row` for a row). An empty one is not told.
using ProblemReport = std::function<void(const Problem& problem)>;

}  // namespace tessly
