#include "brush/plot_pending_sources.h"

namespace pg {

uint32_t CToneMngr::patternAt(int32_t, int32_t, uint32_t value) const { return value; }
uint32_t CGradation::evaluate(int32_t, int32_t) const { return 0; }

}  // namespace pg
