#include "filters/filter_random.h"

#include "core/random.h"

namespace pg {

namespace {
uint32_t gFilterRandomState = 0;
}  // namespace

void setFilterRandomState(uint32_t state) { gFilterRandomState = state; }
uint32_t filterRandomState() { return gFilterRandomState; }

uint32_t filterRandom(uint32_t n) {
  gFilterRandomState = lcgNext(gFilterRandomState);
  return mulHigh32(gFilterRandomState, n);
}

}  // namespace pg
