#pragma once
// The composite core: source-over compositing with replaceable colour
// arithmetic (compositePixelOps), and the rectangle loops that run pixel
// operators over 32-bit planes.
//
// Rectangles are SRectXYWH in source coordinates; the point is where the
// rectangle's top-left corner lands in the destination. Loops that clip use
// clipCopyRect and answer its result (False: nothing was done). Each loop looks
// the operator's row kernel up once (blend_rows.h), so the per-pixel work of a
// known operator is inlined and vectorised; an unknown operator is called per
// pixel through its pointer.
#include <cstdint>

#include "core/blend_arith.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// Flags of SPixelBlendOps.
inline constexpr uint32_t kOpsStartFromSource = 8;    // the accumulator starts from the source colour
inline constexpr uint32_t kOpsSkipTransparent = 64;   // a pixel under a transparent source stays as it was

// The record that drives compositePixelOps.
struct SPixelBlendOps {
  uint32_t Start;    // accumulator start (a packed colour), unless kOpsStartFromSource
  uint32_t Flags;
  PixelOp32 DstOp;   // brings the destination colour into the accumulator (explicit alpha)
  PixelOp32 SrcOp;   // blends the source colour into the accumulator (explicit alpha)
};

// Source-over of src at opacity onto a destination with its own alpha, the
// colour arithmetic given by ops:
//   sa = mulDiv255(source alpha, opacity); with kOpsSkipTransparent and sa = 0
//   nothing changes. outA = sa + dA - mulDiv255(dA, sa) becomes the alpha; at
//   outA = 0 the colour stays. The destination colour as the mode sees it is
//   w = DstOp(start, d, 255) and the mode's mix x = SrcOp(w, s, sa); then
//   colour = ((255-dA)*sa*s + dA*(255*x)) / (255*sa + (255-sa)*dA),
//   the separable source-over: an opaque destination gets x itself, a
//   transparent one the source colour.
// When SrcOp moves its pixel toward a blended colour b by the alpha (every
// explicit-alpha member but subtract negative, multiply, add and subtract),
// 255*x is taken before rounding, sa*b + (255-sa)*w with b = SrcOp(w, s, 255),
// so that the composite is exact.
void compositePixelOps(uint32_t* dst, uint32_t src, uint32_t opacity, const SPixelBlendOps& ops);
// The same with the kind of SrcOp given (mixesTowardBlend(ops.SrcOp)), for
// callers that look it up once for many pixels.
void compositePixelOpsMix(uint32_t* dst, uint32_t src, uint32_t opacity, const SPixelBlendOps& ops, bool exactMix);

// -------------------------------------------------------- rectangle loops

// op(dst pixel, src pixel, param) over rect (source coordinates) placed at
// point in dst; nothing when param is 0. No clipping: the caller guarantees
// the bounds.
void blendRowsOp(const TMTC& src, TMTC& dst, TPoint point, PixelOp32 op, uint32_t param, const SRectXYWH& rect);
// Clips with clipCopyRect, then blendRowsOp.
[[nodiscard]] bool blendPlaneRectOp(const TMTC& src, TMTC& dst, TPoint point, PixelOp32 op, uint32_t param, SRectXYWH rect);
// blendPlaneRectOp with the arguments in another order.
[[nodiscard]] bool compositeRectOp(const TMTC& src, TMTC& dst, const SRectXYWH& rect, TPoint point, PixelOp32 op, uint32_t param);
// compositeRectOp with blendMultiplyRgb, blendAddRgb and blendSubRgb: the
// parameter is the amount; the source's alpha bytes are not used.
[[nodiscard]] bool compositeMultiply(const TMTC& src, TMTC& dst, const SRectXYWH& rect, TPoint point, uint32_t amount);
[[nodiscard]] bool compositeAdd(const TMTC& src, TMTC& dst, const SRectXYWH& rect, TPoint point, uint32_t amount);
[[nodiscard]] bool compositeSubtract(const TMTC& src, TMTC& dst, const SRectXYWH& rect, TPoint point, uint32_t amount);
// Opacity 255: plain copy of the clipped rectangle, alpha included; 0: nothing;
// otherwise lerpPixelRgb by the opacity (colour bytes only, source alpha unused).
[[nodiscard]] bool compositePlaneRect(const TMTC& src, TMTC& dst, TPoint point, uint32_t opacity, SRectXYWH rect);
// compositePlaneRect of the whole source at (x, y).
[[nodiscard]] bool compositePlane(const TMTC& src, TMTC& dst, int32_t x, int32_t y, uint32_t opacity);

// Clips; nothing when param is 0; for every pixel first dst alpha :=
// P[dst alpha][k], then op(dst pixel, src pixel, param).
[[nodiscard]] bool blendRowsOpAlphaMap(const TMTC& src, TMTC& dst, TPoint point, PixelOp32 op, uint32_t param, uint32_t k,
                         SRectXYWH rect);
// The same with one colour for every pixel of rect (destination coordinates, clipped).
[[nodiscard]] bool blendRectOpAlphaMap(TMTC& dst, SRectXYWH rect, uint32_t colour, PixelOp32 op, uint32_t param, uint32_t k);
// Clips; nothing when opacity is 0; for every pixel dst alpha := P[k][dst
// alpha], then compositePixelOps(dst pixel, src pixel, opacity, ops).
[[nodiscard]] bool compositeRectOpsAlphaMap(const TMTC& src, TMTC& dst, TPoint point, const SPixelBlendOps& ops, uint32_t opacity,
                              uint32_t k, SRectXYWH rect);
// The same with one colour over rect (destination coordinates, clipped).
[[nodiscard]] bool compositeColorOpsAlphaMap(TMTC& dst, SRectXYWH rect, uint32_t colour, const SPixelBlendOps& ops,
                               uint32_t opacity, uint32_t k);

// ------------------------------------------------- the generic row walker

// Clips rect and point as the loops do, then calls fn(dstRow, srcRow, width)
// for each row; answers the clipping result. For callers with their own
// per-row work (fn is inlined).
template <class RowFn>
[[nodiscard]] bool forEachRowPair(const TMTC& src, TMTC& dst, TPoint point, SRectXYWH rect, RowFn&& fn) {
  if (!clipCopyRect(dst.size(), src.size(), point, rect)) return false;
  for (int32_t y = 0; y < rect.Height; ++y)
    fn(dst.pixelAt(point.X, point.Y + y), static_cast<const uint32_t*>(src.pixelAt(rect.X, rect.Y + y)),
       static_cast<size_t>(rect.Width));
  return true;
}

}  // namespace pg
