// Row kernels of the blend operators. Each kernel gives exactly the pixels of
// its operator called per pixel (the operators themselves are the reference
// versions); the tests run both on seeded random rows.
//
// The separable modes run four pixels at a time in 16-bit lanes (SSE2, the
// x86-64 baseline); the products are divided by 255 with the same rule as
// div255: mulhi(x, 0x8081) >> 7 = (x * 32897) >> 23. The colour-model modes
// and the modes with a division per channel run per pixel with exact
// reciprocal multiplies instead of divisions.
#include "core/blend_rows.h"

#include <algorithm>
#include <array>

#include "core/blend_modes.h"
#include "core/blend_rows_vec.h"

namespace pg {
namespace {

// ------------------------------------------------------- plain loops

template <PixelOp32 Op>
void loopRow(uint32_t* dst, const uint32_t* src, size_t n, uint32_t param) {
  for (size_t i = 0; i < n; ++i) Op(dst + i, src[i], param);
}

template <PixelOp32 Op>
void loopFill(uint32_t* dst, uint32_t colour, size_t n, uint32_t param) {
  for (size_t i = 0; i < n; ++i) Op(dst + i, colour, param);
}

// ------------------------------------------------ exact small divisions
// floor(n / d) for 0 <= n <= 65535 and 1 <= d <= 255 as (n * ceil(2^32 / d)) >> 32:
// the error n * (ceil(2^32/d)*d - 2^32) / (d * 2^32) stays below 1/d.

struct Reciprocals {
  std::array<uint64_t, 256> r{};
  constexpr Reciprocals() {
    for (uint64_t d = 1; d < 256; ++d) r[d] = ((uint64_t{1} << 32) + d - 1) / d;
  }
};
constexpr Reciprocals kRecip{};

inline uint32_t divSmall(uint32_t n, uint32_t d) { return static_cast<uint32_t>((n * kRecip.r[d]) >> 32); }
// Truncating toward zero, |n| <= 65535.
inline int32_t divSmallSigned(int32_t n, uint32_t d) {
  return n >= 0 ? static_cast<int32_t>(divSmall(static_cast<uint32_t>(n), d))
                : -static_cast<int32_t>(divSmall(static_cast<uint32_t>(-n), d));
}

// ---------------------------------------- per-pixel fast channel forms

// colour burn with the reciprocal division.
inline uint32_t burnFast(uint32_t d, uint32_t s) {
  if (s == 0) return d == 255 ? 255u : 0u;
  return 255 - std::min(255u, divSmall((255 - d) * 255, s));
}
// colour dodge with the reciprocal division.
inline uint32_t dodgeFast(uint32_t d, uint32_t s) {
  if (s == 255) return d > 0 ? 255u : 0u;
  return std::min(255u, divSmall(d * 255, 255 - s));
}
// vivid light with the reciprocal division.
inline uint32_t vividLightFast(uint32_t d, uint32_t s) {
  if (s < 128) {
    if (s == 0) return 0;
    return 255 - std::min(255u, divSmall((255 - d) * 255, s) >> 1);
  }
  if (s == 255) return 255;
  return std::min(255u, divSmall(d * 255, 255 - s) >> 1);
}

struct SoftCurve {
  std::array<int32_t, 256> c{};
  SoftCurve() {
    for (uint32_t d = 0; d < 256; ++d) c[d] = static_cast<int32_t>(softLightCurve(d));
  }
};
// soft light with the curve from a table and the reciprocal-free /255 of a
// signed value (the numerator is within +-65025, so the sign is handled apart).
inline uint32_t softLightFast(uint32_t d, uint32_t s) {
  static const SoftCurve curve;
  const int32_t di = static_cast<int32_t>(d), si = static_cast<int32_t>(s);
  int32_t v;
  if (si < 128)
    v = 255 * di - (255 - 2 * si) * static_cast<int32_t>(mulDiv255(d, 255 - d));
  else
    v = 255 * di + (curve.c[d] - di) * (2 * si - 255);
  v = divSmallSigned(v, 255);
  return static_cast<uint32_t>(std::clamp(v, 0, 255));
}

template <uint32_t (*B)(uint32_t, uint32_t)>
inline void lerpSeparableFast(uint32_t* dst, uint32_t src, uint32_t alpha) {
  if (alpha == 0) return;
  const uint32_t p = *dst;
  uint32_t r = p & 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    const uint32_t d = pixelByte(p, i);
    r |= lerp255(B(d, pixelByte(src, i)), d, alpha) << (8 * i);
  }
  *dst = r;
}

// --------------------------------------------- colour-model fast forms

inline uint32_t grey3(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>((r * 19595 + g * 38469 + b * 7472) >> 16);
}

inline uint32_t clampPack(int32_t r, int32_t g, int32_t b) {
  return (static_cast<uint32_t>(std::clamp(r, 0, 255)) << 16) | (static_cast<uint32_t>(std::clamp(g, 0, 255)) << 8) |
         static_cast<uint32_t>(std::clamp(b, 0, 255));
}

// hslCompose with the divisions done by exact reciprocal multiplies.
inline uint32_t hslComposeFast(uint32_t c, uint32_t sat, uint32_t lum) {
  const int32_t r = static_cast<int32_t>(pixelByte(c, 2)), g = static_cast<int32_t>(pixelByte(c, 1)),
                b = static_cast<int32_t>(pixelByte(c, 0));
  const int32_t m = std::min({r, g, b}), M = std::max({r, g, b});
  const int32_t range = M - m;
  const int32_t L0 = static_cast<int32_t>(lum);
  if (sat == 0 || range == 0) return clampPack(L0, L0, L0);
  const uint64_t rr = kRecip.r[range];
  const auto scale = [&](int32_t v) {
    return static_cast<int32_t>((static_cast<uint64_t>(static_cast<uint32_t>(v - m) * sat) * rr) >> 32);
  };
  const int32_t vr = scale(r), vg = scale(g), vb = scale(b);
  const int32_t L = static_cast<int32_t>(grey3(vr, vg, vb));
  const int32_t delta = L0 - L;
  if (M + delta >= 256) {
    const int32_t q = std::max<int32_t>(1, (static_cast<int32_t>((M - vr) * 19595 + (M - vg) * 38469 +
                                                                 (M - vb) * 7472)) >> 16);
    const int32_t k = 255 - L0;
    if (q <= 255)
      return clampPack(255 - divSmallSigned(k * (M - vr), static_cast<uint32_t>(q)),
                       255 - divSmallSigned(k * (M - vg), static_cast<uint32_t>(q)),
                       255 - divSmallSigned(k * (M - vb), static_cast<uint32_t>(q)));
    return clampPack(255 - k * (M - vr) / q, 255 - k * (M - vg) / q, 255 - k * (M - vb) / q);
  }
  if (delta >= 0) return clampPack(vr + delta, vg + delta, vb + delta);
  const uint32_t Lu = static_cast<uint32_t>(L);
  return clampPack(static_cast<int32_t>(divSmall(static_cast<uint32_t>(L0 * vr), Lu)),
                   static_cast<int32_t>(divSmall(static_cast<uint32_t>(L0 * vg), Lu)),
                   static_cast<int32_t>(divSmall(static_cast<uint32_t>(L0 * vb), Lu)));
}

inline uint32_t satOf(uint32_t p) {
  const uint32_t r = pixelByte(p, 2), g = pixelByte(p, 1), b = pixelByte(p, 0);
  return std::max({r, g, b}) - std::min({r, g, b});
}
inline uint32_t lumOf(uint32_t p) {
  return grey3(static_cast<int32_t>(pixelByte(p, 2)), static_cast<int32_t>(pixelByte(p, 1)),
               static_cast<int32_t>(pixelByte(p, 0)));
}

inline uint32_t hueFast(uint32_t d, uint32_t s) { return hslComposeFast(s, satOf(d), lumOf(d)); }
inline uint32_t saturationFast(uint32_t d, uint32_t s) { return hslComposeFast(d, satOf(s), lumOf(d)); }
inline uint32_t colorFast(uint32_t d, uint32_t s) { return hslComposeFast(s, satOf(s), lumOf(d)); }
inline uint32_t luminosityFast(uint32_t d, uint32_t s) { return hslComposeFast(d, satOf(d), lumOf(s)); }

template <uint32_t (*F)(uint32_t, uint32_t)>
inline void lerpCompositeFast(uint32_t* dst, uint32_t src, uint32_t alpha) {
  if (alpha == 0) return;
  lerpPixelRgb(dst, F(*dst, src), alpha);
}

// Per-pixel kernels with the source alpha folded in.
template <void (*Explicit)(uint32_t*, uint32_t, uint32_t)>
inline void withSourceAlpha(uint32_t* dst, uint32_t src, uint32_t opacity) {
  Explicit(dst, src, mulDiv255(opacity, pixelAlpha(src)));
}

// ------------------------------------------------------- the registry

struct Entry {
  PixelOp32 op;
  RowOp32 row;
  RowFillOp32 fill;
};

template <PixelOp32 Op>
constexpr Entry loopEntry() {
  return {Op, &loopRow<Op>, &loopFill<Op>};
}

template <PixelOp32 Op, PixelOp32 Fast>
constexpr Entry fastEntry() {
  return {Op, &loopRow<Fast>, &loopFill<Fast>};
}

template <PixelOp32 Op, class K, bool SrcAlpha>
constexpr Entry vecEntry() {
  return {Op, &vecRow<K, SrcAlpha, Op>, &vecFill<K, SrcAlpha, Op>};
}

const Entry kEntries[] = {
    // blend arithmetic
    vecEntry<&lerpPixelRgb, KLerp<BSource>, false>(),
    loopEntry<&lerpPixelRgbTab>(),
    vecEntry<&blendMultiplyRgb, KMultiply, false>(),
    vecEntry<&blendAddRgb, KAdd, false>(),
    vecEntry<&blendSubRgb, KSub, false>(),
    loopEntry<&pixelSet>(),
    loopEntry<&blendPixelOpacity>(),
    loopEntry<&blendPixelTable>(),
    // explicit alpha
    vecEntry<&blendScreen, KLerp<BScreen>, false>(),
    vecEntry<&blendOverlay, KLerp<BOverlay>, false>(),
    vecEntry<&blendHardLight, KLerp<BHardLight>, false>(),
    fastEntry<&blendSoftLight, &lerpSeparableFast<softLightFast>>(),
    vecEntry<&blendDifference, KLerp<BDifference>, false>(),
    vecEntry<&blendExclusion, KLerp<BExclusion>, false>(),
    vecEntry<&blendDarken, KLerp<BDarken>, false>(),
    vecEntry<&blendLighten, KLerp<BLighten>, false>(),
    fastEntry<&blendBurn, &lerpSeparableFast<burnFast>>(),
    fastEntry<&blendDodge, &lerpSeparableFast<dodgeFast>>(),
    fastEntry<&blendHue, &lerpCompositeFast<hueFast>>(),
    fastEntry<&blendSaturation, &lerpCompositeFast<saturationFast>>(),
    fastEntry<&blendColor, &lerpCompositeFast<colorFast>>(),
    fastEntry<&blendLuminosity, &lerpCompositeFast<luminosityFast>>(),
    vecEntry<&blendSubtractNega, KSubtractNega, false>(),
    vecEntry<&blendLinearLight, KLerp<BLinearLight>, false>(),
    fastEntry<&blendVividLight, &lerpSeparableFast<vividLightFast>>(),
    vecEntry<&blendPinLight, KLerp<BPinLight>, false>(),
    // source alpha
    vecEntry<&blendMultiplyOpacity, KMultiply, true>(),
    vecEntry<&blendAddOpacity, KAdd, true>(),
    vecEntry<&blendSubtractOpacity, KSub, true>(),
    vecEntry<&blendNormalOpacity, KLerp<BSource>, true>(),
    vecEntry<&blendScreenA, KLerp<BScreen>, true>(),
    vecEntry<&blendOverlayA, KLerp<BOverlay>, true>(),
    vecEntry<&blendHardLightA, KLerp<BHardLight>, true>(),
    fastEntry<&blendSoftLightA, &withSourceAlpha<&lerpSeparableFast<softLightFast>>>(),
    vecEntry<&blendDifferenceA, KLerp<BDifference>, true>(),
    vecEntry<&blendExclusionA, KLerp<BExclusion>, true>(),
    vecEntry<&blendDarkenA, KLerp<BDarken>, true>(),
    vecEntry<&blendLightenA, KLerp<BLighten>, true>(),
    fastEntry<&blendBurnA, &withSourceAlpha<&lerpSeparableFast<burnFast>>>(),
    fastEntry<&blendDodgeA, &withSourceAlpha<&lerpSeparableFast<dodgeFast>>>(),
    fastEntry<&blendHueA, &withSourceAlpha<&lerpCompositeFast<hueFast>>>(),
    fastEntry<&blendSaturationA, &withSourceAlpha<&lerpCompositeFast<saturationFast>>>(),
    fastEntry<&blendColorA, &withSourceAlpha<&lerpCompositeFast<colorFast>>>(),
    fastEntry<&blendLuminosityA, &withSourceAlpha<&lerpCompositeFast<luminosityFast>>>(),
    vecEntry<&blendSubtractNegaA, KSubtractNega, true>(),
    vecEntry<&blendLinearLightA, KLerp<BLinearLight>, true>(),
    fastEntry<&blendVividLightA, &withSourceAlpha<&lerpSeparableFast<vividLightFast>>>(),
    vecEntry<&blendPinLightA, KLerp<BPinLight>, true>(),
    // alpha over
    loopEntry<&blendPixelMultiplyUnion>(),
    loopEntry<&blendPixelAddUnion>(),
    loopEntry<&blendNormalOver>(),
    loopEntry<&blendScreenOver>(),
    loopEntry<&blendOverlayOver>(),
    loopEntry<&blendHardLightOver>(),
    loopEntry<&blendSoftLightOver>(),
    loopEntry<&blendDifferenceOver>(),
    loopEntry<&blendExclusionOver>(),
    loopEntry<&blendDarkenOver>(),
    loopEntry<&blendLightenOver>(),
    loopEntry<&blendBurnOver>(),
    loopEntry<&blendDodgeOver>(),
    loopEntry<&blendHueOver>(),
    loopEntry<&blendSaturationOver>(),
    loopEntry<&blendColorOver>(),
    loopEntry<&blendLuminosityOver>(),
    loopEntry<&blendSubtractNegaOver>(),
    loopEntry<&blendLinearLightOver>(),
    loopEntry<&blendVividLightOver>(),
    loopEntry<&blendPinLightOver>(),
};

}  // namespace

bool mixesTowardBlend(PixelOp32 op) {
  static const PixelOp32 kMixes[] = {
      &lerpPixelRgb, &blendScreen, &blendOverlay,  &blendHardLight,  &blendSoftLight, &blendDifference,
      &blendExclusion, &blendDarken, &blendLighten, &blendBurn,   &blendDodge,  &blendHue,
      &blendSaturation, &blendColor, &blendLuminosity, &blendLinearLight, &blendVividLight, &blendPinLight,
  };
  return std::find(std::begin(kMixes), std::end(kMixes), op) != std::end(kMixes);
}

SRowKernels rowKernels(PixelOp32 op) {
  for (const Entry& e : kEntries)
    if (e.op == op) return {op, e.row, e.fill};
  return {op, nullptr, nullptr};
}

void mapAlphaRow(uint32_t* dst, size_t n, uint32_t k) {
  if (k >= 255) return;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t p = dst[i];
    dst[i] = (p & 0x00FFFFFFu) | (static_cast<uint32_t>(productAt(pixelAlpha(p), k)) << 24);
  }
}

}  // namespace pg
