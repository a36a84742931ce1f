#include "core/blend_modes.h"

#include <algorithm>

#include "core/colour.h"
#include "core/fixed_point.h"
#include "platform/string_table.h"

namespace pg {

// ---------------------------------------------------- channel formulas

uint32_t screenChannel(uint32_t d, uint32_t s) { return d + s - mulDiv255(d, s); }

uint32_t multiplyChannel(uint32_t d, uint32_t s) { return mulDiv255(d, s); }

uint32_t differenceChannel(uint32_t d, uint32_t s) { return d > s ? d - s : s - d; }

uint32_t darkenChannel(uint32_t d, uint32_t s) { return std::min(d, s); }

uint32_t lightenChannel(uint32_t d, uint32_t s) { return std::max(d, s); }

uint32_t burnChannel(uint32_t d, uint32_t s) {
  if (s == 0) return d == 255 ? 255u : 0u;
  return 255 - std::min(255u, (255 - d) * 255 / s);
}

uint32_t dodgeChannel(uint32_t d, uint32_t s) {
  if (s == 255) return d > 0 ? 255u : 0u;
  return std::min(255u, d * 255 / (255 - s));
}

uint32_t overlayChannel(uint32_t d, uint32_t s) {
  if (d < 128) return 2 * d * s / 255;
  return (65025 - 2 * (255 - d) * (255 - s)) / 255;
}

uint32_t hardLightChannel(uint32_t d, uint32_t s) {
  if (s < 128) return 2 * d * s / 255;
  return (65025 - 2 * (255 - d) * (255 - s)) / 255;
}

uint32_t softLightCurve(uint32_t d) {
  const int32_t x = static_cast<int32_t>((d << 16) / 255);
  int32_t y;
  if (x < 16385)
    y = fixMul(fixMul(fixMul(16 * kFixOne, x) - 12 * kFixOne, x) + 4 * kFixOne, x);
  else
    y = fixSqrt(x);
  return static_cast<uint32_t>((static_cast<int64_t>(y) * 255) >> 16);
}

uint32_t softLightChannel(uint32_t d, uint32_t s) {
  const int32_t di = static_cast<int32_t>(d);
  const int32_t si = static_cast<int32_t>(s);
  int32_t v;
  if (si < 128)
    v = (255 * di - (255 - 2 * si) * static_cast<int32_t>(mulDiv255(d, 255 - d))) / 255;
  else
    v = (255 * di + (static_cast<int32_t>(softLightCurve(d)) - di) * (2 * si - 255)) / 255;
  return static_cast<uint32_t>(std::clamp(v, 0, 255));
}

uint32_t exclusionChannel(uint32_t d, uint32_t s) { return d + s - 2 * mulDiv255(d, s); }

uint32_t vividLightChannel(uint32_t d, uint32_t s) {
  if (s < 128) {
    if (s == 0) return 0;
    return 255 - std::min(255u, ((255 - d) * 255 / s) >> 1);
  }
  if (s == 255) return 255;
  return std::min(255u, (d * 255 / (255 - s)) >> 1);
}

uint32_t linearLightChannel(uint32_t d, uint32_t s) {
  return static_cast<uint32_t>(std::clamp(static_cast<int32_t>(d + 2 * s) - 256, 0, 255));
}

uint32_t pinLightChannel(uint32_t d, uint32_t s) {
  const int32_t v = std::min(std::max(static_cast<int32_t>(d), static_cast<int32_t>(2 * s) - 255),
                             static_cast<int32_t>(2 * s));
  return static_cast<uint32_t>(v);
}

uint32_t subtractNegaChannel(uint32_t d, uint32_t s) { return d > 255 - s ? d - (255 - s) : 0u; }

// ------------------------------------------------- colour-model formulas

namespace {

constexpr uint32_t packRgb(int32_t r, int32_t g, int32_t b) {
  return (static_cast<uint32_t>(std::clamp(r, 0, 255)) << 16) | (static_cast<uint32_t>(std::clamp(g, 0, 255)) << 8) |
         static_cast<uint32_t>(std::clamp(b, 0, 255));
}

}  // namespace

uint32_t colourSaturation(uint32_t p) {
  int32_t lo = static_cast<int32_t>(pixelByte(p, 2));
  int32_t hi = static_cast<int32_t>(pixelByte(p, 1));
  minMax3(lo, hi, static_cast<int32_t>(pixelByte(p, 0)));
  return static_cast<uint32_t>(hi - lo);
}

uint32_t hslCompose(uint32_t c, uint32_t sat, uint32_t lum) {
  const int32_t ch[3] = {static_cast<int32_t>(pixelByte(c, 2)), static_cast<int32_t>(pixelByte(c, 1)),
                         static_cast<int32_t>(pixelByte(c, 0))};  // R, G, B
  int32_t m = ch[0], M = ch[1];
  minMax3(m, M, ch[2]);
  const int32_t range = M - m;
  const int32_t L0 = static_cast<int32_t>(lum);
  if (sat == 0 || range == 0) return packRgb(L0, L0, L0);
  const int32_t S = static_cast<int32_t>(sat);
  int32_t v[3];
  for (int i = 0; i < 3; ++i) v[i] = (ch[i] - m) * S / range;
  const int32_t L = static_cast<int32_t>(
      rgbToGrey(static_cast<uint32_t>(v[0]), static_cast<uint32_t>(v[1]), static_cast<uint32_t>(v[2])));
  const int32_t delta = L0 - L;
  int32_t out[3];
  if (M + delta >= 256) {
    // Lighten toward white: keep each channel's distance below M in proportion.
    // (The grey weights taken in signed arithmetic: a scaled channel may lie above M.)
    const int32_t q = std::max<int32_t>(
        1, static_cast<int32_t>((static_cast<int64_t>(M - v[0]) * 19595 + static_cast<int64_t>(M - v[1]) * 38469 +
                                 static_cast<int64_t>(M - v[2]) * 7472) >>
                                16));
    for (int i = 0; i < 3; ++i) out[i] = 255 - (255 - L0) * (M - v[i]) / q;
  } else if (delta >= 0) {
    for (int i = 0; i < 3; ++i) out[i] = v[i] + delta;
  } else {
    for (int i = 0; i < 3; ++i) out[i] = L0 * v[i] / L;
  }
  return packRgb(out[0], out[1], out[2]);
}

uint32_t hueColour(uint32_t d, uint32_t s) { return hslCompose(s, colourSaturation(d), pixelGrey(d)); }
uint32_t saturationColour(uint32_t d, uint32_t s) { return hslCompose(d, colourSaturation(s), pixelGrey(d)); }
uint32_t colorColour(uint32_t d, uint32_t s) { return hslCompose(s, colourSaturation(s), pixelGrey(d)); }
uint32_t luminosityColour(uint32_t d, uint32_t s) { return hslCompose(d, colourSaturation(d), pixelGrey(s)); }

// ------------------------------------------- explicit-alpha operators

namespace {

// The colour bytes move toward the composed colour by alpha; alpha byte kept.
template <uint32_t (*F)(uint32_t, uint32_t)>
inline void lerpComposite(uint32_t* dst, uint32_t src, uint32_t alpha) {
  if (alpha == 0) return;
  lerpPixelRgb(dst, F(*dst, src), alpha);
}

}  // namespace

void blendScreen(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<screenChannel>(dst, src, alpha); }
void blendOverlay(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<overlayChannel>(dst, src, alpha); }
void blendHardLight(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<hardLightChannel>(dst, src, alpha); }
void blendSoftLight(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<softLightChannel>(dst, src, alpha); }
void blendDifference(uint32_t* dst, uint32_t src, uint32_t alpha) {
  lerpSeparable<differenceChannel>(dst, src, alpha);
}
void blendExclusion(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<exclusionChannel>(dst, src, alpha); }
void blendDarken(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<darkenChannel>(dst, src, alpha); }
void blendLighten(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<lightenChannel>(dst, src, alpha); }
void blendBurn(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<burnChannel>(dst, src, alpha); }
void blendDodge(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<dodgeChannel>(dst, src, alpha); }
void blendLinearLight(uint32_t* dst, uint32_t src, uint32_t alpha) {
  lerpSeparable<linearLightChannel>(dst, src, alpha);
}
void blendVividLight(uint32_t* dst, uint32_t src, uint32_t alpha) {
  lerpSeparable<vividLightChannel>(dst, src, alpha);
}
void blendPinLight(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpSeparable<pinLightChannel>(dst, src, alpha); }
void blendHue(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpComposite<hueColour>(dst, src, alpha); }
void blendSaturation(uint32_t* dst, uint32_t src, uint32_t alpha) {
  lerpComposite<saturationColour>(dst, src, alpha);
}
void blendColor(uint32_t* dst, uint32_t src, uint32_t alpha) { lerpComposite<colorColour>(dst, src, alpha); }
void blendLuminosity(uint32_t* dst, uint32_t src, uint32_t alpha) {
  lerpComposite<luminosityColour>(dst, src, alpha);
}

void blendSubtractNega(uint32_t* dst, uint32_t src, uint32_t alpha) {
  const uint32_t p = *dst;
  uint32_t r = p & 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    const uint32_t c = pixelByte(p, i);
    const uint32_t t = mulDiv255(255 - pixelByte(src, i), alpha);
    r |= (c > t ? c - t : 0u) << (8 * i);
  }
  *dst = r;
}

// --------------------------------------------- source-alpha operators

namespace {
constexpr uint32_t sourceAlpha(uint32_t src, uint32_t opacity) { return mulDiv255(opacity, pixelAlpha(src)); }
}  // namespace

void blendMultiplyOpacity(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendMultiplyRgb(dst, src, sourceAlpha(src, opacity));
}
void blendAddOpacity(uint32_t* dst, uint32_t src, uint32_t opacity) { blendAddRgb(dst, src, sourceAlpha(src, opacity)); }
void blendSubtractOpacity(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendSubRgb(dst, src, sourceAlpha(src, opacity));
}
void blendNormalOpacity(uint32_t* dst, uint32_t src, uint32_t opacity) {
  lerpPixelRgb(dst, src, sourceAlpha(src, opacity));
}
void blendScreenA(uint32_t* dst, uint32_t src, uint32_t opacity) { blendScreen(dst, src, sourceAlpha(src, opacity)); }
void blendOverlayA(uint32_t* dst, uint32_t src, uint32_t opacity) { blendOverlay(dst, src, sourceAlpha(src, opacity)); }
void blendHardLightA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendHardLight(dst, src, sourceAlpha(src, opacity));
}
void blendSoftLightA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendSoftLight(dst, src, sourceAlpha(src, opacity));
}
void blendDifferenceA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendDifference(dst, src, sourceAlpha(src, opacity));
}
void blendExclusionA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendExclusion(dst, src, sourceAlpha(src, opacity));
}
void blendDarkenA(uint32_t* dst, uint32_t src, uint32_t opacity) { blendDarken(dst, src, sourceAlpha(src, opacity)); }
void blendLightenA(uint32_t* dst, uint32_t src, uint32_t opacity) { blendLighten(dst, src, sourceAlpha(src, opacity)); }
void blendBurnA(uint32_t* dst, uint32_t src, uint32_t opacity) { blendBurn(dst, src, sourceAlpha(src, opacity)); }
void blendDodgeA(uint32_t* dst, uint32_t src, uint32_t opacity) { blendDodge(dst, src, sourceAlpha(src, opacity)); }
void blendHueA(uint32_t* dst, uint32_t src, uint32_t opacity) { blendHue(dst, src, sourceAlpha(src, opacity)); }
void blendSaturationA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendSaturation(dst, src, sourceAlpha(src, opacity));
}
void blendColorA(uint32_t* dst, uint32_t src, uint32_t opacity) { blendColor(dst, src, sourceAlpha(src, opacity)); }
void blendLuminosityA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendLuminosity(dst, src, sourceAlpha(src, opacity));
}
void blendSubtractNegaA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendSubtractNega(dst, src, sourceAlpha(src, opacity));
}
void blendLinearLightA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendLinearLight(dst, src, sourceAlpha(src, opacity));
}
void blendVividLightA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendVividLight(dst, src, sourceAlpha(src, opacity));
}
void blendPinLightA(uint32_t* dst, uint32_t src, uint32_t opacity) {
  blendPinLight(dst, src, sourceAlpha(src, opacity));
}

// ----------------------------------------------- alpha-over operators
// The divisions by outA are done exactly: 255*outA is 255*sa + (255-sa)*dA
// before the byte rounding, so the colour is the true source-over composite
// (floor) even where outA is small, and an opaque destination gives exactly
// the explicit-alpha mix.

namespace {

struct OverAlpha {
  uint32_t sa;    // effective source alpha
  uint32_t dA;    // destination alpha
  uint32_t outA;  // result alpha byte
  uint32_t den;   // 255 * outA before rounding: 255*sa + (255 - sa)*dA
};

inline OverAlpha overAlpha(uint32_t dstPixel, uint32_t src, uint32_t opacity) {
  OverAlpha a;
  a.sa = mulDiv255(pixelAlpha(src), opacity);
  a.dA = pixelAlpha(dstPixel);
  a.outA = a.sa + a.dA - mulDiv255(a.dA, a.sa);
  a.den = 255 * a.sa + (255 - a.sa) * a.dA;
  return a;
}

// Union of the two layers, B where both overlap:
// C = (255*(d*dA + s*sa) - dA*sa*(d + s - B)) / den.
template <uint32_t (*B)(uint32_t, uint32_t)>
inline void unionOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  const uint32_t p = *dst;
  const OverAlpha a = overAlpha(p, src, opacity);
  if (a.outA == 0) {
    *dst = p & 0x00FFFFFFu;
    return;
  }
  uint32_t r = a.outA << 24;
  for (int i = 0; i < 3; ++i) {
    const uint32_t d = pixelByte(p, i), s = pixelByte(src, i);
    const uint32_t num = 255 * (d * a.dA + s * a.sa) - a.dA * a.sa * (d + s - B(d, s));
    r |= std::min(255u, num / a.den) << (8 * i);
  }
  *dst = r;
}

}  // namespace

void blendPixelMultiplyUnion(uint32_t* dst, uint32_t src, uint32_t opacity) {
  unionOver<multiplyChannel>(dst, src, opacity);
}

void blendMultiplyMerge(uint32_t* dst, uint32_t src, uint32_t opacity) {
  if (pixelAlpha(*dst) == 255) {
    blendMultiplyOpacity(dst, src, opacity);
  } else {
    blendPixelMultiplyUnion(dst, src, opacity);
  }
}

void blendScreenOver(uint32_t* dst, uint32_t src, uint32_t opacity) { unionOver<screenChannel>(dst, src, opacity); }

void blendPixelAddUnion(uint32_t* dst, uint32_t src, uint32_t opacity) {
  const uint32_t p = *dst;
  const uint32_t a = pixelAlpha(p);
  const uint32_t sa = productAt(pixelAlpha(src), opacity);
  uint32_t A = a + sa - productAt(a, sa);
  if (A == 0) return;
  if (a >= 1 && sa >= 1) A = 255;
  uint32_t r = A << 24;
  for (int i = 0; i < 3; ++i) r |= std::min(255u, (pixelByte(src, i) * sa + pixelByte(p, i) * a) / A) << (8 * i);
  *dst = r;
}

void blendNormalOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  const uint32_t p = *dst;
  const OverAlpha a = overAlpha(p, src, opacity);
  if (a.outA == 0) {
    *dst = p & 0x00FFFFFFu;
    return;
  }
  if (a.dA == 255) {
    lerpPixelRgb(dst, src, a.sa);
    return;
  }
  uint32_t r = a.outA << 24;
  for (int i = 0; i < 3; ++i) {
    const uint32_t num = 255 * pixelByte(src, i) * a.sa + (255 - a.sa) * a.dA * pixelByte(p, i);
    r |= (num / a.den) << (8 * i);
  }
  *dst = r;
}

namespace {

// Difference, darken and lighten against the destination premultiplied over
// black (or white for darken): C = (M(D, 255 s)*sa + (255 - sa)*d*dA) / den.
template <int Kind>  // 0 difference, 1 darken, 2 lighten
inline void backdropOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  const uint32_t p = *dst;
  const OverAlpha a = overAlpha(p, src, opacity);
  if (a.outA == 0) {
    *dst = p & 0x00FFFFFFu;
    return;
  }
  uint32_t r = a.outA << 24;
  for (int i = 0; i < 3; ++i) {
    const uint32_t dd = pixelByte(p, i) * a.dA;
    const uint32_t s255 = 255 * pixelByte(src, i);
    uint32_t m;
    if constexpr (Kind == 0) {
      m = s255 > dd ? s255 - dd : dd - s255;
    } else if constexpr (Kind == 1) {
      m = std::min(dd + (255 - a.dA) * 255, s255);
    } else {
      m = std::max(dd, s255);
    }
    r |= std::min(255u, (m * a.sa + (255 - a.sa) * dd) / a.den) << (8 * i);
  }
  *dst = r;
}

}  // namespace

void blendDifferenceOver(uint32_t* dst, uint32_t src, uint32_t opacity) { backdropOver<0>(dst, src, opacity); }
void blendDarkenOver(uint32_t* dst, uint32_t src, uint32_t opacity) { backdropOver<1>(dst, src, opacity); }
void blendLightenOver(uint32_t* dst, uint32_t src, uint32_t opacity) { backdropOver<2>(dst, src, opacity); }

// ------------------------------------------- the records of compositePixelOps

namespace {

// The rows of the composite records, in their public order (compositeOpsRow).
enum CompositeRow : int {
  crBurn, crDodge, crOverlay, crHardLight, crSoftLight, crExclusion, crSubtractNega, crVividLight, crLinearLight,
  crPinLight, crHue, crSaturation, crColor, crLuminosity, crNone = -1,
};

constexpr SPixelBlendOps kCompositeOps[kCompositeOpsCount] = {
    {0xFFFFFF, 0, &lerpPixelRgb, &blendBurn},          // crBurn
    {0x000000, 0, &lerpPixelRgb, &blendDodge},         // crDodge
    {0x7F7F7F, 0, &lerpPixelRgb, &blendOverlay},       // crOverlay
    {0x7F7F7F, 0, &lerpPixelRgb, &blendHardLight},     // crHardLight
    {0x7F7F7F, 0, &lerpPixelRgb, &blendSoftLight},     // crSoftLight
    {0x000000, 0, &lerpPixelRgb, &blendExclusion},     // crExclusion
    {0xFFFFFF, 0, &lerpPixelRgb, &blendSubtractNega},  // crSubtractNega
    {0xFFFFFF, 0, &lerpPixelRgb, &blendVividLight},    // crVividLight
    {0x7F7F7F, 0, &lerpPixelRgb, &blendLinearLight},   // crLinearLight
    {0x7F7F7F, 0, &lerpPixelRgb, &blendPinLight},      // crPinLight
    {0xFFFFFF, 0, &lerpPixelRgb, &blendHue},           // crHue
    {0xFFFFFF, 0, &lerpPixelRgb, &blendSaturation},    // crSaturation
    {0xFFFFFF, 0, &lerpPixelRgb, &blendColor},         // crColor
    {0xFFFFFF, 0, &lerpPixelRgb, &blendLuminosity},    // crLuminosity
};

// The Over operator of a mode that composites through its record.
template <CompositeRow Row, bool WithAlpha = true>
void compositeOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  compositePixelOpsMix(dst, src, opacity, kCompositeOps[Row], WithAlpha);
}

}  // namespace

const SPixelBlendOps& compositeOpsRow(int index) { return kCompositeOps[std::clamp(index, 0, kCompositeOpsCount - 1)]; }

void blendOverlayOver(uint32_t* dst, uint32_t src, uint32_t opacity) { compositeOver<crOverlay>(dst, src, opacity); }
void blendHardLightOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  compositeOver<crHardLight>(dst, src, opacity);
}
void blendSoftLightOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  compositeOver<crSoftLight>(dst, src, opacity);
}
void blendExclusionOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  compositeOver<crExclusion>(dst, src, opacity);
}
void blendBurnOver(uint32_t* dst, uint32_t src, uint32_t opacity) { compositeOver<crBurn>(dst, src, opacity); }
void blendDodgeOver(uint32_t* dst, uint32_t src, uint32_t opacity) { compositeOver<crDodge>(dst, src, opacity); }
void blendHueOver(uint32_t* dst, uint32_t src, uint32_t opacity) { compositeOver<crHue>(dst, src, opacity); }
void blendSaturationOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  compositeOver<crSaturation>(dst, src, opacity);
}
void blendColorOver(uint32_t* dst, uint32_t src, uint32_t opacity) { compositeOver<crColor>(dst, src, opacity); }
void blendLuminosityOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  compositeOver<crLuminosity>(dst, src, opacity);
}
void blendSubtractNegaOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  compositeOver<crSubtractNega, false>(dst, src, opacity);
}
void blendLinearLightOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  compositeOver<crLinearLight>(dst, src, opacity);
}
void blendVividLightOver(uint32_t* dst, uint32_t src, uint32_t opacity) {
  compositeOver<crVividLight>(dst, src, opacity);
}
void blendPinLightOver(uint32_t* dst, uint32_t src, uint32_t opacity) { compositeOver<crPinLight>(dst, src, opacity); }

// ------------------------------------------------------- the layer modes

namespace {

// One entry of the layer mode list: the mode's row, its Over operator (the
// alpha-compositing one) and its composite record, if it has one.
struct SLayerModeEntry {
  SLayerBlendMode row;
  PixelOp32 over;
  CompositeRow composite;
};

// Every layer mode once, in mode order; the tables below are read from it.
// Vivid light's neutral colour is 0x808080: its formula at s = 128 gives d
// back for every d but 254, whereas white (s = 255) turns everything white.
// Normal mode's Over member composites alpha (a normal layer merged onto
// transparent pixels keeps its pixels); subtract shares add's.
constexpr SLayerModeEntry kLayerModes[kLayerBlendModeCount] = {
    {{0, 65260, 0xFFFFFF, &blendMultiplyOpacity, &blendMultiplyRgb, 0xFFFFFF, 0x20}, &blendPixelMultiplyUnion, crNone},
    {{1, 65261, 0x000000, &blendAddOpacity, &blendAddRgb, 0x000000, 0x20}, &blendPixelAddUnion, crNone},
    {{2, 65262, 0x000000, &blendSubtractOpacity, &blendSubRgb, 0xFFFFFF, 0x21}, &blendPixelAddUnion, crNone},
    {{3, 65259, 0xFFFFFF, &blendNormalOpacity, &lerpPixelRgb, 0x000000, 0x00}, &blendNormalOver, crNone},
    {{4, 65263, 0x000000, &blendScreenA, &blendScreen, 0x000000, 0x22}, &blendScreenOver, crNone},
    {{5, 65232, 0x7F7F7F, &blendOverlayA, &blendOverlay, 0x7F7F7F, 0x26}, &blendOverlayOver, crOverlay},
    {{6, 65233, 0x7F7F7F, &blendHardLightA, &blendHardLight, 0x7F7F7F, 0x26}, &blendHardLightOver, crHardLight},
    {{7, 65234, 0x7F7F7F, &blendSoftLightA, &blendSoftLight, 0x7F7F7F, 0x26}, &blendSoftLightOver, crSoftLight},
    {{8, 65235, 0x000000, &blendDifferenceA, &blendDifference, 0x000000, 0x22}, &blendDifferenceOver, crNone},
    {{9, 65236, 0x000000, &blendExclusionA, &blendExclusion, 0x000000, 0x22}, &blendExclusionOver, crExclusion},
    {{10, 65237, 0xFFFFFF, &blendDarkenA, &blendDarken, 0xFFFFFF, 0x22}, &blendDarkenOver, crNone},
    {{11, 65238, 0x000000, &blendLightenA, &blendLighten, 0x000000, 0x22}, &blendLightenOver, crNone},
    {{12, 65239, 0xFFFFFF, &blendBurnA, &blendBurn, 0xFFFFFF, 0x22}, &blendBurnOver, crBurn},
    {{13, 65240, 0x000000, &blendDodgeA, &blendDodge, 0x000000, 0x22}, &blendDodgeOver, crDodge},
    {{14, 65241, 0x000000, &blendHueA, &blendHue, 0xFFFFFF, 0x1A}, &blendHueOver, crHue},
    {{15, 65242, 0x000000, &blendSaturationA, &blendSaturation, 0xFFFFFF, 0x1A}, &blendSaturationOver, crSaturation},
    {{16, 65243, 0x000000, &blendColorA, &blendColor, 0xFFFFFF, 0x1A}, &blendColorOver, crColor},
    {{17, 65244, 0x000000, &blendLuminosityA, &blendLuminosity, 0xFFFFFF, 0x1A}, &blendLuminosityOver, crLuminosity},
    {{18, 65245, 0xFFFFFF, &blendSubtractNegaA, &blendSubtractNega, 0xFFFFFF, 0x20}, &blendSubtractNegaOver,
     crSubtractNega},
    {{19, 65246, 0x7F7F7F, &blendLinearLightA, &blendLinearLight, 0x7F7F7F, 0x26}, &blendLinearLightOver,
     crLinearLight},
    {{20, 65247, 0x808080, &blendVividLightA, &blendVividLight, 0xFFFFFF, 0x02}, &blendVividLightOver, crVividLight},
    {{21, 65216, 0x7F7F7F, &blendPinLightA, &blendPinLight, 0x7F7F7F, 0x26}, &blendPinLightOver, crPinLight},
};

constexpr bool modesInOrder() {
  for (uint32_t i = 0; i < kLayerBlendModeCount; ++i)
    if (kLayerModes[i].row.Mode != i) return false;
  return true;
}
static_assert(modesInOrder(), "the layer mode list holds each mode at its own number");

// The brush and filter operator of each brush mode, in TBlendMode order. The
// standard mode's operator depends on whether the layer protects alpha.
struct SBrushModeEntry {
  TBlendMode mode;
  PixelOp32 op;
};
constexpr SBrushModeEntry kBrushModes[kBlendModeCount] = {
    {bmStandard, nullptr},  // see brushBlendOp
    {bmLighten, &blendLighten},       {bmScreen, &blendScreen},
    {bmDodge, &blendDodge},           {bmDodgeLinear, &blendAddRgb},
    {bmDarken, &blendDarken},         {bmMultiple, &blendMultiplyRgb},
    {bmBurn, &blendBurn},             {bmBurnLinear, &blendSubRgb},
    {bmBurnLinearNega, &blendSubtractNega},
    {bmOverlay, &blendOverlay},       {bmSoftlight, &blendSoftLight},
    {bmHardlight, &blendHardLight},   {bmVividlight, &blendVividLight},
    {bmLinearlight, &blendLinearLight}, {bmPinlight, &blendPinLight},
    {bmDifference, &blendDifference}, {bmExclusion, &blendExclusion},
    {bmHue, &blendHue},               {bmSaturation, &blendSaturation},
    {bmColor, &blendColor},           {bmLuminosity, &blendLuminosity},
};

constexpr bool brushModesInOrder() {
  for (uint32_t i = 0; i < kBlendModeCount; ++i)
    if (kBrushModes[i].mode != i) return false;
  return true;
}
static_assert(brushModesInOrder(), "the brush mode list holds each mode at its own number");

// The coverage pairs of the layer kinds: multiply, add, subtract, and normal
// for every other kind.
constexpr SLayerKindOps kLayerKindOps[4] = {
    {&compositeMultiplyEntry, &blendMultiplyRgb},
    {&compositeAddEntry, &blendAddRgb},
    {&compositeSubtractEntry, &blendSubRgb},
    {&compositeNormal, &blendNormalOpacity},
};

}  // namespace

const SLayerBlendMode* layerBlendInfo(uint32_t mode) {
  mode &= 127;
  return mode < kLayerBlendModeCount ? &kLayerModes[mode].row : nullptr;
}

std::string layerBlendName(uint32_t mode) {
  const SLayerBlendMode* row = layerBlendInfo(mode);
  return row ? resString(row->NameId) : std::string();
}

uint32_t layerBlendNeutral(uint32_t mode) {
  const SLayerBlendMode* row = layerBlendInfo(mode);
  return row ? row->Neutral : 0u;
}

PixelOp32 layerOverOp(uint32_t mode) {
  mode &= 127;
  return mode < kLayerBlendModeCount ? kLayerModes[mode].over : nullptr;
}

const SPixelBlendOps* layerCompositeOps(uint32_t mode) {
  mode &= 127;
  if (mode >= kLayerBlendModeCount || kLayerModes[mode].composite == crNone) return nullptr;
  return &kCompositeOps[kLayerModes[mode].composite];
}

PixelOp32 brushBlendOp(uint32_t flag, uint32_t blendMode) {
  blendMode &= 127;
  if (blendMode >= kBlendModeCount || blendMode == bmStandard)
    return flag != 0 ? &lerpPixelRgb : &blendPixelTable;
  return kBrushModes[blendMode].op;
}

const SLayerKindOps& layerKindOps(uint32_t kind) {
  kind &= 127;
  return kLayerKindOps[kind < 3 ? kind : 3];
}

// ------------------------------------------- the coverage pairs of the layer kinds

bool compositeNormal(TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point, uint32_t opacity) {
  return compositeRectOp(src, dst, rect, point, &blendNormalOpacity, opacity);
}
bool compositeMultiplyEntry(TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point, uint32_t opacity) {
  return compositeMultiply(src, dst, rect, point, opacity);
}
bool compositeAddEntry(TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point, uint32_t opacity) {
  return compositeAdd(src, dst, rect, point, opacity);
}
bool compositeSubtractEntry(TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point, uint32_t opacity) {
  return compositeSubtract(src, dst, rect, point, opacity);
}

}  // namespace pg
