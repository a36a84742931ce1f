// Region operations of CBlockVCH, the 8-bit tiled channel of masks and the
// selection: copies to and from channels, combination through 8-bit
// operations, fills, one-pixel dilation and erosion, masks made from the
// luminance or alpha of a layer, and the scaled copies.
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/block_pixels.h"
#include "core/colour.h"

namespace pg {

namespace {

inline SRows8 pieceRows8(const CBlockVCH& ch, const STileRec& t, const SRectXYWH& piece) {
  return tileRows8(ch.tileMemory(t), piece.X & 63, piece.Y & 63);
}

inline void fillRows8(SRows8 d, int32_t w, int32_t h, uint8_t v) {
  for (int32_t y = 0; y < h; ++y, d.p += d.step) std::memset(d.p, v, static_cast<size_t>(w));
}

inline void copyRows8(SRows8 d, SRows8 s, int32_t w, int32_t h) {
  for (int32_t y = 0; y < h; ++y, d.p += d.step, s.p += s.step) std::memcpy(d.p, s.p, static_cast<size_t>(w));
}

}  // namespace

// ---- copies ---------------------------------------------------------------------

bool CBlockVCH::copyFromChannel(const TChannel& channel, TPoint point, SRectXYWH rect) {
  if (!isPlaneReady(&channel)) return false;
  return forEachTileFromPlane(channel.size(), point, rect, [&](STileRec& t, const SRectXYWH& piece, TPoint at) {
    if (!commitTile(t)) return false;
    copyRows8(pieceRows8(*this, t, piece), planeRows8(channel, at.X, at.Y), piece.Width, piece.Height);
    return true;
  });
}

bool CBlockVCH::copyToChannel(TChannel& channel, int32_t x, int32_t y, bool skipZero) {
  return copyToChannelRect(channel, TPoint{x, y}, skipZero, SRectXYWH{0, 0, width_, height_});
}

bool CBlockVCH::copyToChannelRect(TChannel& channel, TPoint point, bool skipZero, SRectXYWH rect) {
  if (!isPlaneReady(&channel)) return false;
  return forEachTileToPlane(channel.size(), point, rect, [&](STileRec& t, const SRectXYWH& piece, TPoint at) {
    const SRows8 d = planeRows8(channel, at.X, at.Y);
    if (t.committed()) {
      copyRows8(d, pieceRows8(*this, t, piece), piece.Width, piece.Height);
    } else {
      const uint8_t v = static_cast<uint8_t>(t.uniform);
      if (!(skipZero && v == 0)) fillRows8(d, piece.Width, piece.Height, v);
    }
    return true;
  });
}

// ---- combination ------------------------------------------------------------------

bool CBlockVCH::combine(const CBlockVCH& src, TPoint point, ByteOp op, SRectXYWH rect) {
  if (op == nullptr) return false;
  return forEachTileBlock(src, point, rect, [&](STileRec& dt, const STileRec& st, const SRectXYWH& piece, TPoint at) {
    if (!st.committed()) {
      const uint32_t v = st.uniform & 0xFFu;
      if (!dt.committed() && isWholeTile(piece)) {  // R2
        uint8_t b = static_cast<uint8_t>(dt.uniform);
        op(&b, v);
        dt.uniform = b;
        return true;
      }
      if (!commitTile(dt)) return false;  // R3
      constApply(pieceRows8(*this, dt, piece), piece.Width, piece.Height, [op, v](uint8_t* p) { op(p, v); });
      return true;
    }
    const SRows8 s = tileRows8(src.tileMemory(st), at.X & 63, at.Y & 63);  // R4
    if (!commitTile(dt)) return false;
    rowsApply(pieceRows8(*this, dt, piece), s, piece.Width, piece.Height, [op](uint8_t* p, uint8_t b) { op(p, b); });
    return true;
  });
}

bool CBlockVCH::combineCopy(const CBlockVCH& src, TPoint point, SRectXYWH rect) {
  return combine(src, point, byteSet, rect);
}

bool CBlockVCH::assignFrom(const CBlockVCH& src) {
  return combineCopy(src, TPoint{0, 0}, SRectXYWH{0, 0, src.width(), src.height()});
}

// ---- fills --------------------------------------------------------------------------

bool CBlockVCH::fillRect(SRectXYWH rect, uint8_t v) {
  return forEachTileRect(rect, [&](STileRec& t, const SRectXYWH& piece) {
    if (!t.committed() && isWholeTile(piece)) {
      t.uniform = v;
      return true;
    }
    if (!commitTile(t)) return false;
    fillRows8(pieceRows8(*this, t, piece), piece.Width, piece.Height, v);
    return true;
  });
}

bool CBlockVCH::xorRect(SRectXYWH rect, uint8_t v) {
  return forEachTileRect(rect, [&](STileRec& t, const SRectXYWH& piece) {
    if (!t.committed() && isWholeTile(piece)) {
      t.uniform = (t.uniform ^ v) & 0xFFu;
      return true;
    }
    if (!commitTile(t)) return false;
    constApply(pieceRows8(*this, t, piece), piece.Width, piece.Height, [v](uint8_t* p) { *p ^= v; });
    return true;
  });
}

bool CBlockVCH::xorAll(uint8_t v) { return xorRect(SRectXYWH{0, 0, width_, height_}, v); }

bool CBlockVCH::fillOutside(const TRect& rect, uint8_t v) {
  if (!isValid()) return false;
  bool any = false;
  bool ok = true;
  auto band = [&](int64_t x, int64_t y, int64_t w, int64_t h) {
    if (!ok) return;
    any = true;
    // Bands are inside the image on their long side; the short side is
    // clipped by fillRect (a rectangle reaching past the image is allowed).
    SRectXYWH r{static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(std::min<int64_t>(w, width_)),
                static_cast<int32_t>(std::min<int64_t>(h, height_))};
    if (!fillRect(r, v) && commitFailed()) ok = false;
  };
  if (rect.Top > 0) band(0, 0, width_, rect.Top);
  if (rect.Bottom < height_) band(0, rect.Bottom, width_, int64_t{height_} - rect.Bottom);
  if (rect.Left > 0) band(0, 0, rect.Left, height_);
  if (rect.Right < width_) band(rect.Right, 0, int64_t{width_} - rect.Right, height_);
  return any && ok;
}

bool CBlockVCH::fillOutsideXYWH(const SRectXYWH& rect, uint8_t v) {
  const TRect r{rect.X, rect.Y, static_cast<int32_t>(std::min<int64_t>(int64_t{rect.X} + rect.Width, INT32_MAX)),
                static_cast<int32_t>(std::min<int64_t>(int64_t{rect.Y} + rect.Height, INT32_MAX))};
  return fillOutside(r, v);
}

// ---- dilation and erosion ------------------------------------------------------------

namespace {

// One-pixel 3 x 3 maximum (dilate) or minimum (erode) of src over rect of dst
// (rect already clipped to dst). Three row buffers hold the horizontal
// extreme of rows y - 1, y and y + 1; reads are clamped (edges repeat).
template <bool Max>
bool morph3x3(CBlockVCH& dst, const CBlockVCH& src, const TRect& rect) {
  const int32_t w = rect.Right - rect.Left;
  std::vector<uint8_t> buf;
  try {
    buf.resize(static_cast<size_t>(w) * 3);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!dst.commitRect(SRectXYWH{rect.Left, rect.Top, w, rect.Bottom - rect.Top})) return false;
  uint8_t* rows[3] = {buf.data(), buf.data() + w, buf.data() + 2 * w};
  auto pick = [](uint8_t a, uint8_t b) { return Max ? (a > b ? a : b) : (a < b ? a : b); };
  auto fillRow = [&](uint8_t* out, int32_t y) {
    for (int32_t i = 0; i < w; ++i) {
      const int32_t x = rect.Left + i;
      out[i] = pick(pick(src.getPixelClamped(x - 1, y), src.getPixelClamped(x, y)), src.getPixelClamped(x + 1, y));
    }
  };
  fillRow(rows[0], rect.Top - 1);
  fillRow(rows[1], rect.Top);
  fillRow(rows[2], rect.Top + 1);
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    if (y > rect.Top) {
      uint8_t* old = rows[0];
      rows[0] = rows[1];
      rows[1] = rows[2];
      rows[2] = old;
      fillRow(rows[2], y + 1);
    }
    for (int32_t i = 0; i < w; ++i) {
      uint8_t* p = dst.pixelPtr(rect.Left + i, y);
      if (p == nullptr) return false;
      *p = pick(pick(rows[0][i], rows[1][i]), rows[2][i]);
    }
  }
  return true;
}

}  // namespace

bool CBlockVCH::dilateRect(const CBlockVCH& src, const TRect& rect) {
  TRect r = rect;
  if (!isValid() || !src.isValid() || &src == this || !clipRect(r)) return false;
  return morph3x3<true>(*this, src, r);
}

bool CBlockVCH::dilateFrom(const CBlockVCH& src) {
  TRect r{};
  if (!src.getTileBounds(r)) return false;
  return dilateRect(src, r);
}

bool CBlockVCH::dilateFromGrown(const CBlockVCH& src) {
  TRect r{};
  if (!src.getTileBounds(r)) return false;
  inflateRect(r, 1);
  return dilateRect(src, r);
}

bool CBlockVCH::erodeFrom(const CBlockVCH& src) {
  TRect r{};
  if (!isValid() || !src.isValid() || &src == this || !src.getTileBounds(r) || !clipRect(r)) return false;
  return morph3x3<false>(*this, src, r);
}

// ---- masks from a layer -------------------------------------------------------------------

namespace {

// value := f(src pixel) over the common rectangle; every tile of this channel
// there ends committed. The source is only read.
template <class F>
bool mapFromLayer(CBlockVCH& dst, const CBlockVMTC& src, F f) {
  if (!src.isValid()) return false;
  const SRectXYWH r{0, 0, std::min(dst.width(), src.width()), std::min(dst.height(), src.height())};
  if (!dst.commitRect(r)) return false;
  return dst.forEachTileRect(r, [&](STileRec& t, const SRectXYWH& piece) {
    if (!dst.commitTile(t)) return false;
    SRows8 d = tileRows8(dst.tileMemory(t), piece.X & 63, piece.Y & 63);
    for (int32_t y = 0; y < piece.Height; ++y, d.p += d.step)
      for (int32_t x = 0; x < piece.Width; ++x) d.p[x] = f(src.getPixel(piece.X + x, piece.Y + y));
    return true;
  });
}

}  // namespace

bool CBlockVCH::fromLuminance(const CBlockVMTC& src, bool invert) {
  return mapFromLayer(*this, src, [invert](uint32_t p) {
    uint32_t g = pixelGrey(p);
    if (invert) g = 255 - g;
    return static_cast<uint8_t>(productAt(g, p >> 24));
  });
}

bool CBlockVCH::fromAlpha(const CBlockVMTC& src) {
  return mapFromLayer(*this, src, [](uint32_t p) { return static_cast<uint8_t>(p >> 24); });
}

// ---- scaled copies --------------------------------------------------------------------------

namespace {

// The sum of the mask's pixels in the box [x0, x0 + w) x [y0, y0 + h) that
// lie inside it, a tile at a time: a uniform tile adds its value once for
// every pixel of it the box covers, so a large mask of few committed tiles
// costs the tiles the box touches rather than its pixels.
uint64_t boxSum(const CBlockVCH& img, int64_t x0, int64_t y0, int32_t w, int32_t h) {
  const int64_t xa = std::max<int64_t>(x0, 0), xb = std::min<int64_t>(x0 + w, img.width());
  const int64_t ya = std::max<int64_t>(y0, 0), yb = std::min<int64_t>(y0 + h, img.height());
  if (xa >= xb || ya >= yb) return 0;
  const int32_t shift = img.tileShift(), mask = img.tileMask();
  uint64_t sum = 0;
  for (int64_t ty = ya >> shift; ty <= (yb - 1) >> shift; ++ty) {
    const int64_t py0 = std::max(ya, ty << shift), py1 = std::min(yb, (ty + 1) << shift);
    for (int64_t tx = xa >> shift; tx <= (xb - 1) >> shift; ++tx) {
      const int64_t px0 = std::max(xa, tx << shift), px1 = std::min(xb, (tx + 1) << shift);
      const STileRec* t = img.tileAtIndex(int32_t(tx), int32_t(ty));
      if (t == nullptr) continue;
      if (!t->committed()) {
        sum += uint64_t(static_cast<uint8_t>(t->uniform)) * uint64_t(px1 - px0) * uint64_t(py1 - py0);
        continue;
      }
      const uint8_t* mem = img.tileMemory(*t);
      for (int64_t y = py0; y < py1; ++y) {
        const uint8_t* row = mem + ((y & mask) << shift);
        for (int64_t x = px0; x < px1; ++x) sum += row[x & mask];
      }
    }
  }
  return sum;
}

}  // namespace

bool CBlockVCH::stretchToChannel(TMTC& plane, SRectXYWH dstRect, SRectXYWH srcRect) {
  if (!isValid() || !isPlaneReady(&plane) || dstRect.Width <= 0 || dstRect.Height <= 0 || srcRect.Width <= 0 ||
      srcRect.Height <= 0)
    return false;
  const int64_t rx = (int64_t{srcRect.Width} << 10) / dstRect.Width;
  const int64_t ry = (int64_t{srcRect.Height} << 10) / dstRect.Height;
  const int32_t bw = srcRect.Width / dstRect.Width + 1, bh = srcRect.Height / dstRect.Height + 1;
  const uint64_t n = static_cast<uint64_t>(bw) * static_cast<uint64_t>(bh);
  SRectXYWH r = dstRect;
  if (!plane.clipRectWH(r)) return false;
  for (int32_t y = r.Y; y < r.Y + r.Height; ++y) {
    const int64_t sy0 = ((y * ry) >> 10) + srcRect.Y;
    uint32_t* row = plane.pixelAt(0, y);
    for (int32_t x = r.X; x < r.X + r.Width; ++x) {
      const int64_t sx0 = ((x * rx) >> 10) + srcRect.X;
      row[x] = static_cast<uint32_t>(boxSum(*this, sx0, sy0, bw, bh) / n) * 0x010101u;
    }
  }
  return true;
}

bool CBlockVCH::stretchFrom(const CBlockVCH& src) {
  // Samples outside the source count as 0.
  return stretchBySixteenSamples(*this, src, [&src](const int32_t* xs, const int32_t* ys) {
    uint32_t sum = 0;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) sum += src.getPixelOr0(xs[j], ys[i]);
    return static_cast<uint8_t>(sum / 16);
  });
}

}  // namespace pg
