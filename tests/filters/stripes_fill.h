#pragma once
// A layer of stripes and noise with varying alpha, so blurs, tones and
// distortions all change something.
#include <cstdint>

#include "core/block_image.h"

namespace pg::testing {

// False when a pixel could not be written.
inline bool fillStripesAndNoise(CBlockVMTC& img) {
  uint32_t s = 12345;
  for (int32_t y = 0; y < img.height(); ++y)
    for (int32_t x = 0; x < img.width(); ++x) {
      s = s * 1103515245u + 12345u;
      const uint32_t a = 128 + (x * 2) % 128;
      const uint32_t g = ((x / 4 + y / 3) % 2) ? 220 : 30;
      if (!img.setPixel(x, y, a << 24 | ((s >> 16) & 0xFF) << 16 | g << 8 | (255 - g))) return false;
    }
  return true;
}

}  // namespace pg::testing
