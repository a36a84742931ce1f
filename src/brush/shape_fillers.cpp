#include "brush/shape_fillers.h"

#include <algorithm>
#include <cmath>

#include "brush/plot_callbacks.h"
#include "brush/plot_document.h"
#include "brush/plot_state.h"
#include "brush/stroke_settings.h"
#include "core/det_math.h"

namespace pg {

namespace {

constexpr double kCoordLimit = 1073741824.0;  // 2^30: far outside any layer

// Floor and ceiling as 64-bit integers kept within ±2^30 (0 for NaN).
int64_t floorI(double v) { return v == v ? static_cast<int64_t>(std::clamp(std::floor(v), -kCoordLimit, kCoordLimit)) : 0; }
int64_t ceilI(double v) { return v == v ? static_cast<int64_t>(std::clamp(std::ceil(v), -kCoordLimit, kCoordLimit)) : 0; }

bool finite(TPointF p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

// trunc(v * 255) as a byte, v limited to 0..1.
uint32_t unitByte(float v) {
  if (!(v > 0.0f)) return 0;
  return v >= 1.0f ? 255u : static_cast<uint32_t>(v * 255.0f);
}

// The ramp entry of column i counted from an edge's end column, for an edge
// that rises s of a column's coverage per column (s < 1): the area under the
// ramp a .. a + s (a = i * s) held at 1. 1.0 once the ramp has reached 1.
float rampEntry(int64_t i, float s) {
  const float a = static_cast<float>(i) * s;
  if (a >= 1.0f) return 1.0f;
  float c = a + (a + s);
  if (a + s > 1.0f) c -= (a + s - 1.0f) * (a + s - 1.0f) / s;
  return std::clamp(c / 2.0f, 0.0f, 1.0f);
}

// 1 / |slope|, 1000 for a vertical edge.
float rampStep(float slope) {
  const float m = std::fabs(slope);
  return m == 0.0f ? 1000.0f : 1.0f / m;
}

TPointF rotate(TPointF v, double angle) {
  const double c = dmath::cos(angle), s = dmath::sin(angle);
  return {static_cast<float>(v.X * c - v.Y * s), static_cast<float>(v.X * s + v.Y * c)};
}

}  // namespace

// ---- the ellipse geometry -------------------------------------------------------

bool ellipseSetup(SEllipse& e, TPointF p1, TPointF p2, TPointF p3) {
  e = SEllipse{};
  if (!finite(p1) || !finite(p2) || !finite(p3)) return false;
  const TPointF c{(p1.X + p2.X) / 2.0f, (p1.Y + p2.Y) / 2.0f};
  const TPointF a{p1.X - c.X, p1.Y - c.Y};
  const TPointF b{p2.X - c.X, p2.Y - c.Y};
  const TPointF d{p3.X - c.X, p3.Y - c.Y};
  e.centre = c;
  e.end1 = p1;
  e.end2 = p2;
  e.axisA = a;
  e.axisB = b;
  e.axisD = d;
  e.determinant = a.X * d.Y - a.Y * d.X;
  if (p1 == p2 || e.determinant == 0.0f) return false;
  float la = a.X * a.X + a.Y * a.Y;
  float ld = d.X * d.X + d.Y * d.Y;
  const float dot = a.X * d.X + a.Y * d.Y;
  const float cross = e.determinant;
  if (ld >= la) {
    la = std::fabs(ld * (cross * cross / ld) / (ld - dot * dot / ld));
    e.A = la * d.X * d.X / ld + d.Y * d.Y;
    e.B = (la / ld - 1.0f) * d.X * d.Y;
    e.C = la * d.Y * d.Y / ld + d.X * d.X;
  } else {
    ld = std::fabs(la * (cross * cross / la) / (la - dot * dot / la));
    e.A = ld * a.X * a.X / la + a.Y * a.Y;
    e.B = (ld / la - 1.0f) * a.X * a.Y;
    e.C = ld * a.Y * a.Y / la + a.X * a.X;
  }
  e.lengthA2 = la;
  e.lengthD2 = ld;
  e.D = e.A * la * ld;
  e.E = e.A * e.C - e.B * e.B;
  if (!(e.A > 0.0f) || !(e.E > 0.0f) || !std::isfinite(e.D)) return false;
  e.halfHeight = std::sqrt(e.D / e.E);
  e.top = c.Y - e.halfHeight;
  e.bottom = c.Y + e.halfHeight;
  if (!std::isfinite(e.top) || !std::isfinite(e.bottom)) return false;
  e.topRow = static_cast<int32_t>(floorI(e.top));
  e.bottomRow = static_cast<int32_t>(ceilI(e.bottom));
  e.valid = true;
  return true;
}

int ellipseRow(const SEllipse& e, float y, TPointF out[2]) {
  if (!e.valid || !(y >= static_cast<float>(e.topRow)) || !(y <= static_cast<float>(e.bottomRow))) return 0;
  const float v = y - e.centre.Y;
  float q = std::fabs(v) == e.halfHeight ? 0.0f : e.D - e.E * v * v;
  if (q < 0.0f) return 0;
  const float r = std::sqrt(q);
  const float u = -e.B * v;
  if (r != 0.0f) {
    out[0] = {(u - r) / e.A + e.centre.X, y};
    out[1] = {(u + r) / e.A + e.centre.X, y};
    if (out[1].X < out[0].X) std::swap(out[0], out[1]);
    return 2;
  }
  out[0] = {u / e.A + e.centre.X, y};
  return 1;
}

namespace {

constexpr double kTwoPi = 3.141592653589793 * 2.0;
constexpr double kMinArc = 0.0009765625;  // 1/1024 radian
constexpr float kChordTolerance = 0.25f;  // pixels

TPointF ellipsePoint(const SEllipse& e, double t) {
  const double c = dmath::cos(t), s = dmath::sin(t);
  return {static_cast<float>(e.centre.X + e.axisA.X * c + e.axisD.X * s),
          static_cast<float>(e.centre.Y + e.axisA.Y * c + e.axisD.Y * s)};
}

// Appends the points after t0 up to t1 (p0 at t0 is already in the list).
void subdivide(const SEllipse& e, double t0, TPointF p0, double t1, TPointF p1, std::vector<TPointF>& out) {
  const double tm = (t0 + t1) / 2.0;
  const TPointF pm = ellipsePoint(e, tm);
  const float dx = pm.X - (p0.X + p1.X) / 2.0f, dy = pm.Y - (p0.Y + p1.Y) / 2.0f;
  if (t1 - t0 >= kMinArc && dx * dx + dy * dy > kChordTolerance * kChordTolerance) {
    subdivide(e, t0, p0, tm, pm, out);
    subdivide(e, tm, pm, t1, p1, out);
    return;
  }
  out.push_back(p1);
}

}  // namespace

void ellipseOutline(const SEllipse& e, std::vector<TPointF>& points) {
  points.clear();
  if (!e.valid) return;
  // Quarter arcs first, so that no arc's midpoint falls on its chord.
  double t0 = 0.0;
  TPointF p0 = ellipsePoint(e, t0);
  points.push_back(p0);
  for (int q = 1; q <= 4; ++q) {
    const double t1 = kTwoPi * q / 4.0;
    const TPointF p1 = q == 4 ? points.front() : ellipsePoint(e, t1);
    subdivide(e, t0, p0, t1, p1, points);
    t0 = t1;
    p0 = p1;
  }
}

void ellipseAxes(TPointF p0, TPointF p1, double angle, TPointF& a1, TPointF& a2, TPointF& d) {
  const TPointF c{(p0.X + p1.X) / 2.0f, (p0.Y + p1.Y) / 2.0f};
  const TPointF rx = rotate({std::fabs(p1.X - p0.X) / 2.0f, 0.0f}, angle);
  const TPointF ry = rotate({0.0f, std::fabs(p1.Y - p0.Y) / 2.0f}, angle);
  a1 = {c.X + rx.X, c.Y + rx.Y};
  a2 = {c.X - rx.X, c.Y - rx.Y};
  d = {c.X + ry.X, c.Y + ry.Y};
}

int32_t rasterEllipse(const TRectF& rect, double angle, std::vector<TPointF>& points) {
  points.clear();
  TPointF a1, a2, d;
  ellipseAxes({rect.Left, rect.Top}, {rect.Right, rect.Bottom}, angle, a1, a2, d);
  SEllipse e;
  if (!ellipseSetup(e, a1, a2, d)) return 0;
  ellipseOutline(e, points);
  return static_cast<int32_t>(points.size());
}

bool xRange(const TPointF* points, int32_t n, float& minX, float& maxX) {
  if (points == nullptr || n < 1) return false;
  minX = maxX = points[0].X;
  for (int32_t i = 1; i < n; ++i) {
    minX = std::min(minX, points[i].X);
    maxX = std::max(maxX, points[i].X);
  }
  return true;
}

float ellipseSlope(float halfWidth, float halfHeight, float v) {
  const float h2 = halfHeight * halfHeight - v * v;
  const float root = h2 > 0.0f ? std::sqrt(h2) : 0.0f;
  if (root == 0.0f) return 0.1f;
  const float q = halfWidth * v / (halfHeight * root);
  return std::isfinite(q) ? q : 10.0f;
}

// ---- the filler base ---------------------------------------------------------------

CFillMngr::CFillMngr(IPlotDocument* document, TStroke& stroke) : Document(document), Stroke(stroke) {
  const SSize size = document != nullptr ? document->currentLayerSize() : SSize{};
  Clip = {0, 0, std::max(size.W, 0), std::max(size.H, 0)};
  ClipF = {0.0f, 0.0f, static_cast<float>(Clip.Right), static_cast<float>(Clip.Bottom)};
  updatePlotCallbacks(Plot, Stroke, Document);
}

void CFillMngr::setPlot(uint32_t value) {
  ExtraPlotValue = value;
  SpanKind = TSpanKind::Color;
}

void CFillMngr::preparePlot() {
  SpanKind = TSpanKind::Color;
  updatePlotCallbacks(Plot, Stroke, Document);
}

void CFillMngr::useFlatValue(uint8_t value) {
  FlatValue = value;
  SpanKind = TSpanKind::Flat;
}

void CFillMngr::setSpanProc(SpanProc proc, void* data) {
  CustomProc = proc;
  CustomData = data;
  SpanKind = proc != nullptr ? TSpanKind::Custom : TSpanKind::Color;
}

bool CFillMngr::setBoundsF(const TRectF& fb) {
  BoundsF = fb;
  Valid = std::isfinite(fb.Left) && std::isfinite(fb.Top) && std::isfinite(fb.Right) && std::isfinite(fb.Bottom) &&
          intersectRectF(BoundsF, ClipF) && BoundsF.Right > BoundsF.Left && BoundsF.Bottom > BoundsF.Top;
  Bounds = Valid ? rectFToRect(BoundsF) : TRect{};
  return Valid;
}

bool CFillMngr::setRect(TPointF p0, TPointF p1) {
  return setBoundsF({std::min(p0.X, p1.X), std::min(p0.Y, p1.Y), std::max(p0.X, p1.X), std::max(p0.Y, p1.Y)});
}

int32_t CFillMngr::fillBox(CDibCore& target) {
  if (!Valid) return 0;
  const TRectF& b = BoundsF;
  int32_t rows = 0;
  const int64_t first = std::max<int64_t>(floorI(b.Top), Clip.Top);
  const int64_t last = std::min<int64_t>(ceilI(b.Bottom) - 1, Clip.Bottom - 1);
  for (int64_t y = first; y <= last; ++y) {
    const float band = std::min(static_cast<float>(y) + 1.0f, b.Bottom) - std::max(static_cast<float>(y), b.Top);
    if (!(band > 0.0f)) continue;
    plotSpan(target, {static_cast<int32_t>(y), b.Left, b.Right, 0.0f, 0.0f, std::min(band, 1.0f)});
    ++rows;
  }
  return rows;
}

void CFillMngr::plotSpan(CDibCore& target, const SSpan& span) {
  switch (SpanKind) {
    case TSpanKind::Color: spanPlotColor(target, span); break;
    case TSpanKind::Flat: spanPlotFlat(target, span); break;
    case TSpanKind::Custom: CustomProc(CustomData, *this, target, span); break;
  }
}

void CFillMngr::spanCoverage(const SSpan& span) {
  // Entries for the columns floor(left) .. ceil(right) that lie in the clip;
  // entry i belongs to column max(floor(left), clip left) + i.
  Coverage.clear();
  if (!std::isfinite(span.left) || !std::isfinite(span.right)) return;
  const int64_t l0 = floorI(span.left), r0 = ceilI(span.right);
  const int64_t from = std::max<int64_t>(l0, Clip.Left), to = std::min<int64_t>(r0, Clip.Right);
  if (to < from) return;
  Coverage.assign(static_cast<size_t>(to - from + 1), 1.0f);
  const float sl = rampStep(span.leftSlope), sr = rampStep(span.rightSlope);
  for (int64_t x = from; x <= to; ++x) {
    float& entry = Coverage[static_cast<size_t>(x - from)];
    if (sl < 1.0f) entry = std::min(entry, rampEntry(x - l0, sl));
    // The right ramp runs from the span's last pixel.
    if (sr < 1.0f && x <= r0 - 1) entry = std::min(entry, rampEntry(r0 - 1 - x, sr));
  }
}

template <class Write>
void CFillMngr::spanValues(CDibCore& target, const SSpan& span, Write&& write) {
  // The clip, also held to the target's own rectangle.
  const int64_t clipLeft = Clip.Left, clipRight = std::min<int64_t>(Clip.Right, target.Width);
  const int64_t clipBottom = std::min<int64_t>(Clip.Bottom, target.Height);
  if (!(span.rowCoverage > 0.0f) || span.row < Clip.Top || span.row >= clipBottom) return;
  if (!std::isfinite(span.left) || !std::isfinite(span.right) || !(span.left < span.right)) return;
  const int64_t l0 = floorI(span.left), r0 = ceilI(span.right);
  if (r0 <= clipLeft || l0 >= clipRight) return;
  const float o = Stroke.getOpacity() * span.rowCoverage;
  float f1 = static_cast<float>(l0 + 1) - span.left;
  float f2 = 1.0f - (static_cast<float>(r0) - span.right);
  int64_t start = l0, end = r0;
  if (start < clipLeft) {
    start = clipLeft;
    f1 = 1.0f;
  }
  if (end > clipRight) {
    end = clipRight;
    f2 = 1.0f;
  }
  spanCoverage(span);
  const int64_t entryBase = std::max<int64_t>(l0, Clip.Left);
  for (int64_t x = start; x < end; ++x) {
    const float e = Coverage[static_cast<size_t>(x - entryBase)];
    float f = 1.0f;
    if (r0 - l0 == 1)
      f = f1 + f2 - 1.0f;  // one pixel: the share of it the span covers
    else if (x == l0)
      f = f1;
    else if (x == r0 - 1)
      f = f2;
    write(static_cast<int32_t>(x), unitByte(o * f * e));
  }
}

void CFillMngr::spanPlotColor(CDibCore& target, const SSpan& span) {
  if (target.BytesPerPixel() != 4 || target.Bits == nullptr) return;
  const uint32_t colour = Stroke.color;
  const SPlotter& s = Plot.plotter;
  const PlotProc32 plot = s.plotProc32;
  spanValues(target, span,
             [&](int32_t x, uint32_t v) { plot(s, pixelAddr32(target, x, span.row), x, span.row, v, colour); });
}

void CFillMngr::spanPlotFlat(CDibCore& target, const SSpan& span) {
  if (target.BytesPerPixel() != 1 || target.Bits == nullptr) return;
  const PlotBaseOp8 op = Plot.plotter.plotBaseOp8;
  const uint32_t flat = FlatValue;
  spanValues(target, span, [&](int32_t x, uint32_t v) { op(pixelAddr8(target, x, span.row), flat, v); });
}

// ---- polygons --------------------------------------------------------------------

bool CPolygonFiller::setPoints(int32_t n, const TPointF* points) {
  Vertices.clear();
  Order.clear();
  Active.clear();
  if (n < 0 || (n > 0 && points == nullptr)) return false;
  for (int32_t i = 0; i < n; ++i)
    if (!finite(points[i])) return false;
  try {
    Vertices.assign(points, points + n);
    Order.resize(static_cast<size_t>(n));
    Active.reserve(static_cast<size_t>(n));
  } catch (...) {
    Vertices.clear();
    Order.clear();
    return false;
  }
  return true;
}

bool CPolygonFiller::setPolygon(const TPointF* points, int32_t n) {
  Valid = false;
  if (n <= 2 || !setPoints(n, points)) return false;
  TRectF fb{points[0].X, points[0].Y, points[0].X, points[0].Y};
  for (int32_t i = 1; i < n; ++i) {
    fb.Left = std::min(fb.Left, points[i].X);
    fb.Right = std::max(fb.Right, points[i].X);
    fb.Top = std::min(fb.Top, points[i].Y);
    fb.Bottom = std::max(fb.Bottom, points[i].Y);
  }
  return setBoundsF(fb);
}

int32_t CPolygonFiller::fill(CDibCore& target) {
  const int32_t n = static_cast<int32_t>(Vertices.size());
  if (!Valid || n <= 2) return 0;
  for (int32_t i = 0; i < n; ++i) Order[static_cast<size_t>(i)] = i;
  std::stable_sort(Order.begin(), Order.end(), [&](int32_t a, int32_t b) { return Vertices[a].Y < Vertices[b].Y; });
  const float ymin = Vertices[Order.front()].Y, ymax = Vertices[Order.back()].Y;
  const int64_t first = std::max<int64_t>(Clip.Top, ceilI(double(ymin) - 0.5));
  const int64_t last = std::min<int64_t>(Clip.Bottom - 1, floorI(double(ymax) - 0.5));
  Active.clear();
  size_t next = 0;  // the next vertex (in y order) not yet reached
  int32_t rows = 0;
  for (int64_t y = first; y <= last; ++y) {
    const float yc = static_cast<float>(y) + 0.5f;
    while (next < Order.size() && Vertices[Order[next]].Y <= yc) {
      const int32_t v = Order[next++];
      const TPointF pv = Vertices[v];
      const int32_t prev = (v + n - 1) % n, nextV = (v + 1) % n;
      const int32_t edges[2][2] = {{prev, prev}, {nextV, v}};  // (other end, edge id)
      for (const auto& e : edges) {
        const TPointF pw = Vertices[e[0]];
        if (pw.Y <= yc - 1.0f) {
          // The other end was reached on an earlier row: the edge ends here.
          Active.erase(std::remove_if(Active.begin(), Active.end(), [&](const SActiveEdge& a) { return a.edge == e[1]; }),
                       Active.end());
        } else if (pw.Y > yc) {
          const float slope = (pw.X - pv.X) / (pw.Y - pv.Y);
          Active.push_back({pv.X + (yc - pv.Y) * slope, slope, e[1]});
        }
      }
    }
    std::sort(Active.begin(), Active.end(), [](const SActiveEdge& a, const SActiveEdge& b) { return a.x < b.x; });
    for (size_t i = 0; i + 1 < Active.size(); i += 2) {
      const SActiveEdge& l = Active[i];
      const SActiveEdge& r = Active[i + 1];
      if (l.x < r.x) plotSpan(target, {static_cast<int32_t>(y), l.x, r.x, l.slope, r.slope, 1.0f});
    }
    for (SActiveEdge& a : Active) a.x += a.slope;
    ++rows;
  }
  return rows;
}

// ---- ellipses --------------------------------------------------------------------

bool CEllipseFiller::setEllipse(TPointF p0, TPointF p1) {
  Valid = false;
  Outline.clear();
  TPointF a1, a2, d;
  ellipseAxes(p0, p1, Angle, a1, a2, d);
  if (!std::isfinite(Angle) || !ellipseSetup(Ellipse, a1, a2, d)) return false;
  ellipseOutline(Ellipse, Outline);
  float minX = 0, maxX = 0;
  if (!xRange(Outline.data(), static_cast<int32_t>(Outline.size()), minX, maxX)) return false;
  return setBoundsF({minX, Ellipse.top, maxX, Ellipse.bottom});
}

int32_t CEllipseFiller::fill(CDibCore& target) {
  if (!Valid || !Ellipse.valid) return 0;
  const float halfWidth = (BoundsF.Right - BoundsF.Left) / 2.0f;
  float minX = 0, maxX = 0;
  const float wholeHalfWidth =
      xRange(Outline.data(), static_cast<int32_t>(Outline.size()), minX, maxX) ? (maxX - minX) / 2.0f : halfWidth;
  const int64_t first = std::max<int64_t>(floorI(Ellipse.top), Clip.Top);
  const int64_t last = std::min<int64_t>(ceilI(Ellipse.bottom) - 1, Clip.Bottom - 1);
  int32_t rows = 0;
  for (int64_t y = first; y <= last; ++y) {
    const float lo = std::max(static_cast<float>(y), Ellipse.top);
    const float hi = std::min(static_cast<float>(y) + 1.0f, Ellipse.bottom);
    if (!(hi > lo)) continue;
    TPointF ends[2];
    if (ellipseRow(Ellipse, (lo + hi) / 2.0f, ends) != 2) continue;
    const float v = (lo + hi) / 2.0f - Ellipse.centre.Y;
    const float slope = ellipseSlope(wholeHalfWidth, Ellipse.halfHeight, v);
    plotSpan(target, {static_cast<int32_t>(y), ends[0].X, ends[1].X, slope, slope, std::min(hi - lo, 1.0f)});
    ++rows;
  }
  return rows;
}

}  // namespace pg
