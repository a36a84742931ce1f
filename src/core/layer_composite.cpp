// Blends of tiled images: a layer with its blend mode and dissolve into a
// display plane or onto another tiled image, and the operator blends with an
// alpha map that layer merges use.
//
// Every blend is one of two piece loops (tiled image onto tiled image, tiled
// image into a plane), templated on a row functor that carries the operator.
// The operator's row kernels are looked up once per operation, so the
// per-pixel work of every known operator is inlined; the dissolve wrapper is
// called pixel by pixel with the pixel's place in the plane, which alone (with
// the pixel) decides the dither.
#include "core/layer_composite.h"

#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/blend_rows.h"
#include "core/block_image.h"
#include "core/block_pixels.h"
#include "core/composite_core.h"
#include "core/plane_ops.h"

namespace pg {

namespace {

// ---- row functors: fill runs one colour over n pixels, row a source row.

// A pixel operator with a parameter (an opacity); nothing at parameter 0.
struct OpRows {
  SRowKernels k;
  uint32_t param;
  bool noop() const { return param == 0; }
  void row(uint32_t* d, const uint32_t* s, size_t n) const { runRow(k, d, s, n, param); }
  void fill(uint32_t* d, uint32_t c, size_t n) const { runFill(k, d, c, n, param); }
};

// The destination alpha mapped with kmap (a := P[a][kmap]) before the operator.
struct AlphaMapOpRows {
  SRowKernels k;
  uint32_t param;
  uint32_t kmap;
  bool noop() const { return param == 0; }
  void row(uint32_t* d, const uint32_t* s, size_t n) const {
    mapAlphaRow(d, n, kmap);
    runRow(k, d, s, n, param);
  }
  void fill(uint32_t* d, uint32_t c, size_t n) const {
    mapAlphaRow(d, n, kmap);
    runFill(k, d, c, n, param);
  }
};

// The alpha map, then compositePixelOps with a record of operators (through
// the record's row kernels where it has them).
struct OpsRows {
  const SPixelBlendOps* ops;
  uint32_t opacity;
  uint32_t kmap;
  bool exactMix;
  SRowKernels k;
  OpsRows(const SPixelBlendOps* o, uint32_t opac, uint32_t km, bool exact)
      : ops(o), opacity(opac), kmap(km), exactMix(exact), k(opsRowKernels(*o, exact)) {}
  bool noop() const { return opacity == 0; }
  void row(uint32_t* d, const uint32_t* s, size_t n) const {
    mapAlphaRow(d, n, kmap);
    if (k.Row != nullptr) {
      k.Row(d, s, n, opacity);
      return;
    }
    for (size_t i = 0; i < n; ++i) compositePixelOpsMix(d + i, s[i], opacity, *ops, exactMix);
  }
  void fill(uint32_t* d, uint32_t c, size_t n) const {
    mapAlphaRow(d, n, kmap);
    if (k.Fill != nullptr) {
      k.Fill(d, c, n, opacity);
      return;
    }
    for (size_t i = 0; i < n; ++i) compositePixelOpsMix(d + i, c, opacity, *ops, exactMix);
  }
};

inline uint32_t* tilePixel(const CBlockVMTC& img, const STileRec& t, int32_t x, int32_t y) {
  return img.tilePixels(t) + ((y & 31) << 5) + (x & 31);
}

// src's rect onto dst at point, piece by piece under rules R1 (when
// skipTransparent) to R4.
template <class Rows>
bool blendBlock(CBlockVMTC& dst, const CBlockVMTC& src, TPoint point, SRectXYWH rect, const Rows& rows,
                bool skipTransparent) {
  return dst.forEachTileBlock(src, point, rect, [&](STileRec& dt, const STileRec& st, const SRectXYWH& piece, TPoint at) {
    if (rows.noop()) return true;
    const size_t w = static_cast<size_t>(piece.Width);
    if (!st.committed()) {
      const uint32_t c = st.uniform;
      if (skipTransparent && (c >> 24) == 0) return true;  // R1
      if (!dt.committed() && dst.isWholeTile(piece)) {      // R2
        rows.fill(&dt.uniform, c, 1);
        return true;
      }
      if (!dst.commitTile(dt)) return false;  // R3
      uint32_t* d = tilePixel(dst, dt, piece.X, piece.Y);
      for (int32_t y = 0; y < piece.Height; ++y, d += 32) rows.fill(d, c, w);
      return true;
    }
    const uint32_t* s = tilePixel(src, st, at.X, at.Y);  // R4
    if (!dst.commitTile(dt)) return false;
    uint32_t* d = tilePixel(dst, dt, piece.X, piece.Y);
    for (int32_t y = 0; y < piece.Height; ++y, d += 32, s += 32) rows.row(d, s, w);
    return true;
  });
}

// img's rect into the plane at point; a uniform piece runs with its colour.
template <class Rows>
bool blendToPlane(CBlockVMTC& img, TMTC& plane, TPoint point, SRectXYWH rect, const Rows& rows,
                  bool skipTransparent) {
  if (!isPlaneReady(&plane)) return false;
  return img.forEachTileToPlane(plane.size(), point, rect, [&](STileRec& t, const SRectXYWH& piece, TPoint at) {
    if (rows.noop()) return true;
    const size_t w = static_cast<size_t>(piece.Width);
    if (!t.committed()) {
      const uint32_t c = t.uniform;
      if (skipTransparent && (c >> 24) == 0) return true;  // R1
      for (int32_t y = 0; y < piece.Height; ++y) rows.fill(plane.pixelAt(at.X, at.Y + y), c, w);
      return true;
    }
    const uint32_t* s = tilePixel(img, t, piece.X, piece.Y);
    for (int32_t y = 0; y < piece.Height; ++y, s += 32) rows.row(plane.pixelAt(at.X, at.Y + y), s, w);
    return true;
  });
}

}  // namespace

// ---- layers -------------------------------------------------------------------------

bool CBlockVMTC::blendLayer(const CBlockVMTC& src, const SLayerBlendAttr& layer, SRectXYWH rect, TPoint point) {
  const SLayerBlendMode* mode = layerBlendInfo(layer.blendMode);
  if (mode == nullptr) return false;
  return blendBlock(*this, src, point, rect, OpRows{rowKernels(mode->SrcAlphaOp), layer.opacity}, true);
}

bool CBlockVMTC::blendLayerToPlane(TMTC& plane, const SLayerBlendAttr& layer, SRectXYWH rect, TPoint point) {
  if (layer.opacity == 0) return false;
  const SLayerBlendMode* mode = layerBlendInfo(layer.blendMode);
  if (mode == nullptr) return false;
  if (!layer.dissolve) return blendToPlane(*this, plane, point, rect, OpRows{rowKernels(mode->SrcAlphaOp), layer.opacity}, true);
  if (!isPlaneReady(&plane)) return false;
  const SStochasticBlend dissolve{mode->SrcAlphaOp, layer.dissolveAmount};
  const uint32_t opacity = layer.opacity;
  return forEachTileToPlane(plane.size(), point, rect, [&](STileRec& t, const SRectXYWH& piece, TPoint at) {
    // A transparent pixel never passes the threshold: such pieces are skipped.
    if (!t.committed() && (t.uniform >> 24) == 0) return true;
    for (int32_t y = 0; y < piece.Height; ++y) {
      uint32_t* d = plane.pixelAt(at.X, at.Y + y);
      const uint32_t* s = t.committed() ? tilePixel(*this, t, piece.X, piece.Y + y) : nullptr;
      for (int32_t x = 0; x < piece.Width; ++x)
        stochasticBlend(dissolve, d + x, s != nullptr ? s[x] : t.uniform, opacity, at.X + x, at.Y + y);
    }
    return true;
  });
}

bool CBlockVMTC::blendLayerToPlane2(TMTC& plane, const SLayerBlendAttr& layer, SRectXYWH rect, TPoint point) {
  if (!isPlaneReady(&plane)) return false;
  const SLayerKindOps& pair = layerKindOps(layer.blendMode);
  const uint32_t opacity = layer.opacity;
  return forEachTileToPlane(plane.size(), point, rect, [&](STileRec& t, const SRectXYWH& piece, TPoint at) {
    if (!t.committed()) {
      const uint32_t c = t.uniform;
      if ((c >> 24) == 0) return true;  // R1
      applyRect(plane, SRectXYWH{at.X, at.Y, piece.Width, piece.Height}, c, pair.Primitive, opacity);
      return true;
    }
    const TVMTC v = view(t);
    pair.RectOp(plane, v, SRectXYWH{piece.X & 31, piece.Y & 31, piece.Width, piece.Height}, at, opacity);
    return true;
  });
}

bool CBlockVMTC::blendLayerMasked(CBlockVMTC& dst, const SLayerBlendAttr& layer, SRectXYWH rect, TPoint point) {
  const SLayerKindOps& pair = layerKindOps(layer.blendMode);
  const uint32_t opacity = layer.opacity;
  return dst.forEachTileBlock(*this, point, rect, [&](STileRec& dt, const STileRec& st, const SRectXYWH& piece, TPoint at) {
    const SRectXYWH local{piece.X & 31, piece.Y & 31, piece.Width, piece.Height};
    if (!st.committed()) {
      const uint32_t c = st.uniform;
      if ((c >> 24) == 0) return true;  // R1
      if (!dt.committed() && dst.isWholeTile(piece)) {
        // R2: the same pixels as the committed branches give, alpha included.
        pair.Primitive(&dt.uniform, c, opacity);
        dt.uniform |= 0xFF000000u;
        return true;
      }
      if (!dst.commitTile(dt)) return false;  // R3
      TVMTC dv = dst.view(dt);
      applyRect(dv, local, c, pair.Primitive, opacity);
      setAlphaRect(dv, local, 255);
      return true;
    }
    if (!dst.commitTile(dt)) return false;  // R4
    TVMTC dv = dst.view(dt);
    const TVMTC sv = view(st);
    pair.RectOp(dv, sv, SRectXYWH{at.X & 31, at.Y & 31, piece.Width, piece.Height}, TPoint{local.X, local.Y}, opacity);
    setAlphaRect(dv, local, 255);
    return true;
  });
}

// ---- operators with an alpha map ------------------------------------------------------

bool CBlockVMTC::blendFrom(const CBlockVMTC& src, TPoint point, PixelOp32 op, uint32_t opacity, uint32_t k,
                           SRectXYWH rect) {
  if (op == nullptr) return false;
  return blendBlock(*this, src, point, rect, AlphaMapOpRows{rowKernels(op), opacity & 0xFFu, k & 0xFFu}, false);
}

bool CBlockVMTC::blendFrom2(const CBlockVMTC& src, TPoint point, const SPixelBlendOps& ops, uint32_t opacity,
                            uint32_t k, SRectXYWH rect) {
  if (ops.DstOp == nullptr || ops.SrcOp == nullptr) return false;
  return blendBlock(*this, src, point, rect,
                    OpsRows{&ops, opacity & 0xFFu, k & 0xFFu, mixesTowardBlend(ops.SrcOp)}, false);
}

bool CBlockVMTC::blendPlane(TMTC& plane, TPoint point, PixelOp32 op, uint32_t opacity, uint32_t k, SRectXYWH rect) {
  if (op == nullptr) return false;
  return blendToPlane(*this, plane, point, rect, AlphaMapOpRows{rowKernels(op), opacity & 0xFFu, k & 0xFFu}, false);
}

bool CBlockVMTC::blendPlaneMasked(TMTC& plane, TPoint point, const SPixelBlendOps& ops, uint32_t opacity, uint32_t k,
                                  SRectXYWH rect) {
  if (ops.DstOp == nullptr || ops.SrcOp == nullptr) return false;
  return blendToPlane(*this, plane, point, rect,
                      OpsRows{&ops, opacity & 0xFFu, k & 0xFFu, mixesTowardBlend(ops.SrcOp)}, false);
}

}  // namespace pg
