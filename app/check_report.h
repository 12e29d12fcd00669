// --check: for each archive its name, a line per finding, and a last line
// that counts the errors and warnings.
#pragma once

#include "app/options.h"

namespace app {

// True when any archive had an error (or could not be read).
bool RunCheck(const Options& options);

}  // namespace app
