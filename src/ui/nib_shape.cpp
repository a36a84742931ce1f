#include "ui/nib_shape.h"

#include <algorithm>
#include <cmath>

#include "brush/paint_param_kinds.h"

namespace pg {

namespace {
constexpr double kDeg = 3.14159265358979323846 / 180.0;
int32_t roundEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }
}  // namespace

void nibEllipse(TPointF c, float a, float b, float r, TPointF* out, int32_t n) {
  if (n < 2) return;
  const float big = std::max(a, b);
  const float k = big > 0.0f ? std::min(a, b) / big : 0.0f;
  const double cr = std::cos(r * kDeg), sr = std::sin(r * kDeg);
  for (int32_t i = 0; i < n; ++i) {
    const double t = 360.0 / (n - 1) * i * kDeg;
    double x = std::cos(t) * big, y = std::sin(t) * big;
    if (a <= b)
      x *= k;
    else
      y *= k;
    out[i] = {static_cast<float>(c.X + x * cr - y * sr), static_cast<float>(c.Y + x * sr + y * cr)};
  }
}

SNibGeometry nibGeometry(int32_t faceWidth, int32_t faceHeight, float flattening, float rotation) {
  SNibGeometry g;
  g.centre = {(faceWidth - 2) / 2.0f + 0.5f, (faceHeight - 17) / 2.0f + 0.5f};
  g.radius = std::min(g.centre.X, g.centre.Y) - 4.0f;
  const float m = (100.0f - flattening) * g.radius / 100.0f;
  nibEllipse(g.centre, g.radius, m, rotation, g.outer.data(), kNibEllipsePoints);
  TPointF in[2];
  nibEllipse(g.centre, g.radius / 2.0f, m / 2.0f, rotation, in, 2);
  g.inner = in[0];
  return g;
}

bool nibHandleHit(TPointF p, int32_t x, int32_t y) {
  const int32_t px = static_cast<int32_t>(std::nearbyint(p.X + 0.5f)) + 2;
  const int32_t py = static_cast<int32_t>(std::nearbyint(p.Y + 0.5f)) + 2;
  return x >= px - 6 && x < px + 6 && y >= py - 6 && y < py + 6;
}

float nibNormalizeRotation(float d) {
  if (!std::isfinite(d)) return 0.0f;
  float r = std::fmod(d + 180.0f, 360.0f);
  if (r < 0.0f) r += 360.0f;
  return r - 180.0f;
}

// The radius steps as the scale's, stopping at 5.
float nibRadiusStep(float v) { return std::min(nibScaleStep(v), 5.0f); }

float nibScaleStep(float v) {
  if (v < 2) return 0.1f;
  if (v < 5) return 0.2f;
  if (v < 10) return 0.5f;
  if (v < 20) return 1.0f;
  if (v < 50) return 2.0f;
  if (v < 100) return 5.0f;
  return 10.0f;
}

float nibMinRadiusAfter(float value, int32_t dx, bool adjust) {
  const float v = adjust ? static_cast<float>((roundEven(value + 0.5) / 5 + dx) * 5) : value + static_cast<float>(dx);
  return std::clamp(v, 1.0f, 100.0f);
}

float nibFlatteningAt(float dx, float dy, float radius, bool adjust) {
  if (!(radius > 0.0f)) return 0.0f;
  float f = 100.0f - 100.0f * std::sqrt(dx * dx + dy * dy) / radius;
  f = std::clamp(f, 0.0f, 99.0f);
  f = static_cast<float>(roundEven(f + 0.5));
  if (adjust) f = std::floor(f / 5.0f) * 5.0f;
  return std::clamp(f, 0.0f, 99.0f);
}

float nibRotationAt(float dx, float dy, bool adjust) {
  // Whole angles stay whole: the conversion's last bits must not tip the
  // rounding below.
  double a = std::round(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) / kDeg * 1e4) / 1e4;
  a = a > -90.0 ? a - 90.0 : a + 270.0;
  double r = roundEven(a + 0.5);
  if (adjust) r = std::trunc(r / 15.0) * 15.0;
  return nibNormalizeRotation(static_cast<float>(r));
}

void nibImageScaleRange(int32_t width, int32_t height, float& minPercent, float& maxPercent) {
  nibScaleRange(minPercent, maxPercent, width, height);
  minPercent *= 100.0f;
  maxPercent *= 100.0f;
}

}  // namespace pg
