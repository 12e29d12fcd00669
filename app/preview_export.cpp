#include "app/preview_export.h"

#include <functional>
#include <string>
#include <vector>

#include "app/console_output.h"
#include "app/entry_reading.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "tessly/description.h"
#include "tessly/draw.h"
#include "tessly/gif.h"
#include "tessly/png.h"
#include "tessly/sheet.h"

namespace app {
namespace {

using namespace messages;

// The frames of an entry: each one's geometry, and whether it can be drawn
// (one that cannot is an empty frame).
struct EntryFrames {
  std::vector<tessly::FrameGeometry> geometry;
  std::vector<bool> drawable;
  int drawableCount = 0;
};

EntryFrames ReadFrames(const tessly::Archive& archive, const tessly::Entry& entry) {
  EntryFrames frames;
  for (int k = 0; k < entry.header.frameCount; ++k) {
    tessly::FrameGeometry geometry;
    const tessly::Status read = tessly::ReadFrameGeometry(archive, entry, k, geometry);
    if (read != tessly::Status::Ok) PrintStatus(read, Mode::Bitmaps);
    frames.geometry.push_back(read == tessly::Status::Ok ? geometry : tessly::FrameGeometry{});
    frames.drawable.push_back(read == tessly::Status::Ok);
    frames.drawableCount += read == tessly::Status::Ok ? 1 : 0;
  }
  return frames;
}

tessly::FrameDrawer Drawer(const tessly::Archive& archive, const tessly::Entry& entry, const EntryFrames& frames) {
  return [&archive, &entry, &frames](std::size_t k, tessly::DecodedImage& image) {
    if (!frames.drawable[k]) {
      image = {};
      return tessly::Status::Ok;
    }
    return tessly::DrawFrame(archive, entry, static_cast<int>(k), image,
                             [](const tessly::Problem& problem) { PrintStatus(problem.status, Mode::Bitmaps); });
  };
}

// Asks for and writes one file. False only when the user answered Quit;
// `written` says whether the entry goes on.
bool WriteOutput(OverwriteState& overwrite, ImageWork& work, const platform::OutputName& target,
                 const std::function<tessly::Status(tessly::ByteSink&)>& write, bool& written) {
  const auto filled = [&write](tessly::ByteSink& out) { return write(out) == tessly::Status::Ok; };
  const OutputResult result = WriteOutputFile(target, kErrorOpeningBitmapToWrite, overwrite, work.out, filled);
  written = result.written;
  return result.status != OutputStatus::Quit;
}

bool ExportGif(const Options& options, OverwriteState& overwrite, ImageWork& work, const tessly::Archive& archive,
               const tessly::Entry& entry, const EntryFrames& frames) {
  tessly::CanvasPlan plan;
  if (tessly::PlanAnimation(frames.geometry, plan) != tessly::Status::Ok) {
    return PrintWith(kCanvasTooLarge, work.stem), true;
  }
  bool written = false;
  return WriteOutput(
      overwrite, work, OutputIn(options, GifName(work.stem)),
      [&](tessly::ByteSink& sink) {
        return tessly::WriteGif(plan, Drawer(archive, entry, frames), work.palette, {options.delay}, sink);
      },
      written);
}

bool ExportSheet(const Options& options, OverwriteState& overwrite, ImageWork& work, const tessly::Archive& archive,
                 const tessly::Entry& entry, const EntryFrames& frames) {
  // The atlas places each frame on the animation's canvas too, as --gif draws it.
  tessly::CanvasPlan plan, animation;
  if (tessly::PlanSheet(frames.geometry, plan) != tessly::Status::Ok ||
      tessly::PlanAnimation(frames.geometry, animation) != tessly::Status::Ok) {
    return PrintWith(kCanvasTooLarge, work.stem), true;
  }
  const platform::OutputName image = OutputIn(options, SheetName(work.stem));
  bool written = false;
  const bool goOn = WriteOutput(
      overwrite, work, image,
      [&](tessly::ByteSink& sink) {
        tessly::Status status = tessly::DrawSheet(plan, Drawer(archive, entry, frames), work.image);
        if (status == tessly::Status::Ok) status = tessly::WritePng(work.image, work.palette, sink);
        return status;
      },
      written);
  if (!goOn || !written) return goOn;
  // The atlas lies beside the sheet and names it so.
  const tessly::AtlasNames names{work.stem, image.name, options.delay * 10};
  return WriteOutput(
      overwrite, work, OutputIn(options, SheetAtlasName(work.stem)),
      [&](tessly::ByteSink& sink) { return tessly::WriteSheetAtlas(plan, frames.geometry, names, sink); }, written);
}

}  // namespace

bool ExportEntryPreview(const Options& options, OverwriteState& overwrite, ImageWork& work,
                        const tessly::Archive& archive, std::int32_t index) {
  tessly::Entry entry;
  if (!ReadEntry(archive, index, entry)) return true;
  // Named as --json names them: a repeated name gets the entry's number, so
  // that no entry's files replace another's. Every entry read takes its stem.
  work.stem = tessly::EntryFileStem(entry.name, index, work.stems);
  if (!IsEntrySelected(options, archive, entry)) return true;
  const EntryFrames frames = ReadFrames(archive, entry);
  if (frames.drawableCount == 0) return PrintWith(kNothingToDraw, work.stem), true;
  return options.view == View::Gif ? ExportGif(options, overwrite, work, archive, entry, frames)
                                   : ExportSheet(options, overwrite, work, archive, entry, frames);
}

}  // namespace app
