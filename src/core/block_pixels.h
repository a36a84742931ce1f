#pragma once
// Row loops shared by the region operations of tiled images. A piece of a
// tile or a plane is addressed as its first pixel and the distance between
// its rows in elements (32 or 64 inside a tile; a plane's RowStep, negative
// for bottom-up planes). The loops take the per-pixel work as a functor so
// that the compiler inlines the blend operator into the loop.
#include <cstddef>
#include <cstdint>

#include "core/planes.h"

namespace pg {

// Rows of a 32-bit piece.
struct SRows32 {
  uint32_t* p;
  ptrdiff_t step;
};
struct SConstRows32 {
  const uint32_t* p;
  ptrdiff_t step;
};
// Rows of an 8-bit piece.
struct SRows8 {
  uint8_t* p;
  ptrdiff_t step;
};

inline SRows32 tileRows32(uint8_t* tile, int32_t lx, int32_t ly) {
  return {reinterpret_cast<uint32_t*>(tile) + (static_cast<ptrdiff_t>(ly) << 5) + lx, 32};
}
inline SRows32 planeRows32(const TMTC& plane, int32_t x, int32_t y) {
  return {plane.pixelAt(x, y), plane.RowStep()};
}
inline SRows8 tileRows8(uint8_t* tile, int32_t lx, int32_t ly) {
  return {tile + (static_cast<ptrdiff_t>(ly) << 6) + lx, 64};
}
inline SRows8 planeRows8(const TChannel& plane, int32_t x, int32_t y) {
  return {plane.pixelAt(x, y), plane.RowStep()};
}

// op(dst pixel address, src pixel) over w x h; 32-bit or 8-bit pieces.
template <class DstRows, class SrcRows, class Op>
inline void rowsApply(DstRows d, SrcRows s, int32_t w, int32_t h, Op&& op) {
  for (int32_t y = 0; y < h; ++y, d.p += d.step, s.p += s.step)
    for (int32_t x = 0; x < w; ++x) op(d.p + x, s.p[x]);
}

// op(dst pixel address) over w x h; 32-bit or 8-bit pieces.
template <class DstRows, class Op>
inline void constApply(DstRows d, int32_t w, int32_t h, Op&& op) {
  for (int32_t y = 0; y < h; ++y, d.p += d.step)
    for (int32_t x = 0; x < w; ++x) op(d.p + x);
}

// Every pixel of a 32-bit piece := v.
inline void fillRows32(SRows32 d, int32_t w, int32_t h, uint32_t v) {
  constApply(d, w, h, [v](uint32_t* p) { *p = v; });
}

// Copies a 32-bit piece row by row.
inline void copyRows32(SRows32 d, SConstRows32 s, int32_t w, int32_t h) {
  rowsApply(d, s, w, h, [](uint32_t* p, uint32_t v) { *p = v; });
}

// dst := src resampled to dst's size, each pixel the mean of a 4 x 4 grid of
// samples at quarter steps, positions in 10-bit fixed point (in 64 bits: a
// source up to the plane limit wide would overflow 32 bits once shifted).
// mean(xs, ys) answers the pixel from the grid's four columns and four rows.
// Every tile of dst ends committed, then dst is compacted; False when memory
// ran out. Image is a tiled image (CBlockVMTC or CBlockVCH).
template <class Image, class Mean>
[[nodiscard]] bool stretchBySixteenSamples(Image& dst, const Image& src, Mean&& mean) {
  if (!dst.isValid() || !src.isValid() || &src == &dst) return false;
  const int32_t width = dst.width(), height = dst.height();
  const int64_t rx = (int64_t{src.width()} << 10) / width, ry = (int64_t{src.height()} << 10) / height;
  const int64_t qx = (int64_t{src.width()} << 10) / 4 / width, qy = (int64_t{src.height()} << 10) / 4 / height;
  if (!dst.commitRect(SRectXYWH{0, 0, width, height})) {
    dst.compact();
    return false;
  }
  bool ok = true;
  for (int32_t y = 0; y < height && ok; ++y) {
    int32_t ys[4];
    for (int64_t i = 0; i < 4; ++i) ys[i] = static_cast<int32_t>((i * qy + ry * y) >> 10);
    for (int32_t x = 0; x < width; ++x) {
      int32_t xs[4];
      for (int64_t j = 0; j < 4; ++j) xs[j] = static_cast<int32_t>((j * qx + rx * x) >> 10);
      if (!dst.setPixel(x, y, mean(xs, ys))) {
        ok = false;
        break;
      }
    }
  }
  dst.compact();
  return ok;
}

}  // namespace pg
