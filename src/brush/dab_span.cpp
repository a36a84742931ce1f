#include "brush/dab_span.h"

#include <algorithm>
#include <cmath>


namespace pg {

namespace {

constexpr double kCoordLimit = 1073741824.0;  // 2^30: far outside any plane

// A float coordinate, floored or ceiled, as a 64-bit integer kept within
// ±2^30 (0 for NaN: callers refuse those first).
int64_t floorI(float v) { return v == v ? static_cast<int64_t>(std::clamp(std::floor(double(v)), -kCoordLimit, kCoordLimit)) : 0; }
int64_t ceilI(float v) { return v == v ? static_cast<int64_t>(std::clamp(std::ceil(double(v)), -kCoordLimit, kCoordLimit)) : 0; }

// trunc(v * 255) as a byte, v limited to 0..1.
uint32_t alphaByte(float v) {
  if (!(v > 0.0f)) return 0;
  return v >= 1.0f ? 255u : static_cast<uint32_t>(v * 255.0f);
}

float unitOpacity(float opacity) { return opacity > 0.0f ? std::min(opacity, 1.0f) : 0.0f; }

// Plots along one line of the plane: `across` is the row (column) index, the
// pixel positions run along the other axis.
template <bool Rows>
void spanAA(const SPlotter& s, TChannel& target, uint32_t value, float opacity, float r, float across, float centre) {
  const float o = unitOpacity(opacity);
  if (o == 0.0f || std::isnan(r) || std::isnan(centre) || std::isnan(across)) return;
  const int64_t line = floorI(across);
  const int32_t lineCount = Rows ? target.Height : target.Width;
  const int32_t length = Rows ? target.Width : target.Height;
  if (line < 0 || line >= lineCount || target.Bits == nullptr) return;
  const float lo = centre - r, hi = centre + r;
  int64_t left = floorI(lo);
  int64_t n = ceilI(hi) - left;
  float firstFraction, lastFraction;
  if (n > 1) {
    firstFraction = (static_cast<float>(left) + 1.0f) - lo;
    lastFraction = 1.0f - (static_cast<float>(ceilI(hi)) - hi);
  } else {
    firstFraction = lastFraction = 2.0f * r;
    n = 1;
  }
  uint32_t firstAlpha = alphaByte(firstFraction * o);
  const uint32_t lastAlpha = alphaByte(lastFraction * o);
  const uint32_t innerAlpha = alphaByte(o);
  if (left < 0) {
    n += left;
    firstAlpha = innerAlpha;
    left = 0;
  }
  const int32_t l = static_cast<int32_t>(line);
  auto plot = [&](int64_t pos, uint32_t alpha) {
    const int32_t p = static_cast<int32_t>(pos);
    const int32_t x = Rows ? p : l, y = Rows ? l : p;
    s.plotProc8(s, target.pixelAt(x, y), x, y, alpha, value);
  };
  int64_t pos = left;
  if (n > 1 && pos < length) {
    plot(pos++, firstAlpha);
    --n;
  }
  for (; n > 1 && pos < length; --n) plot(pos++, innerAlpha);
  if (n > 0 && pos < length) plot(pos, lastAlpha);
}

template <bool Rows>
void penDab(const SPlotter& s, TChannel& target, uint32_t value, float opacity, float radius, float cy, float cx) {
  if (!(opacity > 0.0f) || std::isnan(radius) || std::isnan(cx) || std::isnan(cy)) return;
  // Rows walk y across and x along; columns the other way round.
  const float across = Rows ? cy : cx, along = Rows ? cx : cy;
  if (radius < 0.5f) {
    spanAA<Rows>(s, target, value, opacity * 0.5f, radius, across, along);
    return;
  }
  const int64_t first = floorI(across - radius);
  const int64_t last = ceilI(across + radius) - 1;
  const int32_t lineCount = Rows ? target.Height : target.Width;
  const float firstOpacity = opacity * ((static_cast<float>(first) + 1.0f) - (across - radius));
  const float lastOpacity = opacity * ((across + radius) - static_cast<float>(last));
  const float r2 = radius * radius;
  // Lines outside the plane draw nothing, so only those inside are walked.
  for (int64_t line = std::max<int64_t>(first, 0); line <= std::min<int64_t>(last, lineCount - 1); ++line) {
    const float d = static_cast<float>(line) - across;
    const float h2 = r2 - d * d;
    if (!(h2 > 0.0f)) continue;
    const float o = line == first ? firstOpacity : line == last ? lastOpacity : opacity;
    spanAA<Rows>(s, target, value, o, std::sqrt(h2), static_cast<float>(line), along);
  }
}

}  // namespace

void spanRowAA(const SPlotter& plot, TChannel& target, uint32_t value, float opacity, float r, float y, float cx) {
  spanAA<true>(plot, target, value, opacity, r, y, cx);
}

void spanColumnAA(const SPlotter& plot, TChannel& target, uint32_t value, float opacity, float r, float x,
                  float cy) {
  spanAA<false>(plot, target, value, opacity, r, x, cy);
}

void paintPenDabRows(const SPlotter& plot, TChannel& target, uint32_t value, float opacity, float radius, float cy,
                     float cx) {
  penDab<true>(plot, target, value, opacity, radius, cy, cx);
}

void paintPenDabColumns(const SPlotter& plot, TChannel& target, uint32_t value, float opacity, float radius,
                        float cy, float cx) {
  penDab<false>(plot, target, value, opacity, radius, cy, cx);
}

}  // namespace pg
