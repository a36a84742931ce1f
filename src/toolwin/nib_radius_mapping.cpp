#include "toolwin/nib_radius_mapping.h"

#include <algorithm>

namespace pg {

namespace {

// In double precision: the float constants are not exactly 0.1 and 200.
constexpr double kMin = 0.1;
constexpr double kSpan = 200.0 - kMin;

double clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

}  // namespace

double nibRadiusInFilter(double v) {
  double r = kMin + kSpan * clamp01(v);
  return (1800.0 * r - 180.0) / (1601.0 * r + 39620.0);
}

double nibRadiusOutFilter(double p) {
  p = clamp01(p);
  double r = (39620.0 * p + 180.0) / (1800.0 - 1601.0 * p);
  return clamp01((r - kMin) / kSpan);
}

float stepNibRadius(float radius, bool up) {
  double v = clamp01((radius - kMin) / kSpan);
  double p = nibRadiusInFilter(v) + (up ? 0.05 : -0.05);
  double r = kMin + kSpan * nibRadiusOutFilter(p);
  return std::clamp(static_cast<float>(r), kNibRadiusMin, kNibRadiusMax);
}

}  // namespace pg
