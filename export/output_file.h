// Opens an output file with the user's leave to replace an existing one.
#pragma once

#include <string>

#include "app/options.h"
#include "platform/platform.h"

namespace exporter {

enum class OutputStatus {
  Open,        // `out` is the new or emptied file
  CannotOpen,  // it could not be created; nothing else happened
  Declined,    // the user answered No
  Skipped,     // -N, and the file exists
  Quit,        // the user answered Quit
};

// A file that does not exist yet is simply created; for any other name the
// overwrite question decides first.
OutputStatus OpenOutput(const std::string& target, app::Options& options, platform::File& out);

}  // namespace exporter
