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
  if (app::ParseOptions(argc, argv, options)) {
    app::RunBatch(options);
  } else {
    app::PrintUsage();
  }
  app::FlushOutput();
  return 0;
}
