#include "document/layer_blend.h"

#include <algorithm>

#include "core/blend_modes.h"

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
  const uint32_t lo = lowerMode & 127, up = upperMode & 127;
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

}  // namespace pg
