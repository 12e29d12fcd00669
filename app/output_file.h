// Opens an output file with the user's leave to replace an existing one.
#pragma once

#include <string>
#include <string_view>

#include "app/overwrite.h"
#include "platform/platform.h"

namespace app {

enum class OutputStatus {
  Open,        // `out` is the new or emptied file
  CannotOpen,  // it could not be created; `cannotOpen` was printed
  Declined,    // the user answered No
  Skipped,     // -N, and the file exists
  Quit,        // the user answered Quit
};

// A file that does not exist yet is simply created; for any other name the
// overwrite question decides first. `cannotOpen` is the line, with "%s" for
// the name, printed when the file cannot be created.
OutputStatus OpenOutput(const std::string& target, std::string_view cannotOpen, OverwriteState& state,
                        platform::File& out);

}  // namespace app
