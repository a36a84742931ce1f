// Composition with the flow image standing in for its layer.
#include "canvas/flow_compose.h"

#include <algorithm>

#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/composite_core.h"
#include "core/plane_ops.h"
#include "document/flow_image.h"
#include "document/layer_blend.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/paper.h"

namespace pg {

namespace {

// The same bands as the document's composition, so that a stroke's
// rectangle and the whole picture cut alike.
constexpr int32_t kBandRows = kComposeBandRows;

bool takesPart(const CLayerData& layer) { return layer.visible && layer.opacity > 0 && layer.hasImage(); }

// The flow plane's part under a band: source rectangle (flow coordinates =
// layer image coordinates) and where it lands in the composite.
bool flowSource(const CLayerData& layer, const TMTC& plane, const SRectXYWH& band, SRectXYWH& src, TPoint& at) {
  const int64_t x0 = std::max<int64_t>(int64_t{band.X} + layer.offsetX, 0);
  const int64_t y0 = std::max<int64_t>(int64_t{band.Y} + layer.offsetY, 0);
  const int64_t x1 = std::min<int64_t>({int64_t{band.X} + band.Width + layer.offsetX, layer.imageWidth(), plane.Width});
  const int64_t y1 =
      std::min<int64_t>({int64_t{band.Y} + band.Height + layer.offsetY, layer.imageHeight(), plane.Height});
  if (x0 >= x1 || y0 >= y1) return false;
  src = {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
         static_cast<int32_t>(y1 - y0)};
  at = {static_cast<int32_t>(x0 - layer.offsetX), static_cast<int32_t>(y0 - layer.offsetY)};
  return true;
}

// The flow plane over a band, as composeLayer blends the layer it stands for.
void blendFlow(TMTC& composite, const CLayerData& layer, const TMTC& plane, const SComposeSettings& s,
               const SRectXYWH& band) {
  SRectXYWH src;
  TPoint at;
  if (!flowSource(layer, plane, band, src, at)) return;
  if (s.canvasColor) {
    const SLayerBlendMode* mode = layerBlendInfo(layer.blendMode);
    // A clip result only: the band was clipped by flowSource.
    if (mode != nullptr) (void)blendPlaneRectOp(plane, composite, at, mode->SrcAlphaOp, layer.opacity, src);
    return;
  }
  if (PixelOp32 op = findLinkPair(lbmNormal, layer.blendMode, 3)) {
    (void)blendPlaneRectOp(plane, composite, at, op, layer.opacity, src);  // as above
    return;
  }
  SPixelBlendOps ops{};
  if (!linkMergeOps(lbmNormal, layer.blendMode, true, ops)) return;
  for (int32_t y = 0; y < src.Height; ++y) {
    const uint32_t* from = plane.pixelAt(src.X, src.Y + y);
    uint32_t* to = composite.pixelAt(at.X, at.Y + y);
    for (int32_t x = 0; x < src.Width; ++x) compositePixelOps(to + x, from[x], layer.opacity, ops);
  }
}

}  // namespace

void composeWithFlow(TPaper& doc, const TFlowImage& flow, const TRect& rect) {
  const CLayerMngr* layers = doc.layers();
  const CLayerData* standIn = layers != nullptr ? layers->getLayer(flow.layerIndex) : nullptr;
  if (standIn == nullptr || !flow.valid || !flow.pixels.IsAllocated() || !doc.isStandardMode()) {
    doc.composeRect(rectToXYWH(rect), true);
    return;
  }
  SRectXYWH r = rectToXYWH(rect);
  if (!doc.composite().IsAllocated() || !doc.composite().clipRectWH(r)) return;
  const SComposeSettings s = doc.composeSettings();
  const uint32_t background = composeBackground(s);
  const int32_t bottom = r.Y + r.Height;
  for (int32_t y = r.Y; y < bottom;) {
    const int32_t end = std::min(bottom, (y / kBandRows + 1) * kBandRows);
    const SRectXYWH band{r.X, y, r.Width, end - y};
    fillRectNoClip(doc.composite(), band, background);
    for (int32_t i = 0; i < layers->count(); ++i) {
      const CLayerData& layer = *layers->getLayer(i);
      if (!takesPart(layer)) continue;
      if (i == flow.layerIndex) {
        blendFlow(doc.composite(), layer, flow.pixels, s, band);
      } else {
        (void)composeLayer(doc.composite(), layer, s, band);  // a clip result only
      }
    }
    y = end;
  }
  doc.drawGrid(r);
}

}  // namespace pg
