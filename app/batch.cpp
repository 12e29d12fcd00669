#include "app/batch.h"

#include <string>

#include "app/archives.h"
#include "app/console_output.h"
#include "app/gaf_export.h"
#include "app/image_export.h"
#include "app/inputs.h"
#include "app/listing.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "app/overwrite.h"
#include "app/preview_export.h"
#include "tessly/archive.h"

namespace app {
namespace {

using namespace messages;

// Takes one archive apart. False when the user answered Quit.
bool RunArchive(const Options& options, OverwriteState& overwrite, ImageWork& work, const std::string& path,
                const std::string& name) {
  tessly::FileSource source;
  if (source.Open(path) != tessly::Status::Ok) {
    Print(kCouldNotOpen);
    return true;
  }
  const tessly::Archive archive(source);
  tessly::GafHeader header;
  const tessly::Status status = archive.ReadHeader(header);
  if (status != tessly::Status::Ok) {
    PrintStatus(status, Mode::Bitmaps);
    return true;
  }
  StartArchive(work, header.version);
  if (options.view == View::List) ListArchive(header);
  for (std::int32_t i = 0; i < header.entryCount; ++i) {
    if (options.view == View::List) {
      ListEntry(options, archive, i, work.users);
    } else if (options.view != View::None) {
      if (!ExportEntryPreview(options, overwrite, work, archive, i)) return false;
    } else if (options.ImageMode()) {
      if (!ExportEntryImages(options, overwrite, work, archive, i)) return false;
    } else if (header.entryCount > 1) {
      if (!ExportEntryGaf(options, overwrite, work.out, archive, i)) return false;
    } else {
      Print(kOnlyOneGafEntry);
    }
  }
  return ExportArchiveDescription(options, overwrite, work, name);
}

}  // namespace

void RunBatch(const Options& options) {
  ImageWork work;
  if (!LoadPalette(options.paletteFile, work.palette)) return;
  if (options.view != View::List && options.view != View::Check && !MakeOutputFolder(options)) return;
  OverwriteState overwrite = OverwriteState::From(options);
  ForEachArchive(options, [&](const std::string& path, const std::string& name) {
    return RunArchive(options, overwrite, work, path, name);
  });
}

}  // namespace app
