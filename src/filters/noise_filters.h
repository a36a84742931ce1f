#pragma once
// Noise, diffuse and mosaic: filters that scatter or coarsen pixels. Noise
// and diffuse draw from the filters' process-wide generator, set to the
// record's seed before the run; the order of the draws is fixed (below), so
// that a replay, and a preview of any part, gives the same pixels as the run
// it repeats.
//
// All three walk the work rectangle (the context's bounds) row by row from
// the top, left to right; the region is the part this call writes.
#include <cstdint>

#include "filters/kernel_context.h"

namespace pg {

// ------------------------------------------------------------------- noise

// Record, 16 bytes: i32 amount (0..512), i32 mono (0 colour, 1 one value for
// all three channels), u32 seed, u32 zero.
struct SFltNoise {
  int32_t amount = 1;
  int32_t mono = 0;
  uint32_t seed = 0;
};
inline constexpr int32_t kNoiseRecordSize = 16;
inline constexpr int32_t kNoiseMaxAmount = 512;
[[nodiscard]] bool readNoiseRecord(const void* param, int32_t size, SFltNoise& out);
void writeNoiseRecord(const SFltNoise& rec, uint8_t out[kNoiseRecordSize]);

// BGR8, alpha kept: every pixel of the work rectangle from its top row to
// the region's last row draws three values below 2 * amount (red, green,
// blue; mono: one for all three); inside the region each colour byte becomes
// clamp(c + value - amount). The amount is clamped into 0..512.
[[nodiscard]] bool noise(const SFlt4Context& ctx, const SFltNoise& rec);
[[nodiscard]] bool noiseKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// ----------------------------------------------------------------- diffuse

// Record, 16 bytes: i32 range (1..255 pixels), i32 mode (0 normal, 1 darker,
// 2 lighter), u32 seed, u8 radial at 12, u8 protect at 14 (the layer's
// protect-alpha flag when the record was made), the other bytes zero.
struct SFltDiffuse {
  int32_t range = 1;
  int32_t mode = 0;
  uint32_t seed = 0;
  uint8_t radial = 0;
  uint8_t protect = 0;
};
inline constexpr int32_t kDiffuseRecordSize = 16;
inline constexpr int32_t kDiffuseMaxRange = 255;
[[nodiscard]] bool readDiffuseRecord(const void* param, int32_t size, SFltDiffuse& out);
void writeDiffuseRecord(const SFltDiffuse& rec, uint8_t out[kDiffuseRecordSize]);

// BGRA8: each pixel takes a sample of the unfiltered layer from a random
// place near it. Square: two draws below 2 * range + 1 give the offsets
// (first - range, second - range), the point clamped into the layer.
// Radial: a distance draw(range * 65536 + 1) (16.16) and an angle draw(360)
// in degrees; the bilinear sample at the pixel centre moved by
// (trunc(cos * d), trunc(sin * d)), clamped to the layer. Darker and lighter
// keep, per byte, the smaller or larger of sample and pixel. Every pixel of
// the work rectangle from its top row to the region's last row draws. The
// range is clamped into 1..255; a mode outside 0..2 or a protect byte
// different from the layer's flag is refused.
[[nodiscard]] bool diffuse(const SFlt4Context& ctx, const SFltDiffuse& rec);
[[nodiscard]] bool diffuseKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// ------------------------------------------------------------------ mosaic

// Record, 8 bytes: i32 cell size (2..255), i32 protect (the layer's
// protect-alpha flag when the record was made).
struct SFltMosaic {
  int32_t size = 16;
  int32_t protect = 0;
};
inline constexpr int32_t kMosaicRecordSize = 8;
[[nodiscard]] bool readMosaicRecord(const void* param, int32_t size, SFltMosaic& out);
void writeMosaicRecord(const SFltMosaic& rec, uint8_t out[kMosaicRecordSize]);

// BGRA8: cells of n x n aligned to multiples of n in layer coordinates, each
// the block average of its unfiltered pixels (cells at the work rectangle's
// right and bottom edges cut there). Colour only when the record or the
// layer protects alpha. A cell size below 2 is refused.
[[nodiscard]] bool mosaic(const SFlt4Context& ctx, const SFltMosaic& rec);
[[nodiscard]] bool mosaicKernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
