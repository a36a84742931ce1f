#include "document/layer_blend.h"

#include <algorithm>

#include "core/blend_modes.h"
#include "core/lookup_mask.h"

namespace pg {

namespace {
struct SLinkPair {
  uint8_t lower;
  uint8_t upper;
  uint8_t overMode;  // the layer mode whose alpha-compositing operator the row uses
};
// Multiply pairs use multiply's union operator, add and subtract pairs add's,
// anything over normal the normal over operator.
constexpr SLinkPair kLinkPairs[6] = {
    {lbmMultiply, lbmMultiply, lbmMultiply}, {lbmSubtract, lbmSubtract, lbmAdd},
    {lbmNormal, lbmMultiply, lbmMultiply},   {lbmMultiply, lbmNormal, lbmNormal},
    {lbmNormal, lbmNormal, lbmNormal},       {lbmAdd, lbmAdd, lbmAdd},
};
constexpr int kRowsByKind[4] = {2, 2, 4, 6};
}  // namespace

PixelOp32 findLinkPair(uint32_t lowerMode, uint32_t upperMode, uint32_t linkKind) {
  if (linkKind > 3) return nullptr;
  const uint32_t lo = lowerMode & kByteLookupMask, up = upperMode & kByteLookupMask;
  for (int i = 0; i < kRowsByKind[linkKind]; ++i)
    if (kLinkPairs[i].lower == lo && kLinkPairs[i].upper == up) return layerOverOp(kLinkPairs[i].overMode);
  return nullptr;
}

bool linkMergeOps(uint32_t lowerMode, uint32_t upperMode, bool skipTransparent, SPixelBlendOps& ops) {
  const SLayerBlendMode* lo = layerBlendInfo(lowerMode);
  const SLayerBlendMode* up = layerBlendInfo(upperMode);
  if (!lo || !up) return false;
  // The upper row's second colour when both agree, else the larger one.
  ops.Start = std::max(up->SecondColour, lo->SecondColour);
  ops.Flags = (up->Flags & 0xFF) | (skipTransparent ? kOpsSkipTransparent : 0);
  ops.DstOp = lo->ExplicitOp;
  ops.SrcOp = up->ExplicitOp;
  return true;
}

// The operator of a link-kind-0 merge (or of a link pair): the alpha-
// compositing operator of the upper mode, but for multiply and subtract.
// Where the lower pixel is opaque the merge must give the very colour the
// picture composes there, so multiply uses the composition's own source-alpha
// operator there (blendMultiplyMerge). A subtract layer takes its colour away
// from what lies below it: merged into a base of another mode it subtracts
// (the base's alpha stays), where the alpha-compositing table's shared add
// operator would brighten the picture instead. Into a subtract base a
// subtract layer adds, as the amounts to take away add up.
PixelOp32 mergeOperator(PixelOp32 op, uint32_t lowerMode, uint32_t upperMode) {
  if (op == nullptr) return nullptr;
  if (op == &blendPixelMultiplyUnion) return &blendMultiplyMerge;
  if ((upperMode & kByteLookupMask) == lbmSubtract && (lowerMode & kByteLookupMask) != lbmSubtract) return &blendSubtractOpacity;
  return op;
}

}  // namespace pg
