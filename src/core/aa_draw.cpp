#include "core/aa_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/blend_arith.h"
#include "core/fixed_point.h"

namespace pg {

namespace {

// Coordinates beyond these lie far outside any plane; clamping to them keeps
// every conversion and square below inside 64 bits.
constexpr double kCoordLimit = 67108864.0;   // 2^26
constexpr double kRadiusLimit = 16777216.0;  // 2^24

bool finite(float v) { return std::isfinite(v); }
double clampCoord(float v) { return std::clamp(double(v), -kCoordLimit, kCoordLimit); }
// Trunc: toward zero, of a value already clamped.
int64_t trunc64(double v) { return int64_t(v); }

// Opacity within 0..1 (NaN as 0).
double unitOpacity(float opacity) { return opacity > 0.0f ? std::min(double(opacity), 1.0) : 0.0; }
// Trunc(v * opacity) for a byte value v.
uint32_t scaledByte(uint32_t v, float opacity) {
  return uint32_t(trunc64(double(std::min<uint32_t>(v, 255)) * unitOpacity(opacity)));
}

// ---- disc geometry ------------------------------------------------------------

// A disc on a grid of S x S sub-samples a pixel: the radius and centre in
// sub-sample units (Trunc), and the pixel range that meets the plane.
struct SDiscGrid {
  int64_t S = 0;
  int64_t R = 0, R2 = 0;
  int64_t cxS = 0, cyS = 0;
  int32_t x0 = 0, x1 = -1, y0 = 0, y1 = -1;

  bool init(const CDibCore& plane, float cx, float cy, float radius, int64_t sub) {
    if (!(radius > 0.0f) || !finite(cx) || !finite(cy) || !plane.IsAllocated()) return false;
    S = sub;
    const double r = std::min(double(radius), kRadiusLimit);
    const double x = clampCoord(cx), y = clampCoord(cy);
    R = trunc64(double(S) * r);
    R2 = R * R;
    cxS = trunc64(double(S) * x);
    cyS = trunc64(double(S) * y);
    x0 = int32_t(std::max<int64_t>(trunc64(x - r), 0));
    x1 = int32_t(std::min<int64_t>(trunc64(x + r), plane.Width - 1));
    y0 = int32_t(std::max<int64_t>(trunc64(y - r), 0));
    y1 = int32_t(std::min<int64_t>(trunc64(y + r), plane.Height - 1));
    return x0 <= x1 && y0 <= y1;
  }
  int64_t dx(int32_t x) const { return S * x - cxS; }
  int64_t dy(int32_t y) const { return S * y - cyS; }
  bool outside(int64_t ex, int64_t ey) const { return ex * ex + ey * ey >= R2; }
  // How many of the pixel's four corners lie outside (0..4).
  int cornersOutside(int64_t ex, int64_t ey) const {
    return int(outside(ex, ey)) + int(outside(ex + S, ey)) + int(outside(ex, ey + S)) + int(outside(ex + S, ey + S));
  }
  // Sub-samples (ex + j, ey + i), i, j = 0..S-1, strictly inside.
  uint32_t samplesInside(int64_t ex, int64_t ey) const {
    uint32_t n = 0;
    for (int64_t i = 0; i < S; ++i)
      for (int64_t j = 0; j < S; ++j) n += uint32_t((ex + j) * (ex + j) + (ey + i) * (ey + i) < R2);
    return n;
  }
  // Calls visit(x, y, ex, ey, corners outside) for every pixel of the range,
  // row by row.
  template <class Visit>
  void forEachPixel(Visit visit) const {
    for (int32_t y = y0; y <= y1; ++y) {
      const int64_t ey = dy(y);
      for (int32_t x = x0; x <= x1; ++x) {
        const int64_t ex = dx(x);
        visit(x, y, ex, ey, cornersOutside(ex, ey));
      }
    }
  }
};

// The soft factor max(0, 255 - d2*255 div R2), two ways: a floating estimate
// corrected exactly by one step (no division per pixel), and the plain
// division. Both answer 0 for R2 = 0 (a disc too small to hold a sub-sample).
struct SSoftFast {
  explicit SSoftFast(int64_t r2) : d(uint64_t(r2)), inv(r2 > 0 ? 1.0 / double(r2) : 0.0) {}
  uint32_t factor(int64_t ex, int64_t ey) const {
    if (d == 0) return 0;
    const uint64_t n = uint64_t(ex * ex + ey * ey) * 255u;
    if (n >= 255 * d) return 0;
    uint64_t q = uint64_t(double(n) * inv);
    const uint64_t p = q * d;
    if (p > n) {
      --q;
    } else if (p + d <= n) {
      ++q;
    }
    return q >= 255 ? 0 : uint32_t(255 - q);
  }
  uint64_t d;
  double inv;
};

struct SSoftPlain {
  explicit SSoftPlain(int64_t r2) : d(r2) {}
  uint32_t factor(int64_t ex, int64_t ey) const {
    if (d == 0) return 0;
    const int64_t v = 255 - (ex * ex + ey * ey) * 255 / d;
    return v > 0 ? uint32_t(v) : 0;
  }
  int64_t d;
};

// TMTC.plotDiscAA / fillDiscAA: 4 x 4 sub-samples, plot(x, y, alpha).
template <class Soft, class Plot>
void disc32(TMTC& plane, bool antialias, float cx, float cy, float radius, float opacity, bool soft, Plot plot) {
  SDiscGrid g;
  if (!g.init(plane, cx, cy, radius, 4)) return;
  const bool softOn = soft && radius >= 3.0f;
  const uint32_t full = scaledByte(255, opacity);
  const Soft softDiv(g.R2);
  g.forEachPixel([&](int32_t x, int32_t y, int64_t ex, int64_t ey, int out) {
    if (out == 4) return;
    const uint32_t s = softOn ? softDiv.factor(ex, ey) : 255;
    uint32_t alpha;
    if (out > 0) {
      if (!antialias) {
        alpha = full;
      } else {
        const uint32_t n = g.samplesInside(ex, ey);
        alpha = softOn ? ((full * n * s) >> 8) >> 4 : full * n / 16;
      }
    } else {
      alpha = softOn ? (full * s) >> 8 : full;
    }
    plot(x, y, alpha);
  });
}

// TChannel.fillDiscSoftAA: 5 x 5 sub-samples through blendPixelTab.
template <class Soft>
void discSoft8(TChannel& plane, uint32_t value, bool max, float cx, float cy, float radius, float opacity, bool soft) {
  SDiscGrid g;
  if (!g.init(plane, cx, cy, radius, 5)) return;
  const bool small = radius <= 3.0f;
  const uint32_t valOp = scaledByte(value, opacity);
  const Soft softDiv(g.R2);
  g.forEachPixel([&](int32_t x, int32_t y, int64_t ex, int64_t ey, int out) {
    if (out == 4 && !small) return;
    const uint32_t s = soft ? softDiv.factor(ex, ey) : 255;
    if (out > 0 || small) {
      const uint32_t n = g.samplesInside(ex, ey);
      const uint32_t a = soft ? ((valOp * n * s) >> 8) / 25 : valOp * n / 25;
      if (!max) {
        blendPixelTab(plane, x, y, value, a);
      } else if (plane.getPixelClamped(x, y) < a) {
        blendPixelTab(plane, x, y, a, 255);
      }
    } else {
      const uint32_t v = soft ? (valOp * s) >> 8 : valOp;
      if (!max || plane.getPixelClamped(x, y) < v) blendPixelTab(plane, x, y, v, 255);
    }
  });
}

// ---- spans ------------------------------------------------------------------

// The covered sub-samples of the end pixel starting at sub-sample p: the k in
// 0..63 with |p + k - centre| < half, counted in closed form.
uint32_t spanSamples(int64_t p, int64_t centre, int64_t half) {
  const int64_t lo = std::max<int64_t>(centre - half - p + 1, 0);
  const int64_t hi = std::min<int64_t>(centre + half - p - 1, 63);
  return hi >= lo ? uint32_t(hi - lo + 1) : 0;
}
// The same, one sub-sample at a time.
uint32_t spanSamplesLiteral(int64_t p, int64_t centre, int64_t half) {
  uint32_t n = 0;
  for (int64_t k = 0; k < 64; ++k) n += uint32_t(std::llabs(p + k - centre) < half);
  return n;
}

// One span along a row (Vertical false) or a column (true) at position `at`.
template <bool Vertical, bool Literal>
void span8(TChannel& plane, int32_t at, uint32_t value, float a0, float a1, float opacity, bool max) {
  if (!plane.IsAllocated() || !finite(a0) || !finite(a1)) return;
  const int32_t length = Vertical ? plane.Height : plane.Width;
  const int32_t across = Vertical ? plane.Width : plane.Height;
  if (at < 0 || at >= across) return;  // nothing on this line can be written
  const double s0 = clampCoord(a0), s1 = clampCoord(a1);
  const int64_t half = trunc64((s1 - s0) / 2 * 64);
  const int64_t centre = trunc64((s1 + s0) / 2 * 64);
  const uint32_t v = scaledByte(value, opacity);
  const int64_t first = trunc64(s0 - 1), last = trunc64(s1 + 1);
  if (last < first) return;
  const int64_t from = std::max<int64_t>(first, 0), to = std::min<int64_t>(last, length - 1);
  for (int64_t i = from; i <= to; ++i) {
    const int64_t p = 64 * i;
    uint32_t byte = v;
    if (half <= std::llabs(centre - p) + 64) {
      const uint32_t n = Literal ? spanSamplesLiteral(p, centre, half) : spanSamples(p, centre, half);
      byte = (v * n) >> 6;
    }
    const int32_t x = Vertical ? at : int32_t(i), y = Vertical ? int32_t(i) : at;
    if (max && plane.getPixelClamped(x, y) >= byte) continue;
    blendPixelTab(plane, x, y, byte, 255);
  }
}

// ---- polygons -------------------------------------------------------------------

struct SCrossing {
  float Pos;
  bool Steep;
  float Slope;
  size_t Edge;  // ties keep the order of the edges
};

// An edge seen from one pass: u runs along the scan lines, w across them.
struct SPassEdge {
  float U0, W0, U1, W1;
  float WMin, WMax;
  size_t Index;
};

// One pass of the polygon fill: Columns false scans rows (crossings are x
// positions, the larger-y end of each edge pulled up by 0.01), true scans
// columns with the axes exchanged. Spans are drawn in max mode, so the two
// passes combine by maximum. Only the edges whose extent meets a scan line
// are tested on it (an active list; Literal tests every edge on every line),
// and there is no limit on crossings.
template <bool Columns, bool Literal>
void polygonPass(TChannel& plane, const std::vector<TPoint>& pts, int32_t from, int32_t to) {
  std::vector<SPassEdge> edges;
  edges.reserve(pts.size());
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    SPassEdge e;
    e.U0 = float(Columns ? pts[i].Y : pts[i].X);
    e.W0 = float(Columns ? pts[i].X : pts[i].Y);
    e.U1 = float(Columns ? pts[i + 1].Y : pts[i + 1].X);
    e.W1 = float(Columns ? pts[i + 1].X : pts[i + 1].Y);
    if (e.W0 != e.W1) (e.W0 > e.W1 ? e.W0 : e.W1) -= 0.01f;
    e.WMin = std::min(e.W0, e.W1);
    e.WMax = std::max(e.W0, e.W1);
    e.Index = i;
    edges.push_back(e);
  }
  if (!Literal) {
    std::stable_sort(edges.begin(), edges.end(),
                     [](const SPassEdge& a, const SPassEdge& b) { return a.WMin < b.WMin; });
  }

  const float limit = float(Columns ? plane.Height : plane.Width);
  std::vector<const SPassEdge*> active;
  std::vector<SCrossing> crossings;
  size_t next = 0;
  for (int32_t line = from; line <= to; ++line) {
    const float first = float(line), last = float(line) + 0.75f;
    while (next < edges.size() && (Literal || edges[next].WMin <= last)) active.push_back(&edges[next++]);
    if (!Literal) std::erase_if(active, [first](const SPassEdge* e) { return e->WMax < first; });
    crossings.clear();
    for (const SPassEdge* e : active) {
      float sum = 0;
      int hits = 0;
      bool steep = false;
      float slope = 0;
      for (float offset : {0.0f, 0.25f, 0.5f, 0.75f}) {
        // The crossing u at the scan position w: segmentYAtX with u and w in
        // the places of y and x (for rows that is the axes exchanged; for
        // columns, segmentXAtY with the axes exchanged is this same call).
        // steep therefore means the edge runs more along the scan line than
        // across it.
        float u, sl;
        bool st;
        if (segmentYAtX(u, st, sl, first + offset, e->W0, e->U0, e->W1, e->U1)) {
          sum += u;
          ++hits;
          steep = st;
          slope = sl;
        }
      }
      if (hits > 0) crossings.push_back({sum / float(hits), steep, slope, e->Index});
    }
    std::sort(crossings.begin(), crossings.end(), [](const SCrossing& a, const SCrossing& b) {
      return a.Pos < b.Pos || (a.Pos == b.Pos && a.Edge < b.Edge);
    });
    for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
      const SCrossing& a = crossings[k];
      const SCrossing& b = crossings[k + 1];
      float start = std::max(a.Pos, 0.0f);
      float end = std::min(b.Pos, limit);
      // Rows trim the ends of edges flagged steep by half their slope,
      // columns those not flagged steep.
      if (a.Steep != Columns) start += a.Slope / 2;
      if (b.Steep != Columns) end -= b.Slope / 2;
      if (start < end) {
        if (Columns) {
          spanAAV(plane, line, 255, start, end, 1.0f, true);
        } else {
          spanAAH(plane, line, 255, start, end, 1.0f, true);
        }
      }
    }
  }
}

}  // namespace

// ---- discs ------------------------------------------------------------------

void fillDiscAA(TChannel& plane, uint32_t value, bool antialias, float cx, float cy, float radius, float opacity,
                bool max, const SPlanePlot8& plot) {
  SDiscGrid g;
  if (!g.init(plane, cx, cy, radius, 5)) return;
  const bool small = radius <= 3.0f;
  const uint32_t full = scaledByte(255, opacity);
  const uint32_t valOp = scaledByte(value, opacity);
  g.forEachPixel([&](int32_t x, int32_t y, int64_t ex, int64_t ey, int out) {
    if (out == 4 && !small) return;
    if (out > 0 || small) {
      if (!antialias) {
        plot(plane, x, y, value, full);
        return;
      }
      const uint32_t a = full * g.samplesInside(ex, ey) / 25;
      if (!max) {
        plot(plane, x, y, value, a);
      } else if (plane.getPixelClamped(x, y) < a) {
        plot(plane, x, y, a, 255);
      }
    } else if (!max) {
      plot(plane, x, y, value, full);
    } else if (plane.getPixelClamped(x, y) < valOp) {
      plot(plane, x, y, valOp, 255);
    }
  });
}

void fillDiscSoftAA(TChannel& plane, uint32_t value, bool max, float cx, float cy, float radius, float opacity,
                    bool soft) {
  discSoft8<SSoftFast>(plane, value, max, cx, cy, radius, opacity, soft);
}

void plotDiscAA(TMTC& plane, uint32_t colour, bool antialias, float cx, float cy, float radius, float opacity,
                bool soft, const SPlanePlot32& plot) {
  disc32<SSoftFast>(plane, antialias, cx, cy, radius, opacity, soft,
                    [&](int32_t x, int32_t y, uint32_t a) { plot(plane, x, y, colour, a); });
}

void fillDiscAA(TMTC& plane, uint32_t colour, bool antialias, float cx, float cy, float radius, float opacity,
                bool soft) {
  disc32<SSoftFast>(plane, antialias, cx, cy, radius, opacity, soft,
                    [&](int32_t x, int32_t y, uint32_t a) { blendPixelTab(plane, x, y, colour, a); });
}

// ---- spans ------------------------------------------------------------------

void spanAAH(TChannel& plane, int32_t y, uint32_t value, float x0, float x1, float opacity, bool max) {
  span8<false, false>(plane, y, value, x0, x1, opacity, max);
}

void spanAAV(TChannel& plane, int32_t x, uint32_t value, float y0, float y1, float opacity, bool max) {
  span8<true, false>(plane, x, value, y0, y1, opacity, max);
}

// ---- polygons -------------------------------------------------------------------

bool segmentYAtX(float& y, bool& steep, float& slope, float x, float x0, float y0, float x1, float y1) {
  if (x < std::min(x0, x1) || x > std::max(x0, x1) || x0 == x1) return false;
  if (x0 > x1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  y = (x - x1) * (y0 - y1) / (x0 - x1) + y1;
  slope = std::fabs((y0 - y1) / (x0 - x1));
  steep = std::fabs(y1 - y0) >= std::fabs(x1 - x0);
  return true;
}

bool segmentXAtY(float& x, bool& steep, float& slope, float y, float x0, float y0, float x1, float y1) {
  return segmentYAtX(x, steep, slope, y, y0, x0, y1, x1);
}

namespace {

template <bool Literal>
void rasterPolygon(TChannel& plane, const TPoint* points, size_t count) {
  if (points == nullptr || !plane.IsAllocated()) return;
  std::vector<TPoint> pts(points, points + count);
  // Repeated consecutive points go. (Removing them one at a time only while
  // more than three are left ends the same way: three or fewer draw nothing.)
  pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
  if (pts.size() <= 3) return;

  int32_t minX = 10000, minY = 10000, maxX = 0, maxY = 0;
  for (const TPoint& p : pts) {
    minX = std::min(minX, p.X);
    minY = std::min(minY, p.Y);
    maxX = std::max(maxX, p.X);
    maxY = std::max(maxY, p.Y);
  }
  minX = std::max(minX, 0);
  minY = std::max(minY, 0);
  maxX = std::min(maxX, plane.Width);
  maxY = std::min(maxY, plane.Height);
  polygonPass<false, Literal>(plane, pts, minY, maxY);
  polygonPass<true, Literal>(plane, pts, minX, maxX);
}

}  // namespace

void rasterPolygonAA(TChannel& plane, const TPoint* points, size_t count) {
  rasterPolygon<false>(plane, points, count);
}

void fillPolygonAA(TChannel& plane, const TPoint* points, size_t count) {
  if (points == nullptr || count == 0) return;
  std::vector<TPoint> closed(points, points + count);
  closed.push_back(points[0]);
  rasterPolygonAA(plane, closed.data(), closed.size());
}

// ---- lines ------------------------------------------------------------------

void drawLineAA(TMTC& plane, uint32_t colour, bool antialias, float x0, float y0, float x1, float y1) {
  if (!plane.IsAllocated() || !finite(x0) || !finite(y0) || !finite(x1) || !finite(y1)) return;
  double ax = clampCoord(x0), ay = clampCoord(y0), bx = clampCoord(x1), by = clampCoord(y1);
  const bool majorY = std::fabs(bx - ax) <= std::fabs(by - ay);
  // (major, minor) of both ends, walked from the smaller major coordinate.
  double m0 = majorY ? ay : ax, n0 = majorY ? ax : ay, m1 = majorY ? by : bx, n1 = majorY ? bx : by;
  if (m1 < m0) {
    std::swap(m0, m1);
    std::swap(n0, n1);
  }
  const double majorDiff = m1 - m0;
  const int64_t step = majorDiff == 0 ? 0 : roundToInt32((n1 - n0) / (majorDiff + 1) * 65536.0);
  const int64_t start = trunc64(m0), points = trunc64(m1) - start + 1;
  if (points <= 0) return;
  // Only the major positions inside the plane are visited.
  const int64_t majorSize = majorY ? plane.Height : plane.Width;
  const int64_t from = std::max<int64_t>(start, 0), to = std::min<int64_t>(start + points - 1, majorSize - 1);
  int64_t pos = int64_t(std::nearbyint(n0 * 65536.0)) + (from - start) * step;
  for (int64_t m = from; m <= to; ++m, pos += step) {
    const int64_t minor = pos >> 16;
    if (minor < -1 || minor >= (majorY ? plane.Width : plane.Height)) continue;
    auto plot = [&](int64_t n, uint32_t alpha) {
      const int32_t mm = int32_t(m), nn = int32_t(n);
      if (majorY) {
        blendPixel(plane, nn, mm, colour, alpha);
      } else {
        blendPixel(plane, mm, nn, colour, alpha);
      }
    };
    if (antialias) {
      const uint32_t f = uint32_t(pos & 0xFFFF) >> 8;
      plot(minor, 255 - f);
      plot(minor + 1, f);
    } else {
      plot(minor, 255);
    }
  }
}

// ---- literal forms ----------------------------------------------------------

void reference::spanAAH(TChannel& plane, int32_t y, uint32_t value, float x0, float x1, float opacity, bool max) {
  span8<false, true>(plane, y, value, x0, x1, opacity, max);
}

void reference::rasterPolygonAA(TChannel& plane, const TPoint* points, size_t count) {
  rasterPolygon<true>(plane, points, count);
}

void reference::fillDiscSoftAA(TChannel& plane, uint32_t value, bool max, float cx, float cy, float radius,
                               float opacity, bool soft) {
  discSoft8<SSoftPlain>(plane, value, max, cx, cy, radius, opacity, soft);
}

void reference::fillDiscAA(TMTC& plane, uint32_t colour, bool antialias, float cx, float cy, float radius,
                           float opacity, bool soft) {
  disc32<SSoftPlain>(plane, antialias, cx, cy, radius, opacity, soft,
                     [&](int32_t x, int32_t y, uint32_t a) { blendPixelTab(plane, x, y, colour, a); });
}

}  // namespace pg
