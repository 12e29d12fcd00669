#include "app/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace app {

bool ForEachInParallel(std::size_t count, const std::function<bool(std::size_t)>& job) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  const auto work = [&]() noexcept {
    try {
      for (std::size_t i; !failed && (i = next++) < count;) {
        if (!job(i)) failed = true;
      }
    } catch (const std::exception&) {
      failed = true;
    }
  };
  const std::size_t helpers = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), count) - (count > 0);
  {
    std::vector<std::jthread> threads;  // each joins as it goes, on every path
    try {
      threads.reserve(helpers);
      for (std::size_t t = 0; t < helpers; ++t) threads.emplace_back(work);
    } catch (const std::exception&) {
      // No more threads: the ones there do the rest.
    }
    work();
  }
  return !failed;
}

}  // namespace app
