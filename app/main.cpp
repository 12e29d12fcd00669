// Tessly: takes GAF sprite archives apart into BMP files or one-entry GAF files.
#include "app/batch.h"
#include "app/console_output.h"
#include "app/messages.h"
#include "app/options.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  app::Options options;
  app::Print(app::messages::kBanner);
  switch (app::ParseOptions(argc, argv, options)) {
    case app::Parsed::Run:
      app::RunBatch(options);
      break;
    case app::Parsed::Usage:
      app::PrintUsage();
      break;
    case app::Parsed::Help:
      app::PrintUsage(true);
      break;
  }
  app::FlushOutput();
  return 0;
}
