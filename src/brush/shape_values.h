#pragma once
// The shape values of a paint method or a pen shape as the nib list, the
// falloff selector and the brush editor preview them: size, minimum size,
// aspect, angle, falloff profile, an optional nib image and the hard-edge
// switch; and the two previews drawn from them into a 32-bit plane: the dab
// (its shaded, rotated ellipse or its nib image) and the falloff profile as
// a filled, anti-aliased hill.
#include <cstdint>
#include <vector>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CPenShapeObj;
class TPaintParam;

struct SShapeValues {
  float size = 1.0f;     // pixels
  float minSize = 1.0f;  // 0..1
  float aspect = 1.0f;   // 0..1
  float angle = 0.0f;    // degrees
  uint8_t falloffType = 0;
  float falloffValue1 = 0.0f;
  float falloffValue2 = 0.0f;
  uint8_t hasNib = 0;
  // The nib's bytes (nibWidth x nibHeight, ink 255), a copy of its own: a
  // record never shares the block of the object it was taken from.
  std::vector<uint8_t> nibBytes;
  int32_t nibWidth = 0;
  int32_t nibHeight = 0;
  float nibScale = 1.0f;
  uint8_t hardEdge = 0;

  // Size, minimum size and aspect 1; angle, falloff and its values 0; no
  // nib; nib scale 1; soft edge.
  void reset() { *this = SShapeValues{}; }
  // Drops the nib (the other values stay).
  void clear();
  bool operator==(const SShapeValues&) const = default;
};

// The values of a pen shape (its radius as the size; an image nib's bytes
// inverted, 255 - pixel); a null shape leaves the record untouched.
void shapeValuesFromPenShape(const CPenShapeObj* shape, SShapeValues& out);
// The values of paint parameters (the nib copied).
SShapeValues shapeValuesOf(const TPaintParam& param);

// Clears the plane to white and draws the dab centred in it at `scale`
// (size x scale is the radius in plane pixels) in `colour` (0xRRGGBB pixel
// order): the nib image scaled and turned by the angle, or the ellipse of
// the aspect and angle shaded by the falloff profile (values 1 and 2 as its
// core and floor); hard edges draw every touched pixel in full.
void drawNibPreview(TMTC& plane, const SShapeValues& values, float scale, uint32_t colour);

// The falloff profile of `type` with core and floor as a symmetric filled
// hill in `rect` of the plane, centre in the middle, anti-aliased on a 4 x 4
// grid: each pixel's colour bytes move toward `colour` by its coverage.
// False (nothing drawn) when the rectangle is not inside the plane or has no
// pixels.
[[nodiscard]] bool drawFalloffCurve(TMTC& plane, const TRect& rect, uint32_t type, uint32_t colour, float core, float floor);

}  // namespace pg
