#include "brush/falloff_curve.h"
#include "core/det_math.h"

#include <cmath>

namespace pg {

namespace {

template <typename T>
T clamp01(T t) {
  if (!(t > T(0))) return T(0);
  return t > T(1) ? T(1) : t;
}

template <typename T>
T linearOf(T t) {
  t = clamp01(t);
  return T(1) - t;
}
template <typename T>
T powerOf(T t) {
  t = clamp01(t);
  return static_cast<T>(dmath::pow(static_cast<double>(T(1) - t), falloffPowerExponent()));
}
template <typename T>
T circleOf(T t) {
  t = clamp01(t);
  return std::sqrt(T(1) - t * t);
}
template <typename T>
T quadraticOf(T t) {
  t = clamp01(t);
  return T(1) - t * t;
}
template <typename T>
T smoothOf(T t) {
  t = clamp01(t);
  return T(2) * t * t * t - T(3) * t * t + T(1);
}
template <typename T>
T concaveOf(T t) {
  t = clamp01(t);
  const T u = T(1) - t;
  return T(1) - std::sqrt(T(1) - u * u);
}

double gradeCircle(double t) { return circleOf(t); }
double gradeQuadratic(double t) { return quadraticOf(t); }
double gradeSmooth(double t) { return smoothOf(t); }
double gradeLinear(double t) { return linearOf(t); }
double gradePower(double t) { return powerOf(t); }
double gradeConcave(double t) { return concaveOf(t); }

}  // namespace

double falloffPowerExponent() { return dmath::log(0.3) / dmath::log(0.5); }

float curveLinear(float t) { return linearOf(t); }
float curvePower(float t) { return powerOf(t); }
float curveFlat(float) { return 1.0f; }
float curveCircle(float t) { return circleOf(t); }
float curveQuadratic(float t) { return quadraticOf(t); }
float curveSmooth(float t) { return smoothOf(t); }
float curveConcave(float t) { return concaveOf(t); }

FalloffFunc falloffCurveFunc(uint32_t type) {
  static constexpr FalloffFunc kFuncs[8] = {curveLinear, curvePower,  curveFlat,    curveCircle,
                                            curveQuadratic, curveSmooth, curveConcave, curveFlat};
  return type < 8 ? kFuncs[type] : curveFlat;
}

float evalFalloffCurve(FalloffFunc f, float t, float core, float floor) {
  if (f == nullptr) f = curveFlat;
  if (t == 0.0f || core >= 1.0f || floor >= 1.0f) return 1.0f;
  float w;
  if (core == 0.0f) {
    w = f(t);
  } else {
    float u = (t - core) / (1.0f - core);
    u = clamp01(u);
    w = f(u);
  }
  if (floor != 0.0f) w = floor + (1.0f - floor) * w;
  return clamp01(w);
}

GradeProfileFunc gradeProfileFunc(int32_t type) {
  switch (type) {
    case 0: return gradeCircle;
    case 1: return gradeQuadratic;
    case 2: return gradeSmooth;
    case 4: return gradePower;
    case 5: return gradeConcave;
    default: return gradeLinear;
  }
}

}  // namespace pg
