#include "app/parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace app {

void ForEachInParallel(std::size_t count, const std::function<void(std::size_t)>& job) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next++) < count;) job(i);
  };
  const std::size_t helpers = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), count) - (count > 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < helpers; ++t) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no more threads: the ones there do the rest
    }
  }
  work();
  for (std::thread& thread : threads) thread.join();
}

}  // namespace app
