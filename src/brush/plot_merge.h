#pragma once
// The merge operations of the brush engine that the core blend arithmetic
// does not already hold. Each is op(address, colour or value, coverage) with
// the coverage a byte; coverage 0 leaves the pixel as it was.
//
// The others that the plot slots take are core's: lerpPixelRgb (keep
// alpha), blendPixelOpacity, blendPixelTable (blend_arith.h), the union and
// source-alpha operators (blend_modes.h).
#include <cstdint>

namespace pg {

// 8-bit: v := P[c][value]; the byte becomes v when v is larger.
void plotMax(uint8_t* pixel, uint32_t value, uint32_t coverage);

// BGRA8: alpha a := a - P[a][c]; colour bytes kept (the eraser).
void erasePixel(uint32_t* pixel, uint32_t colour, uint32_t coverage);

// BGRA8: A := lerp255(colour alpha, a, c) stored; when A > 0 the colour bytes
// move toward the colour by c (blur, spread, finger).
void blendPixelOver(uint32_t* pixel, uint32_t colour, uint32_t coverage);

// BGRA8: lightness L of the pixel (HLS, 16.16) := lookupCurve(tone curve, L)
// (clamped to 255.0); the colour bytes move toward that pixel by c, alpha
// kept (burn and dodge). Reads the plot state's tone curve table.
void blendPixelFalloff(uint32_t* pixel, uint32_t colour, uint32_t coverage);

}  // namespace pg
