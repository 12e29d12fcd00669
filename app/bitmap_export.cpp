#include "app/bitmap_export.h"

#include <cstdio>
#include <string>

#include "app/console_output.h"
#include "app/entry_reading.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "tessly/bmp.h"

namespace app {
namespace {

using namespace messages;
using tessly::ImageKind;

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

// Decodes the image, reporting each row that fails to read (it becomes
// skipped pixels), and writes its BMP file. False when the image is too
// large for memory or a write fails.
bool WriteBitmap(const tessly::Archive& archive, const tessly::GafFrameHeader& header, ImageKind kind,
                 FileSink& out) {
  tessly::DecodedImage image;
  const tessly::Status decoded = archive.DecodeImage(
      header, kind, image, [](tessly::Status problem, int) { PrintStatus(problem, Mode::Bitmaps); });
  return decoded == tessly::Status::Ok && tessly::WriteBmp(image, out) == tessly::Status::Ok && out.Flush();
}

// One image: whether it can be read, its name, the leave to write it, the
// file. `afterNo` is where the export goes on when the user declines the file.
Then ExportImage(OverwriteState& overwrite, const tessly::Archive& archive, const tessly::GafFrameHeader& header,
                 ImageKind kind, const std::string& target, Then afterNo) {
  const tessly::Status readable = archive.CheckImage(header, kind);
  if (readable != tessly::Status::Ok) {
    PrintStatus(readable, Mode::Bitmaps);
    return Then::NextImage;
  }
  FileSink out;
  switch (OpenOutput(target, kErrorOpeningBitmapToWrite, overwrite, out.file())) {
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
  PrintWith(WriteBitmap(archive, header, kind, out) ? kExported : kFailedToWrite, target);
  return Then::NextImage;
}

Then ExportSubframes(OverwriteState& overwrite, const tessly::Archive& archive, const tessly::Entry& entry,
                     const tessly::GafFrameHeader& frame, int k) {
  for (int j = 0; j < frame.subframeCount; ++j) {
    tessly::GafFrameHeader subframe;
    if (!ReadSubframe(archive, frame, j, subframe)) continue;
    // No for one subframe's file skips only that file.
    const Then then = ExportImage(overwrite, archive, subframe, ImageKind::Subframe,
                                  SubframeFileName(entry.name, k, j), Then::NextImage);
    if (then != Then::NextImage) return then;
  }
  return Then::NextImage;
}

}  // namespace

bool ExportEntryBitmaps(const Options& options, OverwriteState& overwrite, const tessly::Archive& archive,
                        std::int32_t index) {
  tessly::Entry entry;
  if (!ReadEntry(archive, index, entry) || !IsEntrySelected(options, archive, entry)) return true;
  for (int k = 0; k < entry.header.frameCount; ++k) {
    tessly::Frame frame;
    if (!ReadFrame(archive, entry, k, frame)) continue;
    // No for a frame's file ends the entry.
    const Then then = frame.header.subframeCount <= 0
                          ? ExportImage(overwrite, archive, frame.header, ImageKind::Frame,
                                        FrameFileName(entry.name, k), Then::NextEntry)
                          : ExportSubframes(overwrite, archive, entry, frame.header, k);
    if (then == Then::Quit) return false;
    if (then == Then::NextEntry) return true;
  }
  return true;
}

}  // namespace app
