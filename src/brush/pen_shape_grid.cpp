#include "brush/pen_shape_grid.h"

#include <cmath>

#include "core/fixed_point.h"

namespace pg {

int32_t supersampleFactor(int32_t n) {
  if (n < 4) return n > 2 ? n : 2;
  if (n < 8) return (30 / n) < 5 ? 30 / n : 5;
  if (n < 50) return (50 / n) < 2 ? 50 / n : 2;
  return 1;
}

int32_t quantizePenRadius(int32_t radius) {
  if (radius > kMaxPenRadius) return -1;
  if (radius >= (10 << 16)) return radius & ~0x7FFF;  // multiple of 0.5
  if (radius >= (3 << 16)) return radius & ~0x3FFF;   // of 0.25
  const int32_t r = radius & ~0x1FFF;                 // of 0.125
  return r < 0x1000 ? 0x1000 : r;                     // not below 1/16
}

double edgeCoverage(double x, double y, double r) {
  const double ax = std::fabs(x), ay = std::fabs(y);
  const double small = ax < ay ? ax : ay;
  const double large = ax < ay ? ay : ax;
  if (small < 1.0 / 16.0 || large > 200.0 * small) {
    const double v = r - (large - 0.5);
    return v <= 0.0 ? 0.0 : (v >= 1.0 ? 1.0 : v);
  }
  const double d = std::sqrt(x * x + y * y);
  const double a = small / d, b = large / d;  // the unit ray, smaller component first
  const double nearest = d - 0.5 * (a + b);   // projection of the nearest corner
  if (nearest >= r) return 0.0;
  if (2.0 * d - nearest <= r) return 1.0;      // the farthest corner is inside
  const double s = r - nearest;                // 0 < s < a + b
  double area;
  if (s <= a) area = s * s / (2.0 * a * b);                         // triangle
  else if (s <= b) area = (s - 0.5 * a) / b;                        // trapezoid
  else area = 1.0 - (a + b - s) * (a + b - s) / (2.0 * a * b);      // pentagon
  return area < 0.0 ? 0.0 : (area > 1.0 ? 1.0 : area);
}

int32_t edgeCoverageFix(double x, double y, double r) {
  return static_cast<int32_t>(std::floor(edgeCoverage(x, y, r) * 65536.0 + 0.5));
}

namespace {

// Distance and edge of one cell.
void cellValues(const SShapeGridSpec& s, int32_t i, int32_t j, int32_t& distance, int32_t& edge) {
  const double twoF = 2.0 * s.factor;
  const double px = static_cast<double>(2 * static_cast<int64_t>(i) + 1 - s.centre2X) / twoF;
  const double py = static_cast<double>(2 * static_cast<int64_t>(j) + 1 - s.centre2Y) / twoF;
  double dt;        // distance in the shape's own (rotated, stretched) frame
  double rEdge;     // where the ray through the cell meets the outline
  if (!s.ellipse) {
    dt = std::sqrt(px * px + py * py);
    rEdge = s.radius;
  } else {
    const double u = px * s.cosA + py * s.sinA;
    const double v = (py * s.cosA - px * s.sinA) * s.stretch;
    dt = std::sqrt(u * u + v * v);
    rEdge = dt > 0.0 ? std::sqrt(px * px + py * py) * s.radius / dt : s.radius;
  }
  distance = roundToInt32(dt / s.radius * 65536.0);
  edge = s.useEdge ? edgeCoverageFix(px, py, rEdge) : 0x10000;
}

}  // namespace

void fillShapeGridsRef(const SShapeGridSpec& s, int32_t* distance, int32_t* edge) {
  for (int32_t j = 0; j < s.gridH; ++j)
    for (int32_t i = 0; i < s.gridW; ++i) {
      const int64_t k = static_cast<int64_t>(j) * s.gridW + i;
      cellValues(s, i, j, distance[k], edge[k]);
    }
}

void fillShapeGrids(const SShapeGridSpec& s, int32_t* distance, int32_t* edge) {
  if (s.centre2X != s.gridW || s.centre2Y != s.gridH) {
    fillShapeGridsRef(s, distance, edge);
    return;
  }
  const int64_t w = s.gridW, h = s.gridH;
  auto put = [&](int64_t i, int64_t j, int32_t dv, int32_t ev) {
    distance[j * w + i] = dv;
    edge[j * w + i] = ev;
  };
  if (!s.ellipse) {
    // Four-fold: the cell values depend on |x| and |y| only.
    for (int64_t j = 0; j < (h + 1) / 2; ++j)
      for (int64_t i = 0; i < (w + 1) / 2; ++i) {
        int32_t dv = 0, ev = 0;
        cellValues(s, static_cast<int32_t>(i), static_cast<int32_t>(j), dv, ev);
        put(i, j, dv, ev);
        put(w - 1 - i, j, dv, ev);
        put(i, h - 1 - j, dv, ev);
        put(w - 1 - i, h - 1 - j, dv, ev);
      }
    return;
  }
  // Point symmetry: (x, y) and (-x, -y) share their values.
  for (int64_t j = 0; j < (h + 1) / 2; ++j)
    for (int64_t i = 0; i < w; ++i) {
      int32_t dv = 0, ev = 0;
      cellValues(s, static_cast<int32_t>(i), static_cast<int32_t>(j), dv, ev);
      put(i, j, dv, ev);
      put(w - 1 - i, h - 1 - j, dv, ev);
    }
}

}  // namespace pg
