#include "core/composite_core.h"

#include <cstring>

#include "core/blend_rows.h"

namespace pg {

// ----------------------------------------------------- compositePixelOps

void compositePixelOps(uint32_t* dst, uint32_t src, uint32_t opacity, const SPixelBlendOps& ops) {
  compositePixelOpsMix(dst, src, opacity, ops, mixesTowardBlend(ops.SrcOp));
}

void compositePixelOpsMix(uint32_t* dst, uint32_t src, uint32_t opacity, const SPixelBlendOps& ops, bool exactMix) {
  const uint32_t d = *dst;
  const uint32_t dA = pixelAlpha(d);
  const uint32_t sa = mulDiv255(pixelAlpha(src), opacity);
  if ((ops.Flags & kOpsSkipTransparent) != 0 && sa == 0) return;
  const uint32_t outA = sa + dA - mulDiv255(dA, sa);
  if (outA == 0) {
    *dst = d & 0x00FFFFFFu;
    return;
  }
  // The destination colour as the mode sees it (DstOp at full weight), and
  // the mode's own explicit-alpha mix of the source into it.
  uint32_t w = (ops.Flags & kOpsStartFromSource) != 0 ? src : ops.Start;
  ops.DstOp(&w, d, 255);
  uint32_t x = w;
  ops.SrcOp(&x, src, sa);
  if (dA == 255) {
    *dst = (x & 0x00FFFFFFu) | 0xFF000000u;
    return;
  }
  uint32_t b = 0;
  if (exactMix) {
    b = w;
    ops.SrcOp(&b, src, 255);
  }
  const uint32_t den = 255 * sa + (255 - sa) * dA;
  uint32_t r = outA << 24;
  for (int i = 0; i < 3; ++i) {
    const uint32_t x255 =
        exactMix ? sa * pixelByte(b, i) + (255 - sa) * pixelByte(w, i) : 255 * pixelByte(x, i);
    const uint32_t num = (255 - dA) * sa * pixelByte(src, i) + dA * x255;
    r |= (num / den) << (8 * i);
  }
  *dst = r;
}

// -------------------------------------------------------- rectangle loops

void blendRowsOp(const TMTC& src, TMTC& dst, TPoint point, PixelOp32 op, uint32_t param, const SRectXYWH& rect) {
  if (param == 0 || rect.Width <= 0 || rect.Height <= 0) return;
  const SRowKernels k = rowKernels(op);
  for (int32_t y = 0; y < rect.Height; ++y)
    runRow(k, dst.pixelAt(point.X, point.Y + y), src.pixelAt(rect.X, rect.Y + y), static_cast<size_t>(rect.Width),
           param);
}

bool blendPlaneRectOp(const TMTC& src, TMTC& dst, TPoint point, PixelOp32 op, uint32_t param, SRectXYWH rect) {
  if (!clipCopyRect(dst.size(), src.size(), point, rect)) return false;
  blendRowsOp(src, dst, point, op, param, rect);
  return true;
}

bool compositeRectOp(const TMTC& src, TMTC& dst, const SRectXYWH& rect, TPoint point, PixelOp32 op, uint32_t param) {
  return blendPlaneRectOp(src, dst, point, op, param, rect);
}

bool compositeMultiply(const TMTC& src, TMTC& dst, const SRectXYWH& rect, TPoint point, uint32_t amount) {
  return compositeRectOp(src, dst, rect, point, &blendMultiplyRgb, amount);
}

bool compositeAdd(const TMTC& src, TMTC& dst, const SRectXYWH& rect, TPoint point, uint32_t amount) {
  return compositeRectOp(src, dst, rect, point, &blendAddRgb, amount);
}

bool compositeSubtract(const TMTC& src, TMTC& dst, const SRectXYWH& rect, TPoint point, uint32_t amount) {
  return compositeRectOp(src, dst, rect, point, &blendSubRgb, amount);
}

bool compositePlaneRect(const TMTC& src, TMTC& dst, TPoint point, uint32_t opacity, SRectXYWH rect) {
  if (!clipCopyRect(dst.size(), src.size(), point, rect)) return false;
  if (opacity >= 255) {
    for (int32_t y = 0; y < rect.Height; ++y)
      std::memmove(dst.pixelAt(point.X, point.Y + y), src.pixelAt(rect.X, rect.Y + y),
                   static_cast<size_t>(rect.Width) * 4);
    return true;
  }
  blendRowsOp(src, dst, point, &lerpPixelRgb, opacity, rect);
  return true;
}

bool compositePlane(const TMTC& src, TMTC& dst, int32_t x, int32_t y, uint32_t opacity) {
  return compositePlaneRect(src, dst, {x, y}, opacity, {0, 0, src.Width, src.Height});
}

bool blendRowsOpAlphaMap(const TMTC& src, TMTC& dst, TPoint point, PixelOp32 op, uint32_t param, uint32_t k,
                         SRectXYWH rect) {
  if (param == 0) return false;
  if (!clipCopyRect(dst.size(), src.size(), point, rect)) return false;
  const SRowKernels kern = rowKernels(op);
  const size_t n = static_cast<size_t>(rect.Width);
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint32_t* d = dst.pixelAt(point.X, point.Y + y);
    mapAlphaRow(d, n, k);
    runRow(kern, d, src.pixelAt(rect.X, rect.Y + y), n, param);
  }
  return true;
}

bool blendRectOpAlphaMap(TMTC& dst, SRectXYWH rect, uint32_t colour, PixelOp32 op, uint32_t param, uint32_t k) {
  if (param == 0) return false;
  if (!dst.clipRectWH(rect)) return false;
  const SRowKernels kern = rowKernels(op);
  const size_t n = static_cast<size_t>(rect.Width);
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint32_t* d = dst.pixelAt(rect.X, rect.Y + y);
    mapAlphaRow(d, n, k);
    runFill(kern, d, colour, n, param);
  }
  return true;
}

bool compositeRectOpsAlphaMap(const TMTC& src, TMTC& dst, TPoint point, const SPixelBlendOps& ops, uint32_t opacity,
                              uint32_t k, SRectXYWH rect) {
  if (opacity == 0) return false;
  if (!clipCopyRect(dst.size(), src.size(), point, rect)) return false;
  const size_t n = static_cast<size_t>(rect.Width);
  const bool exactMix = mixesTowardBlend(ops.SrcOp);
  const SRowKernels kern = opsRowKernels(ops, exactMix);
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint32_t* d = dst.pixelAt(point.X, point.Y + y);
    const uint32_t* s = src.pixelAt(rect.X, rect.Y + y);
    mapAlphaRow(d, n, k);
    if (kern.Row != nullptr) {
      kern.Row(d, s, n, opacity);
      continue;
    }
    for (size_t i = 0; i < n; ++i) compositePixelOpsMix(d + i, s[i], opacity, ops, exactMix);
  }
  return true;
}

bool compositeColorOpsAlphaMap(TMTC& dst, SRectXYWH rect, uint32_t colour, const SPixelBlendOps& ops,
                               uint32_t opacity, uint32_t k) {
  if (opacity == 0) return false;
  if (!dst.clipRectWH(rect)) return false;
  const size_t n = static_cast<size_t>(rect.Width);
  const bool exactMix = mixesTowardBlend(ops.SrcOp);
  const SRowKernels kern = opsRowKernels(ops, exactMix);
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint32_t* d = dst.pixelAt(rect.X, rect.Y + y);
    mapAlphaRow(d, n, k);
    if (kern.Fill != nullptr) {
      kern.Fill(d, colour, n, opacity);
      continue;
    }
    for (size_t i = 0; i < n; ++i) compositePixelOpsMix(d + i, colour, opacity, ops, exactMix);
  }
  return true;
}

}  // namespace pg
