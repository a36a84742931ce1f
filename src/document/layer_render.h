#pragma once
// Compositing routines on layers: each reads the layer's attributes and hands
// them, with the layer's image, to the tiled-image and plane compositing.
#include <cstdint>

#include "core/layer_composite.h"
#include "core/rect.h"

namespace pg {

class CBlockVMTC;
class CLayerData;
class TMTC;

// The attributes the compositing reads of a layer.
SLayerBlendAttr layerBlendAttr(const CLayerData& layer);

// Blends rect of the plane src onto dest at point with the layer's mode
// (operator with source alpha), opacity and dissolve: a dissolve layer's
// dither follows the destination position and the pixel alone, so a repaint
// dithers identically.
[[nodiscard]] bool blendLayerRect(TMTC& dest, const TMTC& src, TPoint point, const CLayerData& layer, SRectXYWH rect);

// Sets the colour of every pixel of the plane to the mode's neutral colour,
// keeping the alpha.
void fillNeutralRect(TMTC& plane, uint32_t mode);
// The same over the layer's image, with the layer's mode.
[[nodiscard]] bool fillImageNeutral(CLayerData& layer);

// The layer's whole image into the plane with its top-left at (x, y): with
// the mode's operator, opacity and dissolve; through the mode's coverage pair
// (the rect form takes a rectangle of the image and the point it lands on);
// or onto another tiled image through the coverage pair, making the pixels
// reached opaque.
[[nodiscard]] bool layerToPlane(TMTC& plane, const CLayerData& layer, int32_t x, int32_t y);
[[nodiscard]] bool layerToPlaneCoverage(TMTC& plane, const CLayerData& layer, int32_t x, int32_t y);
[[nodiscard]] bool layerToPlaneCoverageAt(TMTC& plane, const CLayerData& layer, SRectXYWH rect, TPoint point);
[[nodiscard]] bool layerToPlaneMasked(CBlockVMTC& dst, const CLayerData& layer, int32_t x, int32_t y);

// What merging a linked layer does to its base, for a base that is a plane in
// Normal mode at full opacity: the upper layer's whole image at point, by
// link kind 0..3 (see CLayerMngr::mergeLayers).
[[nodiscard]] bool mergeLinkedToPlane(TMTC& plane, const CLayerData& upper, uint32_t linkKind, TPoint point,
                        bool skipTransparent);
// The same between two planes: rect of src (in mode srcMode at opacity) onto
// dst at point.
[[nodiscard]] bool compositeLinkedPlanes(TMTC& dst, const TMTC& src, uint32_t srcMode, uint32_t opacity, uint32_t linkKind,
                           SRectXYWH rect, TPoint point, bool skipTransparent);

// rect of src onto dst at point with the coverage routine of a layer kind:
// 0 multiply, 1 add, 2 subtract, anything else normal.
[[nodiscard]] bool copyPlaneByKind(uint32_t kind, TMTC& dst, const TMTC& src, const SRectXYWH& rect, TPoint point,
                     uint32_t opacity);

}  // namespace pg
