#pragma once
// What the compositing of a layer's tiled image reads of the layer: its
// opacity, blend mode and dissolve state. The layer class fills this record
// (CLayerData keeps the same fields); the compositing routines are members of
// CBlockVMTC (block_image.h) and live in layer_composite.cpp:
//
//   blendLayerToPlane   a layer into a display plane with its mode, opacity
//                       and dissolve (the view composition); the dissolve
//                       dither is a function of the plane position and the
//                       pixel, so the plane must be the picture's
//   blendLayerToPlane2  the same through the coverage pair of its mode
//   blendLayer          a layer onto another tiled image with its mode
//   blendLayerMasked    a layer onto another tiled image through the coverage
//                       pair, making the pixels it reaches opaque
//   blendFrom/blendFrom2/blendPlane/blendPlaneMasked
//                       an operator (or an SPixelBlendOps record) with an
//                       alpha map of the destination (layer merges)
//
// Every one follows the per-piece rules: R1 a uniform transparent source
// piece is skipped (only where named); R2 a uniform source onto a whole
// uniform destination tile changes only that tile's colour; R3 a uniform
// source over anything else runs with its colour as a constant; R4 a
// committed source runs between the two tiles' pixels.
#include <cstdint>

namespace pg {

struct SLayerBlendAttr {
  uint8_t opacity = 255;         // 0..255; 0 composites nothing
  uint8_t blendMode = 0;         // layer mode number 0..21 (0 multiply, 3 normal)
  bool dissolve = false;         // composite through the dissolve dither
  uint8_t dissolveAmount = 255;  // strength of the dither
};

}  // namespace pg
