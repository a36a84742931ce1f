#include "core/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace pg {

namespace {

int gWorkers = 0;  // 0: the processor's count

}  // namespace

int parallelWorkers() {
  if (gWorkers > 0) return gWorkers;
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(cores, 1u, 8u));
}

int setParallelWorkers(int workers) {
  const int old = gWorkers;
  gWorkers = std::max(workers, 0);
  return old;
}

bool parallelFor(int64_t count, const std::function<void(int64_t, int)>& item) {
  if (count <= 0) return true;
  std::atomic<int64_t> next{0};
  std::atomic<bool> ok{true};
  // Items are taken one at a time from a shared counter, so a slow item does
  // not hold back a thread's whole share.
  const auto work = [&](int worker) {
    for (int64_t i; ok.load(std::memory_order_relaxed) && (i = next.fetch_add(1)) < count;) {
      try {
        item(i, worker);
      } catch (...) {
        ok = false;
      }
    }
  };
  const int64_t helpers = std::min<int64_t>(parallelWorkers(), count) - 1;
  std::vector<std::thread> threads;
  try {
    threads.reserve(static_cast<size_t>(helpers));
    for (int64_t t = 0; t < helpers; ++t) threads.emplace_back(work, static_cast<int>(t + 1));
  } catch (...) {
    // Fewer threads than asked: the ones there (and this one) do it all.
  }
  work(0);
  for (std::thread& t : threads) t.join();
  return ok.load();
}

}  // namespace pg
