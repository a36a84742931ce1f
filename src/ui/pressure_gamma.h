#pragma once
// The pressure curve control's logic: the drag rule that edits the gamma in
// percent (5 % steps above 100 %, a stop at exactly 100 % when crossing it,
// Shift snapping to 5 %), and the picture of output = input ^ gamma.
#include <cstdint>

#include "ui/memory_graphic.h"

namespace pg {

// The gamma after a drag step of d = dx + dy pixels; `adjust` snaps to 5 %.
float gammaAfterDrag(float gamma, int32_t d, bool adjust);
// setGamma's rule for a stored value: negative values become 0.
inline float sanitizeGamma(float g) { return g < 0.0f ? 0.0f : g; }

// Renders the control (border, curve area scaled down from four times the
// inner size, dotted centre cross) into a graphic of the control's size.
void paintPressureGamma(TMemoryGraphic& g, float gamma);

}  // namespace pg
