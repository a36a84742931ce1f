#include "document/layer_blend.h"

#include "core/blend_modes.h"

namespace pg {

namespace {
struct SLinkPair {
  uint8_t lower;
  uint8_t upper;
  uint8_t overMode;  // the layer mode whose alpha-compositing operator the row uses
};
// Multiply pairs use multiply's union operator, add and subtract pairs add's,
// normal over multiply or normal the normal over operator.
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

}  // namespace pg
