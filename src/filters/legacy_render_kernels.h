#pragma once
// The render kernels of the older filter set: tiles and clouds/rocks, kept
// so that recordings made with them replay to the same pixels. They run on
// the filter context like the other older kernels (legacy_kernels.h); where
// a kernel has a blend switch, the layer's protect flag turns it on.
//
// Parameter blocks (little-endian 32-bit words):
//
// Tiles, 20 bytes: the packet's argument word (bits 0..15: the number of
// colours, 1..3), then its four words: shape (bits 0..7, 0 square, 1
// triangle) and cell size (bits 8..15) in the first, then colours 1, 2, 3
// (0xAARRGGBB; a colour's alpha limits its tiles' opacity). A cell size of 0
// paints nothing; another shape, or a colour count outside 1..3, refuses.
//
// Clouds/rocks, 24 bytes (the six packet words): colour 1, colour 2, the
// seed, a fourth word the kernel does not read, then the mode word (bits
// 0..15 the mode as a signed value, bits 16..30 the strength value, bit 31
// the noise switch) and the texture size (bits 0..15 width, 16..31 height).
// A texture width or height below 1 draws nothing.
//
// Floor: the floor record (filter_params.h) with the ceiling and the floor
// image. Without both images nothing is drawn. With s the longer side of the
// area: eye x, eye height, eye z, ceiling height and projection distance are
// record values x s / 100, the fog opacity percent becomes 0..255, heading,
// pitch and the sixth camera value are taken as they are; the planes are
// rendered 4 x 4 supersampled (2 x 2 or 1 x 1 where the area is too large for
// that), reduced by the alpha-weighted mean, and the layer moves towards the
// result by the selection weight.
#include <cstdint>
#include <vector>

#include "filters/filter_params.h"
#include "filters/kernel_context.h"

namespace pg {

[[nodiscard]] bool legacyTiles4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
[[nodiscard]] bool legacyCloudsRocks4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);
[[nodiscard]] bool legacyFloorRender(const SFlt4Context* ctx, const SFltFloor& floor, const TMTC* ceilingImage,
                                     const TMTC* floorImage);

// The clouds/rocks texture of w x h texels (w, h >= 1) for a seed, strength
// and noise switch: 128 plus the six octaves, then the wrapped soft blur.
// Exposed for tests of its guards and determinism.
std::vector<uint8_t> legacyCloudTexture(int32_t w, int32_t h, uint32_t seed, double strength, bool noise);

}  // namespace pg
