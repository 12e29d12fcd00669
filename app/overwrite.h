// The leave to replace an existing output file.
#pragma once

#include <string>

#include "app/options.h"

namespace app {

enum class OverwriteDecision {
  Write,     // the target is absent, or may be replaced
  Declined,  // the user answered No
  Skipped,   // -N: the target exists and the skipping line was printed
  Quit,      // the user answered Quit: the run ends
};

// Asked before an output file is created. An existing target is settled by
// -N, then -Y, else by a key at the console (Yes/No/All/Quit); All sets
// `yesToAll` for the rest of the run. When no key can come, the answer is No.
OverwriteDecision AskOverwrite(const std::string& target, Options& options);

}  // namespace app
