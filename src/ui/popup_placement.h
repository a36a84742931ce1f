#pragma once
// Placing pop-ups on the monitor: a pop-up is moved onto the monitor nearest
// to a point (the cursor), and one that would cover its anchor (the control
// that opened it) is put beside the anchor instead. Pure geometry over the
// monitor's full rectangle (not its work area); the Qt side finds the monitor.
#include <cstdint>

#include "core/rect.h"

namespace pg {

// The shift that brings r inside the monitor along each axis where it sticks
// out (left and top edges first); true when no shift is needed.
[[nodiscard]] bool fitDelta(const TRect& r, const TRect& monitor, int32_t& dx, int32_t& dy);
// Moves r onto the monitor; false (r unchanged) for an empty rectangle.
[[nodiscard]] bool fitRectToMonitor(TRect& r, const TRect& monitor);
// Fits r; when it then overlaps the anchor, tries it below, above, right of
// and left of the anchor (keeping its size) and takes the first place that
// lies wholly on the monitor, or the last one tried.
void placePopupRect(TRect& r, const TRect& monitor, const TRect& anchor);

}  // namespace pg
