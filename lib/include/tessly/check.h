// Checking an archive: every record, table and row that the archive holds,
// read as extraction reads them and measured against the file, gives
// findings. An error is damage (extraction fails or reads what is not
// there); a warning is something that reads but is off; a note says what
// --pack would do differently.
//
// Threads: any number may check at once.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tessly/archive.h"
#include "tessly/problem.h"
#include "tessly/status.h"

namespace tessly {

enum class Severity { Error, Warning, Note };

enum class FindingKind {
  // Errors.
  HeaderUnreadable,        // the file is shorter than a file header
  VersionRefused,          // value: the version
  EntryCountNegative,      // value: the count
  FrameCountNegative,      // value: the count
  SubframeCountNegative,   // value: the count
  EntryTableOutside,       // the entry's element of the entry offset table
  EntryHeaderOutside,      // value: the entry header's offset
  FrameTableOutside,       // the frame's element of the frame table
  FrameHeaderOutside,      // value: the frame header's offset
  SubframeTableOutside,    // the subframe's element of the subframe table
  SubframeHeaderOutside,   // value: the subframe header's offset
  SizeNegative,            // a width or height below 0
  PixelDataOutside,        // a plain row, or a compressed row's length, past the end of the file
  RowPastFile,             // value: the row; its length runs past the end of the file
  RowCodesPastLength,      // value: the row; a code's bytes lie past the row's length
  NestedSubframes,         // value: the count a subframe's header gives
  ImageTooLarge,           // value: its pixels, more than the reader's limit
  NameWithSlash,           // the name holds / or \, so that no system can name its files
  ReadFailed,              // any other failure of extraction: `status` says which
  // Warnings.
  NameRepeated,            // value: the earlier entry of the same name
  NameRepeatedButCase,     // value: the earlier entry whose name differs only in case
  NameNotAFileName,        // the name cannot name a file on Windows
  NameWithoutNul,          // all 32 bytes of the name field are the name
  RowPastWidth,            // value: the row; its codes give more pixels than the width
  PixelDataOverlaps,       // value: the offset of the other image's pixel data
  UnusedBytes,             // value: how many bytes from the offset on no record or row uses
  TransparencyNot9,        // value: the transparency field
  // Notes.
  NotRebuiltByteForByte,   // --pack would write this archive otherwise
};

// A finding is a problem of a kind: where it applies (entry, frame,
// subframe, and always the byte of the file), `value` for the number that
// the kind's text gives, and `status` for ReadFailed.
struct Finding : Problem {
  FindingKind kind = FindingKind::ReadFailed;
};

// The kinds are in the order of their severities; a value that is no
// kind is an error.
Severity SeverityOf(FindingKind kind);

// Checks the whole archive file `file`, appending the findings in the
// order of the file's walk (entries, then their frames and subframes), then
// the findings about the file as a whole. With `noteRebuild`, also whether
// an archive without errors would come back byte for byte from --png
// --json and --pack (which costs a rebuild in memory). Ok, or OutOfMemory
// with the findings so far.
Status CheckArchive(std::span<const std::uint8_t> file, const Limits& limits, bool noteRebuild,
                    std::vector<Finding>& findings);

}  // namespace tessly
