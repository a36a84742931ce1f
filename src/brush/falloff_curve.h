#pragma once
// Falloff profiles: the weight 0..1 of a dab at distance t from its centre
// (0 at the centre, 1 at the rim). The paint parameters name them by falloff
// type 0..7, the grade maps by their own type numbers 0..5; both share the
// functions here. evalFalloffCurve adds a flat core and a floor to a profile,
// as the nib preview and the falloff picker draw it.
//
// Every profile takes t clamped into 0..1 first, so that no input (a distance
// beyond the rim, a value that is not a number) can give a weight outside
// 0..1.
#include <cstdint>

namespace pg {

using FalloffFunc = float (*)(float t);

float curveLinear(float t);     // 1 - t
float curvePower(float t);      // (1 - t)^(ln 0.3 / ln 0.5): 0.3 at t = 0.5
float curveFlat(float t);       // 1
float curveCircle(float t);     // sqrt(1 - t^2)
float curveQuadratic(float t);  // 1 - t^2
float curveSmooth(float t);     // 2t^3 - 3t^2 + 1
float curveConcave(float t);    // 1 - sqrt(1 - (1 - t)^2)

// The exponent of curvePower: ln 0.3 / ln 0.5 (about 1.737).
double falloffPowerExponent();

// The profile of falloff type 0..7 (linear, power, flat, circle, quadratic,
// smooth, concave, flat); any other type is flat.
FalloffFunc falloffCurveFunc(uint32_t type);

// The weight of a profile with a flat core and a floor (both fractions):
// 1.0 when t = 0, core >= 1 or floor >= 1; else f(t) when core is 0, or
// f(clamp((t - core) / (1 - core), 0, 1)); then floor + (1 - floor) * w when
// floor is not 0; clamped to 0..1. A missing profile counts as flat.
float evalFalloffCurve(FalloffFunc f, float t, float core, float floor);

// The same profiles in double precision, for building weight tables whose
// edge entries must come out exactly.
using GradeProfileFunc = double (*)(double t);
// Grade-map type 0..5: circle, quadratic, smooth, linear, power, concave (the
// falloff types 3, 4, 5, 0, 1, 6 renumbered); any other type is linear.
GradeProfileFunc gradeProfileFunc(int32_t type);

}  // namespace pg
