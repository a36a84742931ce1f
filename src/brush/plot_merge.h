#pragma once
// The merge operations of the brush engine that the core blend arithmetic
// does not already hold. Each is op(address, colour or value, coverage) with
// the coverage a byte; coverage 0 leaves the pixel as it was.
//
// The others that the plot slots take are core's: lerpPixelRgb (keep
// alpha), blendPixelOpacity, blendPixelTable (blend_arith.h), the union and
// source-alpha operators (blend_modes.h).
#include <array>
#include <cstdint>

#include "brush/falloff_tables.h"
#include "core/blend_arith.h"

namespace pg {

// 8-bit: v := P[c][value]; the byte becomes v when v is larger.
void plotMax(uint8_t* pixel, uint32_t value, uint32_t coverage);

// BGRA8: alpha a := a - P[a][c]; colour bytes kept (the eraser).
void erasePixel(uint32_t* pixel, uint32_t colour, uint32_t coverage);

// BGRA8: A := lerp255(colour alpha, a, c) stored; when A > 0 the colour bytes
// move toward the colour by c (blur, spread, finger).
void blendPixelOver(uint32_t* pixel, uint32_t colour, uint32_t coverage);

// BGRA8: lightness L of the pixel (HLS, 16.16) := lookupCurve(curve, L)
// (clamped to 255.0); the colour bytes move toward that pixel by c, alpha
// kept (burn and dodge).
void blendPixelFalloff(const CurveTable& curve, uint32_t* pixel, uint32_t colour, uint32_t coverage);

// ceil(2^24 / A) for A = 1..255 (entry 0 unused): floor(n / A) is
// (n * entry) >> 24 for every n up to 255 * 255.
extern const std::array<uint32_t, 256> reciprocal24;

// BGRA8 with alpha: blendPixelOpacity (core) with its division c*255/A done
// as a multiply by reciprocal24[A]; the same pixel for every input.
inline void blendPixelOpacityRecip(uint32_t* pixel, uint32_t colour, uint32_t coverage) {
  if (coverage == 0) return;
  if (coverage >= 255) {
    *pixel = (colour & 0x00FFFFFFu) | 0xFF000000u;
    return;
  }
  const uint32_t a = pixelAlpha(*pixel);
  if (a == 255) {
    lerpPixelRgb(pixel, colour, coverage);
    return;
  }
  const uint32_t A = a + productAt(coverage, 255 - a);  // >= coverage >= 1
  *pixel = (*pixel & 0x00FFFFFFu) | (A << 24);
  lerpPixelRgb(pixel, colour, static_cast<uint32_t>((static_cast<uint64_t>(coverage * 255u) * reciprocal24[A]) >> 24));
}

}  // namespace pg
