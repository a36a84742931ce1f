#include "ui/memory_graphic.h"

#include <algorithm>
#include <cstring>

#include "ui/graphic_pixel.h"

namespace pg {

// A graphic without pixels tries again at its next setSize.
TMemoryGraphic::TMemoryGraphic(int32_t width, int32_t height) { (void)setSize(width, height); }

TMemoryGraphic::TMemoryGraphic(int32_t width, int32_t height, TUiColor background) : background_(background) {
  (void)setSize(width, height);  // a graphic without pixels tries again at its next setSize
}

bool TMemoryGraphic::setSize(int32_t width, int32_t height) {
  const int32_t w = std::max(1, width);
  const int32_t h = std::max(1, height);
  // A graphic whose pixels could not be had is not "already that size": it
  // tries again.
  if (w == width_ && h == height_ && isValid()) return true;
  (void)plane_.Resize(w, h);  // isValid() tells; the next setSize tries again
  width_ = w;
  height_ = h;
  clear();
  return isValid();
}

void TMemoryGraphic::clear() { fillRect({0, 0, width_, height_}, background_, copyChannel, copyChannel); }

uint32_t TMemoryGraphic::getPixel(int32_t x, int32_t y) const {
  if (!isValid()) return 0;
  return *pixelAddr(clampInt(x, 0, width_ - 1), clampInt(y, 0, height_ - 1));
}

void TMemoryGraphic::setPixel(int32_t x, int32_t y, TUiColor c) {
  if (contains(x, y)) *pixelAddr(x, y) = c;
}

bool TMemoryGraphic::clipBounds(int32_t x, int32_t y, int32_t w, int32_t h, SRectXYWH& out) const {
  if (!isValid()) return false;
  // 64 bits so that rectangles near the ends of the int range stay exact.
  int64_t cx = x, cy = y, cw = w, ch = h;
  if (cx < 0) {
    cw += cx;
    cx = 0;
  }
  if (cy < 0) {
    ch += cy;
    cy = 0;
  }
  cw = std::min<int64_t>(cw, width_ - cx);
  ch = std::min<int64_t>(ch, height_ - cy);
  auto narrow = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  out = {narrow(cx), narrow(cy), narrow(cw), narrow(ch)};
  return cw > 0 && ch > 0;
}

bool TMemoryGraphic::clipRect(const TRect& r, SRectXYWH& out) const {
  const int64_t w = static_cast<int64_t>(r.Right) - r.Left;
  const int64_t h = static_cast<int64_t>(r.Bottom) - r.Top;
  return clipBounds(r.Left, r.Top, static_cast<int32_t>(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX)),
                    static_cast<int32_t>(std::clamp<int64_t>(h, INT32_MIN, INT32_MAX)), out);
}

TRect TMemoryGraphic::clipToGraphic(const TRect& r) const {
  SRectXYWH c;
  if (!clipRect(r, c)) return r;
  return xywhToRect(c);
}

bool TMemoryGraphic::fillRect(const TRect& r, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp) {
  SRectXYWH c;
  if (!clipRect(r, c)) return false;
  for (int32_t y = c.Y; y < c.Y + c.Height; ++y) {
    uint32_t* p = pixelAddr(c.X, y);
    for (int32_t x = 0; x < c.Width; ++x) paintSolid(p + x, colour, colourOp, alphaOp);
  }
  return true;
}

namespace {

// A start below 0 moves to 0, the other side's start and the length along.
void clipStart(int64_t& at, int64_t& other, int64_t& length) {
  if (at < 0) {
    other -= at;
    length += at;
    at = 0;
  }
}

// Clips a block transfer against the negative sides of both blocks and their
// far sides; false when nothing is left.
[[nodiscard]] bool clipTransfer(int64_t& dx, int64_t& dy, int64_t& w, int64_t& h, int64_t dstW, int64_t dstH, int64_t& sx,
                  int64_t& sy, int64_t srcW, int64_t srcH) {
  clipStart(dx, sx, w);
  clipStart(dy, sy, h);
  clipStart(sx, dx, w);
  clipStart(sy, dy, h);
  w = std::min({w, dstW - dx, srcW - sx});
  h = std::min({h, dstH - dy, srcH - sy});
  return w > 0 && h > 0;
}

template <class PerPixel>
bool transferBlock(uint32_t* dst, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t dstWidth, int32_t dstHeight,
                   const uint32_t* src, int32_t sx, int32_t sy, int32_t srcWidth, int32_t srcHeight, PerPixel f) {
  if (dst == nullptr || src == nullptr || dstWidth <= 0 || dstHeight <= 0 || srcWidth <= 0 || srcHeight <= 0)
    return false;
  int64_t x = dx, y = dy, cw = w, ch = h, fx = sx, fy = sy;
  if (!clipTransfer(x, y, cw, ch, dstWidth, dstHeight, fx, fy, srcWidth, srcHeight)) return false;
  for (int64_t row = 0; row < ch; ++row) {
    uint32_t* d = dst + (y + row) * dstWidth + x;
    const uint32_t* s = src + (fy + row) * srcWidth + fx;
    for (int64_t i = 0; i < cw; ++i) f(d + i, s[i]);
  }
  return true;
}

}  // namespace

bool blendPixelBlock(uint32_t* dst, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t dstWidth,
                     int32_t dstHeight, const uint32_t* src, int32_t sx, int32_t sy, int32_t srcWidth,
                     int32_t srcHeight, TChannelOp colourOp, TChannelOp alphaOp) {
  return transferBlock(dst, dx, dy, w, h, dstWidth, dstHeight, src, sx, sy, srcWidth, srcHeight,
                       [&](uint32_t* d, uint32_t s) { applyOps(d, s, colourOp, alphaOp, alphaFactorOf(s), 1.0f); });
}

bool TMemoryGraphic::blendFrom(int32_t x, int32_t y, int32_t w, int32_t h, const TMemoryGraphic& src, int32_t sx,
                               int32_t sy, TChannelOp colourOp, TChannelOp alphaOp) {
  if (!src.isValid()) return false;
  return blendFromPixels(x, y, w, h, src.pixels(), sx, sy, src.width(), src.height(), colourOp, alphaOp);
}

bool TMemoryGraphic::blendFromPixels(int32_t x, int32_t y, int32_t w, int32_t h, const uint32_t* src, int32_t sx,
                                     int32_t sy, int32_t srcWidth, int32_t srcHeight, TChannelOp colourOp,
                                     TChannelOp alphaOp) {
  if (!isValid()) return false;
  return blendPixelBlock(pixels(), x, y, w, h, width_, height_, src, sx, sy, srcWidth, srcHeight, colourOp, alphaOp);
}

bool TMemoryGraphic::copyPixels(int32_t x, int32_t y, int32_t w, int32_t h, const uint32_t* src, int32_t sx,
                                int32_t sy, int32_t srcWidth, int32_t srcHeight) {
  if (!isValid()) return false;
  return transferBlock(pixels(), x, y, w, h, width_, height_, src, sx, sy, srcWidth, srcHeight,
                       [](uint32_t* d, uint32_t s) { *d = s; });
}

namespace {
bool sameSize(const TMTC& plane, const TMemoryGraphic& g) {
  return g.isValid() && plane.IsAllocated() && plane.Width == g.width() && plane.Height == g.height();
}
}  // namespace

bool copyPlaneToGraphic(const TMTC& plane, TMemoryGraphic& g) {
  if (!sameSize(plane, g)) return false;
  const size_t rowBytes = static_cast<size_t>(g.width()) * 4u;
  for (int32_t y = 0; y < g.height(); ++y) std::memcpy(g.scanLine(y), plane.pixelAt(0, y), rowBytes);
  return true;
}

bool copyGraphicToPlane(const TMemoryGraphic& g, TMTC& plane) {
  if (!sameSize(plane, g)) return false;
  const size_t rowBytes = static_cast<size_t>(g.width()) * 4u;
  for (int32_t y = 0; y < g.height(); ++y) std::memcpy(plane.pixelAt(0, y), g.scanLine(y), rowBytes);
  return true;
}

}  // namespace pg
