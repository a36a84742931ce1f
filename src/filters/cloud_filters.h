#pragma once
// Clouds, clouds 2, clouds/rock and plasma: render filters that paint
// generated noise into the layer within the selection. The noise is indexed
// relative to the filter area (the context's bounds; clouds and plasma) or
// to the layer origin (clouds/rock), so a preview of a part shows exactly
// what the whole run produces there.
#include <cstdint>

#include "filters/kernel_context.h"

namespace pg {

// SFltClouds, 16 bytes (clouds and clouds 2): u32 colour 1 and u32 colour 2
// (32-bit pixels B, G, R, A), u32 seed, u16 strength * 256, u8 blend mode
// (a TBlendMode in the low seven bits: 0 clouds, 16 clouds 2), u8 opacity.
struct SFltClouds {
  uint32_t colour1 = 0xFF000000u;
  uint32_t colour2 = 0xFFFFFFFFu;
  uint32_t seed = 0;
  uint16_t strength = 256;
  uint8_t mode = 0;
  uint8_t opacity = 255;
};
inline constexpr int32_t kCloudsRecordSize = 16;
[[nodiscard]] bool readCloudsRecord(const void* param, int32_t size, SFltClouds& out);
void writeCloudsRecord(const SFltClouds& rec, uint8_t out[kCloudsRecordSize]);

// SFltPlasma, 16 bytes: u32 seed, u8 monochrome, u8 reserved, u16 strength *
// 256, u8 blend mode (0..21), u8 opacity, six reserved bytes.
struct SFltPlasma {
  uint32_t seed = 0;
  uint8_t mono = 0;
  uint16_t strength = 256;
  uint8_t mode = 0;
  uint8_t opacity = 255;
};
inline constexpr int32_t kPlasmaRecordSize = 16;
[[nodiscard]] bool readPlasmaRecord(const void* param, int32_t size, SFltPlasma& out);
void writePlasmaRecord(const SFltPlasma& rec, uint8_t out[kPlasmaRecordSize]);

// SFltCloudsRock, 24 bytes: u32 colour 2 (first), u32 colour 1, u32 seed,
// u16 tile width, u16 tile height, u16 contrast (1..1000), u16 softness
// (1..100 rock; 0 clouds), four reserved bytes.
struct SFltCloudsRock {
  uint32_t colour2 = 0;
  uint32_t colour1 = 0xFFFFFF;
  uint32_t seed = 0;
  uint16_t tileWidth = 256;
  uint16_t tileHeight = 256;
  uint16_t contrast = 100;
  uint16_t softness = 0;
};
inline constexpr int32_t kCloudsRockRecordSize = 24;
[[nodiscard]] bool readCloudsRockRecord(const void* param, int32_t size, SFltCloudsRock& out);
void writeCloudsRockRecord(const SFltCloudsRock& rec, uint8_t out[kCloudsRockRecordSize]);

// BGRA8: TPlasma noise over the filter area; the colour is colour 1 moved
// toward colour 2 by the noise byte (lerpPixelRgb, colour 1's fourth byte
// kept), applied with the filter operator of the mode (row by the layer's
// protect-alpha flag; modes past the table act as the standard one) at
// mulDiv255(selection weight, opacity).
[[nodiscard]] bool clouds(const SFlt4Context& ctx, const SFltClouds& rec);
[[nodiscard]] bool cloudsKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// Monochrome: the clouds kernel with opaque black and white. Colour: TPlasma3
// planes as blue, green and red with alpha 255.
[[nodiscard]] bool plasma(const SFlt4Context& ctx, const SFltPlasma& rec);
[[nodiscard]] bool plasmaKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// BGRA8: octave noise tiles laid from the layer origin; clouds take the
// noise as the amount, rock t = |noise - 128| and amount trunc(t * 510 /
// softness + 0.5) while 2t < softness, else 255. The colour (colour 1 toward
// colour 2 by the amount) goes on with lerpPixelRgb (protected alpha) or
// blendPixelOpacity at the selection weight. A contrast below 1 draws
// nothing and succeeds.
[[nodiscard]] bool cloudsRock(const SFlt4Context& ctx, const SFltCloudsRock& rec);
[[nodiscard]] bool cloudsRockKernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
