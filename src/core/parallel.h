#pragma once
// Work spread over the processor's cores, for jobs whose items are
// independent: each item writes only its own output, so the result is the
// same whatever the number of threads and whatever order they run in.
#include <cstdint>
#include <functional>

namespace pg {

// How many threads parallelFor uses: the processors this process may use
// (usableCpus, read at the first call), at most 8, at least 1; or what
// setParallelWorkers set.
[[nodiscard]] int parallelWorkers();
// Sets the number of threads (tests compare 1 with several); 0 goes back to
// the processor's count. Answers the previous setting.
int setParallelWorkers(int workers);

// Calls item(i, worker) once for every 0 <= i < count, on up to
// parallelWorkers() threads (the calling thread among them, worker 0). The
// worker number (0 .. parallelWorkers() - 1) tells an item which of the
// caller's per-thread scratch buffers is its own. False when an item threw;
// the items that ran have run.
[[nodiscard]] bool parallelFor(int64_t count, const std::function<void(int64_t, int)>& item);

}  // namespace pg
