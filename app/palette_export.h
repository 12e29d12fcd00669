// --write-palette: the palette in force written in the form its file name
// asks for, so that painting starts from the colours packing takes.
#pragma once

#include "app/options.h"

namespace app {

// Writes the palette. True when it was written.
bool RunWritePalette(const Options& options);

}  // namespace app
