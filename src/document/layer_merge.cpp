// Merging one layer into the layer below it. The merged layer is built
// completely beside the list and only then put in place of the lower layer,
// so that a merge that fails leaves the list, both layers and their opacities
// as they were.
#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/composite_core.h"
#include "document/layer_blend.h"
#include "document/layer_mngr.h"
#include "document/layer_strings.h"

namespace pg {

namespace {
constexpr uint32_t kMergeSkipTransparent = 0x10000;  // high bit 0: pixels under a transparent source stay
constexpr uint32_t kMergeCopyAll = 0x20000;          // high bit 1: the result takes every attribute

// Blends the upper layer into the merged image. `srcOpacity` is the upper
// layer's effective opacity, `k` the merged layer's opacity, which is folded
// into its alpha first.
bool blendInto(CLayerData& merged, const CLayerData& lower, const CLayerData& upper, uint32_t kind,
               bool skipTransparent, uint32_t srcOpacity) {
  const TPoint point{merged.offsetX - upper.offsetX, merged.offsetY - upper.offsetY};
  const SRectXYWH rect{0, 0, upper.imageWidth(), upper.imageHeight()};
  const uint32_t k = merged.opacity;
  CBlockVMTC& img = *merged.image;
  img.clearCommitFailed();
  if (kind == 0) {
    const PixelOp32 op = mergeOperator(layerOverOp(upper.blendMode), lower.blendMode, upper.blendMode);
    if (!op) return false;
    (void)img.blendFrom(*upper.image, point, op, srcOpacity, k, rect);  // checked by commitFailed() below
    merged.opacity = 255;
    return !img.commitFailed();
  }
  if (const PixelOp32 op = mergeOperator(findLinkPair(lower.blendMode, upper.blendMode, kind), lower.blendMode,
                                         upper.blendMode)) {
    (void)img.blendFrom(*upper.image, point, op, srcOpacity, k, rect);  // checked by commitFailed() below
    merged.opacity = 255;
    return !img.commitFailed();
  }
  SPixelBlendOps ops{};
  if (!linkMergeOps(lower.blendMode, upper.blendMode, skipTransparent, ops)) return false;
  (void)img.blendFrom2(*upper.image, point, ops, srcOpacity, k, rect);  // as above
  merged.opacity = 255;
  // A subtract base stores its result inverted.
  if (layerBlendInfo(lower.blendMode)->Flags & kLayerBlendSubtract) (void)img.xorAll(0x00FFFFFFu);  // as above
  return !img.commitFailed();
}
}  // namespace

bool CLayerMngr::mergeLayers(int32_t dst, int32_t src, bool keepOld, uint32_t flags,
                             std::unique_ptr<CLayerData>* oldDst) {
  CLayerData* lower = getLayer(dst);
  CLayerData* upper = getLayer(src);
  const uint32_t kind = flags & 0xFFFF;
  // Everything that can be checked is checked before anything is built.
  if (!lower || !upper || lower == upper || kind > 3) return false;
  if (!lower->hasImage() || !upper->hasImage()) return false;
  if (!layerBlendInfo(lower->blendMode) || !layerBlendInfo(upper->blendMode)) return false;

  // 1. A layer covering both images, holding the lower image at its place.
  const TRect lowRect = lower->imageRect();
  TRect u = lowRect;
  unionRect(u, upper->imageRect());
  const SSize size = rectSize(u);
  std::unique_ptr<CLayerData> merged =
      lower->cloneRegion(size, TPoint{lowRect.Left - u.Left, lowRect.Top - u.Top});
  if (!merged) {
    layerWarning(kStrLayerMergeFailed);
    return false;
  }

  // 2. It stands in for the lower layer.
  (void)merged->resizeThumbnail(thumbWidth_, thumbHeight_);  // a thumbnail that fails stays stale
  merged->setId(lower->id);
  if (flags & kMergeCopyAll) {
    merged->copyAttributes(*lower);
  } else {
    merged->name = lower->name;
    merged->opacity = lower->opacity;
  }

  // 3. A linked upper layer is seen through its base's opacity. The upper
  // layer's own opacity is never touched.
  uint32_t srcOpacity = upper->opacity;
  if (merged->linkLevel < upper->linkLevel) srcOpacity = mulDiv255(srcOpacity, merged->opacity);

  // 4. The blend.
  if (!blendInto(*merged, *lower, *upper, kind, (flags & kMergeSkipTransparent) != 0, srcOpacity)) {
    layerWarning(kStrLayerMergeFailed);
    return false;
  }

  // 5. Finish the merged layer, then put it in place.
  merged->image->compact();
  (void)merged->updateThumbnail();  // a thumbnail that fails stays stale
  std::unique_ptr<CLayerData> old = replaceLayer(dst, std::move(merged));
  if (keepOld && oldDst) *oldDst = std::move(old);
  renumber();
  return true;
}

}  // namespace pg
