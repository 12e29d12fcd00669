// Work spread over the processor's cores.
#pragma once

#include <cstddef>
#include <functional>

namespace app {

// Calls job(0) to job(count - 1), each once, on as many threads as the
// machine runs at once (the caller's among them), in no set order, and
// returns once every thread has ended. A job fails by returning false or by
// running out of memory (a thrown std::exception counts as that); true
// when none failed. The jobs after a failure may not be called.
bool ForEachInParallel(std::size_t count, const std::function<bool(std::size_t)>& job);

}  // namespace app
