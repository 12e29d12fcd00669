// The leave to replace an existing output file.
#pragma once

#include "app/options.h"
#include "platform/platform.h"

namespace app {

// The standing answers of a run: from -Y and -N, and the answer All, which
// holds for every later file of the run.
struct OverwriteState {
  bool yesToAll = false;
  bool noToAll = false;

  static OverwriteState From(const Options& options) { return {options.yesToAll, options.noToAll}; }
};

enum class OverwriteDecision {
  Write,     // the target is absent, or may be replaced
  Declined,  // the user answered No
  Skipped,   // -N: the target exists and the skipping line was printed
  Quit,      // the user answered Quit: the run ends
};

// Asked before an output file is created. An existing target is settled by
// -N, then -Y or an earlier All, else by a key at the console (Yes/No/All/
// Quit); All sets `yesToAll`. When no key can come, the answer is No.
OverwriteDecision AskOverwrite(const platform::OutputName& target, OverwriteState& state);

}  // namespace app
