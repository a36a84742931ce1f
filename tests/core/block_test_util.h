#pragma once
// Seeded random tiled images for the tests of tiled images: some tiles stay
// uniform (transparent, or a random colour), the rest are committed with
// random pixels, so every per-piece rule gets exercised.
#include <cstdint>
#include <random>
#include <vector>

#include "core/block_image.h"
#include "core/planes.h"

namespace pg::testing {

// A plain w x h grid of pixels: the reference side of the comparisons.
struct Pixels {
  int32_t w = 0, h = 0;
  std::vector<uint32_t> p;
  Pixels(int32_t width, int32_t height, uint32_t v = 0) : w(width), h(height), p(size_t(width) * height, v) {}
  uint32_t& at(int32_t x, int32_t y) { return p[size_t(y) * w + x]; }
  uint32_t at(int32_t x, int32_t y) const { return p[size_t(y) * w + x]; }
};

inline uint32_t randomPixel(std::mt19937& rng) {
  uint32_t v = rng();
  // Alphas 0 and 255 are frequent in real layers; give them their share.
  switch (rng() % 4) {
    case 0: return v & 0x00FFFFFFu;
    case 1: return v | 0xFF000000u;
    default: return v;
  }
}

// Tiles: 1/4 uniform transparent, 1/4 uniform random colour, 1/2 committed
// random (of which some hold one colour with a few odd pixels).
inline void fillSparse(CBlockVMTC& img, std::mt19937& rng) {
  for (int32_t i = 0; i < img.tileCount(); ++i) {
    STileRec& t = img.tileRef(i);
    const uint32_t kind = rng() % 4;
    if (kind == 0) {
      t.uniform = rng() & 0x00FFFFFFu;
    } else if (kind == 1) {
      t.uniform = randomPixel(rng);
    } else {
      t.uniform = randomPixel(rng);
      EXPECT_TRUE(img.commitTile(t));
      uint32_t* px = img.tilePixels(t);
      const bool speckled = rng() % 3 == 0;
      for (int j = 0; j < 1024; ++j)
        if (!speckled || rng() % 50 == 0) px[j] = randomPixel(rng);
    }
  }
}

inline Pixels toPixels(const CBlockVMTC& img) {
  Pixels out(img.width(), img.height());
  for (int32_t y = 0; y < img.height(); ++y)
    for (int32_t x = 0; x < img.width(); ++x) out.at(x, y) = img.getPixel(x, y);
  return out;
}

inline Pixels toPixels(const TMTC& plane) {
  Pixels out(plane.Width, plane.Height);
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x) out.at(x, y) = plane.getPixel(x, y);
  return out;
}

inline void fillPlane(TMTC& plane, std::mt19937& rng) {
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x) *plane.pixelAt(x, y) = randomPixel(rng);
}

}  // namespace pg::testing
