#pragma once
// The 22 layer blend modes: their channel formulas, their pixel operators and
// the tables that hand the operators out.
//
// Every mode has one family of operators, all op(pixel address, source colour,
// parameter) over unpremultiplied BGRA8 pixels (blend_arith.h):
//   explicit alpha  blendX(dst, src, alpha): the colour bytes move toward the
//                   blended colour B(d, s) by alpha; the alpha byte is kept.
//   source alpha    blendXA(dst, src, opacity): the explicit member with
//                   alpha = mulDiv255(opacity, source alpha); alpha byte kept.
//   alpha over      blendXOver(dst, src, opacity): for destinations with their
//                   own alpha (layer merges): with sa = mulDiv255(source alpha,
//                   opacity) and dA the destination alpha, the destination
//                   alpha becomes outA = sa + dA - mulDiv255(dA, sa) and the
//                   colour the source-over composite of the blended colour.
// In the channel formulas d is the destination (lower) byte and s the source
// (upper) byte, both 0..255; each formula is applied to blue, green and red.
//
// Fast row versions of the operators are in blend_rows.h.
#include <cstdint>
#include <string>

#include "core/blend_arith.h"
#include "core/composite_core.h"

namespace pg {

// --------------------------------------------------------- layer modes

enum TLayerBlendMode : uint32_t {
  lbmMultiply = 0,
  lbmAdd = 1,
  lbmSubtract = 2,
  lbmNormal = 3,
  lbmScreen = 4,
  lbmOverlay = 5,
  lbmHardLight = 6,
  lbmSoftLight = 7,
  lbmDifference = 8,
  lbmExclusion = 9,
  lbmDarken = 10,
  lbmLighten = 11,
  lbmBurn = 12,
  lbmDodge = 13,
  lbmHue = 14,
  lbmSaturation = 15,
  lbmColor = 16,
  lbmLuminosity = 17,
  lbmSubtractNega = 18,
  lbmLinearLight = 19,
  lbmVividLight = 20,
  lbmPinLight = 21,
};
inline constexpr uint32_t kLayerBlendModeCount = 22;

// The brush blend modes, in the order the user interface lists them; the
// brush operators (brushBlendOp) are indexed by them. They map onto the layer modes elsewhere (paint parameters).
enum TBlendMode : uint32_t {
  bmStandard = 0,
  bmLighten,
  bmScreen,
  bmDodge,
  bmDodgeLinear,
  bmDarken,
  bmMultiple,
  bmBurn,
  bmBurnLinear,
  bmBurnLinearNega,
  bmOverlay,
  bmSoftlight,
  bmHardlight,
  bmVividlight,
  bmLinearlight,
  bmPinlight,
  bmDifference,
  bmExclusion,
  bmHue,
  bmSaturation,
  bmColor,
  bmLuminosity,
};
inline constexpr uint32_t kBlendModeCount = 22;

// Flag bits of a layer mode row.
inline constexpr uint32_t kLayerBlendSubtract = 0x01;  // a merge inverts the RGB of its result
// 0x08 (start from the source colour) and 0x40 (skip transparent sources) are
// the SPixelBlendOps flags (composite_core.h); 0x02, 0x04, 0x10 and 0x20 are
// carried into merge descriptors unchanged.

// One row of the layer blend-mode table.
struct SLayerBlendMode {
  uint32_t Mode;          // layer mode number 0..21
  uint32_t NameId;        // resource string id of the display name
  uint32_t Neutral;       // colour (RGB) that leaves what lies below unchanged
  PixelOp32 SrcAlphaOp;   // operator with source alpha (display composite)
  PixelOp32 ExplicitOp;   // operator with explicit alpha
  uint32_t SecondColour;  // start colour of the mode's composite record
  uint32_t Flags;
};

// The row of (mode and 127) when that is 0..21, else nullptr.
const SLayerBlendMode* layerBlendInfo(uint32_t mode);
// The display name (from the string table); empty outside 0..21.
std::string layerBlendName(uint32_t mode);
// The neutral colour; 0 outside 0..21.
uint32_t layerBlendNeutral(uint32_t mode);

// The alpha-compositing ("Over") operator of (mode and 127); nullptr outside 0..21.
PixelOp32 layerOverOp(uint32_t mode);

// The brush and filter operator of a TBlendMode. With flag 0 (a layer whose
// alpha may change) the standard mode composites alpha (blendPixelTable); with
// a non-zero flag (the layer protects alpha) it keeps the destination alpha
// (lerpPixelRgb); the other modes do not depend on the flag. (mode and 127)
// beyond the 22 modes falls back to standard.
PixelOp32 brushBlendOp(uint32_t flag, uint32_t blendMode);

// The composite record of a mode that composites through
// compositePixelOps (burn, dodge, overlay, hard light, soft light, exclusion,
// subtract negative, vivid light, linear light, pin light, hue, saturation,
// colour, luminosity); nullptr for the other modes and outside 0..21.
const SPixelBlendOps* layerCompositeOps(uint32_t mode);
inline constexpr int kCompositeOpsCount = 14;
// The 14 composite records in their order: burn, dodge, overlay, hard light,
// soft light, exclusion, subtract negative, vivid light, linear light, pin
// light, hue, saturation, colour, luminosity.
const SPixelBlendOps& compositeOpsRow(int index);

// The coverage pair of a layer kind: a rectangle routine that blends
// a source plane into a destination with an opacity (destination first), and
// the per-pixel primitive for a constant colour. Kinds 0 multiply, 1 add,
// 2 subtract; (kind and 127) of any other value gives the normal pair.
using CoverageRectOp = bool (*)(TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point,
                                uint32_t opacity);
struct SLayerKindOps {
  CoverageRectOp RectOp;
  PixelOp32 Primitive;
};
const SLayerKindOps& layerKindOps(uint32_t kind);

// The destination-first rectangle routines of the coverage pairs. compositeNormal blends with
// blendNormalOpacity; the others are compositeMultiply, compositeAdd and
// compositeSubtract with the planes the other way round.
[[nodiscard]] bool compositeNormal(TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point, uint32_t opacity);
[[nodiscard]] bool compositeMultiplyEntry(TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point, uint32_t opacity);
[[nodiscard]] bool compositeAddEntry(TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point, uint32_t opacity);
[[nodiscard]] bool compositeSubtractEntry(TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point, uint32_t opacity);

// ---------------------------------------------------- channel formulas
// Reference forms, straight from the definitions; bytes in, byte out.

// screen: d + s - d*s/255.
uint32_t screenChannel(uint32_t d, uint32_t s);
// multiply: d*s/255.
uint32_t multiplyChannel(uint32_t d, uint32_t s);
// difference: |d - s|.
uint32_t differenceChannel(uint32_t d, uint32_t s);
// darken: min(d, s).
uint32_t darkenChannel(uint32_t d, uint32_t s);
// lighten: max(d, s).
uint32_t lightenChannel(uint32_t d, uint32_t s);
// colour burn: s > 0: 255 - min(255, (255-d)*255 div s); s = 0: 255 when d = 255, else 0.
uint32_t burnChannel(uint32_t d, uint32_t s);
// colour dodge: s < 255: min(255, d*255 div (255-s)); s = 255: 255 when d > 0, else 0.
uint32_t dodgeChannel(uint32_t d, uint32_t s);
// overlay: d < 128: 2ds div 255; else (65025 - 2(255-d)(255-s)) div 255.
uint32_t overlayChannel(uint32_t d, uint32_t s);
// hard light: overlay with the test on s.
uint32_t hardLightChannel(uint32_t d, uint32_t s);
// soft light: s < 128: (255d - (255-2s)*(d(255-d)/255)) div 255;
//             else (255d + (softLightCurve(d) - d)(2s-255)) div 255.
uint32_t softLightChannel(uint32_t d, uint32_t s);
// exclusion: d + s - 2*(d*s/255).
uint32_t exclusionChannel(uint32_t d, uint32_t s);
// vivid light: burn by 2s below 128, dodge by 2(255-s) from 128 (halved quotients).
uint32_t vividLightChannel(uint32_t d, uint32_t s);
// linear light: clamp(d + 2s - 256, 0, 255).
uint32_t linearLightChannel(uint32_t d, uint32_t s);
// pin light: min(max(d, 2s - 255), 2s).
uint32_t pinLightChannel(uint32_t d, uint32_t s);
// subtract negative (linear burn) at full alpha: max(0, d - (255 - s)).
uint32_t subtractNegaChannel(uint32_t d, uint32_t s);

// The soft-light lightening curve of a byte: x = (d << 16) div 255 in 16.16;
// x < 16385: ((16x - 12)x + 4)x, else sqrt(x), both in 16.16; answers (y*255) >> 16.
uint32_t softLightCurve(uint32_t d);

// ------------------------------------------------- colour-model formulas

// A colour (RGB of a pixel) with the hue of c, the saturation sat (max - min of
// R, G, B) and the luminosity lum (the grey of the channels); alpha byte 0.
uint32_t hslCompose(uint32_t c, uint32_t sat, uint32_t lum);
// max - min of a pixel's red, green and blue. (A colour's luminosity is its
// grey, pixelGrey of core/colour.h.)
uint32_t colourSaturation(uint32_t p);

// hue: hslCompose(s, sat(d), lum(d)).
uint32_t hueColour(uint32_t d, uint32_t s);
// saturation: hslCompose(d, sat(s), lum(d)).
uint32_t saturationColour(uint32_t d, uint32_t s);
// colour: hslCompose(s, sat(s), lum(d)).
uint32_t colorColour(uint32_t d, uint32_t s);
// luminosity: hslCompose(d, sat(d), lum(s)).
uint32_t luminosityColour(uint32_t d, uint32_t s);

// ------------------------------------------- explicit-alpha operators
// The colour bytes move toward the blended colour by alpha (lerpPixelRgb);
// alpha 0 keeps the pixel, the alpha byte is never written.

// BGRA8, alpha kept: each colour byte c := floor((c*(255-a) + B(c, s)*a) / 255)
// for a channel formula B; the separable modes are this over their formula.
template <uint32_t (*B)(uint32_t, uint32_t)>
inline void lerpSeparable(uint32_t* dst, uint32_t src, uint32_t alpha) {
  if (alpha == 0) return;
  const uint32_t p = *dst;
  uint32_t r = p & 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    const uint32_t d = pixelByte(p, i);
    r |= lerp255(B(d, pixelByte(src, i)), d, alpha) << (8 * i);
  }
  *dst = r;
}

// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = screenChannel.
void blendScreen(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = overlayChannel.
void blendOverlay(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = hardLightChannel.
void blendHardLight(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = softLightChannel.
void blendSoftLight(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = differenceChannel.
void blendDifference(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = exclusionChannel.
void blendExclusion(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = darkenChannel.
void blendDarken(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = lightenChannel.
void blendLighten(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = burnChannel.
void blendBurn(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = dodgeChannel.
void blendDodge(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = hueColour.
void blendHue(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = saturationColour.
void blendSaturation(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = colorColour.
void blendColor(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = luminosityColour.
void blendLuminosity(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = linearLightChannel.
void blendLinearLight(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = vividLightChannel.
void blendVividLight(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := floor((c*(255-a) + B*a) / 255), B = pinLightChannel.
void blendPinLight(uint32_t* dst, uint32_t src, uint32_t alpha);
// BGRA8, alpha kept: c := max(0, c - (255 - s)*alpha/255) (its own mix, no lerp).
void blendSubtractNega(uint32_t* dst, uint32_t src, uint32_t alpha);

// --------------------------------------------- source-alpha operators
// The explicit member with alpha = mulDiv255(opacity, source alpha); the
// alpha byte is never written.

// BGRA8, alpha kept: blendMultiplyRgb at amount opacity * source alpha / 255.
void blendMultiplyOpacity(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendAddRgb at amount opacity * source alpha / 255.
void blendAddOpacity(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendSubRgb at amount opacity * source alpha / 255.
void blendSubtractOpacity(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: lerpPixelRgb at opacity * source alpha / 255.
void blendNormalOpacity(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendScreen at opacity * source alpha / 255.
void blendScreenA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendOverlay at opacity * source alpha / 255.
void blendOverlayA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendHardLight at opacity * source alpha / 255.
void blendHardLightA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendSoftLight at opacity * source alpha / 255.
void blendSoftLightA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendDifference at opacity * source alpha / 255.
void blendDifferenceA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendExclusion at opacity * source alpha / 255.
void blendExclusionA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendDarken at opacity * source alpha / 255.
void blendDarkenA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendLighten at opacity * source alpha / 255.
void blendLightenA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendBurn at opacity * source alpha / 255.
void blendBurnA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendDodge at opacity * source alpha / 255.
void blendDodgeA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendHue at opacity * source alpha / 255.
void blendHueA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendSaturation at opacity * source alpha / 255.
void blendSaturationA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendColor at opacity * source alpha / 255.
void blendColorA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendLuminosity at opacity * source alpha / 255.
void blendLuminosityA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendLinearLight at opacity * source alpha / 255.
void blendLinearLightA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendVividLight at opacity * source alpha / 255.
void blendVividLightA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendPinLight at opacity * source alpha / 255.
void blendPinLightA(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8, alpha kept: blendSubtractNega at opacity * source alpha / 255.
void blendSubtractNegaA(uint32_t* dst, uint32_t src, uint32_t opacity);

// ----------------------------------------------- alpha-over operators
// BGRA8 with alpha; sa = mulDiv255(source alpha, opacity), dA the destination
// alpha. The destination alpha becomes outA = sa + dA - mulDiv255(dA, sa); at
// outA = 0 the colour stays. The divisions by outA are exact: den below is
// 255*outA before the byte rounding, 255*sa + (255 - sa)*dA.

// BGRA8 with alpha, union: C = (255*(d*dA + s*sa) - dA*sa*(d + s - d*s/255)) / den.
void blendPixelMultiplyUnion(uint32_t* dst, uint32_t src, uint32_t opacity);
// The multiply of a layer merge: where the destination is opaque the
// composition's own source-alpha multiply (blendMultiplyOpacity), so that the
// merge gives the very colour the picture composes there; elsewhere the union.
void blendMultiplyMerge(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha, add union (also subtract's): sa = P[source alpha][opacity];
// A = a + sa - P[a][sa], 255 when both are at least 1; C = min(255, (s*sa + d*a) div A).
void blendPixelAddUnion(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha, normal over: C = (255*s*sa + (255 - sa)*dA*d) / den.
void blendNormalOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha, union: C = (255*(d*dA + s*sa) - dA*sa*(d + s - screen(d, s))) / den.
void blendScreenOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha, over black: D = d*dA; C = (|255s - D|*sa + (255 - sa)*D) / den.
void blendDifferenceOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha, over white: C = (min(d*dA + (255 - dA)*255, 255s)*sa + (255 - sa)*d*dA) / den.
void blendDarkenOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha, over black: D = d*dA; C = (max(D, 255s)*sa + (255 - sa)*D) / den.
void blendLightenOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the overlay composite record.
void blendOverlayOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the hard-light composite record.
void blendHardLightOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the soft-light composite record.
void blendSoftLightOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the exclusion composite record.
void blendExclusionOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the burn composite record.
void blendBurnOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the dodge composite record.
void blendDodgeOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the hue composite record.
void blendHueOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the saturation composite record.
void blendSaturationOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the colour composite record.
void blendColorOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the luminosity composite record.
void blendLuminosityOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the subtract-negative composite record.
void blendSubtractNegaOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the linear-light composite record.
void blendLinearLightOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the vivid-light composite record.
void blendVividLightOver(uint32_t* dst, uint32_t src, uint32_t opacity);
// BGRA8 with alpha: compositePixelOps with the pin-light composite record.
void blendPinLightOver(uint32_t* dst, uint32_t src, uint32_t opacity);

}  // namespace pg
