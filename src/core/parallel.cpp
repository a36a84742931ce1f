#include "core/parallel.h"

#include "platform/cpu_budget.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace pg {

namespace {

int gWorkers = 0;  // 0: the processor's count

// Helper threads kept for the life of the process: starting threads (and
// their per-thread scratch, such as compression contexts) for every call
// would cost more than many of the jobs themselves. One job runs at a time;
// a call made while another runs (or from inside an item) does its items on
// its own thread.
class CHelperPool {
 public:
  ~CHelperPool() {
    if (owner_ != getpid()) return;  // a forked child: the threads are not ours
    {
      std::lock_guard<std::mutex> lk(m_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : *threads_) t.join();
    delete threads_;
  }

  // Runs work(0) here and work(1 .. helpers) on helper threads (fewer when no
  // more threads could be started); false when the pool is busy.
  bool run(int helpers, const std::function<void(int)>& work) {
    std::unique_lock<std::mutex> call(callMutex_, std::try_to_lock);
    if (!call.owns_lock()) return false;
    if (owner_ != getpid()) {
      // After a fork only the calling thread exists: start afresh (the old
      // thread records are let go without touching them).
      threads_ = new std::vector<std::thread>;
      owner_ = getpid();
    }
    try {
      while (static_cast<int>(threads_->size()) < helpers) {
        const int index = static_cast<int>(threads_->size()) + 1;
        threads_->emplace_back([this, index] { loop(index); });
      }
    } catch (...) {
      // Fewer threads than asked: the ones there (and this one) do it all.
    }
    {
      std::lock_guard<std::mutex> lk(m_);
      job_ = &work;
      wanted_ = std::min(helpers, static_cast<int>(threads_->size()));
      active_ = wanted_;
      ++generation_;
    }
    wake_.notify_all();
    work(0);
    std::unique_lock<std::mutex> lk(m_);
    done_.wait(lk, [this] { return active_ == 0; });
    job_ = nullptr;
    return true;
  }

 private:
  void loop(int index) {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lk(m_);
    for (;;) {
      wake_.wait(lk, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
      if (index > wanted_) continue;
      const std::function<void(int)>* job = job_;
      lk.unlock();
      (*job)(index);
      lk.lock();
      if (--active_ == 0) done_.notify_one();
    }
  }

  std::mutex callMutex_;
  std::mutex m_;
  std::condition_variable wake_, done_;
  std::vector<std::thread>* threads_ = new std::vector<std::thread>;  // let go after a fork, never freed
  pid_t owner_ = getpid();
  uint64_t generation_ = 0;
  const std::function<void(int)>* job_ = nullptr;
  int wanted_ = 0;
  int active_ = 0;
  bool stopping_ = false;
};

CHelperPool& helperPool() {
  static CHelperPool pool;
  return pool;
}

}  // namespace

int parallelWorkers() {
  if (gWorkers > 0) return gWorkers;
  // The processors the process may use (its affinity and its control
  // group's quota), read once: the files cost more than many small jobs.
  static const int usable = std::clamp(usableCpus(), 1, 8);
  return usable;
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
  const std::function<void(int)> work = [&](int worker) {
    for (int64_t i; ok.load(std::memory_order_relaxed) && (i = next.fetch_add(1)) < count;) {
      try {
        item(i, worker);
      } catch (...) {
        ok = false;
      }
    }
  };
  const auto helpers = static_cast<int>(std::min<int64_t>(parallelWorkers(), count) - 1);
  if (helpers <= 0 || !helperPool().run(helpers, work)) work(0);
  return ok.load();
}

}  // namespace pg
