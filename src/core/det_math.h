#pragma once
// The transcendental functions that decide pixels, computed by our own code
// so that every machine and build gives the same bits: the C library picks
// different code paths per processor, and a recording must replay to the
// same picture everywhere.
//
// Every function is computed in double precision with plain IEEE operations
// (no fused multiply-add, which this file's compilation turns off) and is
// within about one unit in the last place of the exact result; the float
// overloads round the double result once. sqrt, fabs, floor, fmod and
// friends are exact by IEEE and need no replacement.
#include <type_traits>

namespace pg::dmath {

double sin(double x);
double cos(double x);
double tan(double x);
double atan(double x);
double atan2(double y, double x);
double exp(double x);
double log(double x);
double pow(double x, double y);
double hypot(double x, double y);

float sin(float x);
float cos(float x);
float tan(float x);
float atan(float x);
float atan2(float y, float x);
float exp(float x);
float log(float x);
float pow(float x, float y);
float hypot(float x, float y);

// Mixed arguments (an int or a float with a double) are computed in double,
// as the standard library's overloads do.
template <class A, class B>
  requires(std::is_arithmetic_v<A> && std::is_arithmetic_v<B> &&
           !(std::is_same_v<A, B> && std::is_floating_point_v<A>))
double pow(A x, B y) {
  return pow(static_cast<double>(x), static_cast<double>(y));
}
template <class A, class B>
  requires(std::is_arithmetic_v<A> && std::is_arithmetic_v<B> &&
           !(std::is_same_v<A, B> && std::is_floating_point_v<A>))
double atan2(A y, B x) {
  return atan2(static_cast<double>(y), static_cast<double>(x));
}
template <class A, class B>
  requires(std::is_arithmetic_v<A> && std::is_arithmetic_v<B> &&
           !(std::is_same_v<A, B> && std::is_floating_point_v<A>))
double hypot(A x, B y) {
  return hypot(static_cast<double>(x), static_cast<double>(y));
}

}  // namespace pg::dmath
