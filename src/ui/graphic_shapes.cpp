// Anti-aliased discs, rings, rotated ellipses and lines of TMemoryGraphic.
// Coverage is c = r - d + 1 for a pixel at distance d from the centre:
// whole inside, falling linearly to nothing one pixel outside the radius.
// Distances are measured from the pixels' integer positions.
#include <algorithm>
#include <cmath>

#include "brush/falloff_curve.h"
#include "ui/graphic_pixel.h"
#include "ui/memory_graphic.h"

namespace pg {

float shapeFalloff(TShapeCurve curve, float d, float innerRatio, float floor) {
  return evalFalloffCurve(curve, d, innerRatio, floor);
}

namespace {

float distF(float x, float y) { return std::sqrt(x * x + y * y); }

// The square box (floor(cx - a - 0.5), floor(cy - a - 0.5)) with sides
// ceil(2a) + 2 clipped to the graphic; centre is moved into the box's
// coordinates.
[[nodiscard]] bool shapeBox(const TMemoryGraphic& g, TPointF& centre, float a, SRectXYWH& box) {
  if (!std::isfinite(centre.X) || !std::isfinite(centre.Y) || !std::isfinite(a)) return false;
  const int32_t x = saturateToInt32(std::floor(static_cast<double>(centre.X) - a - 0.5));
  const int32_t y = saturateToInt32(std::floor(static_cast<double>(centre.Y) - a - 0.5));
  const int32_t side = saturateToInt32(std::ceil(2.0 * a) + 2.0);
  if (!g.clipBounds(x, y, side, side, box)) return false;
  centre.X -= static_cast<float>(box.X);
  centre.Y -= static_cast<float>(box.Y);
  return true;
}

// Coverage of a rotated ellipse with the larger radius a and the smaller b
// (b > 0) whose foci are f1 and f2.
struct EllipseCover {
  float a, b;
  TPointF f1, f2;
  EllipseCover(TPointF centre, float a_, float b_, float cosT, float sinT) : a(a_), b(b_) {
    const float f = std::sqrt(std::max(0.0f, a * a - b * b));
    f1 = {centre.X + f * cosT, centre.Y + f * sinT};
    f2 = {centre.X - f * cosT, centre.Y - f * sinT};
  }
  float at(float i, float j) const {
    const float sum = distF(i - f1.X, j - f1.Y) + distF(i - f2.X, j - f2.Y);
    return std::min(1.0f, (2.0f * a - sum) * (a / b) / 2.0f + 1.0f);
  }
};

}  // namespace

bool TMemoryGraphic::fillDiscF(TPointF centre, TUiColor colour, float radius, TChannelOp colourOp,
                               TChannelOp alphaOp) {
  SRectXYWH b;
  if (!shapeBox(*this, centre, radius, b)) return false;
  for (int32_t j = 0; j < b.Height; ++j) {
    uint32_t* p = pixelAddr(b.X, b.Y + j);
    for (int32_t i = 0; i < b.Width; ++i) {
      const float d = distF(static_cast<float>(i) - centre.X, static_cast<float>(j) - centre.Y);
      paintCovered(p + i, colour, radius - d + 1.0f, colourOp, alphaOp);
    }
  }
  return true;
}

bool TMemoryGraphic::fillDisc(TPoint topLeft, int32_t size, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp) {
  return drawRing(topLeft, size, size, colour, colourOp, alphaOp);
}

bool TMemoryGraphic::drawRing(TPoint topLeft, int32_t size, int32_t ringWidth, TUiColor colour, TChannelOp colourOp,
                              TChannelOp alphaOp) {
  SRectXYWH b;
  if (!clipBounds(topLeft.X, topLeft.Y, size, size, b)) return false;
  // The disc fits the visible part of the square.
  const float r = static_cast<float>(std::min(b.Width, b.Height) - 1) / 2.0f;
  const float hole = r - static_cast<float>(ringWidth);
  for (int32_t j = 0; j < b.Height; ++j) {
    uint32_t* p = pixelAddr(b.X, b.Y + j);
    for (int32_t i = 0; i < b.Width; ++i) {
      const float d = distF(static_cast<float>(i) - r, static_cast<float>(j) - r);
      float c;
      if (hole <= 0.0f || d - hole > 1.0f) {
        c = r - d + 1.0f;
      } else if (d < hole) {
        continue;
      } else {
        const float o = r - d + 1.0f;
        c = o < 0.0f ? 0.0f : (o <= 1.0f ? (d - hole) * o : d - hole);
      }
      paintCovered(p + i, colour, c, colourOp, alphaOp);
    }
  }
  return true;
}

namespace {

struct EllipseSetup {
  float a = 0.0f, b = 0.0f, cosT = 1.0f, sinT = 0.0f;
  TPointF centre;
  SRectXYWH box;
};

[[nodiscard]] bool setupEllipse(const TMemoryGraphic& g, TPointF centre, float rx, float ry, float angle, EllipseSetup& s) {
  s.a = std::max(rx, ry);
  s.b = std::min(rx, ry);
  if (!(s.b > 0.0f) || !std::isfinite(angle)) return false;
  s.centre = centre;
  if (!shapeBox(g, s.centre, s.a, s.box)) return false;
  s.cosT = std::cos(angle);
  s.sinT = std::sin(angle);
  return true;
}

}  // namespace

bool TMemoryGraphic::fillEllipse(TPointF centre, float rx, float ry, float angle, TUiColor colour, TChannelOp colourOp,
                                 TChannelOp alphaOp) {
  return fillEllipseFalloff(centre, rx, ry, angle, colour, nullptr, 1.0f, 1.0f, colourOp, alphaOp);
}

bool TMemoryGraphic::fillEllipseFalloff(TPointF centre, float rx, float ry, float angle, TUiColor colour,
                                        TShapeCurve curve, float innerRatio, float floor, TChannelOp colourOp,
                                        TChannelOp alphaOp) {
  EllipseSetup s;
  if (!setupEllipse(*this, centre, rx, ry, angle, s)) return false;
  const EllipseCover outer(s.centre, s.a, s.b, s.cosT, s.sinT);
  const bool falloff = innerRatio < 1.0f && floor < 1.0f;
  const float cosN = std::cos(-angle), sinN = std::sin(-angle);
  const float stretch = (s.a + 2.0f) / (s.b + 2.0f);
  for (int32_t j = 0; j < s.box.Height; ++j) {
    uint32_t* p = pixelAddr(s.box.X, s.box.Y + j);
    for (int32_t i = 0; i < s.box.Width; ++i) {
      float c = outer.at(static_cast<float>(i), static_cast<float>(j));
      if (falloff && c > 0.0f) {
        const float dx = s.centre.X - static_cast<float>(i);
        const float dy = s.centre.Y - static_cast<float>(j);
        const float u = dx * cosN - dy * sinN;
        const float v = (dx * sinN + dy * cosN) * stretch;
        c *= shapeFalloff(curve, distF(u, v) / (s.a + 2.0f), innerRatio, floor);
      }
      paintCovered(p + i, colour, c, colourOp, alphaOp);
    }
  }
  return true;
}

bool TMemoryGraphic::fillEllipseCore(TPointF centre, float rx, float ry, float coreRatio, float angle, TUiColor core,
                                     TUiColor rim, TChannelOp colourOp, TChannelOp alphaOp) {
  if (coreRatio >= 1.0f) return fillEllipse(centre, rx, ry, angle, core, colourOp, alphaOp);
  if (std::min(rx, ry) * coreRatio < 1.0f / 255.0f) return fillEllipse(centre, rx, ry, angle, rim, colourOp, alphaOp);
  EllipseSetup s;
  if (!setupEllipse(*this, centre, rx, ry, angle, s)) return false;
  const EllipseCover outer(s.centre, s.a, s.b, s.cosT, s.sinT);
  const EllipseCover inner(s.centre, s.a * coreRatio, s.b * coreRatio, s.cosT, s.sinT);
  for (int32_t j = 0; j < s.box.Height; ++j) {
    uint32_t* p = pixelAddr(s.box.X, s.box.Y + j);
    for (int32_t i = 0; i < s.box.Width; ++i) {
      const float c = outer.at(static_cast<float>(i), static_cast<float>(j));
      if (!(c > 0.0f)) continue;
      const float k = inner.at(static_cast<float>(i), static_cast<float>(j));
      TUiColor colour = rim;
      if (k >= 1.0f) {
        colour = core;
      } else if (k > 0.0f) {
        // The rim colour moved toward the core by the core's coverage.
        applyOps(&colour, core, colourOp, alphaOp, k, k);
      }
      paintCovered(p + i, colour, c, colourOp, alphaOp);
    }
  }
  return true;
}

bool TMemoryGraphic::drawLineAA(TPointF p0, TPointF p1, TUiColor colour, TChannelOp colourOp, TChannelOp alphaOp) {
  if (!isValid() || !std::isfinite(p0.X) || !std::isfinite(p0.Y) || !std::isfinite(p1.X) || !std::isfinite(p1.Y))
    return false;
  // The box of the two points, clipped; a box of no width or height counts.
  const double bx0 = std::max(0.0, std::floor(static_cast<double>(std::min(p0.X, p1.X))));
  const double by0 = std::max(0.0, std::floor(static_cast<double>(std::min(p0.Y, p1.Y))));
  const double bx1 = std::min(static_cast<double>(width()), std::ceil(static_cast<double>(std::max(p0.X, p1.X))));
  const double by1 = std::min(static_cast<double>(height()), std::ceil(static_cast<double>(std::max(p0.Y, p1.Y))));
  if (bx0 > bx1 || by0 > by1 || bx0 >= width() || by0 >= height()) return false;
  auto clampIn = [&](TPointF p) {
    return TPointF{static_cast<float>(std::clamp(static_cast<double>(p.X), bx0, bx1)),
                   static_cast<float>(std::clamp(static_cast<double>(p.Y), by0, by1))};
  };
  p0 = clampIn(p0);
  p1 = clampIn(p1);
  const float dx = p1.X - p0.X;
  const float dy = p1.Y - p0.Y;
  // Along x when the line is wider than high, else along y (a single point
  // takes the y branch with no slope).
  const bool alongX = std::fabs(dx) > std::fabs(dy);
  const float major = alongX ? dx : dy;
  const float minor = alongX ? dy : dx;
  const int32_t g = major == 0.0f ? 0 : saturateToInt32(static_cast<double>(minor) / major * 65536.0 + 0.5);
  const TPointF& start = (alongX ? p0.X <= p1.X : p0.Y <= p1.Y) ? p0 : p1;
  const TPointF& end = &start == &p0 ? p1 : p0;
  const int32_t s = saturateToInt32((alongX ? start.X : start.Y) + 0.5);
  const int32_t e = saturateToInt32((alongX ? end.X : end.Y) + 0.5);
  int32_t pos16 = saturateToInt32(static_cast<double>(alongX ? start.Y : start.X) * 65536.0 + 0.5);
  const int32_t minorLimit = (alongX ? height() : width()) - 1;
  const float alpha = static_cast<float>(colour >> 24);
  auto paintAt = [&](int32_t m, int32_t n, int32_t weight) {
    const int32_t x = alongX ? m : n;
    const int32_t y = alongX ? n : m;
    if (!contains(x, y)) return;
    const float f = alpha * static_cast<float>(weight) / 16711425.0f;
    applyOps(pixelAddr(x, y), colour, colourOp, alphaOp, f, f);
  };
  for (int32_t m = s; m <= e; ++m) {
    const int32_t n = pos16 >> 16;
    int32_t w0 = 0xFFFF - (pos16 & 0xFFFF);
    int32_t w1 = pos16 & 0xFFFF;
    if (m == e) {
      // Joined segments share their end pixel: it gets a quarter here.
      w0 >>= 2;
      w1 >>= 2;
    }
    paintAt(m, n, w0);
    if (n < minorLimit) paintAt(m, n + 1, w1);
    pos16 += g;
  }
  return true;
}

bool TMemoryGraphic::drawPolylineAA(const TPointF* points, size_t count, TUiColor colour, TChannelOp colourOp,
                                    TChannelOp alphaOp) {
  if (points == nullptr || count < 2) return false;
  for (size_t k = 0; k + 1 < count; ++k)
    if (!drawLineAA(points[k], points[k + 1], colour, colourOp, alphaOp)) return false;
  return true;
}

}  // namespace pg
