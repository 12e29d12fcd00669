// Tessly: takes GAF sprite archives apart into BMP files or one-entry GAF files.
#include "app/batch.h"
#include "app/console_output.h"
#include "app/options.h"

int main(int argc, char** argv) {
  app::Options options;
  app::Print("Tessly 1.0 - GAF sprite archive extractor\n\n");
  if (app::ParseOptions(argc, argv, options)) {
    app::RunBatch(options);
  } else {
    app::PrintUsage();
  }
  app::FlushOutput();
  return 0;
}
