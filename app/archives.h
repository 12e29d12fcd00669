// The archives a run reads: the names that match the filespec, found
// before the first is opened, so that files the run writes are never taken
// as input. Each archive's name is printed before its turn.
#pragma once

#include <functional>
#include <string>

#include "app/options.h"

namespace app {

// Calls `each` with every archive's path (in the folder of the filespec)
// and bare name, in the order found, until it returns false. False, with
// its line, when a filespec matches nothing.
bool ForEachArchive(const Options& options, const std::function<bool(const std::string& path, const std::string& name)>& each);

}  // namespace app
