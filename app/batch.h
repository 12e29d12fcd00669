// The loop over the archives that match the filespec and over
// the entries of each.
#pragma once

#include "app/options.h"

namespace app {

void RunBatch(const Options& options);

}  // namespace app
