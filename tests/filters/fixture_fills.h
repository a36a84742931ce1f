#pragma once
// Fills of a filter test layer beyond the fixture's own: opaque or visible
// random pixels, and pixels that tell where they came from.
#include <cstdint>
#include <random>

#include "filters/filter_fixture.h"

namespace pg::testing {

// Random colours, alpha 255.
inline void fillOpaque(FilterFixture& f, uint32_t seed) {
  std::mt19937 rng(seed);
  f.setPixels([&rng](int32_t, int32_t) { return rng() | 0xFF000000u; });
}

// Random pixels whose alpha is never 0 (a transparent pixel's colour bytes
// are not carried by an alpha-combining write).
inline void fillVisible(FilterFixture& f, uint32_t seed) {
  std::mt19937 rng(seed);
  f.setPixels([&rng](int32_t, int32_t) {
    const uint32_t v = rng();
    return (v >> 24) == 0 ? v | 0x01000000u : v;
  });
}

// Opaque; red holds step * x, green step * y, so that where a pixel came
// from can be read off it.
inline void fillCoordinates(FilterFixture& f, uint32_t step = 16) {
  f.setPixels([step](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x) * step << 16 | uint32_t(y) * step << 8; });
}

}  // namespace pg::testing
