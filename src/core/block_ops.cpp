// Region operations of CBlockVMTC that move pixels without a blend mode:
// copies to and from planes and between tiled images, fills, XOR and masked
// bit sets, the transforms through a temporary plane, quarter turns and the
// scaled copies.
//
// Every operation is a tile walker with a per-piece routine. Writing pieces
// commit their destination tile when needed; a tile that cannot be committed
// stops the operation, which answers False (see CBlockImage::commitFailed).
// A whole uniform destination tile that would be set to one value only
// changes its colour.
#include <cstring>
#include <memory>
#include <new>

#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/block_pixels.h"
#include "core/plane_ops.h"
#include "core/ring_buffers.h"

namespace pg {

namespace {

// The rows of a piece of a committed tile of a 32-bit image.
inline SRows32 pieceRows(const CBlockVMTC& img, const STileRec& t, const SRectXYWH& piece) {
  return tileRows32(img.tileMemory(t), piece.X & 31, piece.Y & 31);
}
inline SConstRows32 constRows(SRows32 r) { return {r.p, r.step}; }

}  // namespace

// ---- copies to and from planes ---------------------------------------------------

bool CBlockVMTC::copyToPlane(TMTC& plane, int32_t x, int32_t y, bool skipTransparent, uint32_t opacity) {
  return copyToPlaneRect(plane, TPoint{x, y}, skipTransparent, opacity, SRectXYWH{0, 0, width_, height_});
}

bool CBlockVMTC::copyToPlaneRect(TMTC& plane, TPoint point, bool skipTransparent, uint32_t opacity,
                                 SRectXYWH rect) {
  if (!isPlaneReady(&plane)) return false;
  opacity &= 0xFFu;
  return forEachTileToPlane(plane.size(), point, rect, [&](STileRec& t, const SRectXYWH& piece, TPoint at) {
    if (opacity == 0) return true;
    const SRows32 d = planeRows32(plane, at.X, at.Y);
    if (t.committed()) {
      const SConstRows32 s = constRows(pieceRows(*this, t, piece));
      if (opacity == 255)
        copyRows32(d, s, piece.Width, piece.Height);
      else
        rowsApply(d, s, piece.Width, piece.Height, [opacity](uint32_t* p, uint32_t c) { lerpPixelRgb(p, c, opacity); });
      return true;
    }
    const uint32_t c = t.uniform;
    if (skipTransparent && (c >> 24) == 0) return true;
    // A lower opacity mixes the colour bytes as for a committed tile.
    if (opacity == 255)
      fillRows32(d, piece.Width, piece.Height, c);
    else
      constApply(d, piece.Width, piece.Height, [c, opacity](uint32_t* p) { lerpPixelRgb(p, c, opacity); });
    return true;
  });
}

bool CBlockVMTC::copyFromPlane(const TMTC& plane, int32_t x, int32_t y, uint32_t opacity) {
  return copyFromPlaneRect(plane, TPoint{x, y}, opacity, SRectXYWH{0, 0, plane.Width, plane.Height});
}

bool CBlockVMTC::copyFromPlaneRect(const TMTC& plane, TPoint point, uint32_t opacity, SRectXYWH rect) {
  if (!isPlaneReady(&plane)) return false;
  opacity &= 0xFFu;
  // Every tile is committed before the first pixel moves, so that running out
  // of memory leaves the image as it was.
  if (!forEachTileFromPlane(plane.size(), point, rect,
                            [&](STileRec& t, const SRectXYWH&, TPoint) { return commitTile(t); }))
    return false;
  return forEachTileFromPlane(plane.size(), point, rect, [&](STileRec& t, const SRectXYWH& piece, TPoint at) {
    const SRows32 d = pieceRows(*this, t, piece);
    const SConstRows32 s = constRows(planeRows32(plane, at.X, at.Y));
    if (opacity == 255)
      copyRows32(d, s, piece.Width, piece.Height);
    else if (opacity != 0)
      rowsApply(d, s, piece.Width, piece.Height, [opacity](uint32_t* p, uint32_t c) { lerpPixelRgb(p, c, opacity); });
    return true;
  });
}

// ---- copies between tiled images ------------------------------------------------

bool CBlockVMTC::assignFrom(const CBlockVMTC& src) {
  return assignRect(src, TPoint{0, 0}, SRectXYWH{0, 0, src.width(), src.height()});
}

bool CBlockVMTC::assignRect(const CBlockVMTC& src, TPoint point, SRectXYWH rect) {
  return forEachTileBlock(src, point, rect,
                          [&](STileRec& dt, const STileRec& st, const SRectXYWH& piece, TPoint at) {
                            if (!st.committed()) {
                              const uint32_t c = st.uniform;
                              if (!dt.committed() && isWholeTile(piece)) {
                                dt.uniform = c;
                                return true;
                              }
                              if (!commitTile(dt)) return false;
                              fillRows32(pieceRows(*this, dt, piece), piece.Width, piece.Height, c);
                              return true;
                            }
                            const SConstRows32 s = constRows(tileRows32(src.tileMemory(st), at.X & 31, at.Y & 31));
                            if (!commitTile(dt)) return false;
                            copyRows32(pieceRows(*this, dt, piece), s, piece.Width, piece.Height);
                            return true;
                          });
}

// ---- fills ------------------------------------------------------------------------

bool CBlockVMTC::xorRect(SRectXYWH rect, uint32_t v) {
  return forEachTileRect(rect, [&](STileRec& t, const SRectXYWH& piece) {
    if (!t.committed() && isWholeTile(piece)) {
      t.uniform ^= v;
      return true;
    }
    if (!commitTile(t)) return false;
    constApply(pieceRows(*this, t, piece), piece.Width, piece.Height, [v](uint32_t* p) { *p ^= v; });
    return true;
  });
}

bool CBlockVMTC::xorAll(uint32_t v) { return xorRect(SRectXYWH{0, 0, width_, height_}, v); }

bool CBlockVMTC::fillMaskedRect(SRectXYWH rect, uint32_t mask, uint32_t v) {
  const uint32_t bits = v & mask;
  return forEachTileRect(rect, [&](STileRec& t, const SRectXYWH& piece) {
    if (!t.committed() && isWholeTile(piece)) {
      t.uniform = (t.uniform & ~mask) | bits;
      return true;
    }
    if (!commitTile(t)) return false;
    constApply(pieceRows(*this, t, piece), piece.Width, piece.Height,
               [mask, bits](uint32_t* p) { *p = (*p & ~mask) | bits; });
    return true;
  });
}

bool CBlockVMTC::fillRGBAll(uint32_t colour) { return fillRGBRect(SRectXYWH{0, 0, width_, height_}, colour); }

bool CBlockVMTC::fillRGBRect(SRectXYWH rect, uint32_t colour) { return fillMaskedRect(rect, 0x00FFFFFFu, colour); }

bool CBlockVMTC::fillAlphaAll(uint32_t a) { return fillAlphaRect(SRectXYWH{0, 0, width_, height_}, a); }

bool CBlockVMTC::fillAlphaRect(SRectXYWH rect, uint32_t a) { return fillMaskedRect(rect, 0xFF000000u, a << 24); }

bool CBlockVMTC::fillModeNeutralAll(uint32_t mode) {
  return fillModeNeutralRect(SRectXYWH{0, 0, width_, height_}, mode);
}

bool CBlockVMTC::fillModeNeutralRect(SRectXYWH rect, uint32_t mode) {
  if (layerBlendInfo(mode) == nullptr) return false;
  return fillMaskedRect(rect, 0x00FFFFFFu, layerBlendNeutral(mode));
}

void CBlockVMTC::fill(uint32_t colour) {
  for (STileRec& t : tiles_) {
    if (t.committed())
      fillTileMemory(tileMemory(t), colour);
    else
      t.uniform = colour;
  }
}

// ---- transforms ---------------------------------------------------------------------

namespace {

// Which way a rectangle of a plane is turned over.
enum class Turn { MirrorH, FlipV, Rotate180 };

// The rectangle goes out to a plane of its own size (not the whole image's),
// is turned there and comes back; the result is the same as turning it in a
// plane of the image size, at a fraction of the memory.
bool turnRect(CBlockVMTC& img, SRectXYWH rect, Turn turn) {
  if (!img.isValid() || !img.clipXYWH(rect)) return false;
  TMTC tmp;
  if (!tmp.Resize(rect.Width, rect.Height)) return false;
  if (!img.commitRect(rect)) {
    img.compact();
    return false;
  }
  if (!img.copyToPlaneRect(tmp, TPoint{0, 0}, false, 255, rect)) {
    img.compact();
    return false;
  }
  const SRectXYWH all{0, 0, rect.Width, rect.Height};
  if (turn == Turn::MirrorH)
    pg::mirrorRectH(tmp, all);
  else if (turn == Turn::FlipV)
    pg::flipRectV(tmp, all);
  else
    pg::rotateRect180(tmp, all);
  const bool ok = img.copyFromPlane(tmp, rect.X, rect.Y, 255);
  img.compact();
  return ok;
}

}  // namespace

bool CBlockVMTC::mirrorRectH(SRectXYWH rect) { return turnRect(*this, rect, Turn::MirrorH); }
bool CBlockVMTC::flipRectV(SRectXYWH rect) { return turnRect(*this, rect, Turn::FlipV); }
bool CBlockVMTC::rotateRect180(SRectXYWH rect) { return turnRect(*this, rect, Turn::Rotate180); }

bool CBlockVMTC::rotateToPlane(TMTC& plane, bool clockwise) {
  if (!isValid() || !isPlaneReady(&plane)) return false;
  // The turned image is height x width; the plane takes what fits of it.
  const int32_t w = std::min(plane.Width, height_), h = std::min(plane.Height, width_);
  for (int32_t Y = 0; Y < h; ++Y) {
    uint32_t* row = plane.pixelAt(0, Y);
    for (int32_t X = 0; X < w; ++X)
      row[X] = clockwise ? getPixelClamped(Y, height_ - 1 - X) : getPixelClamped(width_ - 1 - Y, X);
  }
  return true;
}

namespace {

// The one colour of every pixel in a rectangle (inside the image) of uniform
// tiles; false when a tile of it holds pixels or the tiles differ.
[[nodiscard]] bool uniformColour(const CBlockVMTC& img, SRectXYWH r, uint32_t& colour) {
  const int32_t s = img.tileShift();
  bool first = true;
  for (int32_t row = r.Y >> s; row <= (r.Y + r.Height - 1) >> s; ++row)
    for (int32_t col = r.X >> s; col <= (r.X + r.Width - 1) >> s; ++col) {
      const STileRec* t = img.tileAtIndex(col, row);
      if (t == nullptr || t->committed() || (!first && t->uniform != colour)) return false;
      colour = t->uniform;
      first = false;
    }
  return !first;
}

}  // namespace

bool CBlockVMTC::rotateToBlock(CBlockVMTC& dst, TPoint point, bool clockwise) {
  if (!isValid() || !dst.isValid() || &dst == this) return false;
  // Destination pixels point + (X, Y) for X < height, Y < width, clipped to
  // dst on every side in both directions.
  SRectXYWH area{point.X, point.Y, height_, width_};
  if (!dst.clipXYWH(area)) return false;
  // The source rectangle a piece of the destination is turned from.
  const auto sourceOf = [&](const SRectXYWH& piece) {
    const int32_t x0 = piece.X - point.X, y0 = piece.Y - point.Y;
    return clockwise ? SRectXYWH{y0, height_ - x0 - piece.Width, piece.Height, piece.Width}
                     : SRectXYWH{width_ - y0 - piece.Height, x0, piece.Height, piece.Width};
  };
  // A whole destination tile turned from uniform tiles of one colour takes
  // that colour without memory; every other piece is committed first, so
  // that running out of memory leaves the destination as it was.
  if (!dst.forEachTileRect(area, [&](STileRec& t, const SRectXYWH& piece) {
        uint32_t colour = 0;
        return (dst.isWholeTile(piece) && uniformColour(*this, sourceOf(piece), colour)) || dst.commitTile(t);
      }))
    return false;
  return dst.forEachTileRect(area, [&](STileRec& t, const SRectXYWH& piece) {
    uint32_t colour = 0;
    if (dst.isWholeTile(piece) && uniformColour(*this, sourceOf(piece), colour)) {
      (void)dst.decommitTile(t);  // freeing cannot fail
      t.uniform = colour;
      return true;
    }
    for (int32_t y = piece.Y; y < piece.Y + piece.Height; ++y) {
      const int32_t Y = y - point.Y;
      uint32_t* p = dst.pixelPtr(piece.X, y);
      if (p == nullptr) return false;
      for (int32_t x = piece.X; x < piece.X + piece.Width; ++x, ++p) {
        const int32_t X = x - point.X;
        *p = clockwise ? getPixel(Y, height_ - 1 - X) : getPixel(width_ - 1 - Y, X);
      }
    }
    return true;
  });
}

// ---- scaled copies -------------------------------------------------------------------

bool CBlockVMTC::stretchFrom(const CBlockVMTC& src) {
  // Samples outside the source take the nearest edge pixel; each byte is averaged.
  return stretchBySixteenSamples(*this, src, [&src](const int32_t* xs, const int32_t* ys) {
    uint32_t sum[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) {
        const uint32_t p = src.getPixelClamped(xs[j], ys[i]);
        for (int b = 0; b < 4; ++b) sum[b] += (p >> (8 * b)) & 0xFFu;
      }
    return (sum[0] / 16) | (sum[1] / 16) << 8 | (sum[2] / 16) << 16 | (sum[3] / 16) << 24;
  });
}

bool CBlockVMTC::stretchToPlane(TMTC& plane, SRectXYWH dstRect, int32_t srcW, int32_t srcH) {
  if (!isValid() || !isPlaneReady(&plane) || dstRect.Width <= 0 || dstRect.Height <= 0 || srcW <= 0 || srcH <= 0)
    return false;
  const int64_t rx = (int64_t{srcW} << 10) / dstRect.Width, ry = (int64_t{srcH} << 10) / dstRect.Height;
  const int32_t bw = srcW / dstRect.Width + 1, bh = srcH / dstRect.Height + 1;
  const uint32_t n = static_cast<uint32_t>(bw) * static_cast<uint32_t>(bh);
  SRectXYWH r = dstRect;
  if (!plane.clipRectWH(r)) return false;
  for (int32_t y = r.Y; y < r.Y + r.Height; ++y) {
    const int32_t sy0 = static_cast<int32_t>((y * ry) >> 10);
    uint32_t* row = plane.pixelAt(0, y);
    for (int32_t x = r.X; x < r.X + r.Width; ++x) {
      const int32_t sx0 = static_cast<int32_t>((x * rx) >> 10);
      uint64_t sum[4] = {0, 0, 0, 0};
      for (int32_t i = 0; i < bh; ++i)
        for (int32_t j = 0; j < bw; ++j) {
          const uint32_t p = getPixelClamped(sx0 + j, sy0 + i);
          for (int b = 0; b < 4; ++b) sum[b] += (p >> (8 * b)) & 0xFFu;
        }
      uint32_t v = 0;
      for (int b = 0; b < 4; ++b) v |= static_cast<uint32_t>(sum[b] / n) << (8 * b);
      row[x] = v;
    }
  }
  return true;
}

}  // namespace pg

// ---- alpha channel and byte grids ----------------------------------------------------

namespace pg {

bool CBlockVMTC::alphaToGrid(SByteGrid& grid, SRectXYWH rect) const {
  if (!isValid() || !clipXYWH(rect)) return false;
  if (!byteGridSetSize(grid, rect.Width, rect.Height)) return false;
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint8_t* row = byteGridRow(grid, 0, y);
    for (int32_t x = 0; x < rect.Width; ++x) row[x] = static_cast<uint8_t>(getPixel(rect.X + x, rect.Y + y) >> 24);
  }
  return true;
}

bool CBlockVMTC::alphaFromGrid(const SByteGrid& grid, TPoint point) {
  if (!byteGridAllocated(grid)) return false;
  if (!commitRect(SRectXYWH{point.X, point.Y, grid.W, grid.H})) {
    compact();
    return false;
  }
  const bool ok = forEachTileRect(SRectXYWH{point.X, point.Y, grid.W, grid.H}, [&](STileRec& t, const SRectXYWH& piece) {
    if (!commitTile(t)) return false;
    SRows32 d = tileRows32(tileMemory(t), piece.X & 31, piece.Y & 31);
    for (int32_t y = 0; y < piece.Height; ++y, d.p += d.step) {
      const uint8_t* g = byteGridRow(grid, piece.X - point.X, piece.Y - point.Y + y);
      for (int32_t x = 0; x < piece.Width; ++x) d.p[x] = (d.p[x] & 0x00FFFFFFu) | (uint32_t{g[x]} << 24);
    }
    return true;
  });
  compact();
  return ok;
}

bool CBlockVMTC::swapAlphaWithGrid(SByteGrid& grid) {
  if (!isValid() || !byteGridAllocated(grid) || grid.W != width_ || grid.H != height_) return false;
  if (!commitRect(SRectXYWH{0, 0, width_, height_})) {
    compact();
    return false;
  }
  const bool ok = forEachTileRect(SRectXYWH{0, 0, width_, height_}, [&](STileRec& t, const SRectXYWH& piece) {
    if (!commitTile(t)) return false;
    SRows32 d = tileRows32(tileMemory(t), piece.X & 31, piece.Y & 31);
    for (int32_t y = 0; y < piece.Height; ++y, d.p += d.step) {
      uint8_t* g = byteGridRow(grid, piece.X, piece.Y + y);
      for (int32_t x = 0; x < piece.Width; ++x) {
        const uint8_t a = static_cast<uint8_t>(d.p[x] >> 24);
        d.p[x] = (d.p[x] & 0x00FFFFFFu) | (uint32_t{g[x]} << 24);
        g[x] = a;
      }
    }
    return true;
  });
  compact();
  return ok;
}

}  // namespace pg
