#include "filters/cloud_filters.h"

#include <algorithm>
#include <cmath>

#include "core/blend_modes.h"
#include "core/byte_cursor.h"
#include "core/lookup_mask.h"
#include "filters/fractal_noise.h"
#include "filters/kernel_context.h"
#include "filters/record_bytes.h"

namespace pg {

// ------------------------------------------------------------------ records

namespace {

void cloudsFields(CByteCursor& c, SFltClouds& r) {
  c.field(r.colour1).field(r.colour2).field(r.seed).field(r.strength).field(r.mode).field(r.opacity);
}

void plasmaFields(CByteCursor& c, SFltPlasma& r) {
  c.field(r.seed).field(r.mono).zeros(1).field(r.strength).field(r.mode).field(r.opacity).zeros(6);
}

void cloudsRockFields(CByteCursor& c, SFltCloudsRock& r) {
  c.field(r.colour2).field(r.colour1).field(r.seed).field(r.tileWidth).field(r.tileHeight).field(r.contrast);
  c.field(r.softness).zeros(4);
}

}  // namespace

bool readCloudsRecord(const void* param, int32_t size, SFltClouds& out) {
  return readFilterRecord(param, size, kCloudsRecordSize, out, cloudsFields);
}

void writeCloudsRecord(const SFltClouds& rec, uint8_t out[kCloudsRecordSize]) {
  // The span is the record's own size: the fields always fit.
  (void)writeRecord(out, kCloudsRecordSize, rec, cloudsFields);
}

bool readPlasmaRecord(const void* param, int32_t size, SFltPlasma& out) {
  return readFilterRecord(param, size, kPlasmaRecordSize, out, plasmaFields);
}

void writePlasmaRecord(const SFltPlasma& rec, uint8_t out[kPlasmaRecordSize]) {
  (void)writeRecord(out, kPlasmaRecordSize, rec, plasmaFields);  // always fits, as above
}

bool readCloudsRockRecord(const void* param, int32_t size, SFltCloudsRock& out) {
  return readFilterRecord(param, size, kCloudsRockRecordSize, out, cloudsRockFields);
}

void writeCloudsRockRecord(const SFltCloudsRock& rec, uint8_t out[kCloudsRockRecordSize]) {
  (void)writeRecord(out, kCloudsRockRecordSize, rec, cloudsRockFields);  // always fits, as above
}

// ------------------------------------------------------- clouds and plasma

namespace {

// Colour 1 moved toward colour 2 by t; colour 1's fourth byte kept.
inline uint32_t towards(uint32_t colour1, uint32_t colour2, uint32_t t) {
  uint32_t c = colour1;
  lerpPixelRgb(&c, colour2, t);
  return c;
}

// Paints colourAt(noise position) with op over the region at
// mulDiv255(weight, opacity); the noise position is relative to the bounds.
template <class ColourAt>
[[nodiscard]] bool paintNoise(const SFlt4Context& ctx, PixelOp32 op, uint32_t opacity, ColourAt&& colourAt) {
  return forEachSelectedPixel(ctx, ctx.region, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    const uint32_t amount = mulDiv255(weight, opacity);
    if (amount == 0) return;
    op(p, colourAt(x - ctx.bounds.Left, y - ctx.bounds.Top), amount);
  });
}

}  // namespace

bool clouds(const SFlt4Context& ctx, const SFltClouds& rec) {
  if (!isValidContext(&ctx)) return false;
  const float strength = static_cast<float>(rec.strength / 256.0);
  const PixelOp32 op = brushBlendOp(ctx.protectAlpha, rec.mode & kByteLookupMask);  // past the 22 modes: standard
  TPlasma generator;
  const TChannel* noise = generator.generate(ctx.bounds.Right - ctx.bounds.Left, ctx.bounds.Bottom - ctx.bounds.Top,
                                             strength, rec.seed);
  if (noise == nullptr) return false;
  return paintNoise(ctx, op, rec.opacity, [&](int32_t nx, int32_t ny) {
    return towards(rec.colour1, rec.colour2, noise->getPixel(nx, ny));
  });
}

bool cloudsKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltClouds, readCloudsRecord, clouds>(ctx, param, size);
}

bool plasma(const SFlt4Context& ctx, const SFltPlasma& rec) {
  if (!isValidContext(&ctx)) return false;
  if (rec.mono != 0)
    return clouds(ctx, SFltClouds{0xFF000000u, 0xFFFFFFFFu, rec.seed, rec.strength, rec.mode, rec.opacity});
  // The mode byte is used whole: a value past the 22 modes acts as the standard one.
  const PixelOp32 op = brushBlendOp(ctx.protectAlpha, rec.mode < 22 ? rec.mode : 0u);
  TPlasma3 generator;
  if (generator.generate(ctx.bounds.Right - ctx.bounds.Left, ctx.bounds.Bottom - ctx.bounds.Top,
                         static_cast<float>(rec.strength / 256.0), rec.seed) == nullptr)
    return false;
  return paintNoise(ctx, op, rec.opacity, [&](int32_t nx, int32_t ny) {
    return 0xFF000000u | generator.plane.getPixel(nx, ny) | (uint32_t{generator.plane2.getPixel(nx, ny)} << 8) |
           (uint32_t{generator.plane3.getPixel(nx, ny)} << 16);
  });
}

bool plasmaKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltPlasma, readPlasmaRecord, plasma>(ctx, param, size);
}

// ------------------------------------------------------------ clouds/rock

bool cloudsRock(const SFlt4Context& ctx, const SFltCloudsRock& rec) {
  if (!isValidContext(&ctx)) return false;
  if (rec.contrast < 1) return true;
  // A recorded tile size of 0 would divide by zero: at least one pixel.
  const int32_t tw = std::clamp<int32_t>(rec.tileWidth, 1, ctx.image->width());
  const int32_t th = std::clamp<int32_t>(rec.tileHeight, 1, ctx.image->height());
  const bool rock = rec.softness != 0;
  const double factor = rec.contrast * (rock ? 0.005 : 0.01);
  TChannel noise;
  if (!buildOctaveNoise(noise, tw, th, factor, rec.seed)) return false;
  const double ramp = rock ? 510.0 / rec.softness : 0.0;
  const bool keep = ctx.protectAlpha != 0;
  // Tiles from the layer origin: the tile-relative position is the layer
  // position modulo the tile size.
  return forEachSelectedPixel(ctx, ctx.region, [&](int32_t x, int32_t y, uint32_t* p, uint32_t weight) {
    const uint32_t n = noise.getPixel(x % tw, y % th);
    uint32_t amount = n;
    if (rock) {
      const uint32_t t = n >= 128 ? n - 128 : 128 - n;
      amount = 2 * t < rec.softness ? static_cast<uint32_t>(std::min(255.0, std::trunc(t * ramp + 0.5))) : 255u;
    }
    const uint32_t colour = towards(rec.colour1, rec.colour2, amount);
    if (keep)
      lerpPixelRgb(p, colour, weight);
    else
      blendPixelOpacity(p, colour, weight);
  });
}

bool cloudsRockKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  return recordKernel<SFltCloudsRock, readCloudsRockRecord, cloudsRock>(ctx, param, size);
}

}  // namespace pg
