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

namespace {

// k of the scale mapping; false when 100 % is not strictly inside a..b.
bool scaleBend(double a, double b, double& k) {
  if (!(a < 1.0 && 1.0 < b)) return false;
  k = (b - 1.0) / (1.0 - a);
  return true;
}

}  // namespace

double nibScaleInFilter(double v, double minPercent, double maxPercent) {
  v = clamp01(v);
  double a = minPercent / 100.0, b = maxPercent / 100.0, k = 0.0;
  if (!scaleBend(a, b, k)) return v;
  double s = a + (b - a) * v;
  return clamp01((k * s - k * a) / ((k - 1.0) * s + (b - k * a)));
}

double nibScaleOutFilter(double p, double minPercent, double maxPercent) {
  p = clamp01(p);
  double a = minPercent / 100.0, b = maxPercent / 100.0, k = 0.0;
  if (!scaleBend(a, b, k)) return p;
  double s = ((b - k * a) * p + k * a) / (k - (k - 1.0) * p);
  return clamp01((s - a) / (b - a));
}

float stepNibRadius(float radius, bool up) {
  double v = clamp01((radius - kMin) / kSpan);
  double p = nibRadiusInFilter(v) + (up ? 0.05 : -0.05);
  double r = kMin + kSpan * nibRadiusOutFilter(p);
  return std::clamp(static_cast<float>(r), kNibRadiusMin, kNibRadiusMax);
}

}  // namespace pg
