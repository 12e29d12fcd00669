#include "app/bitmap_export.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "app/console_output.h"
#include "app/entry_reading.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "bmp/bmp_layout.h"
#include "bmp/palette.h"
#include "gaf/row_codes.h"

namespace app {
namespace {

using namespace messages;

// Where the export goes on after an image.
enum class Then { NextImage, NextEntry, Quit };

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
  const auto width = static_cast<std::uint16_t>(header.width);
  const std::size_t stride = bmp::BmpRowStride(width);
  std::vector<std::uint8_t> codes;
  for (int r = 0; r < header.height; ++r) {
    const std::span<std::uint8_t> row(pixels + stride * static_cast<std::size_t>(header.height - 1 - r), width);
    if (header.compressed == 0) {
      if (!in.Read(row.data(), width)) {
        Print(kErrorReadingPixelData);
        std::memset(row.data(), gaf::kSkippedPixel, width);
      }
      continue;
    }
    std::uint16_t length = 0;  // stays 0 when it cannot be read
    if (!in.Read(length)) {
      Print(kErrorReadingPixelDataLength);
    } else {
      codes.resize(length);
      if (!in.Read(codes.data(), length)) {
        Print(kErrorReadingCompressedPixelData);
        length = 0;
      }
    }
    gaf::ExpandRowCodes(std::span(codes.data(), length), row);
  }
}

// One image: its pixel data, its name, the leave to write it, the file.
// `afterNo` is where the export goes on when the user declines the file.
Then ExportImage(OverwriteState& overwrite, gaf::ArchiveReader& file, const gaf::GafFrameHeader& header,
                 const std::string& target, std::string_view pixelSeekFailure, Then afterNo) {
  if (!gaf::IsImageSizeInRange(header)) {
    Print(kImageSizeOutOfRange);
    return Then::NextImage;
  }
  if (!file.Seek(header.dataOffset)) {
    Print(pixelSeekFailure);
    return Then::NextImage;
  }
  platform::File out;
  switch (OpenOutput(target, kErrorOpeningBitmapToWrite, overwrite, out)) {
    case OutputStatus::Open:
      break;
    case OutputStatus::CannotOpen:
      return Then::NextImage;
    case OutputStatus::Declined:
      return afterNo;
    case OutputStatus::Skipped:
      return Then::NextEntry;
    case OutputStatus::Quit:
      return Then::Quit;
  }
  PrintWith(WriteBitmap(out, file, header) ? kExported : kFailedToWrite, target);
  return Then::NextImage;
}

Then ExportSubframes(OverwriteState& overwrite, gaf::ArchiveReader& file, const EntryStart& entry,
                     const gaf::GafFrameHeader& frame, int k) {
  for (int j = 0; j < frame.subframeCount; ++j) {
    gaf::GafFrameHeader subframe;
    if (!ReadSubframeHeader(file, frame, j, subframe)) continue;
    // No for one subframe's file skips only that file.
    const Then then = ExportImage(overwrite, file, subframe, SubframeFileName(entry.name, k, j),
                                  kErrorAccessingSubframePixelData, Then::NextImage);
    if (then != Then::NextImage) return then;
  }
  return Then::NextImage;
}

}  // namespace

bool ExportEntryBitmaps(const Options& options, OverwriteState& overwrite, gaf::ArchiveReader& file) {
  EntryStart entry;
  if (!ReadEntryStart(file, entry) || !IsEntrySelected(options, file, entry)) return true;
  for (int k = 0; k < entry.header.frameCount; ++k) {
    gaf::GafFrameHeader frame;
    if (!ReadFrameHeader(file, entry.offset, k, frame)) continue;
    // No for a frame's file ends the entry.
    const Then then = frame.subframeCount <= 0
                          ? ExportImage(overwrite, file, frame, FrameFileName(entry.name, k),
                                        kErrorAccessingFramePixelData, Then::NextEntry)
                          : ExportSubframes(overwrite, file, entry, frame, k);
    if (then == Then::Quit) return false;
    if (then == Then::NextEntry) return true;
  }
  return true;
}

bool WriteBitmap(platform::File& out, gaf::ArchiveReader& in, const gaf::GafFrameHeader& header) {
  const auto width = static_cast<std::uint16_t>(header.width);
  const auto height = static_cast<std::uint16_t>(header.height);
  // The whole file is put together in memory and written at once. An image
  // too large for the memory at hand cannot be written.
  std::vector<std::uint8_t> file;
  try {
    file.resize(bmp::BmpFileSize(width, height));
  } catch (const std::bad_alloc&) {
    return false;
  }
  bmp::EncodeBmpHeaders(width, height, file.data());
  std::memcpy(file.data() + bmp::kBmpHeadersSize, bmp::BuiltInPalette.data(), bmp::BuiltInPalette.size());
  ReadRowsInto(in, header, file.data() + bmp::kBmpPixelsOffset);
  return platform::WriteAll(out, file.data(), file.size());
}

}  // namespace app
