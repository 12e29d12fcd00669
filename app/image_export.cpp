#include "app/image_export.h"

#include <functional>
#include <string>
#include <string_view>

#include "app/console_output.h"
#include "app/entry_reading.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "tessly/bmp.h"
#include "tessly/description.h"
#include "tessly/png.h"

namespace app {
namespace {

using namespace messages;

// Where the export goes on after an image.
enum class Then { NextImage, NextEntry, Quit };

// Decodes the image, reporting each row that fails to read (it becomes
// skipped pixels), and writes its file into `out`. False when the image is
// too large for memory or a write fails.
bool WriteImage(const Options& options, ImageWork& work, const tessly::Archive& archive,
                const tessly::ImageSlot& slot, tessly::ByteSink& out) {
  const tessly::Status decoded = archive.DecodeImage(
      slot.header, slot.kind(), work.image, [](const tessly::Problem& problem) { PrintStatus(problem.status, Mode::Bitmaps); });
  if (decoded != tessly::Status::Ok) return false;
  const tessly::Status written = options.pngFiles ? tessly::WritePng(work.image, work.palette, out)
                                                  : tessly::WriteBmp(work.image, work.palette, out);
  return written == tessly::Status::Ok;
}

// One image: whether its header read and it can be decoded, the leave to
// write it, the file. No for a frame's own file ends the entry; for a
// subframe's, it skips only that file.
Then ExportImage(const Options& options, OverwriteState& overwrite, ImageWork& work, const tessly::Archive& archive,
                 const tessly::Entry& entry, const tessly::ImageSlot& slot) {
  const tessly::Status readable =
      slot.status != tessly::Status::Ok ? slot.status : archive.CheckImage(slot.header, slot.kind());
  if (readable != tessly::Status::Ok) {
    PrintStatus(readable, Mode::Bitmaps);
    return Then::NextImage;
  }
  const std::string& stem = options.describeEntries ? work.stem : entry.name;
  const platform::OutputName target = OutputIn(options, ImageOutputName(options, stem, slot.frame, slot.subframe));
  const auto write = [&](tessly::ByteSink& out) { return WriteImage(options, work, archive, slot, out); };
  switch (WriteOutputFile(target, kErrorOpeningBitmapToWrite, overwrite, work.out, write).status) {
    case OutputStatus::Open:
    case OutputStatus::CannotOpen:
      return Then::NextImage;
    case OutputStatus::Declined:
      return slot.kind() == tessly::ImageKind::Frame ? Then::NextEntry : Then::NextImage;
    case OutputStatus::Skipped:
      return Then::NextEntry;
    case OutputStatus::Quit:
      break;
  }
  return Then::Quit;
}

// Every image of the entry. False only when the user answered Quit.
bool ExportImages(const Options& options, OverwriteState& overwrite, ImageWork& work, const tessly::Archive& archive,
                  const tessly::Entry& entry) {
  for (int k = 0; k < entry.header.frameCount; ++k) {
    if (!ReadFrameAndSubframes(archive, entry, k, work.layout)) continue;
    for (const tessly::ImageSlot& slot : work.layout.images) {
      const Then then = ExportImage(options, overwrite, work, archive, entry, slot);
      if (then != Then::NextImage) return then != Then::Quit;
    }
  }
  return true;
}

// Writes one description file, as the images are written. False only when
// the user answered Quit.
bool ExportJson(OverwriteState& overwrite, ImageWork& work, const platform::OutputName& target,
                const std::function<tessly::Status(tessly::ByteSink&)>& write) {
  const auto written = [&write](tessly::ByteSink& out) { return write(out) == tessly::Status::Ok; };
  return WriteOutputFile(target, kErrorOpeningBitmapToWrite, overwrite, work.out, written).status != OutputStatus::Quit;
}

// NAME.json, which describes the entry as it stands in the archive. False
// only when the user answered Quit.
bool ExportDescription(const Options& options, OverwriteState& overwrite, ImageWork& work) {
  const platform::OutputName target = OutputIn(options, EntryDescriptionName(work.stem));
  // Listed in the archive's description also when the user kept an existing file.
  work.archive.entries.push_back(target.name);
  return ExportJson(overwrite, work, target,
                    [&work](tessly::ByteSink& sink) { return tessly::WriteEntryDescription(work.entry, sink); });
}

}  // namespace

void StartArchive(ImageWork& work, std::uint32_t version) {
  work.users.clear();
  work.stems.clear();
  work.archive = {version, {}};
}

bool ExportEntryImages(const Options& options, OverwriteState& overwrite, ImageWork& work,
                       const tessly::Archive& archive, std::int32_t index) {
  tessly::Entry entry;
  if (!ReadEntry(archive, index, entry)) return true;
  // Every entry read counts for the images that share pixel data, exported or not.
  if (options.describeEntries) {
    work.stem = tessly::EntryFileStem(entry.name, index, work.stems);
    if (tessly::DescribeEntry(archive, entry, work.stem, ImageExtension(options), work.users, work.entry) !=
        tessly::Status::Ok) {
      return true;
    }
  }
  if (!IsEntrySelected(options, archive, entry)) return true;
  if (!ExportImages(options, overwrite, work, archive, entry)) return false;
  return !options.describeEntries || ExportDescription(options, overwrite, work);
}

bool ExportArchiveDescription(const Options& options, OverwriteState& overwrite, ImageWork& work,
                              const std::string& archiveName) {
  return !options.describeEntries ||
         ExportJson(overwrite, work, OutputIn(options, ArchiveDescriptionName(archiveName)),
                    [&work](tessly::ByteSink& sink) { return tessly::WriteArchiveDescription(work.archive, sink); });
}

}  // namespace app
