#pragma once
// The nib shape editor's geometry and drag rules: the nib ellipse over the
// preview, its handles, and how dragging them changes the maximum and minimum
// radius, the image scale, the flattening and the rotation.
#include <array>
#include <cstdint>

#include "core/rect.h"

namespace pg {

inline constexpr int32_t kNibEllipsePoints = 33;

struct SNibGeometry {
  TPointF centre;
  float radius = 0.0f;  // R
  std::array<TPointF, kNibEllipsePoints> outer{};
  TPointF inner;        // the minimum-radius handle
};
// For a face of that size, a flattening (0..99) and a rotation in degrees.
SNibGeometry nibGeometry(int32_t faceWidth, int32_t faceHeight, float flattening, float rotation);
// n points of an ellipse with radii (a, b) turned by r degrees about c.
void nibEllipse(TPointF c, float a, float b, float r, TPointF* out, int32_t n);

// The 12 x 12 handle square around a point (preview origin 2 included).
bool nibHandleHit(TPointF p, int32_t x, int32_t y);

// Brings degrees into [-180, 180).
float nibNormalizeRotation(float degrees);

// The step per pixel of the maximum radius and of the image scale.
float nibRadiusStep(float radius);
float nibScaleStep(float percent);
// The minimum radius after dx pixels (Shift: steps of 5).
float nibMinRadiusAfter(float value, int32_t dx, bool adjust);
// Flattening and rotation from the pointer's offset from the centre.
float nibFlatteningAt(float dx, float dy, float radius, bool adjust);
float nibRotationAt(float dx, float dy, bool adjust);
// The allowed image scale in percent of a nib image of that size.
void nibImageScaleRange(int32_t width, int32_t height, float& minPercent, float& maxPercent);

}  // namespace pg
