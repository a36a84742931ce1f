#pragma once
// Filling and reading whole planes (TMTC or TChannel) in tests and benchmarks.
#include <cstdint>
#include <random>
#include <type_traits>
#include <vector>

#include "core/planes.h"

namespace pg::testing {

// Pixel (x, y) := f(x, y).
template <class Plane, class F>
void fillWith(Plane& p, F f) {
  for (int32_t y = 0; y < p.Height; ++y)
    for (int32_t x = 0; x < p.Width; ++x) *p.pixelAt(x, y) = f(x, y);
}

// Every pixel from the generator, row by row.
template <class Plane>
void fillRandom(Plane& p, std::mt19937& rng) {
  using Pixel = std::remove_cvref_t<decltype(*p.pixelAt(0, 0))>;
  fillWith(p, [&rng](int32_t, int32_t) { return static_cast<Pixel>(rng()); });
}
template <class Plane>
void fillRandom(Plane& p, uint32_t seed) {
  std::mt19937 rng(seed);
  fillRandom(p, rng);
}

// The pixels row by row, top row first.
template <class Plane>
auto pixels(const Plane& p) {
  std::vector<std::remove_cvref_t<decltype(p.getPixel(0, 0))>> v;
  for (int32_t y = 0; y < p.Height; ++y)
    for (int32_t x = 0; x < p.Width; ++x) v.push_back(p.getPixel(x, y));
  return v;
}

// Same size and the same pixels.
template <class Plane>
bool samePlanes(const Plane& a, const Plane& b) {
  return a.Width == b.Width && a.Height == b.Height && pixels(a) == pixels(b);
}

}  // namespace pg::testing
