#include "export/bitmap_export.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "app/console_output.h"
#include "export/bmp_layout.h"
#include "export/entry_reading.h"
#include "export/output_file.h"
#include "export/palette.h"
#include "gaf/row_codes.h"

namespace exporter {
namespace {

using app::Print;
using app::PrintWith;

enum class Next { Image, Entry, Quit };

std::string FrameFileName(const std::string& entryName, int k) {
  char number[16];
  std::snprintf(number, sizeof number, "%02d", k);
  return entryName + number + ".BMP";
}

std::string SubframeFileName(const std::string& entryName, int k, int j) {
  char numbers[32];
  std::snprintf(numbers, sizeof numbers, "%02d_%02d", k, j);
  return entryName + numbers + ".BMP";
}

// Reads `height` rows into their places in the BMP, bottom row last in the
// file, so the first row read is the last row stored. A row that fails to
// read becomes skipped pixels, so that the file keeps the height its headers
// give and every other row stays in place.
void ReadRowsInto(gaf::ArchiveReader& in, const gaf::GafFrameHeader& header, std::uint8_t* pixels) {
  const std::size_t width = static_cast<std::size_t>(header.width);
  const std::size_t stride = BmpRowStride(header.width);
  std::vector<std::uint8_t> codes;
  for (int r = 0; r < header.height; ++r) {
    const std::span<std::uint8_t> row(pixels + stride * static_cast<std::size_t>(header.height - 1 - r), width);
    if (header.compressed == 0) {
      if (!in.Read(row.data(), width)) {
        Print(" error reading pixel data\n");
        std::memset(row.data(), gaf::kSkippedPixel, width);
      }
      continue;
    }
    std::uint16_t length = 0;
    if (!in.Read(length)) {
      Print(" error reading pixel data length\n");
      length = 0;
    } else {
      codes.resize(length);
      if (!in.Read(codes.data(), length)) {
        Print(" error reading compressed pixel data\n");
        length = 0;
      }
    }
    gaf::ExpandRowCodes(std::span(codes.data(), length), row);
  }
}

// One image: its pixel data, its name, the leave to write it, the file.
Next ExportImage(app::Options& options, gaf::ArchiveReader& file, const gaf::GafFrameHeader& header,
                 const std::string& target, std::string_view pixelSeekFailure, Next afterDeclined) {
  if (header.width < 0 || header.height < 0) {
    Print(kImageSizeOutOfRange);
    return Next::Image;
  }
  if (!file.Seek(header.dataOffset)) {
    Print(pixelSeekFailure);
    return Next::Image;
  }
  platform::File out;
  switch (OpenOutput(target, options, out)) {
    case OutputStatus::Open:
      break;
    case OutputStatus::CannotOpen:
      PrintWith(" error opening %s to write\n", target);
      return Next::Image;
    case OutputStatus::Declined:
      return afterDeclined;
    case OutputStatus::Skipped:
      return Next::Entry;
    case OutputStatus::Quit:
      return Next::Quit;
  }
  PrintWith(WriteBitmap(out, file, header) ? "  Exported %s\n" : "  Failed to write %s\n", target);
  return Next::Image;
}

Next ExportSubframes(app::Options& options, gaf::ArchiveReader& file, const EntryStart& entry,
                     const gaf::GafFrameHeader& frame, int k) {
  for (int j = 0; j < frame.subframeCount; ++j) {
    gaf::GafFrameHeader subframe;
    if (!ReadSubframeHeader(file, frame, j, subframe)) continue;
    // No for one subframe's file skips only that file.
    const Next next = ExportImage(options, file, subframe, SubframeFileName(entry.name, k, j),
                                  " error accessing subframe pixel data\n", Next::Image);
    if (next != Next::Image) return next;
  }
  return Next::Image;
}

}  // namespace

bool ExportEntryBitmaps(app::Options& options, gaf::ArchiveReader& file) {
  EntryStart entry;
  if (!ReadEntryStart(file, entry) || !IsEntrySelected(options, file, entry)) return true;
  for (int k = 0; k < entry.header.frameCount; ++k) {
    gaf::GafFrameHeader frame;
    if (!ReadFrameHeader(file, entry.offset, k, frame)) continue;
    // No for a frame's file ends the entry.
    const Next next = frame.subframeCount <= 0 ? ExportImage(options, file, frame, FrameFileName(entry.name, k),
                                                             " error accessing frame pixel data\n", Next::Entry)
                                               : ExportSubframes(options, file, entry, frame, k);
    if (next == Next::Quit) return false;
    if (next == Next::Entry) return true;
  }
  return true;
}

bool WriteBitmap(platform::File& out, gaf::ArchiveReader& in, const gaf::GafFrameHeader& header) {
  // The whole file is put together in memory and written at once. An image
  // too large for the memory at hand cannot be written.
  std::vector<std::uint8_t> bmp;
  try {
    bmp.resize(BmpFileSize(header.width, header.height));
  } catch (const std::bad_alloc&) {
    return false;
  }
  EncodeBmpHeaders(header.width, header.height, bmp.data());
  std::memcpy(bmp.data() + kBmpHeadersSize, BuiltInPalette.data(), BuiltInPalette.size());
  ReadRowsInto(in, header, bmp.data() + kBmpPixelsOffset);
  return platform::WriteAll(out, bmp.data(), bmp.size());
}

}  // namespace exporter
