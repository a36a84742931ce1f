#pragma once
// 16.16 fixed point: a signed 32-bit v stands for v / 65536. Positions, steps
// and radii of the resampling, disc and brush routines use it.
//
// "Round" here is round to nearest with ties to even (the floating-point
// default mode, std::nearbyint), not std::round. Results that do not fit 32
// bits saturate, and a result that is not a number (0/0, the root of a
// negative) gives 0, so that no input can reach an undefined conversion.
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/rect.h"

namespace pg {

inline constexpr int32_t kFixOne = 65536;
inline constexpr int32_t kFixHalf = 32768;

// A point of two 16.16 coordinates.
struct SFixPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const SFixPoint&, const SFixPoint&) = default;
};

// Ties-to-even rounding of a double into int32, saturating; NaN gives 0.
inline int32_t roundToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(std::nearbyint(v));
}

// (a*b in 64 bits) >> 16, arithmetic.
inline int32_t fixMul(int32_t a, int32_t b) {
  return static_cast<int32_t>((static_cast<int64_t>(a) * static_cast<int64_t>(b)) >> 16);
}
// Round(a / b * 65536), in floating point. A zero divisor saturates toward
// the sign of a (0 / 0 gives 0).
inline int32_t fixDiv(int32_t a, int32_t b) {
  return roundToInt32(static_cast<double>(a) / static_cast<double>(b) * 65536.0);
}
// floor(a * 65536 / b), unsigned; saturates at 0xFFFFFFFF, also for b = 0.
inline uint32_t fixDivU(uint32_t a, uint32_t b) {
  if (b == 0) return std::numeric_limits<uint32_t>::max();
  const uint64_t q = (static_cast<uint64_t>(a) << 16) / b;
  return q > 0xFFFFFFFFull ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(q);
}
// Round(sqrt(v / 65536) * 65536); a negative v gives 0.
inline int32_t fixSqrt(int32_t v) { return roundToInt32(std::sqrt(static_cast<double>(v) / 65536.0) * 65536.0); }
// Round(sqrt((a/65536)^2 + (b/65536)^2) * 65536).
inline int32_t fixHypot(int32_t a, int32_t b) {
  const double x = static_cast<double>(a) / 65536.0;
  const double y = static_cast<double>(b) / 65536.0;
  return roundToInt32(std::sqrt(x * x + y * y) * 65536.0);
}
inline float fixToFloat(int32_t v) { return static_cast<float>(static_cast<double>(v) / 65536.0); }
// Round(f * 65536).
inline int32_t floatToFix(float f) { return roundToInt32(static_cast<double>(f) * 65536.0); }
inline TPointF fixPointToFloat(SFixPoint p) { return {fixToFloat(p.X), fixToFloat(p.Y)}; }
// Round of a single float: roundF(2.5) = 2, roundF(3.5) = 4.
inline int32_t roundF(float f) { return roundToInt32(static_cast<double>(f)); }

// v >> 16, arithmetic: the largest integer not above v / 65536.
inline int32_t fixFloor(int32_t v) { return v >> 16; }
inline int32_t fixFloor2(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) & 0xFFFF0000u) >> 16; }
// (v + 65535) rounded down to a whole value, kept in 16.16 (wraps at the top
// of the range like the 32-bit sum it is).
inline int32_t fixCeilFix(int32_t v) {
  return static_cast<int32_t>((static_cast<uint32_t>(v) + 65535u) & 0xFFFF0000u);
}
// The smallest integer not below v / 65536.
inline int32_t fixCeil(int32_t v) { return fixCeilFix(v) >> 16; }
inline int32_t fixFrac(int32_t v) { return v & 0xFFFF; }

}  // namespace pg
