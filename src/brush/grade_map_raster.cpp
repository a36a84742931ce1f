#include "brush/grade_map_raster.h"

#include <cmath>

#include "core/det_math.h"
#include "core/fixed_point.h"

namespace pg {

namespace {

constexpr double kOne = 65536.0;

double toPixels(int64_t v) { return static_cast<double>(v) / kOne; }

int64_t floorFix(int64_t v) { return v >> 16; }                 // floor(v / 65536)
int64_t ceilFix(int64_t v) { return (v + 0xFFFF) >> 16; }       // ceil(v / 65536)

// The frame a rasteriser walks in: lines across, cells along. For rows the
// lines are pixel rows and "along" is x; for columns the two swap.
struct SFrame {
  int32_t cAlong = 0, cAcross = 0;     // centre, 16.16
  int32_t alongLo = 0, alongHi = 0;    // bounds along, 16.16
  int32_t acrossLo = 0, acrossHi = 0;  // bounds across, 16.16
  int32_t cell0 = 0, cells = 0;        // first pixel along and cells along
  int32_t line0 = 0, lines = 0;        // first pixel line and lines
  int32_t stride = 1;                  // cell step along in the grid
  int32_t lineStep = 0;                // cell step from line to line
  bool columns = false;
};

SFrame frameOf(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, bool columns) {
  SFrame f;
  f.columns = columns;
  if (!columns) {
    f.cAlong = cx; f.cAcross = cy;
    f.alongLo = box.left; f.alongHi = box.right;
    f.acrossLo = box.top; f.acrossHi = box.bottom;
    f.cell0 = box.col0; f.cells = box.cols;
    f.line0 = box.row0; f.lines = box.rows;
    f.stride = 1; f.lineStep = grid.width;
  } else {
    f.cAlong = cy; f.cAcross = cx;
    f.alongLo = box.top; f.alongHi = box.bottom;
    f.acrossLo = box.left; f.acrossHi = box.right;
    f.cell0 = box.row0; f.cells = box.rows;
    f.line0 = box.col0; f.lines = box.cols;
    f.stride = grid.width; f.lineStep = 1;
  }
  return f;
}

bool gridHolds(const SCellView& grid, const SDiscBox& box) {
  return grid.cells != nullptr && box.cols >= 0 && box.rows >= 0 && grid.width >= box.cols && grid.height >= box.rows;
}

// A chord of a line: offsets lo..hi along, in pixels from the centre.
struct SChord {
  bool any = false;
  double lo = 0.0, hi = 0.0;
};

// The shape a chord walker cuts: a disc, or a rotated ellipse by its quadratic.
struct SShapeEq {
  bool ellipse = false;
  double r = 0.0;  // disc radius
  // Q(along, across) = qa along^2 + qb along across + qc across^2; the outline is Q = 1.
  double qa = 0.0, qb = 0.0, qc = 0.0;

  SChord chord(double across) const {
    SChord c;
    if (!ellipse) {
      const double h2 = r * r - across * across;
      if (h2 <= 0.0) return c;
      const double h = std::sqrt(h2);
      c.any = true;
      c.lo = -h;
      c.hi = h;
      return c;
    }
    const double b = qb * across;
    const double cc = qc * across * across - 1.0;
    const double disc = b * b - 4.0 * qa * cc;
    if (disc <= 0.0 || qa <= 0.0) return c;
    const double s = std::sqrt(disc);
    c.any = true;
    c.lo = (-b - s) / (2.0 * qa);
    c.hi = (-b + s) / (2.0 * qa);
    return c;
  }

  // The normalised distance of an offset: |d| / r, or sqrt(Q) for the ellipse.
  double distance(double along, double across) const {
    if (!ellipse) return std::sqrt(along * along + across * across) / r;
    const double q = qa * along * along + qb * along * across + qc * across * across;
    return q > 0.0 ? std::sqrt(q) : 0.0;
  }
};

// The line's weight: the part of the line within the bounds across, 16.16.
int32_t lineWeight(const SFrame& f, int32_t line) {
  const int64_t top = static_cast<int64_t>(line) << 16;
  const int64_t lo = top > f.acrossLo ? top : f.acrossLo;
  const int64_t hi = (top + 0x10000) < f.acrossHi ? (top + 0x10000) : f.acrossHi;
  return hi > lo ? static_cast<int32_t>(hi - lo) : 0;
}

// The chord of a line in 16.16, clamped to the bounds along.
bool fixChord(const SFrame& f, const SShapeEq& eq, int32_t line, int32_t& a, int32_t& b) {
  const double across = toPixels((static_cast<int64_t>(line) << 16) + 0x8000 - f.cAcross);
  const SChord c = eq.chord(across);
  if (!c.any) return false;
  int64_t lo = static_cast<int64_t>(f.cAlong) + roundToInt32(c.lo * kOne);
  int64_t hi = static_cast<int64_t>(f.cAlong) + roundToInt32(c.hi * kOne);
  if (lo < f.alongLo) lo = f.alongLo;
  if (hi > f.alongHi) hi = f.alongHi;
  if (hi < lo) return false;
  a = static_cast<int32_t>(lo);
  b = static_cast<int32_t>(hi);
  return true;
}

// The pixel line a single-span (radius below 0.5) shape lies on.
int32_t centreLine(const SFrame& f) { return static_cast<int32_t>(floorFix(f.cAcross)); }

// Walks the chords; per chord calls put(line index in the grid, a, b, value).
template <typename Put>
void walkChords(const SFrame& f, const SShapeEq& eq, bool single, Put put) {
  if (single) {
    const int32_t line = centreLine(f);
    const int64_t r = static_cast<int64_t>(eq.r * kOne + 0.5);
    int64_t a = f.cAlong - r, b = f.cAlong + r;
    if (a < f.alongLo) a = f.alongLo;
    if (b > f.alongHi) b = f.alongHi;
    if (line - f.line0 == 0 && f.lines >= 1) put(0, line, static_cast<int32_t>(a), static_cast<int32_t>(b), 0x8000);
    return;
  }
  for (int32_t j = 0; j < f.lines; ++j) {
    const int32_t line = f.line0 + j;
    int32_t a = 0, b = 0;
    if (!fixChord(f, eq, line, a, b)) continue;
    put(j, line, a, b, lineWeight(f, line));
  }
}

// The first cell of a chord in the grid and how many cells remain along.
int32_t chordStart(const SFrame& f, int32_t a, int32_t& limit) {
  const int32_t start = static_cast<int32_t>(floorFix(a)) - f.cell0;
  limit = f.cells - start;
  return start;
}

SShapeEq discEq(int32_t r) {
  SShapeEq eq;
  eq.r = toPixels(r);
  return eq;
}

// The quadratic of a rotated ellipse in the walker's frame.
SShapeEq ellipseEq(const SEllipseShape& e, bool columns) {
  const double a = toPixels(e.r);
  const int32_t aspect = e.aspect < 1 ? 1 : (e.aspect > 100 ? 100 : e.aspect);
  if (aspect == 100) return discEq(e.r);  // a circle: the disc's own chords
  const double b = a * aspect / 100.0;
  const double th = static_cast<double>(e.angle) * 3.14159265358979323846 / 180.0;
  const double c = dmath::cos(th), s = dmath::sin(th);
  const double ia = 1.0 / (a * a), ib = 1.0 / (b * b);
  const double xx = c * c * ia + s * s * ib;  // coefficient of x^2
  const double xy = 2.0 * c * s * (ia - ib);  // of x y
  const double yy = s * s * ia + c * c * ib;  // of y^2
  SShapeEq eq;
  eq.ellipse = true;
  eq.r = a;
  if (!columns) {
    eq.qa = xx; eq.qb = xy; eq.qc = yy;
  } else {
    eq.qa = yy; eq.qb = xy; eq.qc = xx;
  }
  return eq;
}

bool coverage(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, const SShapeEq& eq, bool single,
              bool columns) {
  if (!gridHolds(grid, box)) return false;
  const SFrame f = frameOf(grid, box, cx, cy, columns);
  walkChords(f, eq, single, [&](int32_t j, int32_t, int32_t a, int32_t b, int32_t value) {
    int32_t limit = 0;
    const int32_t start = chordStart(f, a, limit);
    if (start < 0) return;
    int32_t* cells = grid.cells + static_cast<int64_t>(j) * f.lineStep + static_cast<int64_t>(start) * f.stride;
    spanCoverage1D(a, b, value, cells, limit, f.stride);
  });
  return true;
}

// The middle of the covered part of pixel px of the chord a..b, 16.16 (64-bit).
int64_t coveredMiddle(int64_t px, int32_t a, int32_t b) {
  const int64_t lo = (px << 16) > a ? (px << 16) : a;
  const int64_t hi = ((px + 1) << 16) < b ? ((px + 1) << 16) : b;
  return (lo + hi) / 2;
}

int32_t distanceCell(const SFrame& f, const SShapeEq& eq, int32_t line, int64_t middle, bool capped) {
  const double along = toPixels(middle - f.cAlong);
  const double across = toPixels((static_cast<int64_t>(line) << 16) + 0x8000 - f.cAcross);
  double d = eq.distance(along, across);
  if (capped && d > 1.0) d = 1.0;
  return roundToInt32(d * kOne);
}

bool distance(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, const SShapeEq& eq, bool single,
              bool columns, bool capped) {
  if (!gridHolds(grid, box)) return false;
  const SFrame f = frameOf(grid, box, cx, cy, columns);
  walkChords(f, eq, single, [&](int32_t j, int32_t line, int32_t a, int32_t b, int32_t) {
    int32_t limit = 0;
    const int32_t start = chordStart(f, a, limit);
    if (start < 0) return;
    const int64_t end = ceilFix(b) > floorFix(a) + 1 ? ceilFix(b) : floorFix(a) + 1;
    int32_t* cells = grid.cells + static_cast<int64_t>(j) * f.lineStep + static_cast<int64_t>(start) * f.stride;
    int32_t k = 0;
    for (int64_t px = floorFix(a); px < end && k < limit; ++px, ++k)
      cells[static_cast<int64_t>(k) * f.stride] = distanceCell(f, eq, line, coveredMiddle(px, a, b), capped);
  });
  return true;
}

bool singleSpan(int32_t r) { return r < 0x8000; }

}  // namespace

bool discBox(int32_t cx, int32_t cy, int32_t rx, int32_t ry, SDiscBox& box) {
  constexpr int64_t kMax = static_cast<int64_t>(kMaxDiscExtent) << 16;
  if (rx < 0 || ry < 0 || rx > kMax || ry > kMax) return false;
  const int64_t left = static_cast<int64_t>(cx) - rx, right = static_cast<int64_t>(cx) + rx;
  const int64_t top = static_cast<int64_t>(cy) - ry, bottom = static_cast<int64_t>(cy) + ry;
  if (left < INT32_MIN || top < INT32_MIN || right > INT32_MAX - 0xFFFF || bottom > INT32_MAX - 0xFFFF) return false;
  SDiscBox b;
  b.left = static_cast<int32_t>(left);
  b.top = static_cast<int32_t>(top);
  b.right = static_cast<int32_t>(right);
  b.bottom = static_cast<int32_t>(bottom);
  b.col0 = static_cast<int32_t>(floorFix(left));
  b.row0 = static_cast<int32_t>(floorFix(top));
  b.cols = static_cast<int32_t>(ceilFix(right) - b.col0);
  b.rows = static_cast<int32_t>(ceilFix(bottom) - b.row0);
  b.originX = static_cast<int32_t>(floorFix(cx)) - b.col0;
  b.originY = static_cast<int32_t>(floorFix(cy)) - b.row0;
  box = b;
  return true;
}

int32_t spanCoverage1D(int32_t a, int32_t b, int32_t value, int32_t* cells, int32_t cellLimit, int32_t stride) {
  if (cells == nullptr || cellLimit <= 0 || b < a) return 0;
  const int64_t fa = floorFix(a);
  const int64_t n = ceilFix(b) - fa;
  if (n <= 1) {
    cells[0] = fixMul(b - a, value);
    return 1;
  }
  int32_t written = 0;
  int32_t* p = cells;
  auto put = [&](int32_t v) {
    *p = v;
    p += stride;
    ++written;
  };
  put(fixMul(static_cast<int32_t>(((fa + 1) << 16) - a), value));
  for (int64_t k = 1; k < n - 1 && written < cellLimit; ++k) put(value);
  if (written < cellLimit) put(fixMul(static_cast<int32_t>(b - ((ceilFix(b) - 1) << 16)), value));
  return written;
}

int32_t distanceValue(int32_t d, double offsetSq, double invRadius) {
  const double dd = toPixels(d);
  return roundToInt32(std::sqrt(dd * dd + offsetSq) * invRadius * kOne);
}

bool discGridBox(int32_t cx, int32_t cy, int32_t r, bool columns, SDiscBox& box) {
  if (!discBox(cx, cy, r, r, box)) return false;
  if (singleSpan(r)) {
    // One span in the line of the centre, which becomes line 0.
    if (!columns) {
      box.row0 = static_cast<int32_t>(floorFix(cy));
      box.rows = 1;
      box.originY = 0;
    } else {
      box.col0 = static_cast<int32_t>(floorFix(cx));
      box.cols = 1;
      box.originX = 0;
    }
  }
  return true;
}

bool discRowsCoverage(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r) {
  return coverage(grid, box, cx, cy, discEq(r), singleSpan(r), false);
}

bool discColumnsCoverage(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r) {
  return coverage(grid, box, cx, cy, discEq(r), singleSpan(r), true);
}

bool discDistanceRows(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r, bool columns) {
  if (r <= 0) return false;
  return distance(grid, box, cx, cy, discEq(r), singleSpan(r), columns, false);
}

bool ellipseGridBox(const SEllipseShape& e, SDiscBox& box) {
  if (singleSpan(e.r)) return discGridBox(e.cx, e.cy, e.r, false, box);
  const double a = toPixels(e.r);
  const int32_t aspect = e.aspect < 1 ? 1 : (e.aspect > 100 ? 100 : e.aspect);
  const double b = a * aspect / 100.0;
  const double th = static_cast<double>(e.angle) * 3.14159265358979323846 / 180.0;
  const double c = dmath::cos(th), s = dmath::sin(th);
  const double hx = std::sqrt(a * a * c * c + b * b * s * s);
  const double hy = std::sqrt(a * a * s * s + b * b * c * c);
  return discBox(e.cx, e.cy, roundToInt32(hx * kOne), roundToInt32(hy * kOne), box);
}

bool ellipseRowsCoverage(const SCellView& grid, const SDiscBox& box, const SEllipseShape& e) {
  if (singleSpan(e.r)) return discRowsCoverage(grid, box, e.cx, e.cy, e.r);
  return coverage(grid, box, e.cx, e.cy, ellipseEq(e, false), false, false);
}

bool ellipseColumnsCoverage(const SCellView& grid, const SDiscBox& box, const SEllipseShape& e) {
  if (singleSpan(e.r)) return discColumnsCoverage(grid, box, e.cx, e.cy, e.r);
  return coverage(grid, box, e.cx, e.cy, ellipseEq(e, true), false, true);
}

bool ellipseDistance(const SCellView& grid, const SDiscBox& box, const SEllipseShape& e, bool columns) {
  if (e.r <= 0) return false;
  if (singleSpan(e.r)) return distance(grid, box, e.cx, e.cy, discEq(e.r), true, columns, true);
  return distance(grid, box, e.cx, e.cy, ellipseEq(e, columns), false, columns, true);
}

// ---- reference forms -----------------------------------------------------------

namespace {

// The cell value of pixel px on a chord a..b by the span rule.
bool spanCellRef(int64_t px, int32_t a, int32_t b, int32_t value, int32_t& out) {
  const int64_t fa = floorFix(a);
  const int64_t cb = ceilFix(b);
  if (cb - fa <= 1) {
    if (px != fa) return false;
    out = fixMul(b - a, value);
    return true;
  }
  if (px < fa || px >= cb) return false;
  if (px == fa) out = fixMul(static_cast<int32_t>(((fa + 1) << 16) - a), value);
  else if (px == cb - 1) out = fixMul(static_cast<int32_t>(b - ((cb - 1) << 16)), value);
  else out = value;
  return true;
}

template <typename CellFn>
bool forEachCellRef(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r, bool columns,
                    CellFn fn) {
  if (!gridHolds(grid, box)) return false;
  const SFrame f = frameOf(grid, box, cx, cy, columns);
  const SShapeEq eq = discEq(r);
  const bool single = singleSpan(r);
  for (int32_t j = 0; j < f.lines; ++j) {
    const int32_t line = f.line0 + j;
    int32_t a = 0, b = 0, value = 0;
    if (single) {
      if (j != 0 || line != centreLine(f)) continue;
      const int64_t rr = static_cast<int64_t>(eq.r * kOne + 0.5);
      a = static_cast<int32_t>(f.cAlong - rr < f.alongLo ? f.alongLo : f.cAlong - rr);
      b = static_cast<int32_t>(f.cAlong + rr > f.alongHi ? f.alongHi : f.cAlong + rr);
      value = 0x8000;
    } else {
      if (!fixChord(f, eq, line, a, b)) continue;
      value = lineWeight(f, line);
    }
    for (int32_t k = 0; k < f.cells; ++k) {
      int32_t* cell = grid.cells + static_cast<int64_t>(j) * f.lineStep + static_cast<int64_t>(k) * f.stride;
      fn(cell, f, eq, line, static_cast<int64_t>(f.cell0) + k, a, b, value);
    }
  }
  return true;
}

}  // namespace

bool discCoverageRef(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r, bool columns) {
  return forEachCellRef(grid, box, cx, cy, r, columns,
                        [](int32_t* cell, const SFrame&, const SShapeEq&, int32_t, int64_t px, int32_t a, int32_t b,
                           int32_t value) {
                          int32_t v = 0;
                          if (spanCellRef(px, a, b, value, v)) *cell = v;
                        });
}

bool discDistanceRef(const SCellView& grid, const SDiscBox& box, int32_t cx, int32_t cy, int32_t r, bool columns) {
  if (r <= 0) return false;
  return forEachCellRef(grid, box, cx, cy, r, columns,
                        [](int32_t* cell, const SFrame& f, const SShapeEq& eq, int32_t line, int64_t px, int32_t a,
                           int32_t b, int32_t value) {
                          int32_t v = 0;
                          if (spanCellRef(px, a, b, value, v))
                            *cell = distanceCell(f, eq, line, coveredMiddle(px, a, b), false);
                        });
}

}  // namespace pg
