// Tessly: takes GAF sprite archives apart into BMP, PNG or one-entry GAF files, and builds them again.
#include "app/batch.h"
#include "app/check_report.h"
#include "app/console_output.h"
#include "app/messages.h"
#include "app/options.h"
#include "app/pack.h"
#include "app/palette_export.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  app::Options options;
  app::Print(app::messages::kBanner);
  int status = 0;  // --pack and --write-palette say whether they wrote their file, --check whether any was damaged
  switch (app::ParseOptions(argc, argv, options)) {
    case app::Parsed::Run:
      if (options.pack) {
        status = app::RunPack(options) ? 0 : 1;
      } else if (!options.paletteOutput.empty()) {
        status = app::RunWritePalette(options) ? 0 : 1;
      } else if (options.view == app::View::Check) {
        status = app::RunCheck(options) ? 1 : 0;
      } else {
        app::RunBatch(options);
      }
      break;
    case app::Parsed::Usage:
      app::PrintUsage();
      status = options.pack ? 1 : 0;
      break;
    case app::Parsed::Help:
      app::PrintUsage(true);
      break;
  }
  app::FlushOutput();
  return status;
}
