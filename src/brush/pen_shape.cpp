#include "brush/pen_shape.h"

#include <cmath>
#include <new>
#include <vector>

#include "brush/grade_map.h"
#include "brush/grade_map_raster.h"
#include "brush/pen_shape_grid.h"
#include "brush/pen_shape_obj.h"
#include "core/det_math.h"
#include "core/fixed_point.h"

namespace pg {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kOne = 65536.0;
// Ellipse boxes keep this margin around the outline, in pixels.
constexpr double kEllipseMargin = 2.0;
// Image nib boxes keep one pixel around the rotated image for the filter.
constexpr double kNibMargin = 1.0;
// The largest box side the grids take, in pixels (a 512-pixel radius with margins).
constexpr int32_t kMaxBoxSide = 2 * kMaxDiscExtent + 4;
// The largest nib image whose integral fits 32 bits (255 x area < 2^32).
constexpr int64_t kMaxNibArea = int64_t{4096} * 4096;

int32_t clampAspect(int32_t a) { return a < 1 ? 1 : (a > 100 ? 100 : a); }

int32_t* gridData(const SGrid2D& g) { return static_cast<int32_t*>(g.Data); }

// The summed-area table of an 8-bit image: entry (x, y) holds the sum of the
// pixels left of x and above y, (w + 1) x (h + 1) entries.
class CIntegralImage {
 public:
  bool build(const TChannel& img) {
    w_ = img.Width;
    h_ = img.Height;
    try {
      sums_.assign(static_cast<size_t>(w_ + 1) * static_cast<size_t>(h_ + 1), 0u);
    } catch (const std::bad_alloc&) {
      return false;
    }
    for (int32_t y = 0; y < h_; ++y) {
      const uint8_t* row = img.rowAddress(y);
      uint32_t run = 0;
      for (int32_t x = 0; x < w_; ++x) {
        run += row[x];
        at(x + 1, y + 1) = at(x + 1, y) + run;
      }
    }
    return true;
  }

  // The integral over [0, u] x [0, v] (clamped to the image), exact for the
  // piecewise constant image: the integral is bilinear inside every pixel.
  double integral(double u, double v) const {
    u = u < 0.0 ? 0.0 : (u > w_ ? w_ : u);
    v = v < 0.0 ? 0.0 : (v > h_ ? h_ : v);
    int32_t iu = static_cast<int32_t>(u), iv = static_cast<int32_t>(v);
    if (iu >= w_) iu = w_ - 1;
    if (iv >= h_) iv = h_ - 1;
    const double fu = u - iu, fv = v - iv;
    const double s00 = get(iu, iv), s10 = get(iu + 1, iv);
    const double s01 = get(iu, iv + 1), s11 = get(iu + 1, iv + 1);
    return (1.0 - fu) * (1.0 - fv) * s00 + fu * (1.0 - fv) * s10 + (1.0 - fu) * fv * s01 + fu * fv * s11;
  }

  // The mean value (0..1) over a box; outside the image counts as 0.
  double boxMean(double u0, double v0, double u1, double v1) const {
    const double area = (u1 - u0) * (v1 - v0);
    if (!(area > 0.0)) return 0.0;
    const double s = integral(u1, v1) - integral(u0, v1) - integral(u1, v0) + integral(u0, v0);
    const double m = s / (255.0 * area);
    return m < 0.0 ? 0.0 : (m > 1.0 ? 1.0 : m);
  }

 private:
  uint32_t& at(int32_t x, int32_t y) { return sums_[static_cast<size_t>(y) * (w_ + 1) + x]; }
  double get(int32_t x, int32_t y) const { return sums_[static_cast<size_t>(y) * (w_ + 1) + x]; }

  int32_t w_ = 0, h_ = 0;
  std::vector<uint32_t> sums_;
};

}  // namespace

CPenShape::CPenShape(const CGradeMapObj* gradeMap) : gradeMap_(gradeMap) {
  grid2DInit(distance_);
  grid2DInit(edge_);
  grid2DInit(dab_);
  // A shape that cannot be had now stays invalid, and the first dab prepares it again.
  (void)prepareSize(10);
}

CPenShape::~CPenShape() {
  grid2DFree(distance_);
  grid2DFree(edge_);
  grid2DFree(dab_);
}

int32_t CPenShape::cell(const SGrid2D& g, int32_t i, int32_t j) const {
  if (!grid2DAllocated(g) || i < 0 || j < 0 || i >= gridW_ || j >= gridH_) return 0;
  return gridData(g)[static_cast<int64_t>(j) * gridW_ + i];
}

void CPenShape::setUseFalloff(bool on) {
  if (useFalloff_ != (on ? 1 : 0)) {
    useFalloff_ = on ? 1 : 0;
    invalidate();
  }
}

void CPenShape::setUseEdge(bool on) {
  if (useEdge_ != (on ? 1 : 0)) {
    useEdge_ = on ? 1 : 0;
    invalidate();
  }
}

void CPenShape::setUseTable(bool on) {
  if (useTable_ != (on ? 1 : 0)) {
    useTable_ = on ? 1 : 0;
    invalidate();
  }
}

bool CPenShape::sizeGrids(int32_t w, int32_t h) {
  if (w <= 0 || h <= 0 || !grid2DSetSize(distance_, 4, w, h) || !grid2DSetSize(edge_, 4, w, h) ||
      !grid2DSetSize(dab_, 4, w, h)) {
    invalidate();
    gridW_ = gridH_ = 0;
    return false;
  }
  grid2DFill(distance_, 0);
  grid2DFill(edge_, 0);
  grid2DFill(dab_, 0);
  gridW_ = w;
  gridH_ = h;
  return true;
}

bool CPenShape::setupBox(double halfX, double halfY, bool supersample) {
  // The dab centre starts on a pixel centre (0.5); the box is made of whole
  // pixels and the centre moves with its left and top edge.
  const double left = std::floor(0.5 - halfX), right = std::ceil(0.5 + halfX);
  const double top = std::floor(0.5 - halfY), bottom = std::ceil(0.5 + halfY);
  if (!(right - left <= kMaxBoxSide && bottom - top <= kMaxBoxSide)) {
    invalidate();
    return false;
  }
  boxW_ = static_cast<int32_t>(right - left);
  boxH_ = static_cast<int32_t>(bottom - top);
  boxWFix_ = boxW_ << 16;
  boxHFix_ = boxH_ << 16;
  centreX_ = roundToInt32((0.5 - left) * kOne);
  centreY_ = roundToInt32((0.5 - top) * kOne);
  boxLeft_ = boxTop_ = 0;
  factor_ = supersample ? supersampleFactor(boxW_ > boxH_ ? boxW_ : boxH_) : 1;
  return sizeGrids(boxW_ * factor_, boxH_ * factor_);
}

bool CPenShape::setupOutline(int32_t radius, int32_t aspect, int32_t angle, double angleRad, double halfX,
                             double halfY, double margin) {
  radius_ = radius;
  aspect_ = aspect;
  angle_ = angle;
  angleRad_ = static_cast<float>(angleRad);
  sin_ = roundToInt32(dmath::sin(angleRad) * kOne);
  cos_ = roundToInt32(dmath::cos(angleRad) * kOne);
  radiusX_ = roundToInt32(halfX * kOne);
  radiusY_ = roundToInt32(halfY * kOne);
  if (!setupBox(halfX + margin, halfY + margin, true)) return false;
  bounds_[0] = centreX_ - radiusX_;
  bounds_[1] = centreY_ - radiusY_;
  bounds_[2] = centreX_ + radiusX_;
  bounds_[3] = centreY_ + radiusY_;
  return true;
}

bool CPenShape::buildGeometric(int32_t radius, int32_t aspect, int32_t angle, Kind kind) {
  invalidate();
  const double r = radius / kOne;
  const bool ellipse = kind == Kind::Ellipse;
  const double th = ellipse ? angle * kPi / 180.0 : 0.0;
  const double c = dmath::cos(th), s = dmath::sin(th);
  double hx = r, hy = r;
  if (ellipse) {
    const double b = r * aspect / 100.0;
    hx = std::sqrt(r * r * c * c + b * b * s * s);
    hy = std::sqrt(r * r * s * s + b * b * c * c);
  }
  nib_ = nullptr;
  kind_ = kind;
  if (!setupOutline(radius, aspect, angle, th, hx, hy, ellipse ? kEllipseMargin : 0.0)) return false;

  SShapeGridSpec spec;
  spec.gridW = gridW_;
  spec.gridH = gridH_;
  spec.factor = factor_;
  spec.centre2X = static_cast<int32_t>((static_cast<int64_t>(centreX_) * 2 * factor_) >> 16);
  spec.centre2Y = static_cast<int32_t>((static_cast<int64_t>(centreY_) * 2 * factor_) >> 16);
  spec.radius = r;
  spec.ellipse = ellipse;
  spec.cosA = c;
  spec.sinA = s;
  spec.stretch = 100.0 / aspect;
  spec.useEdge = useEdge_ != 0;
  fillShapeGrids(spec, gridData(distance_), gridData(edge_));
  finish();
  valid_ = 1;
  ++builds_;
  return true;
}

bool CPenShape::prepareSize(int32_t radius) {
  const int32_t q = quantizePenRadius(radius);
  if (q < 0) {
    invalidate();
    return false;
  }
  if (valid() && kind_ == Kind::Round && q == radius_) return true;
  return buildGeometric(q, 100, 0, Kind::Round);
}

bool CPenShape::prepareShape(int32_t radius, int32_t aspectPercent, int32_t angleDegrees) {
  const int32_t q = quantizePenRadius(radius);
  if (q < 0) {
    invalidate();
    return false;
  }
  const int32_t aspect = clampAspect(aspectPercent);
  if (valid() && kind_ == Kind::Ellipse && q == radius_ && aspect == aspect_ && angleDegrees == angle_) return true;
  return buildGeometric(q, aspect, angleDegrees, Kind::Ellipse);
}

bool CPenShape::finishDirect(const SDiscBox& box, int32_t radius, int32_t aspect, int32_t angle, int32_t rx,
                             int32_t ry) {
  radius_ = radius;
  aspect_ = aspect;
  angle_ = angle;
  radiusX_ = rx;
  radiusY_ = ry;
  boxLeft_ = box.col0;
  boxTop_ = box.row0;
  centreX_ = (box.originX << 16) + 0x8000;
  centreY_ = (box.originY << 16) + 0x8000;
  nib_ = nullptr;
  kind_ = Kind::Direct;
  finish();
  valid_ = 1;
  ++builds_;
  return true;
}

bool CPenShape::drawDirect(const SDiscBox& box,
                           const std::function<bool(const SCellView& edge, const SCellView& dist)>& draw) {
  factor_ = 1;
  boxW_ = box.cols;
  boxH_ = box.rows;
  if (!sizeGrids(boxW_, boxH_)) return false;
  return draw(SCellView{gridData(edge_), gridW_, gridH_}, SCellView{gridData(distance_), gridW_, gridH_});
}

bool CPenShape::prepareDisc(int32_t cx, int32_t cy, int32_t radius, bool columns) {
  invalidate();
  const int32_t q = quantizePenRadius(radius);
  SDiscBox box;
  if (q < 0 || !discGridBox(cx, cy, q, columns, box)) return false;
  return drawDirect(box,
                    [&](const SCellView& edge, const SCellView& dist) {
                      return (columns ? discColumnsCoverage(edge, box, cx, cy, q)
                                      : discRowsCoverage(edge, box, cx, cy, q)) &&
                             discDistanceRows(dist, box, cx, cy, q, columns);
                    }) &&
         finishDirect(box, q, 100, 0, q, q);
}

bool CPenShape::prepareEllipse(int32_t cx, int32_t cy, int32_t radius, int32_t aspectPercent, int32_t angleDegrees,
                               bool columns) {
  invalidate();
  const int32_t q = quantizePenRadius(radius);
  SEllipseShape e;
  e.cx = cx;
  e.cy = cy;
  e.r = q;
  e.aspect = clampAspect(aspectPercent);
  e.angle = static_cast<float>(angleDegrees);
  SDiscBox box;
  if (q < 0 || !ellipseGridBox(e, box)) return false;
  return drawDirect(box,
                    [&](const SCellView& edge, const SCellView& dist) {
                      return (columns ? ellipseColumnsCoverage(edge, box, e) : ellipseRowsCoverage(edge, box, e)) &&
                             ellipseDistance(dist, box, e, columns);
                    }) &&
         finishDirect(box, q, e.aspect, angleDegrees, box.right - cx, box.bottom - cy);
}

bool CPenShape::prepareImageNib(const CPenShapeObj* nib, bool force) {
  if (nib == nullptr || !nib->isImageNib()) {
    invalidate();
    return false;
  }
  const TChannel& img = *nib->image();
  const int32_t scale = nib->scale();
  const int32_t aspect = clampAspect(nib->params().shape.getAspectPercent());
  const int32_t angle = -nib->params().shape.getAngleDegrees();
  if (valid() && kind_ == Kind::Nib && !force && nib == nib_ && nib->id() == nibId_ && scale == nibScale_ &&
      aspect == aspect_ && angle == angle_)
    return true;
  invalidate();
  const int32_t q = quantizePenRadius(scale << 16);
  if (scale <= 0 || q < 0 || img.Width <= 0 || img.Height <= 0 ||
      static_cast<int64_t>(img.Width) * img.Height > kMaxNibArea)
    return false;

  const double s = scale / 100.0;
  const double th = angle * kPi / 180.0;
  const double c = dmath::cos(th), sn = dmath::sin(th);
  const double hw = img.Width / 2.0 * s;
  const double hh = img.Height / 2.0 * s * aspect / 100.0;
  const double hx = std::fabs(hw * c) + std::fabs(hh * sn);
  const double hy = std::fabs(hw * sn) + std::fabs(hh * c);
  if (hx > kMaxDiscExtent || hy > kMaxDiscExtent) return false;

  CIntegralImage integral;
  if (!integral.build(img)) return false;
  kind_ = Kind::Nib;
  if (!setupOutline(q, aspect, angle, th, hx, hy, kNibMargin)) return false;

  // Each cell is mapped back into the image (rotated back, the minor axis
  // stretched by 100 / aspect, divided by the scale) and box-filtered over
  // its footprint there.
  const double stretch = 100.0 / aspect;
  const double twoF = 2.0 * factor_;
  const int64_t c2x = (static_cast<int64_t>(centreX_) * 2 * factor_) >> 16;
  const int64_t c2y = (static_cast<int64_t>(centreY_) * 2 * factor_) >> 16;
  const double hu = 0.5 / (factor_ * s);
  const double hv = hu * stretch;
  const double halfW = img.Width / 2.0, halfH = img.Height / 2.0;
  const double reach = (hw > img.Height / 2.0 * s) ? hw : img.Height / 2.0 * s;
  int32_t* dist = gridData(distance_);
  int32_t* edge = gridData(edge_);
  for (int32_t j = 0; j < gridH_; ++j) {
    const double py = static_cast<double>(2 * static_cast<int64_t>(j) + 1 - c2y) / twoF;
    for (int32_t i = 0; i < gridW_; ++i) {
      const double px = static_cast<double>(2 * static_cast<int64_t>(i) + 1 - c2x) / twoF;
      const double u = (px * c + py * sn) / s + halfW;
      const double v = (py * c - px * sn) * stretch / s + halfH;
      const int64_t k = static_cast<int64_t>(j) * gridW_ + i;
      edge[k] = roundToInt32(integral.boxMean(u - hu, v - hv, u + hu, v + hv) * kOne);
      dist[k] = roundToInt32(std::sqrt(px * px + py * py) / reach * kOne);
    }
  }
  nib_ = nib;
  nibId_ = nib->id();
  nibScale_ = scale;
  finish();
  valid_ = 1;
  ++builds_;
  return true;
}

void CPenShape::finish() {
  if (!grid2DAllocated(dab_) || !grid2DAllocated(edge_) || !grid2DAllocated(distance_)) return;
  const bool table = useTable_ != 0 && gradeMap_ != nullptr && gradeMap_->valid();
  const int32_t* dist = gridData(distance_);
  const int32_t* edge = gridData(edge_);
  int32_t* dab = gridData(dab_);
  const int64_t n = static_cast<int64_t>(gridW_) * gridH_;
  for (int64_t k = 0; k < n; ++k) {
    if (useFalloff_ == 0) {
      dab[k] = static_cast<int32_t>(static_cast<int64_t>(edge[k]) * 255);
    } else {
      const uint32_t w = table ? gradeMap_->weightAt(dist[k]) : 0xFF0000u;
      dab[k] = fixMul(static_cast<int32_t>(w), edge[k]);
    }
  }
}

int32_t CPenShape::dabAt(int32_t x, int32_t y) const {
  if (!valid()) return 0;
  const int64_t i = ((static_cast<int64_t>(centreX_) + x) * factor_) >> 16;
  const int64_t j = ((static_cast<int64_t>(centreY_) + y) * factor_) >> 16;
  if (i < 0 || j < 0 || i >= gridW_ || j >= gridH_) return 0;
  return gridData(dab_)[j * gridW_ + i];
}

}  // namespace pg
