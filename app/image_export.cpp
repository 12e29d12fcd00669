#include "app/image_export.h"

#include <string>
#include <string_view>

#include "app/console_output.h"
#include "app/entry_reading.h"
#include "app/file_sink.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "tessly/bmp.h"
#include "tessly/description.h"
#include "tessly/png.h"

namespace app {
namespace {

using namespace messages;
using tessly::ImageKind;

// Where the export goes on after an image.
enum class Then { NextImage, NextEntry, Quit };

std::string_view ImageExtension(const Options& options) { return options.pngFiles ? ".PNG" : ".BMP"; }

// Decodes the image, reporting each row that fails to read (it becomes
// skipped pixels), and writes its file. False when the image is too large
// for memory or a write fails.
bool WriteImage(const Options& options, const tessly::Archive& archive, const tessly::GafFrameHeader& header,
                ImageKind kind, FileSink& out) {
  tessly::DecodedImage image;
  const tessly::Status decoded = archive.DecodeImage(
      header, kind, image, [](tessly::Status problem, int) { PrintStatus(problem, Mode::Bitmaps); });
  if (decoded != tessly::Status::Ok) return false;
  const tessly::Status written = options.pngFiles ? tessly::WritePng(image, out) : tessly::WriteBmp(image, out);
  return written == tessly::Status::Ok && out.Flush();
}

// One image: whether it can be read, the leave to write it, the file.
// `afterNo` is where the export goes on when the user declines the file.
Then ExportImage(const Options& options, OverwriteState& overwrite, const tessly::Archive& archive,
                 const tessly::GafFrameHeader& header, ImageKind kind, const std::string& target, Then afterNo) {
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
  PrintWith(WriteImage(options, archive, header, kind, out) ? kExported : kFailedToWrite, target);
  return Then::NextImage;
}

Then ExportSubframes(const Options& options, OverwriteState& overwrite, const tessly::Archive& archive,
                     const tessly::Entry& entry, const tessly::GafFrameHeader& frame, int k) {
  for (int j = 0; j < frame.subframeCount; ++j) {
    tessly::GafFrameHeader subframe;
    if (!ReadSubframe(archive, frame, j, subframe)) continue;
    // No for one subframe's file skips only that file.
    const Then then = ExportImage(options, overwrite, archive, subframe, ImageKind::Subframe,
                                  tessly::ImageFileName(entry.name, k, j, ImageExtension(options)), Then::NextImage);
    if (then != Then::NextImage) return then;
  }
  return Then::NextImage;
}

// Every image of the entry. False only when the user answered Quit.
bool ExportImages(const Options& options, OverwriteState& overwrite, const tessly::Archive& archive,
                  const tessly::Entry& entry) {
  for (int k = 0; k < entry.header.frameCount; ++k) {
    tessly::Frame frame;
    if (!ReadFrame(archive, entry, k, frame)) continue;
    // No for a frame's file ends the entry.
    const Then then =
        frame.header.subframeCount <= 0
            ? ExportImage(options, overwrite, archive, frame.header, ImageKind::Frame,
                          tessly::ImageFileName(entry.name, k, -1, ImageExtension(options)), Then::NextEntry)
            : ExportSubframes(options, overwrite, archive, entry, frame.header, k);
    if (then != Then::NextImage) return then != Then::Quit;
  }
  return true;
}

// NAME.json, which describes the entry as it stands in the archive. False
// only when the user answered Quit.
bool ExportDescription(const Options& options, OverwriteState& overwrite, const tessly::Archive& archive,
                       const tessly::Entry& entry) {
  const std::string target = entry.name + ".json";
  FileSink out;
  const OutputStatus status = OpenOutput(target, kErrorOpeningBitmapToWrite, overwrite, out.file());
  if (status != OutputStatus::Open) return status != OutputStatus::Quit;
  const bool written =
      tessly::WriteEntryDescription(archive, entry, ImageExtension(options), out) == tessly::Status::Ok && out.Flush();
  PrintWith(written ? kExported : kFailedToWrite, target);
  return true;
}

}  // namespace

bool ExportEntryImages(const Options& options, OverwriteState& overwrite, const tessly::Archive& archive,
                       std::int32_t index) {
  tessly::Entry entry;
  if (!ReadEntry(archive, index, entry) || !IsEntrySelected(options, archive, entry)) return true;
  if (!ExportImages(options, overwrite, archive, entry)) return false;
  return !options.describeEntries || ExportDescription(options, overwrite, archive, entry);
}

}  // namespace app
