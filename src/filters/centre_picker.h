#pragma once
// The geometry of the centre picker of the zoom blur dialog: a small area
// with a grid in which a marker stands for a point given as fractions 0..1
// of the area, moved by pressing and dragging.
#include <cstdint>

#include "core/rect.h"

namespace pg {

// The fraction a pointer coordinate gives over an extent (width or height):
// clamp((m - 2) / (extent - 4), 0, 1), or 0.5 for an extent of 4 or less.
float trackAreaFraction(int32_t m, int32_t extent);
// The position of grid line i (1 .. lines) across an extent.
int32_t trackAreaGridLine(int32_t i, int32_t lines, int32_t extent);
// The marker's centre for a fraction.
int32_t trackAreaMarker(float fraction, int32_t extent);

}  // namespace pg
