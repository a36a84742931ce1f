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

// op(dst pixel address, src pixel) over w x h.
template <class Op>
inline void rowsApply(SRows32 d, SConstRows32 s, int32_t w, int32_t h, Op&& op) {
  for (int32_t y = 0; y < h; ++y, d.p += d.step, s.p += s.step)
    for (int32_t x = 0; x < w; ++x) op(d.p + x, s.p[x]);
}

// op(dst pixel address) over w x h.
template <class Op>
inline void constApply(SRows32 d, int32_t w, int32_t h, Op&& op) {
  for (int32_t y = 0; y < h; ++y, d.p += d.step)
    for (int32_t x = 0; x < w; ++x) op(d.p + x);
}

// The same for 8-bit pieces.
template <class Op>
inline void rowsApply8(SRows8 d, SRows8 s, int32_t w, int32_t h, Op&& op) {
  for (int32_t y = 0; y < h; ++y, d.p += d.step, s.p += s.step)
    for (int32_t x = 0; x < w; ++x) op(d.p + x, s.p[x]);
}
template <class Op>
inline void constApply8(SRows8 d, int32_t w, int32_t h, Op&& op) {
  for (int32_t y = 0; y < h; ++y, d.p += d.step)
    for (int32_t x = 0; x < w; ++x) op(d.p + x);
}

// Every pixel of a 32-bit piece := v.
inline void fillRows32(SRows32 d, int32_t w, int32_t h, uint32_t v) {
  constApply(d, w, h, [v](uint32_t* p) { *p = v; });
}

// Copies a 32-bit piece row by row.
inline void copyRows32(SRows32 d, SConstRows32 s, int32_t w, int32_t h) {
  for (int32_t y = 0; y < h; ++y, d.p += d.step, s.p += s.step)
    for (int32_t x = 0; x < w; ++x) d.p[x] = s.p[x];
}

}  // namespace pg
