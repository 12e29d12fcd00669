#include "app/palette_export.h"

#include "app/file_sink.h"
#include "app/inputs.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "app/overwrite.h"
#include "tessly/palette_file.h"

namespace app {

bool RunWritePalette(const Options& options) {
  tessly::Palette palette = tessly::BuiltInPalette();
  tessly::PaletteForm form = tessly::PaletteForm::Jasc;
  if (!LoadPalette(options.paletteFile, palette) || !MakeOutputFolder(options) ||
      !tessly::PaletteFormOf(options.paletteOutput, form)) {
    return false;
  }
  OverwriteState overwrite = OverwriteState::From(options);
  FileSink out;
  const auto write = [&](tessly::ByteSink& sink) {
    return tessly::WritePalette(palette, form, sink) == tessly::Status::Ok;
  };
  return WriteOutputFile(UserOutput(options, options.paletteOutput), messages::kErrorOpeningBitmapToWrite, overwrite,
                         out, write)
      .written;
}

}  // namespace app
