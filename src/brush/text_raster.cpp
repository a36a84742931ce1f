#include "brush/text_raster.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/aa_draw.h"
#include "core/det_math.h"
#include "core/planes.h"

namespace pg {

namespace {

// Flattened contours in 26.6 units, as doubles.
struct SPointD {
  double X = 0;
  double Y = 0;
};
using Contour = std::vector<SPointD>;

// How far a flattened curve may stray from the true one: 1/32 pixel.
constexpr double kFlatTolerance = 2.0;
// The most line pieces one curve becomes.
constexpr int kMaxCurvePieces = 64;

int curvePieces(double deviation, double factor) {
  const double n = std::ceil(std::sqrt(factor * deviation / kFlatTolerance));
  return n >= kMaxCurvePieces ? kMaxCurvePieces : std::max(1, int(n));
}

SPointD toD(const SOutlinePoint& p) { return {double(p.X), double(p.Y)}; }

void addQuad(Contour& c, SPointD p0, SPointD p1, SPointD p2) {
  const double dev = dmath::hypot(p0.X - 2 * p1.X + p2.X, p0.Y - 2 * p1.Y + p2.Y);
  const int n = curvePieces(dev, 0.125);
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n, u = 1 - t;
    c.push_back({u * u * p0.X + 2 * u * t * p1.X + t * t * p2.X, u * u * p0.Y + 2 * u * t * p1.Y + t * t * p2.Y});
  }
}

void addCubic(Contour& c, SPointD p0, SPointD p1, SPointD p2, SPointD p3) {
  const double dev = std::max(dmath::hypot(p0.X - 2 * p1.X + p2.X, p0.Y - 2 * p1.Y + p2.Y),
                              dmath::hypot(p1.X - 2 * p2.X + p3.X, p1.Y - 2 * p2.Y + p3.Y));
  const int n = curvePieces(dev, 0.75);
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n, u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, d = 3 * u * t * t, e = t * t * t;
    c.push_back({a * p0.X + b * p1.X + d * p2.X + e * p3.X, a * p0.Y + b * p1.Y + d * p2.Y + e * p3.Y});
  }
}

// The contours as polylines; false when the op and point lists disagree.
bool flatten(const SGlyphOutline& outline, std::vector<Contour>& contours) {
  size_t k = 0;
  const auto take = [&](size_t n) { return k + n <= outline.Points.size() ? (k += n, true) : false; };
  for (EOutlineOp op : outline.Ops) {
    if (op == EOutlineOp::MoveTo) {
      if (!take(1)) return false;
      contours.emplace_back().push_back(toD(outline.Points[k - 1]));
      continue;
    }
    if (contours.empty()) return false;
    Contour& c = contours.back();
    const SPointD from = c.back();
    switch (op) {
      case EOutlineOp::LineTo:
        if (!take(1)) return false;
        c.push_back(toD(outline.Points[k - 1]));
        break;
      case EOutlineOp::QuadTo:
        if (!take(2)) return false;
        addQuad(c, from, toD(outline.Points[k - 2]), toD(outline.Points[k - 1]));
        break;
      case EOutlineOp::CubicTo:
        if (!take(3)) return false;
        addCubic(c, from, toD(outline.Points[k - 3]), toD(outline.Points[k - 2]), toD(outline.Points[k - 1]));
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

int32_t glyphSupersampling(int32_t width, int32_t height) {
  const int32_t side = std::max({width, height, int32_t{1}});
  return std::clamp(256 / side, 1, 8);
}

bool rasterGlyph(const SGlyphOutline& outline, SGlyphBox& box, std::vector<uint8_t>& levels) {
  box = SGlyphBox{};
  levels.clear();
  std::vector<Contour> contours;
  if (!flatten(outline, contours)) return false;

  // The black box: whole pixels around the flattened contours.
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool any = false;
  for (const Contour& c : contours) {
    if (c.size() < 3) continue;
    for (const SPointD& p : c) {
      if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return false;
      minX = any ? std::min(minX, p.X) : p.X;
      maxX = any ? std::max(maxX, p.X) : p.X;
      minY = any ? std::min(minY, p.Y) : p.Y;
      maxY = any ? std::max(maxY, p.Y) : p.Y;
      any = true;
    }
  }
  if (!any) return true;
  const double left = std::floor(minX / 64), right = std::ceil(maxX / 64);
  const double bottom = std::floor(minY / 64), top = std::ceil(maxY / 64);
  const double w = right - left, h = top - bottom;
  if (w <= 0 || h <= 0) return true;  // no area: nothing to draw
  if (w > kMaxGlyphBoxSide || h > kMaxGlyphBoxSide || w * h > double(kMaxGlyphBoxArea)) return false;
  const int32_t width = int32_t(w), height = int32_t(h);
  const int32_t s = glyphSupersampling(width, height);

  // One polygon for all contours: each is entered and left along the same
  // path from a row above the box (a vertical run to its first point, a
  // horizontal run along that row to the next contour's column). A path that
  // runs there and back crosses every scan line twice at the same place, so
  // it changes no fill; vertical runs are invisible to the column pass and
  // horizontal ones to the row pass.
  std::vector<TPoint> poly;
  const auto grid = [&](const SPointD& p) {
    return TPoint{int32_t(std::lround((p.X / 64 - left) * s)), int32_t(std::lround((top - p.Y / 64) * s))};
  };
  for (const Contour& c : contours) {
    if (c.size() < 3) continue;
    const TPoint first = grid(c.front());
    poly.push_back({first.X, -1});
    for (const SPointD& p : c) poly.push_back(grid(p));
    poly.push_back(first);
    poly.push_back({first.X, -1});
  }
  poly.push_back(poly.front());

  TChannel fine;
  try {
    if (!fine.Resize(width * s, height * s)) return false;
    levels.assign(size_t(((width + 3) & ~3)) * size_t(height), 0);
  } catch (const std::bad_alloc&) {
    levels.clear();
    return false;
  }
  rasterPolygonAA(fine, poly.data(), poly.size());

  // Each pixel's level: the mean of its s x s cells, 0..64, rounded.
  const int32_t pitch = (width + 3) & ~3;
  const uint32_t full = 255u * uint32_t(s * s);
  std::vector<uint32_t> sums(static_cast<size_t>(width));
  for (int32_t y = 0; y < height; ++y) {
    std::fill(sums.begin(), sums.end(), 0u);
    for (int32_t fy = y * s; fy < (y + 1) * s; ++fy) {
      const uint8_t* row = fine.pixelAt(0, fy);
      for (int32_t x = 0; x < width; ++x)
        for (int32_t fx = 0; fx < s; ++fx) sums[size_t(x)] += row[x * s + fx];
    }
    uint8_t* out = levels.data() + size_t(y) * size_t(pitch);
    for (int32_t x = 0; x < width; ++x) out[x] = uint8_t((sums[size_t(x)] * 64 + full / 2) / full);
  }
  box.Dims = {width, height, pitch};
  box.OriginX = int32_t(left);
  box.OriginY = int32_t(top);
  return true;
}

}  // namespace pg
