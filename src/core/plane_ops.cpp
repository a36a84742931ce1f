#include "core/plane_ops.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/blend_rows.h"
#include "core/colour.h"

namespace pg {

namespace {

inline size_t widthOf(const SRectXYWH& r) { return static_cast<size_t>(r.Width); }

}  // namespace

// ------------------------------------------------------ clipping and copies

bool copyPlane(const CDibCore& src, CDibCore& dst, int32_t x, int32_t y) {
  return copyPlaneRect(src, dst, {x, y}, {0, 0, src.Width, src.Height});
}

bool copyPlaneRect(const CDibCore& src, CDibCore& dst, TPoint point, SRectXYWH rect) {
  if (!src.IsAllocated() || !dst.IsAllocated()) return false;
  const int32_t bpp = dst.BytesPerPixel();
  if (src.BytesPerPixel() != bpp) return false;
  if (!clipCopyRect(dst.size(), src.size(), point, rect)) return false;
  const size_t bytes = widthOf(rect) * static_cast<size_t>(bpp);
  for (int32_t y = 0; y < rect.Height; ++y)
    std::memmove(dst.PixelAddress(point.X, point.Y + y), src.PixelAddress(rect.X, rect.Y + y), bytes);
  return true;
}

bool copyPlane32(TMTC& dst, const TMTC& src, int32_t x, int32_t y) {
  return copyPlaneRect32(dst, src, {x, y}, {0, 0, src.Width, src.Height});
}

bool copyPlaneRect32(TMTC& dst, const TMTC& src, TPoint point, SRectXYWH rect) {
  if (!src.IsAllocated() || !dst.IsAllocated()) return false;
  if (!clipCopyRect(dst.size(), src.size(), point, rect)) return false;
  copyRect32NoClip(dst, src, point, rect);
  return true;
}

void copyRect32NoClip(TMTC& dst, const TMTC& src, TPoint point, const SRectXYWH& rect) {
  const size_t bytes = widthOf(rect) * 4;
  for (int32_t y = 0; y < rect.Height; ++y)
    std::memmove(dst.pixelAt(point.X, point.Y + y), src.pixelAt(rect.X, rect.Y + y), bytes);
}

bool copyFromBitmap(TMTC& dst, const SBitmap32View& bitmap, TPoint point, SRectXYWH rect) {
  if (bitmap.Bits == nullptr || !dst.IsAllocated()) return false;
  if (!clipCopyRect(dst.size(), {bitmap.Width, bitmap.Height}, point, rect)) return false;
  const size_t bytes = widthOf(rect) * 4;
  for (int32_t y = 0; y < rect.Height; ++y) {
    const uint8_t* line = bitmap.Bits + static_cast<int64_t>(rect.Y + y) * bitmap.Stride + int64_t{4} * rect.X;
    std::memmove(dst.pixelAt(point.X, point.Y + y), line, bytes);
  }
  return true;
}

bool copyFromChannel(TMTC& dst, const TChannel& src, TPoint point, SRectXYWH rect) {
  if (!src.IsAllocated() || !dst.IsAllocated()) return false;
  if (!clipCopyRect(dst.size(), src.size(), point, rect)) return false;
  for (int32_t y = 0; y < rect.Height; ++y) {
    const uint8_t* s = src.pixelAt(rect.X, rect.Y + y);
    uint32_t* d = dst.pixelAt(point.X, point.Y + y);
    for (int32_t x = 0; x < rect.Width; ++x) d[x] = s[x] == 0 ? 0u : (0xFF000000u | (s[x] * 0x010101u));
  }
  return true;
}

// ---------------------------------------------------- fills and bit operations

void fill(TChannel& plane, uint8_t v) {
  if (plane.IsAllocated()) std::memset(plane.Bits, v, static_cast<size_t>(plane.ByteSize()));
}

bool fillRectBytes(CDibCore& plane, SRectXYWH rect, uint8_t v) {
  if (!plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  const size_t bytes = widthOf(rect) * static_cast<size_t>(plane.BytesPerPixel());
  for (int32_t y = 0; y < rect.Height; ++y) std::memset(plane.PixelAddress(rect.X, rect.Y + y), v, bytes);
  return true;
}

bool fillRectBytesXY(CDibCore& plane, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t v) {
  return fillRectBytes(plane, {x, y, w, h}, v);
}

void fill(TMTC& plane, uint32_t v) {
  if (!plane.IsAllocated()) return;
  fillRectNoClip(plane, {0, 0, plane.Width, plane.Height}, v);
}

void fillPixels(TMTC& plane, uint32_t v) { fill(plane, v); }

void fillColor(TMTC& plane, uint32_t colour) { fill(plane, colorToPixel(colour)); }

bool fillRect(TMTC& plane, SRectXYWH rect, uint32_t v) {
  if (!plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  fillRectNoClip(plane, rect, v);
  return true;
}

bool fillRectXY(TMTC& plane, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t v) {
  return fillRect(plane, {x, y, w, h}, v);
}

void fillRectNoClip(TMTC& plane, const SRectXYWH& rect, uint32_t v) {
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint32_t* d = plane.pixelAt(rect.X, rect.Y + y);
    std::fill(d, d + rect.Width, v);
  }
}

namespace {

// Clips, then f(pixel) on every pixel of the rect.
template <class F>
bool eachPixel(TMTC& plane, SRectXYWH rect, F&& f) {
  if (!plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint32_t* d = plane.pixelAt(rect.X, rect.Y + y);
    for (int32_t x = 0; x < rect.Width; ++x) d[x] = f(d[x]);
  }
  return true;
}

SRectXYWH wholeRect(const CDibCore& plane) { return {0, 0, plane.Width, plane.Height}; }

}  // namespace

bool setBitsRect(TMTC& plane, SRectXYWH rect, uint32_t mask, uint32_t value) {
  const uint32_t set = value & mask;
  return eachPixel(plane, rect, [=](uint32_t p) { return set | (p & ~mask); });
}

bool setAlphaRect(TMTC& plane, SRectXYWH rect, uint8_t a) {
  return setBitsRect(plane, rect, 0xFF000000u, static_cast<uint32_t>(a) << 24);
}

void setAlpha(TMTC& plane, uint8_t a) { setAlphaRect(plane, wholeRect(plane), a); }

bool orRect(TMTC& plane, SRectXYWH rect, uint32_t v) {
  return eachPixel(plane, rect, [=](uint32_t p) { return p | v; });
}

void orAll(TMTC& plane, uint32_t v) { orRect(plane, wholeRect(plane), v); }

bool xorRect(TMTC& plane, SRectXYWH rect, uint32_t v) {
  return eachPixel(plane, rect, [=](uint32_t p) { return p ^ v; });
}

bool xorRect(TChannel& plane, SRectXYWH rect, uint8_t v) {
  if (!plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint8_t* d = plane.pixelAt(rect.X, rect.Y + y);
    for (int32_t x = 0; x < rect.Width; ++x) d[x] = static_cast<uint8_t>(d[x] ^ v);
  }
  return true;
}

bool blendRect(TMTC& plane, SRectXYWH rect, uint32_t colour, uint32_t alpha) {
  return applyRect(plane, rect, colour, &lerpPixelRgb, alpha);
}

bool blendRectXY(TMTC& plane, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, uint32_t alpha) {
  return blendRect(plane, {x, y, w, h}, colour, alpha);
}

void forEachPixel(TMTC& plane, const SRectXYWH& rect, uint32_t value, PixelOp32 op, uint32_t param) {
  if (rect.Width <= 0 || rect.Height <= 0) return;
  const SRowKernels k = rowKernels(op);
  for (int32_t y = 0; y < rect.Height; ++y) runFill(k, plane.pixelAt(rect.X, rect.Y + y), value, widthOf(rect), param);
}

bool applyRect(TMTC& plane, SRectXYWH rect, uint32_t value, PixelOp32 op, uint32_t param) {
  if (!plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  forEachPixel(plane, rect, value, op, param);
  return true;
}

bool mapRect(CDibCore& plane, SRectXYWH rect, uint8_t value, ByteOp op) {
  if (plane.BytesPerPixel() != 1 || !plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint8_t* d = plane.PixelAddress(rect.X, rect.Y + y);
    for (int32_t x = 0; x < rect.Width; ++x) op(d + x, value);
  }
  return true;
}

bool mapPlaneRect(TChannel& dst, const TChannel& src, TPoint point, ByteOp op, SRectXYWH rect) {
  if (!src.IsAllocated() || !dst.IsAllocated()) return false;
  if (!clipCopyRect(dst.size(), src.size(), point, rect)) return false;
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint8_t* d = dst.pixelAt(point.X, point.Y + y);
    const uint8_t* s = src.pixelAt(rect.X, rect.Y + y);
    for (int32_t x = 0; x < rect.Width; ++x) op(d + x, s[x]);
  }
  return true;
}

// --------------------------------------------------------------------- flips

bool flipRectV(TMTC& plane, SRectXYWH rect) {
  if (!plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  std::vector<uint32_t> tmp;
  try {
    tmp.resize(widthOf(rect));
  } catch (...) {
    return false;
  }
  const size_t bytes = widthOf(rect) * 4;
  for (int32_t i = 0; i < rect.Height / 2; ++i) {
    uint32_t* a = plane.pixelAt(rect.X, rect.Y + i);
    uint32_t* b = plane.pixelAt(rect.X, rect.Y + rect.Height - 1 - i);
    std::memcpy(tmp.data(), a, bytes);
    std::memcpy(a, b, bytes);
    std::memcpy(b, tmp.data(), bytes);
  }
  return true;
}

void flipVertical(TMTC& plane) { flipRectV(plane, wholeRect(plane)); }

bool mirrorRectH(TMTC& plane, SRectXYWH rect) {
  if (!plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  for (int32_t y = 0; y < rect.Height; ++y) {
    uint32_t* d = plane.pixelAt(rect.X, rect.Y + y);
    std::reverse(d, d + rect.Width);
  }
  return true;
}

bool rotateRect180(TMTC& plane, SRectXYWH rect) {
  if (!plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  const int32_t w = rect.Width, h = rect.Height;
  for (int32_t y = 0; y < h / 2; ++y) {
    uint32_t* a = plane.pixelAt(rect.X, rect.Y + y);
    uint32_t* b = plane.pixelAt(rect.X, rect.Y + h - 1 - y);
    for (int32_t x = 0; x < w; ++x) std::swap(a[x], b[w - 1 - x]);
  }
  if (h % 2 != 0) {
    uint32_t* m = plane.pixelAt(rect.X, rect.Y + h / 2);
    std::reverse(m, m + w);
  }
  return true;
}

// ------------------------------------------------ lines, frames, checkers

void drawLine(TMTC& plane, int32_t x0, int32_t y0, int32_t a0, int32_t x1, int32_t y1, int32_t a1, uint32_t colour,
              PixelOp32 op) {
  const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0, da = int64_t{a1} - a0;
  const int64_t n = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
  const auto plot = [&](int64_t x, int64_t y, int64_t a) {
    if (x < 0 || y < 0 || x >= plane.Width || y >= plane.Height) return;
    op(plane.pixelAt(static_cast<int32_t>(x), static_cast<int32_t>(y)), colour, static_cast<uint32_t>(a));
  };
  if (!plane.IsAllocated()) return;
  if (n == 0) {
    plot(x0, y0, a0);
    return;
  }
  for (int64_t i = 0; i <= n; ++i) plot(x0 + dx * i / n, y0 + dy * i / n, a0 + da * i / n);
}

void drawFrame(TMTC& plane, const SRectXYWH& r, uint32_t light, uint32_t dark, uint32_t alpha, PixelOp32 op) {
  if (r.Width < 1 || r.Height < 1) return;
  const int32_t a = static_cast<int32_t>(alpha);
  const int32_t x = r.X, y = r.Y, w = r.Width, h = r.Height;
  if (w == 1) {
    drawLine(plane, x, y, a, x, y + h - 1, a, light, op);
  } else if (h == 1) {
    drawLine(plane, x, y, a, x + w - 1, y, a, light, op);
  } else {
    drawLine(plane, x, y, a, x + w - 2, y, a, light, op);                  // top
    drawLine(plane, x + w - 1, y, a, x + w - 1, y + h - 2, a, dark, op);   // right
    drawLine(plane, x + w - 1, y + h - 1, a, x + 1, y + h - 1, a, dark, op);  // bottom
    drawLine(plane, x, y + h - 1, a, x, y + 1, a, light, op);              // left
  }
}

void frameRectBlend(TMTC& plane, const SRectXYWH& rect, uint32_t colour, uint32_t alpha) {
  drawFrame(plane, rect, colour, colour, alpha, &lerpPixelRgb);
}

void frame3DBlend(TMTC& plane, const SRectXYWH& rect, uint32_t light, uint32_t dark, uint32_t alpha) {
  drawFrame(plane, rect, light, dark, alpha, &lerpPixelRgb);
}

void frameAll(TMTC& plane, uint32_t light, uint32_t dark, uint32_t alpha) {
  drawFrame(plane, wholeRect(plane), light, dark, alpha, &lerpPixelRgb);
}

bool fillChecker(TMTC& plane, SRectXYWH rect, SSize cellSize, uint32_t oddColour, uint32_t evenColour) {
  if (cellSize.W < 1 || cellSize.H < 1) return false;
  if (!plane.IsAllocated() || !plane.clipRectWH(rect)) return false;
  const int64_t right = int64_t{rect.X} + rect.Width, bottom = int64_t{rect.Y} + rect.Height;
  for (int64_t r = 0, y = rect.Y; y < bottom; ++r, y += cellSize.H) {
    for (int64_t c = 0, x = rect.X; x < right; ++c, x += cellSize.W) {
      const SRectXYWH cell{static_cast<int32_t>(x), static_cast<int32_t>(y),
                           static_cast<int32_t>(std::min<int64_t>(cellSize.W, right - x)),
                           static_cast<int32_t>(std::min<int64_t>(cellSize.H, bottom - y))};
      fillRectNoClip(plane, cell, ((c + r) & 1) != 0 ? oddColour : evenColour);
    }
  }
  return true;
}

namespace {

// The background colour moved toward the pixel's colour by the pixel's alpha.
inline uint32_t flattenOnto(uint32_t background, uint32_t pixel) {
  uint32_t v = background;
  lerpPixelRgb(&v, pixel, pixelAlpha(pixel));
  return v;
}

}  // namespace

bool compositeOnChecker(TMTC& plane, TRect rect, TPoint origin, SSize cellSize, uint32_t oddColour,
                        uint32_t evenColour) {
  if (cellSize.W < 1 || cellSize.H < 1) return false;
  if (!plane.IsAllocated() || !plane.clipRect(rect)) return false;
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    uint32_t* d = plane.pixelAt(0, y);
    const int64_t r = (int64_t{y} - origin.Y) / cellSize.H;
    for (int32_t x = rect.Left; x < rect.Right; ++x) {
      if (pixelAlpha(d[x]) == 255) continue;
      const int64_t c = (int64_t{x} - origin.X) / cellSize.W;
      d[x] = flattenOnto(((c + r) & 1) != 0 ? oddColour : evenColour, d[x]);
    }
  }
  return true;
}

bool compositeOnColor(TMTC& plane, TRect rect, uint32_t colour) {
  if (!plane.IsAllocated() || !plane.clipRect(rect)) return false;
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    uint32_t* d = plane.pixelAt(0, y);
    for (int32_t x = rect.Left; x < rect.Right; ++x)
      if (pixelAlpha(d[x]) != 255) d[x] = flattenOnto(colour, d[x]);
  }
  return true;
}

// ------------------------------------------------------------ mask helpers

bool boundsOfNonZero(const TChannel& plane, TRect& r) {
  if (!plane.IsAllocated()) return false;
  int32_t left = plane.Width, right = -1, top = -1, bottom = -1;
  for (int32_t y = 0; y < plane.Height; ++y) {
    const uint8_t* row = plane.pixelAt(0, y);
    int32_t first = -1, last = -1;
    for (int32_t x = 0; x < plane.Width; ++x)
      if (row[x] != 0) {
        if (first < 0) first = x;
        last = x;
      }
    if (first < 0) continue;
    left = std::min(left, first);
    right = std::max(right, last);
    if (top < 0) top = y;
    bottom = y;
  }
  if (top < 0) return false;
  r = {left, top, right + 1, bottom + 1};
  return true;
}

void setNonZero(TChannel& plane, uint8_t v) {
  if (!plane.IsAllocated()) return;
  uint8_t* p = plane.Bits;
  const int64_t n = plane.ByteSize();
  for (int64_t i = 0; i < n; ++i)
    if (p[i] != 0) p[i] = v;
}

void traceEdges(TChannel& plane, TRect rect, EdgeOp op, void* context) {
  if (!plane.IsAllocated() || !plane.clipRect(rect)) return;
  const int32_t w = plane.Width, h = plane.Height;
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    uint8_t* row = plane.pixelAt(0, y);
    const uint8_t* above = y > 0 ? plane.pixelAt(0, y - 1) : nullptr;
    const uint8_t* below = y + 1 < h ? plane.pixelAt(0, y + 1) : nullptr;
    for (int32_t x = rect.Left; x < rect.Right; ++x) {
      if (row[x] == 0) continue;
      const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1 || row[x - 1] == 0 || row[x + 1] == 0 ||
                        above[x] == 0 || below[x] == 0;
      op(row + x, edge, context);
    }
  }
}

namespace {

// Walks a line of n bytes (stride apart) in runs of `inside` bytes (as the
// predicate says) and calls mark(byte) for the first byte of each outside run
// that follows an inside run and for the last byte of each outside run that
// is followed by an inside run. The calls are made after the whole line has
// been classified, so marks never change the runs.
template <class Inside, class Mark>
void markRunEnds(uint8_t* p, int32_t n, int64_t stride, std::vector<uint8_t>& cls, Inside inside, Mark mark) {
  for (int32_t i = 0; i < n; ++i) cls[static_cast<size_t>(i)] = inside(p[i * stride]) ? 1 : 0;
  for (int32_t i = 0; i < n; ++i) {
    if (cls[static_cast<size_t>(i)] != 0) continue;
    if (i > 0 && cls[static_cast<size_t>(i - 1)] != 0) mark(p[i * stride]);          // first byte after an inside run
    if (i + 1 < n && cls[static_cast<size_t>(i + 1)] != 0) mark(p[i * stride]);      // last byte before one
  }
}

// Row pass, then column pass, of markRunEnds over the whole plane.
template <class Inside, class Mark>
void markRowsThenColumns(TChannel& plane, Inside inside, Mark mark) {
  const int32_t w = plane.Width, h = plane.Height;
  std::vector<uint8_t> cls(static_cast<size_t>(std::max(w, h)));
  for (int32_t y = 0; y < h; ++y) markRunEnds(plane.pixelAt(0, y), w, 1, cls, inside, mark);
  const int64_t step = plane.RowStep();
  for (int32_t x = 0; x < w; ++x) markRunEnds(plane.pixelAt(x, 0), h, step, cls, inside, mark);
}

}  // namespace

void markOutline(TChannel& plane, uint8_t fillValue, uint8_t outline) {
  if (!plane.IsAllocated()) return;
  setNonZero(plane, fillValue);
  markRowsThenColumns(
      plane, [](uint8_t v) { return v != 0; }, [=](uint8_t& v) { v = outline; });
}

void markEdgeBand(TChannel& plane, uint8_t fillValue) {
  if (!plane.IsAllocated()) return;
  markOutline(plane, fillValue, 42);
  markRowsThenColumns(
      plane, [=](uint8_t v) { return v == fillValue; },
      [](uint8_t& v) { v = static_cast<uint8_t>(std::min(255, v + 42)); });
}

}  // namespace pg
