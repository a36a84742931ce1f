#include "document/layer_render.h"

#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/composite_core.h"
#include "document/layer_blend.h"
#include "document/layer_data.h"

namespace pg {

SLayerBlendAttr layerBlendAttr(const CLayerData& layer) {
  SLayerBlendAttr a;
  a.opacity = layer.opacity;
  a.blendMode = layer.blendMode;
  a.dissolve = layer.dissolve;
  a.dissolveAmount = layer.dissolveAmount;
  return a;
}

bool blendLayerRect(TMTC& dest, const TMTC& src, TPoint point, const CLayerData& layer, SRectXYWH rect) {
  const SLayerBlendMode* row = layerBlendInfo(layer.blendMode);
  if (!row || layer.opacity == 0) return false;
  if (!layer.dissolve) return blendPlaneRectOp(src, dest, point, row->SrcAlphaOp, layer.opacity, rect);
  // The dither follows the destination position, as in the tiled composite.
  if (!clipCopyRect(dest.size(), src.size(), point, rect)) return false;
  const SStochasticBlend dissolve{row->SrcAlphaOp, layer.dissolveAmount};
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint32_t* d = dest.pixelAt(point.X, point.Y + y);
    const uint32_t* s = src.pixelAt(rect.X, rect.Y + y);
    for (int32_t x = 0; x < rect.Width; ++x)
      stochasticBlend(dissolve, d + x, s[x], layer.opacity, point.X + x, point.Y + y);
  }
  return true;
}

void fillNeutralRect(TMTC& plane, uint32_t mode) {
  if (!isPlaneReady(&plane)) return;
  const uint32_t rgb = layerBlendNeutral(mode) & 0x00FFFFFFu;
  for (int32_t y = 0; y < plane.Height; ++y) {
    uint32_t* row = plane.pixelAt(0, y);
    for (int32_t x = 0; x < plane.Width; ++x) row[x] = (row[x] & 0xFF000000u) | rgb;
  }
}

bool fillImageNeutral(CLayerData& layer) {
  return layer.hasImage() && layer.image->fillModeNeutralAll(layer.blendMode);
}

namespace {
SRectXYWH wholeImage(const CLayerData& layer) { return {0, 0, layer.imageWidth(), layer.imageHeight()}; }
}  // namespace

bool layerToPlane(TMTC& plane, const CLayerData& layer, int32_t x, int32_t y) {
  return layer.hasImage() && layer.image->blendLayerToPlane(plane, layerBlendAttr(layer), wholeImage(layer), TPoint{x, y});
}

bool layerToPlaneCoverage(TMTC& plane, const CLayerData& layer, int32_t x, int32_t y) {
  return layer.hasImage() &&
         layer.image->blendLayerToPlane2(plane, layerBlendAttr(layer), wholeImage(layer), TPoint{x, y});
}

bool layerToPlaneCoverageAt(TMTC& plane, const CLayerData& layer, SRectXYWH rect, TPoint point) {
  return layer.hasImage() && layer.image->blendLayerToPlane2(plane, layerBlendAttr(layer), rect, point);
}

bool layerToPlaneMasked(CBlockVMTC& dst, const CLayerData& layer, int32_t x, int32_t y) {
  return layer.hasImage() &&
         layer.image->blendLayerMasked(dst, layerBlendAttr(layer), wholeImage(layer), TPoint{x, y});
}

bool mergeLinkedToPlane(TMTC& plane, const CLayerData& upper, uint32_t linkKind, TPoint point,
                        bool skipTransparent) {
  if (!upper.hasImage() || linkKind > 3) return false;
  const SRectXYWH rect = wholeImage(upper);
  PixelOp32 op = mergeOperator(
      linkKind == 0 ? layerOverOp(upper.blendMode) : findLinkPair(lbmNormal, upper.blendMode, linkKind), lbmNormal,
      upper.blendMode);
  if (op) return upper.image->blendPlane(plane, point, op, upper.opacity, 255, rect);
  SPixelBlendOps ops{};
  if (!linkMergeOps(lbmNormal, upper.blendMode, skipTransparent, ops)) return false;
  return upper.image->blendPlaneMasked(plane, point, ops, upper.opacity, 255, rect);
}

bool compositeLinkedPlanes(TMTC& dst, const TMTC& src, uint32_t srcMode, uint32_t opacity, uint32_t linkKind,
                           SRectXYWH rect, TPoint point, bool skipTransparent) {
  if (linkKind > 3) return false;
  PixelOp32 op = mergeOperator(linkKind == 0 ? layerOverOp(srcMode) : findLinkPair(lbmNormal, srcMode, linkKind),
                               lbmNormal, srcMode);
  if (op) return blendRowsOpAlphaMap(src, dst, point, op, opacity, 255, rect);
  SPixelBlendOps ops{};
  if (!linkMergeOps(lbmNormal, srcMode, skipTransparent, ops)) return false;
  return compositeRectOpsAlphaMap(src, dst, point, ops, opacity, 255, rect);
}

bool copyPlaneByKind(uint32_t kind, TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point,
                     uint32_t opacity) {
  return layerKindOps(kind).RectOp(dst, src, rect, point, opacity);
}

}  // namespace pg
