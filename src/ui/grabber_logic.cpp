#include "ui/grabber_logic.h"

#include <algorithm>
#include <cmath>

#include "document/zoom_steps.h"

namespace pg {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kDialLeft = 14;
constexpr int32_t kDialSize = 101;  // 14 .. 115
constexpr int32_t kSliderWidth = 101;

float stepValue(const SRatio& r) { return static_cast<float>(r.Num) / static_cast<float>(r.Den); }
bool inside(const TRect& r, int32_t x, int32_t y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }
}  // namespace

TRect grabberPartRect(uint8_t part) {
  switch (part) {
    case gpDial: return {14, 14, 115, 115};
    case gpSlider: return {14, 133, 115, 144};
    case gpResetAngle: return {118, 59, 129, 70};
    case gpTurnClockwise: return {59, 118, 70, 129};
    case gpTurn180: return {0, 59, 11, 70};
    case gpTurnCounter: return {59, 0, 70, 11};
    case gpZoomIn: return {118, 133, 129, 144};
    case gpZoomOut: return {0, 133, 11, 144};
    default: return {};
  }
}

uint8_t grabberGlyphKind(uint8_t part) { return part >= gpResetAngle && part <= gpZoomOut ? part + 4 : 0; }

uint8_t grabberHitPart(int32_t x, int32_t y) {
  for (uint8_t p = gpResetAngle; p <= gpZoomOut; ++p)
    if (inside(grabberPartRect(p), x, y)) return p;
  if (inside(grabberPartRect(gpSlider), x, y)) return gpSlider;
  const int32_t r = kDialSize / 2;
  const int64_t dx = x - (kDialLeft + r), dy = y - (kDialLeft + r);
  const int64_t d2 = dx * dx + dy * dy;
  if (d2 >= static_cast<int64_t>(r - 13) * (r - 13) && d2 <= static_cast<int64_t>(r) * r) return gpDial;
  return gpNone;
}

float normalizeRotation(float degrees) {
  if (!std::isfinite(degrees)) return 0.0f;
  float d = std::fmod(degrees + 180.0f, 360.0f);
  if (d < 0.0f) d += 360.0f;
  return d - 180.0f;
}

float grabberDialRotation(int32_t x, int32_t y, bool adjust) {
  const double c = kDialLeft + kDialSize / 2.0;
  double a = std::atan2(y - c, x - c) * 180.0 / kPi;
  if (adjust) a = std::nearbyint((a + 180.0) / 15.0 + 0.5) * 15.0 - 180.0;
  return normalizeRotation(static_cast<float>(a));
}

float grabberSliderScale(int32_t x, bool adjust) {
  const float f = std::clamp(static_cast<float>(x - 14 - 6) / static_cast<float>(kSliderWidth - 11), 0.0f, 1.0f);
  const float v = 15.0f * f;
  float s = (v + 1.0f) / (16.0f - v);
  if (adjust) {
    // The two preset steps around the scale; the upper one on a tie.
    size_t hi = 0;
    while (hi + 1 < kZoomSteps.size() && stepValue(kZoomSteps[hi]) < s) ++hi;
    const size_t lo = hi > 0 ? hi - 1 : 0;
    const float up = stepValue(kZoomSteps[hi]), down = stepValue(kZoomSteps[lo]);
    s = s - down < up - s ? down : up;
  }
  return s;
}

float grabberZoomStepUp(float scale) {
  const double num = std::ceil(static_cast<double>(scale) * 10000.0) + 1.0;
  for (const SRatio& r : kZoomSteps)
    if (std::floor(static_cast<double>(stepValue(r)) * 10000.0) > num) return stepValue(r);
  return stepValue(kZoomSteps.back());
}

float grabberZoomStepDown(float scale) {
  const double num = std::floor(static_cast<double>(scale) * 10000.0) - 1.0;
  for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
    if (std::ceil(static_cast<double>(stepValue(*it)) * 10000.0) < num) return stepValue(*it);
  return stepValue(kZoomSteps.front());
}

float grabberButtonRotation(uint8_t part) {
  switch (part) {
    case gpTurnClockwise: return -90.0f;
    case gpTurn180: return -180.0f;
    case gpTurnCounter: return 90.0f;
    default: return 0.0f;
  }
}

TPoint grabberKnobAt(float rotation) {
  const double r = kDialSize / 2.0 - 5.5;  // 45
  const double a = rotation * kPi / 180.0;
  const auto ri = static_cast<int32_t>(std::nearbyint(r));
  return {14 + ri + static_cast<int32_t>(std::nearbyint(std::cos(a) * r)),
          14 + ri + static_cast<int32_t>(std::nearbyint(std::sin(a) * r))};
}

TPoint grabberThumbAt(float scale) {
  const float f = (16.0f * scale - 1.0f) / (15.0f * scale + 15.0f);
  return {14 + static_cast<int32_t>(std::nearbyint((kSliderWidth - 11) * f + 0.5f)), 133};
}

}  // namespace pg
