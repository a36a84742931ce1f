#pragma once
// The seventeen zoom steps of a document view, 1/16 .. 16/1, and the moves
// from any ratio to the next step up or down.
#include <array>

#include "core/rect.h"

namespace pg {

inline constexpr std::array<SRatio, 17> kZoomSteps = {{
    {1, 16}, {1, 12}, {1, 8}, {1, 6}, {1, 4}, {1, 3}, {1, 2}, {2, 3}, {1, 1},
    {3, 2}, {2, 1}, {3, 1}, {4, 1}, {6, 1}, {8, 1}, {12, 1}, {16, 1},
}};

// The smallest step larger than the ratio (16/1 stays 16/1). A step counts as
// larger when floor(step x 10000) x den > num x 10000, the step's value taken
// as a single float, so a ratio between two steps moves to the next one up.
void zoomRatioUp(SRatio& ratio);

// The largest step smaller than the ratio (1/16 stays 1/16), by
// ceil(step x 10000) x den < num x 10000.
void zoomRatioDown(SRatio& ratio);

}  // namespace pg
