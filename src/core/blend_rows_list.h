#pragma once
// The operators that have vector row kernels, with their kernel kind (see
// blend_rows_vec.h): one list, read by the baseline and the AVX2 builds.
#include "core/blend_rows.h"

namespace pg {
// The AVX2 kernels of op (False when op has none or the build has no AVX2
// kernels). Only to be called where the processor has AVX2.
[[nodiscard]] bool avx2RowKernels(PixelOp32 op, SRowKernels& out);
// Likewise for the composite records of source operator srcOp (opsRowKernels).
[[nodiscard]] bool avx2OpsRowKernels(PixelOp32 srcOp, SRowKernels& out);
// quotientRow of the AVX2 build (False where the build has none).
[[nodiscard]] bool avx2QuotientRow(const uint32_t* n, const uint32_t* den, uint32_t* q, size_t count);
// The AVX-512 kernels, likewise (only the Normal source-over and its composite
// record have them; the other operators keep their AVX2 kernels). Only to be
// called where the processor has AVX-512 (F, BW, DQ, VL, VBMI).
[[nodiscard]] bool avx512RowKernels(PixelOp32 op, SRowKernels& out);
[[nodiscard]] bool avx512OpsRowKernels(PixelOp32 srcOp, SRowKernels& out);
// The soft-light curve (softLightCurve) of every byte, for the vector kernels.
const int32_t* softLightCurveTable();
}  // namespace pg

// X(operator, kind, source alpha?)
#define PG_BLEND_VEC_ROWS(X)                                  \
  X(lerpPixelRgb, KLerp<BSource>, false)                      \
  X(blendMultiplyRgb, KMultiply, false)                       \
  X(blendAddRgb, KAdd, false)                                 \
  X(blendSubRgb, KSub, false)                                 \
  X(blendScreen, KLerp<BScreen>, false)                       \
  X(blendOverlay, KLerp<BOverlay>, false)                     \
  X(blendHardLight, KLerp<BHardLight>, false)                 \
  X(blendDifference, KLerp<BDifference>, false)               \
  X(blendExclusion, KLerp<BExclusion>, false)                 \
  X(blendDarken, KLerp<BDarken>, false)                       \
  X(blendLighten, KLerp<BLighten>, false)                     \
  X(blendHue, KColourModel<HueSel>, false)                    \
  X(blendSaturation, KColourModel<SaturationSel>, false)      \
  X(blendColor, KColourModel<ColorSel>, false)                \
  X(blendLuminosity, KColourModel<LuminositySel>, false)      \
  X(blendSubtractNega, KSubtractNega, false)                  \
  X(blendLinearLight, KLerp<BLinearLight>, false)             \
  X(blendPinLight, KLerp<BPinLight>, false)                   \
  X(blendSoftLight, KLerp<BSoftLight>, false)                 \
  X(blendBurn, KLerp<BBurn>, false)                           \
  X(blendDodge, KLerp<BDodge>, false)                         \
  X(blendVividLight, KLerp<BVividLight>, false)               \
  X(blendMultiplyOpacity, KMultiply, true)                    \
  X(blendAddOpacity, KAdd, true)                              \
  X(blendSubtractOpacity, KSub, true)                         \
  X(blendNormalOpacity, KLerp<BSource>, true)                 \
  X(blendScreenA, KLerp<BScreen>, true)                       \
  X(blendOverlayA, KLerp<BOverlay>, true)                     \
  X(blendHardLightA, KLerp<BHardLight>, true)                 \
  X(blendDifferenceA, KLerp<BDifference>, true)               \
  X(blendExclusionA, KLerp<BExclusion>, true)                 \
  X(blendDarkenA, KLerp<BDarken>, true)                       \
  X(blendLightenA, KLerp<BLighten>, true)                     \
  X(blendHueA, KColourModel<HueSel>, true)                    \
  X(blendSaturationA, KColourModel<SaturationSel>, true)      \
  X(blendColorA, KColourModel<ColorSel>, true)                \
  X(blendLuminosityA, KColourModel<LuminositySel>, true)      \
  X(blendSubtractNegaA, KSubtractNega, true)                  \
  X(blendLinearLightA, KLerp<BLinearLight>, true)             \
  X(blendPinLightA, KLerp<BPinLight>, true)                   \
  X(blendSoftLightA, KLerp<BSoftLight>, true)                 \
  X(blendBurnA, KLerp<BBurn>, true)                           \
  X(blendDodgeA, KLerp<BDodge>, true)                         \
  X(blendVividLightA, KLerp<BVividLight>, true)

// Alpha-over operators, the kind of their mix over an opaque destination, and
// whether they are the separable source-over of that mix everywhere (else
// groups over a partly transparent destination take the operator's own
// per-pixel formula in vector lanes: difference, darken, lighten and the add
// union).
// X(operator, kind, separable?)
#define PG_BLEND_VEC_OVER(X)                                \
  X(blendNormalOver, KLerp<BSource>, true)                  \
  X(blendPixelMultiplyUnion, KLerp<BMultiply>, true)        \
  X(blendScreenOver, KLerp<BScreen>, true)                  \
  X(blendPixelAddUnion, KAdd, false)                        \
  X(blendDifferenceOver, KLerp<BDifference>, false)         \
  X(blendDarkenOver, KLerp<BDarken>, false)                 \
  X(blendLightenOver, KLerp<BLighten>, false)               \
  X(blendOverlayOver, KLerp<BOverlay>, true)                \
  X(blendHardLightOver, KLerp<BHardLight>, true)            \
  X(blendExclusionOver, KLerp<BExclusion>, true)            \
  X(blendHueOver, KColourModel<HueSel>, true)               \
  X(blendSaturationOver, KColourModel<SaturationSel>, true) \
  X(blendColorOver, KColourModel<ColorSel>, true)           \
  X(blendLuminosityOver, KColourModel<LuminositySel>, true) \
  X(blendSubtractNegaOver, KSubtractNega, true)             \
  X(blendLinearLightOver, KLerp<BLinearLight>, true)        \
  X(blendPinLightOver, KLerp<BPinLight>, true)              \
  X(blendSoftLightOver, KLerp<BSoftLight>, true)            \
  X(blendBurnOver, KLerp<BBurn>, true)                      \
  X(blendDodgeOver, KLerp<BDodge>, true)                    \
  X(blendVividLightOver, KLerp<BVividLight>, true)

// Composite records whose destination operator is lerpPixelRgb, by their
// source operator: each runs as the separable alpha-over row of its kind
// (opsOverPixel). X(source operator, kind)
#define PG_BLEND_VEC_OPS(X)                          \
  X(lerpPixelRgb, KLerp<BSource>)                    \
  X(blendMultiplyRgb, KMultiply)                     \
  X(blendAddRgb, KAdd)                               \
  X(blendSubRgb, KSub)                               \
  X(blendScreen, KLerp<BScreen>)                     \
  X(blendOverlay, KLerp<BOverlay>)                   \
  X(blendHardLight, KLerp<BHardLight>)               \
  X(blendDifference, KLerp<BDifference>)             \
  X(blendExclusion, KLerp<BExclusion>)               \
  X(blendDarken, KLerp<BDarken>)                     \
  X(blendLighten, KLerp<BLighten>)                   \
  X(blendHue, KColourModel<HueSel>)                  \
  X(blendSaturation, KColourModel<SaturationSel>)    \
  X(blendColor, KColourModel<ColorSel>)              \
  X(blendLuminosity, KColourModel<LuminositySel>)    \
  X(blendSubtractNega, KSubtractNega)                \
  X(blendLinearLight, KLerp<BLinearLight>)           \
  X(blendPinLight, KLerp<BPinLight>)                 \
  X(blendSoftLight, KLerp<BSoftLight>)               \
  X(blendBurn, KLerp<BBurn>)                         \
  X(blendDodge, KLerp<BDodge>)                       \
  X(blendVividLight, KLerp<BVividLight>)

// The entries of a registry built from the lists (inside the namespace that
// holds the kernel templates).
#define PG_BLEND_ROW_ENTRY(op, kind, srcAlpha) \
  {&op, &vecRow<kind, srcAlpha, &op>, &vecFill<kind, srcAlpha, &op>},
#define PG_BLEND_OVER_ENTRY(op, kind, separable) \
  {&op, &vecOverRow<kind, separable, &op>, &vecOverFill<kind, separable, &op>},
#define PG_BLEND_OPS_ENTRY(op, kind) \
  {&op, &opsOverPixel<&op>, &vecOverRow<kind, true, &opsOverPixel<&op>>, &vecOverFill<kind, true, &opsOverPixel<&op>>},
#define PG_BLEND_MULTIPLY_MERGE_ENTRY \
  {&blendMultiplyMerge, &vecOverRow<KMultiplyMerge, true, &blendMultiplyMerge>, \
   &vecOverFill<KMultiplyMerge, true, &blendMultiplyMerge>},
