#include "brush/screen_tone.h"

#include <algorithm>
#include <numbers>

#include "core/det_math.h"
#include "core/limits.h"

namespace pg {

namespace {

const char* const kShapeNames[kToneShapeCount] = {"Round",  "Dot",    "Dot(Cos)", "Line",    "Line(X)",
                                                  "Line(Y)", "Square", "Cross",    "Diamond", "Rhomboid"};

// Fractional part, floor-based, mapped to -1..1.
double cellCoord(double u) { return (u - std::floor(u)) * 2.0 - 1.0; }

}  // namespace

const char* toneShapeName(uint32_t shape) { return kShapeNames[std::min<uint32_t>(shape, 9)]; }

double toneSpot(uint32_t shape, double x, double y) {
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  switch (std::min<uint32_t>(shape, 9)) {
    case 0:
      if (ax + ay <= 1.0) return 1.0 - x * x - y * y;
      return (ax - 1.0) * (ax - 1.0) + (ay - 1.0) * (ay - 1.0) - 1.0;
    case 1:
      return 1.0 - y * y - x * x;
    case 2:
      return (dmath::cos(std::numbers::pi * x) + dmath::cos(std::numbers::pi * y)) / 2.0;
    case 3:
      return -ax;
    case 4:
      return y;
    case 5:
      return x;
    case 6:
      return -std::max(ax, ay);
    case 7:
      return -std::min(ax, ay);
    case 8: {
      const double s = ax + ay;
      if (s < 0.75) return 1.0 - x * x - y * y;
      if (s <= 1.23) return 1.0 - (0.85 * ay + ax);
      return (ay - 1.0) * (ay - 1.0) + (ax - 1.0) * (ax - 1.0) - 1.0;
    }
    default:
      return (ax + 0.9 * ay) / 2.0;
  }
}

int32_t findToneRepeat(double a, double b) {
  const double m = std::max(a, b);
  if (!(m >= 1.0)) return 1;
  const int32_t last = static_cast<int32_t>(512.0 / m) - 1;
  double best = 10.0;
  int32_t bestK = 1;
  for (int32_t k = 1; k <= last; ++k) {
    const double ka = k * a;
    const double kb = k * b;
    const double dev = std::fabs(ka - std::nearbyint(ka)) + std::fabs(kb - std::nearbyint(kb));
    if (dev < 0.05) return k;
    if (dev < best) {
      best = dev;
      bestK = k;
    }
  }
  return bestK;
}

bool CToneMaker::computeGeometry(int32_t angle, float cellSize, SGeometry& g) {
  // Angles outside 0..90 would give a negative step and a tile of no size;
  // a NaN cell fails the range test too.
  if (!(cellSize >= 3.0f && cellSize <= 128.0f) || angle < 0 || angle > 90) return false;
  const double cell = cellSize;
  const double rad = angle * std::numbers::pi / 180.0;
  const double s = dmath::sin(rad);
  const double c = dmath::cos(rad);
  // findToneRepeat takes (cell x cosine, cell x sine); the tile's a and b
  // below are the other way round.
  const int32_t k = findToneRepeat(cell * c, cell * s);
  const int32_t a = static_cast<int32_t>(k * cell * s + 0.15);
  const int32_t b = static_cast<int32_t>(k * cell * c + 0.15);
  const double period = std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b);
  if (!(period > 0.0) || a < 0 || b < 0) return false;
  g.AngleDeg = angle;
  g.Radians = rad;
  g.Repeat = k;
  g.A = a;
  g.B = b;
  g.Shift = (b - a) / 2;
  g.Period = period;
  g.Sin = a / period;
  g.Cos = b / period;
  g.Cell = period / k;
  g.StepX = g.Cell * g.Sin;
  g.StepY = g.Cell * g.Cos;
  g.NormAngle = dmath::atan2(static_cast<double>(a), static_cast<double>(b)) * 180.0 / std::numbers::pi;
  return true;
}

bool CToneMaker::setCell(int32_t angle, float cellSize) { return computeGeometry(angle, cellSize, G); }

bool CToneMaker::buildSpots(const SGeometry& g, uint32_t shape, std::vector<float>& spots) {
  const int32_t w = g.A + g.B;
  const int32_t h = std::max(g.A, g.B);
  if (w <= 0 || h <= 0 || !planeSizeAllowed(w, h)) return false;
  try {
    spots.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0.0f);
  } catch (...) {
    return false;
  }
  float lo = 0.0f, hi = 0.0f;
  for (int32_t y = 0; y < h; ++y) {
    const double py = y + g.Shift + 0.5;
    for (int32_t x = 0; x < w; ++x) {
      const double px = x + 0.5;
      const double u = (g.Cos * px - g.Sin * py) / g.Cell;
      const double v = (g.Sin * px + g.Cos * py) / g.Cell;
      const float val = static_cast<float>(-toneSpot(shape, cellCoord(u), cellCoord(v)));
      spots[static_cast<size_t>(y) * w + x] = val;
      if ((x | y) == 0 || val < lo) lo = val;
      if ((x | y) == 0 || val > hi) hi = val;
    }
  }
  // Normalised to 0..1; a buffer of one value becomes all 0.
  const float range = hi - lo;
  for (float& v : spots) v = range > 0.0f ? (v - lo) / range : 0.0f;
  return true;
}

void CToneMaker::buildTable() {
  std::vector<float> sorted(Spots);
  std::sort(sorted.begin(), sorted.end());
  const int64_t count = static_cast<int64_t>(sorted.size());
  for (int32_t d = 0; d <= 100; ++d) {
    const int64_t index = std::min(count * d / 100, count - 1);
    Table[d].Density = d;
    Table[d].Threshold = sorted[static_cast<size_t>(index)];
  }
  for (int32_t d = 0; d <= 100; ++d) {
    int32_t below = 0;
    for (int32_t k = d - 1; k >= 0 && Table[k].Threshold == Table[d].Threshold; --k) ++below;
    int32_t above = 0;
    for (int32_t k = d + 1; k <= 100 && Table[k].Threshold == Table[d].Threshold; ++k) ++above;
    Table[d].EqualBelow = below;
    Table[d].EqualAbove = above;
  }
}

void CToneMaker::threshold() {
  const int32_t d = static_cast<int32_t>(Density);
  const SDensityRec& r = Table[d];
  const int32_t down = std::min(std::max(r.EqualBelow, Smoothing), d);
  const int32_t up = std::min(std::max(r.EqualAbove, Smoothing), 100 - d);
  Low = Table[d - down].Threshold;
  High = Table[d + up].Threshold;
  Diff = High - Low;
  TChannel& tile = *Tile;
  const int32_t w = tile.Width;
  for (int32_t y = 0; y < tile.Height; ++y) {
    uint8_t* row = tile.pixelAt(0, y);
    const float* src = Spots.data() + static_cast<size_t>(y) * w;
    for (int32_t x = 0; x < w; ++x) {
      const float v = src[x];
      uint8_t out;
      if (v <= Low)
        out = 0;
      else if (v >= High)
        out = 255;
      else
        out = static_cast<uint8_t>(static_cast<int32_t>((v - Low) * 255.0f / Diff));
      row[x] = out;
    }
  }
}

bool CToneMaker::setup(uint32_t shape, int32_t smoothing, float density, float cellSize, int32_t angle) {
  // The new geometry, spot values and tile are made aside and taken over
  // only when everything succeeded, so that a failure keeps the previous tile.
  const bool geometryChanged = !Ready || cellSize != ReqCell || angle != ReqAngle;
  SGeometry g = G;
  if (geometryChanged && !computeGeometry(angle, cellSize, g)) return false;
  const uint32_t newShape = std::min<uint32_t>(shape, 9);
  if (geometryChanged || newShape != Shape) {
    std::vector<float> spots;
    auto tile = std::make_unique<TChannel>();
    if (!buildSpots(g, newShape, spots) || !tile->Resize(g.A + g.B, std::max(g.A, g.B))) return false;
    G = g;
    Shape = newShape;
    Spots.swap(spots);
    Tile = std::move(tile);
    buildTable();
  }
  Density = density >= 0.0f ? std::min(density, 100.0f) : 0.0f;  // a NaN density counts as 0
  Smoothing = smoothing;
  threshold();
  ReqShape = shape;
  ReqSmoothing = smoothing;
  ReqDensity = density;
  ReqCell = cellSize;
  ReqAngle = angle;
  Ready = true;
  return true;
}

uint8_t CToneMaker::tileAt(int64_t x1, int64_t y1) const {
  const int64_t a = G.A;
  const int64_t b = G.B;
  const int64_t t = y1 - G.Shift;
  int64_t x2;
  int64_t y2;
  if (t < 0) {
    if (x1 >= b) {
      x2 = x1 - b;
      y2 = t + a;
      if (-t > a) {
        x2 += a;
        y2 += b;
      }
    } else if (-t > b) {
      x2 = x1 + a - b;
      y2 = t + a + b;
    } else {
      x2 = x1 + a;
      y2 = t + b;
    }
  } else if (x1 >= a) {
    if (t >= b) {
      x2 = x1 - a;
      y2 = t - b;
    } else {
      x2 = x1;
      y2 = t;
    }
  } else if (t >= a) {
    x2 = x1 + b;
    y2 = t - a;
  } else {
    x2 = x1;
    y2 = t;
  }
  const TChannel& tile = *Tile;
  x2 = std::clamp<int64_t>(x2, 0, tile.Width - 1);
  y2 = std::clamp<int64_t>(y2, 0, tile.Height - 1);
  return tile.getPixel(static_cast<int32_t>(x2), static_cast<int32_t>(y2));
}

void CToneMaker::fillPlane(TChannel& plane, int32_t x0, int32_t y0) const {
  if (!isPlaneReady(&plane)) return;
  for (int32_t y = 0; y < plane.Height; ++y) {
    uint8_t* row = plane.pixelAt(0, y);
    const int32_t cy = static_cast<int32_t>(static_cast<uint32_t>(y0) + static_cast<uint32_t>(y));
    if (!Ready) {
      std::fill(row, row + plane.Width, uint8_t{0});
      continue;
    }
    // The row's terms once; the same operations as valueAt, so the same values.
    const double py = cy + 0.5;
    const double sinPy = G.Sin * py;
    const double cosPy = G.Cos * py;
    for (int32_t x = 0; x < plane.Width; ++x) {
      const int32_t cx = static_cast<int32_t>(static_cast<uint32_t>(x0) + static_cast<uint32_t>(x));
      const double px = cx + 0.5;
      row[x] = foldedValue(cx, cy, (G.Cos * px - sinPy) / G.Period, (G.Sin * px + cosPy) / G.Period);
    }
  }
}

}  // namespace pg
