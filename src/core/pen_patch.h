#pragma once
// The pen patch plane: a square 32-bit copy of another plane around a brush
// position, with the patch's origin, extent, radius and the fractional part of
// the centre. Brushes that pick up the colours under them (finger, blur and
// the like) sample this patch, so their reads near the image edge need no
// bounds checks: outside the source the patch repeats the nearest edge pixel.
#include <cstdint>

#include "core/fixed_point.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CPenTC : public TMTC {
 public:
  // Create: an empty plane, origin and extent zero, geometry cleared.
  CPenTC() { clearGeometry(); }

  // Zeroes centre, radius and size (and the fraction).
  void clearGeometry();
  // Places a patch for a brush of `size` centred at (centreX, centreY) of
  // source: radius Ceil(size) + 3, origin Trunc(centre) - radius (toward
  // zero), extent 2 * radius + 1, fraction centre - Floor(centre); then
  // render. False for a size or centre that is not a finite number in range
  // (nothing changed) or when render fails.
  [[nodiscard]] bool setDab(const TMTC& source, float size, float centreX, float centreY);
  // Resizes to the extent and fills it with source's pixels at origin + (x, y),
  // clamped to the source (edges and corners repeat). False when the plane
  // cannot be sized or the source holds no pixels.
  [[nodiscard]] bool render(const TMTC& source);
  // Where a dab of that radius starts inside the patch: radius - Ceil(r -
  // fraction) per axis, not below 0. False when Ceil(r) exceeds the radius.
  [[nodiscard]] bool offsetForRadius(TPoint& out, float radius) const;
  // The same per axis for a size pair in 16.16.
  [[nodiscard]] bool offsetForSize(TPoint& out, SFixPoint size) const;

  int32_t originX = 0, originY = 0;   // source coordinate of patch pixel (0, 0)
  int32_t extentW = 0, extentH = 0;   // 2 * radius + 1
  float centreX = 0, centreY = 0;     // brush centre in source coordinates
  int32_t radiusX = 0, radiusY = 0;   // Ceil(size) + 3
  float sizeX = 0, sizeY = 0;         // brush size (both from one value)
  float fractionX = 0, fractionY = 0; // centre - Floor(centre)
};

}  // namespace pg
