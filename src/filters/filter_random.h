#pragma once
// The process-wide random generator of the filters: one 32-bit state, each
// draw steps it as state * 134775813 + 1 (mod 2^32) and answers
// (state * n) >> 32 for a bound n (so a bound of 0 answers 0). Kernels whose
// pixels must replay (noise, diffuse) set the state to their record's seed
// before the run and draw in a fixed order; nothing else may draw between.
// One user-interface thread.
#include <cstdint>

namespace pg {

void setFilterRandomState(uint32_t state);
uint32_t filterRandomState();
// One draw in 0 .. n - 1 (0 when n is 0).
uint32_t filterRandom(uint32_t n);

}  // namespace pg
