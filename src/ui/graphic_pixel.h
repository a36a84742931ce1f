#pragma once
// The one pixel write of the off-screen drawing: the colour operator on red,
// green and blue (in that order), then the alpha operator on alpha. Shared by
// the fills, the compositing and the painters.
#include <cstdint>

#include "ui/channel_ops.h"

namespace pg {

inline void applyOps(uint32_t* pixel, uint32_t colour, TChannelOp colourOp, TChannelOp alphaOp, float colourFactor,
                     float alphaFactor) {
  uint32_t p = *pixel;
  const auto r = colourOp(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(colour >> 16), colourFactor);
  const auto g = colourOp(static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(colour >> 8), colourFactor);
  const auto b = colourOp(static_cast<uint8_t>(p), static_cast<uint8_t>(colour), colourFactor);
  const auto a = alphaOp(static_cast<uint8_t>(p >> 24), static_cast<uint8_t>(colour >> 24), alphaFactor);
  *pixel = static_cast<uint32_t>(b) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(r) << 16) |
           (static_cast<uint32_t>(a) << 24);
}

// A solid colour: factor A / 255 for the colour, 1 for alpha.
inline float alphaFactorOf(uint32_t colour) { return static_cast<float>(colour >> 24) / 255.0f; }

inline void paintSolid(uint32_t* pixel, uint32_t colour, TChannelOp colourOp, TChannelOp alphaOp) {
  applyOps(pixel, colour, colourOp, alphaOp, alphaFactorOf(colour), 1.0f);
}

// A colour at coverage c: nothing for c <= 0, the plain factors for c >= 1,
// otherwise the colour factor times c and the alpha factor c.
inline void paintCovered(uint32_t* pixel, uint32_t colour, float c, TChannelOp colourOp, TChannelOp alphaOp) {
  if (!(c > 0.0f)) return;
  if (c >= 1.0f) {
    paintSolid(pixel, colour, colourOp, alphaOp);
    return;
  }
  applyOps(pixel, colour, colourOp, alphaOp, alphaFactorOf(colour) * c, c);
}

}  // namespace pg
