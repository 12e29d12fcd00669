// Work spread over the processor's cores.
#pragma once

#include <cstddef>
#include <functional>
#include <system_error>

namespace app {

// Calls job(0) to job(count - 1), each once, on as many threads as the
// machine runs at once (the caller's among them), in no set order. The job
// must not throw.
void ForEachInParallel(std::size_t count, const std::function<void(std::size_t)>& job);

}  // namespace app
