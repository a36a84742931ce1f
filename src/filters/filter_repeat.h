#pragma once
// What Filter > Repeat without the dialog takes afresh from the layer it
// runs on, rather than from the record the filter was last applied with:
// the layer's protect-alpha flag as it is now, a new seed for the
// random-pattern filters, and the sizes that follow the layer: the scale's
// new size from the remembered percentages, the zoom blur's centre moved
// in proportion to the filter area, and the clouds/rock tile that is the
// whole layer image when wrap around is off.
#include <cstdint>
#include <vector>

#include "core/rect.h"

namespace pg {

struct SFilterEntry;

// The layer a repeat runs on.
struct SRepeatTarget {
  SSize image;     // the layer image
  SSize area;      // the filter area (the layer limited to the selection's bounds)
  bool protect = false;
  uint32_t seed = 0;  // the millisecond clock now
};

// Adapts the remembered record of a filter to the target. chosenOn is the
// filter area the record was made on by the dialog. False when the filter
// cannot repeat here (a zoom blur chosen on an empty area); params are then
// left as they were.
[[nodiscard]] bool adaptRepeatRecord(const SFilterEntry& entry, SSize chosenOn, const SRepeatTarget& target,
                                     std::vector<uint8_t>& params);

}  // namespace pg
