#include "brush/pen_render.h"

#include <algorithm>
#include <cmath>

#include "brush/falloff_tables.h"
#include "brush/pen_shape_obj.h"
#include "brush/plot_merge.h"
#include "brush/plot_rows.h"
#include "brush/plot_callbacks.h"
#include "brush/stroke_settings.h"
#include "core/blend_arith.h"

namespace pg {

namespace {

constexpr uint32_t kOpaqueColour = 0xFF000000u;

// A size from a recording or a nib: NaN and negatives count as 0, the rest
// is limited to kMaxPenSize.
float clampSize(float s) {
  if (!(s > 0.0f)) return 0.0f;
  return std::min(s, kMaxPenSize);
}

int32_t toFix(float v) { return static_cast<int32_t>(std::lround(static_cast<double>(v) * 65536.0)); }

// Each colour byte of `from` moved toward `to` by t (0..255); alpha of from.
uint32_t moveToward(uint32_t from, uint32_t to, uint32_t t) {
  if (t > 255) t = 255;
  uint32_t r = from & 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    const uint32_t a = (from >> (8 * i)) & 0xFFu;
    const uint32_t b = (to >> (8 * i)) & 0xFFu;
    r |= lerp255(b, a, t) << (8 * i);
  }
  return r;
}

// value moves toward target by at most step; when closer, it is the target.
int32_t approachValue(int32_t value, int32_t target, int32_t step) {
  const int32_t d = target - value;
  if (std::abs(d) < step) return target;
  return d > 0 ? value + step : value - step;
}

// The pixel at (x, y) clamped to the plane.
uint32_t clampedPixel(const TMTC& p, int32_t x, int32_t y) {
  x = std::clamp(x, 0, p.Width - 1);
  y = std::clamp(y, 0, p.Height - 1);
  return p.getPixel(x, y);
}

}  // namespace

CPenRender::CPenRender() {
  shapeParam_.init(10.0f);
  edgeParam_.clear();
  render_.init();
  shape_ = std::make_unique<CPenShape>(&gradeMap_);
  shape_->setUseFalloff(true);
  shape_->setUseEdge(true);
  shape_->setUseTable(true);
}

CPenRender::~CPenRender() = default;

bool CPenRender::takeColors() {
  if (stroke_ == nullptr) return false;
  // The paint colours are opaque: the tool window gives them alpha 255, a
  // recording carries them without alpha, and the smudging methods plot
  // the paint colour with its alpha where their sample holds nothing.
  setColorPair(kOpaqueColour | stroke_->color, kOpaqueColour | stroke_->subColor);
  return true;
}

TStroke* CPenRender::setStroke(TStroke* stroke) {
  TStroke* old = stroke_;
  stroke_ = stroke;
  return old;
}

IPenDocument* CPenRender::setTarget(IPenDocument* document) {
  IPenDocument* old = document_;
  document_ = document;
  return old;
}

bool CPenRender::setShapeParam(const SPenShapeParam& p) {
  if (shapeParam_ == p) return false;
  shapeParam_ = p;
  return true;
}

bool CPenRender::setEdgeParam(const SEdgeParam& p) {
  if (edgeParam_ == p) return false;
  edgeParam_ = p;
  return true;
}

bool CPenRender::setGradeMapParam(const SGradeMapParam& p) {
  if (!gradeMap_.setParam(p)) return false;
  shape_->finish();
  return true;
}

void CPenRender::setNib(CPenShapeObj* nib, bool withGradeMap, bool withEdge, bool withShape) {
  if (nib != nullptr && nib->isImageNib()) {
    nib_ = nib;
    hasNib_ = 1;
    // A nib that cannot be prepared now leaves the shape invalid, and the
    // first dab prepares it again and reports the failure.
    (void)shape_->prepareImageNib(nib_, true);
  } else {
    nib_ = nullptr;
    hasNib_ = 0;
    nibSize_ = 0;
  }
  if (nib == nullptr) return;
  const SPenShapeRecord& rec = nib->params();
  if (withShape) setShapeParam(rec.shape);
  if (withEdge) setEdgeParam(rec.edge);
  if (withGradeMap) setGradeMapParam(rec.grade);
}

bool CPenRender::setRenderParam(const SPenRenderParam& p, uint32_t mask) {
  const bool a = setRenderMethod(p);
  const bool b = setRenderValues(p, mask);
  return a || b;
}

bool CPenRender::setRenderMethod(const SPenRenderParam& p) {
  return setRenderMethod(p.method, p.subMode, p.workPlane, p.shapeFlag);
}

bool CPenRender::setRenderMethod(int32_t method, int32_t subMode, int32_t workPlane, int32_t shapeFlag) {
  const SPenRenderParam old = render_;
  if (method >= 0 && method < 255) render_.method = static_cast<uint8_t>(method);
  if (subMode >= 0) render_.subMode = static_cast<uint8_t>(subMode);
  if (workPlane >= 0) render_.workPlane = workPlane != 0 ? 1 : 0;
  if (shapeFlag != 255) render_.shapeFlag = static_cast<uint8_t>(shapeFlag);
  return !(old == render_);
}

bool CPenRender::setRenderValues(const SPenRenderParam& p, uint32_t mask) {
  const SPenRenderParam old = render_;
  // The three values are read as 16 bits wherever they are used.
  if (mask & kRenderValueEffect) render_.effect = static_cast<int16_t>(p.effect);
  if (mask & kRenderValueEnv) render_.env = static_cast<int16_t>(p.env);
  if (mask & kRenderValueSpeed) render_.speed = static_cast<int16_t>(p.speed);
  return !(old == render_);
}

// ---- sizes -------------------------------------------------------------------

float CPenRender::getSize() const {
  if (hasNib_ && nib_ != nullptr) return static_cast<float>(nib_->scale());
  return shapeParam_.getSize();
}

float CPenRender::getMinSize(float size) const {
  if (hasNib_ && nib_ != nullptr) {
    return static_cast<float>(nib_->scaleMax() - nib_->scaleMin()) *
               static_cast<float>(shapeParam_.getMinSizePercent()) / 100.0f +
           static_cast<float>(nib_->scaleMin());
  }
  return shapeParam_.getMinSize() * size;
}

float CPenRender::scaleSize(float spacing, float size) const {
  // A nib steps by its image's longer side at the given scale.
  if (hasNib_ && nib_ != nullptr) return static_cast<float>(nib_->longerSide()) * size * 0.01f * spacing;
  return size * spacing;
}

void CPenRender::getDabExtent(float size, int32_t& ex, int32_t& ey) const {
  size = clampSize(size);
  if (hasNib_ && nib_ != nullptr && nib_->image() != nullptr) {
    ex = static_cast<int32_t>(std::ceil(static_cast<float>(nib_->image()->Width) * size * 0.005f));
    ey = static_cast<int32_t>(std::ceil(static_cast<float>(nib_->image()->Height) * size * 0.005f));
    return;
  }
  ex = ey = static_cast<int32_t>(std::ceil(size));
}

// ---- dab set-up ----------------------------------------------------------------

bool CPenRender::setupDab(const CDibCore& plane, const SPenDab& dab, float opacity, float rx, float ry) {
  if (!(opacity > 0.0f)) return false;
  if (!std::isfinite(dab.x) || !std::isfinite(dab.y)) return false;
  if (std::fabs(dab.x) > kPenCoordLimit || std::fabs(dab.y) > kPenCoordLimit) return false;
  rx = std::max(0.1f, std::min(std::isnan(rx) ? 0.0f : rx, kMaxPenSize));
  ry = std::max(0.1f, std::min(std::isnan(ry) ? 0.0f : ry, kMaxPenSize));
  dab_.cx = toFix(dab.x);
  dab_.cy = toFix(dab.y);
  dab_.rx = toFix(rx);
  dab_.ry = toFix(ry);
  dab_.opacity = std::min<int32_t>(0x10000, toFix(std::min(opacity, 1.0f)));
  dab_.colour = colors_[0];
  TRect r{static_cast<int32_t>(std::floor(dab.x - rx)), static_cast<int32_t>(std::floor(dab.y - ry)),
          static_cast<int32_t>(std::ceil(dab.x + rx)), static_cast<int32_t>(std::ceil(dab.y + ry))};
  const TRect whole = r;
  if (!plane.clipRect(r)) return false;
  dab_.rect = r;
  dab_.clip = {r.Left - whole.Left, r.Top - whole.Top};
  return true;
}

bool CPenRender::prepareShape(float size) {
  if (hasNib_ && nib_ != nullptr) {
    nib_->setScale(static_cast<int32_t>(size));
    direct_ = false;
    return shape_->prepareImageNib(nib_, false);
  }
  const int32_t r = toFix(std::max(size, 0.0f));
  const int32_t aspect = shapeParam_.getAspectPercent();
  const int32_t angle = shapeParam_.getAngleDegrees();
  bool ok;
  if (aspect == 100 && angle == 0) {
    direct_ = render_.shapeFlag != 0;
    ok = direct_ ? shape_->prepareDisc(dab_.cx, dab_.cy, r, axisFlag_ != 0) : shape_->prepareSize(r);
  } else {
    direct_ = render_.shapeFlag != 0;
    ok = direct_ ? shape_->prepareEllipse(dab_.cx, dab_.cy, r, aspect, -angle, axisFlag_ != 0)
                 : shape_->prepareShape(r, aspect, -angle);
  }
  return ok && shape_->valid();
}

void CPenRender::coverageRow(int32_t py) {
  const int32_t left = dab_.rect.Left, n = dab_.rect.Right - left;
  cov_.resize(static_cast<size_t>(n));
  const CPenShape& s = *shape_;
  const bool hard = edgeParam_.isHard();
  const int64_t op = dab_.opacity;
  const int32_t oy = static_cast<int32_t>(static_cast<int64_t>(py) * 65536 + 0x8000 - dab_.cy);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t px = left + i;
    int32_t v;
    if (direct_) {
      v = s.dabCell(px - s.boxLeft(), py - s.boxTop());
    } else {
      v = s.dabAt(static_cast<int32_t>(static_cast<int64_t>(px) * 65536 + 0x8000 - dab_.cx), oy);
    }
    if (hard) v = v >= kHardEdgeThreshold ? 0xFF0000 : 0;
    const int64_t c = (static_cast<int64_t>(std::max(v, 0)) * op) >> 32;
    cov_[static_cast<size_t>(i)] = static_cast<uint8_t>(std::min<int64_t>(c, 255));
  }
}

// ---- renders -----------------------------------------------------------------

// BGRA8 dab: coverage = (shape value x opacity16) >> 32 per pixel, merged
// through the plot slots with the dab colour.
void CPenRender::dabNormal(const SPenTarget& t, const SPlotter& p) {
  const RowPlot32 plot = rowPlotter32(p);
  for (int32_t py = dab_.rect.Top; py < dab_.rect.Bottom; ++py) {
    coverageRow(py);
    plot(p, t.plane->pixelAt(dab_.rect.Left, py), dab_.rect.Left + t.origin.X, py + t.origin.Y, cov_.data(),
         static_cast<int32_t>(cov_.size()), dab_.colour);
  }
}

// 8-bit dab: the same coverage into the work plane through plotProc8.
void CPenRender::dabCoverage(const SPenTarget& t, uint32_t value) {
  const SPlotter& p = t.plotter != nullptr ? *t.plotter : defaultPlotter();
  const RowPlot8 plot = rowPlotter8(p);
  for (int32_t py = dab_.rect.Top; py < dab_.rect.Bottom; ++py) {
    coverageRow(py);
    plot(p, t.work->pixelAt(dab_.rect.Left, py), dab_.rect.Left + t.origin.X, py + t.origin.Y, cov_.data(),
         static_cast<int32_t>(cov_.size()), value);
  }
}

void CPenRender::dabEraser(const SPenTarget& t, const SPlotter& p) {
  dab_.colour = stroke_ != nullptr ? stroke_->layerNeutral : 0u;
  if (stroke_ != nullptr && stroke_->opaque) {
    dabNormal(t, p);
    return;
  }
  dabNormal(t, p.withMerge(erasePixel));
}

void CPenRender::dabBurnDodge(const SPenTarget& t, const SPlotter& p) {
  // Without effect the curve is the identity, but the trip through HLS and
  // the table's steps would still move some pixels by a level: paint nothing.
  if (render_.effect <= 0) return;
  dabNormal(t, p.withLightnessCurve(toneCurve_));
}

void CPenRender::prepBurnDodge() {
  const double k = 0.002 * static_cast<double>(std::clamp<int32_t>(render_.effect, 0, 100));
  buildPowerCurve(toneCurve_, render_.subMode == 1 ? 1.0 / (1.0 + k) : 1.0 + k);
}

// BGRA8 blur: each covered pixel takes the (2r + 1)^2 box mean of the blur
// source (alpha-weighted when `weighted`), kept as sliding column sums; then
// plotProc32 with the dab coverage.
void CPenRender::dabBlur(const SPenTarget& t, bool weighted, const SPlotter& p) {
  const TMTC* src = blurSource_ != nullptr && hasPixels(*blurSource_) ? blurSource_ : t.plane;
  // The layer image is read in layer coordinates, the plane in its own.
  const TPoint shift = src == t.plane ? TPoint{0, 0} : t.origin;
  const int32_t r = std::clamp(blurRadius_, 1, 1024);
  const int32_t w = 2 * r + 1;
  const int64_t area = static_cast<int64_t>(w) * w;
  columns_.assign(static_cast<size_t>(w) * 4, 0);
  const PlotProc32 plot = p.plotProc32;
  int64_t tot[4] = {0, 0, 0, 0};
  auto columnSum = [&](int32_t sx, int32_t sy, int64_t* out) {
    out[0] = out[1] = out[2] = out[3] = 0;
    for (int32_t k = -r; k <= r; ++k) {
      const uint32_t p = clampedPixel(*src, sx, sy + k);
      const uint32_t a = p >> 24;
      if (weighted) {
        out[0] += productAt(p & 0xFF, a);
        out[1] += productAt((p >> 8) & 0xFF, a);
        out[2] += productAt((p >> 16) & 0xFF, a);
      } else {
        out[0] += p & 0xFF;
        out[1] += (p >> 8) & 0xFF;
        out[2] += (p >> 16) & 0xFF;
      }
      out[3] += a;
    }
  };
  for (int32_t py = dab_.rect.Top; py < dab_.rect.Bottom; ++py) {
    coverageRow(py);
    bool inRun = false;
    int32_t head = 0;  // ring slot of the leftmost column
    for (int32_t i = 0; i < static_cast<int32_t>(cov_.size()); ++i) {
      const uint32_t c = cov_[static_cast<size_t>(i)];
      const int32_t px = dab_.rect.Left + i;
      const int32_t sx = px + shift.X, sy = py + shift.Y;
      if (c == 0) {
        inRun = false;
        continue;
      }
      if (!inRun) {
        tot[0] = tot[1] = tot[2] = tot[3] = 0;
        for (int32_t k = 0; k < w; ++k) {
          int64_t* col = &columns_[static_cast<size_t>(k) * 4];
          columnSum(sx - r + k, sy, col);
          for (int j = 0; j < 4; ++j) tot[j] += col[j];
        }
        head = 0;
        inRun = true;
      } else {
        int64_t* col = &columns_[static_cast<size_t>(head) * 4];
        for (int j = 0; j < 4; ++j) tot[j] -= col[j];
        columnSum(sx + r, sy, col);
        for (int j = 0; j < 4; ++j) tot[j] += col[j];
        head = head + 1 == w ? 0 : head + 1;
      }
      uint32_t colour;
      if (weighted) {
        if (tot[3] == 0) {
          colour = 0;
        } else {
          uint32_t ch[3];
          for (int j = 0; j < 3; ++j) ch[j] = static_cast<uint32_t>(std::min<int64_t>(255, tot[j] * 255 / tot[3]));
          colour = ch[0] | (ch[1] << 8) | (ch[2] << 16) | (static_cast<uint32_t>(tot[3] / area) << 24);
        }
      } else {
        colour = static_cast<uint32_t>(tot[0] / area) | (static_cast<uint32_t>(tot[1] / area) << 8) |
                 (static_cast<uint32_t>(tot[2] / area) << 16) | (static_cast<uint32_t>(tot[3] / area) << 24);
      }
      plot(p, t.plane->pixelAt(px, py), px + t.origin.X, py + t.origin.Y, c, colour);
    }
  }
}

void CPenRender::setDabOpacity(const TMTC* image, float size) {
  const double r = static_cast<double>(render_.effect) * static_cast<double>(clampSize(size)) / 100.0;
  blurRadius_ = static_cast<int32_t>(std::clamp(std::round(r), 0.0, 1024.0));
  blurSource_ = image;
}

// BGRA8 smudge: the sample laid under the dab (its pixel where its alpha is
// not 0, else the dab colour) plotted per pixel with the dab coverage.
void CPenRender::smudgeCore(const SPenTarget& t, const CPenTC* sample, const SPlotter& base) {
  const SPlotter p = stroke_ == nullptr || !stroke_->opaque ? base.withMerge(blendPixelOver) : base;
  const PlotProc32 plot = p.plotProc32;
  const bool usable = sample != nullptr && hasPixels(*sample);
  const int32_t fx = static_cast<int32_t>(std::floor(static_cast<double>(dab_.cx) / 65536.0));
  const int32_t fy = static_cast<int32_t>(std::floor(static_cast<double>(dab_.cy) / 65536.0));
  for (int32_t py = dab_.rect.Top; py < dab_.rect.Bottom; ++py) {
    coverageRow(py);
    for (int32_t i = 0; i < static_cast<int32_t>(cov_.size()); ++i) {
      const uint32_t c = cov_[static_cast<size_t>(i)];
      if (c == 0) continue;
      const int32_t px = dab_.rect.Left + i;
      uint32_t colour = dab_.colour;
      if (usable) {
        // Positions outside the sample take the dab colour.
        const int32_t sx = px - fx + sample->radiusX, sy = py - fy + sample->radiusY;
        if (sx >= 0 && sy >= 0 && sx < sample->Width && sy < sample->Height) {
          const uint32_t p = sample->getPixel(sx, sy);
          if ((p >> 24) != 0) colour = p;
        }
      }
      plot(p, t.plane->pixelAt(px, py), px + t.origin.X, py + t.origin.Y, c, colour);
    }
  }
}

void CPenRender::dabSpread(const SPenTarget& t, const SPenDab& dab, const SPlotter& p) {
  smudgeCore(t, stroke_ != nullptr ? &stroke_->sampleCache[0] : nullptr, p);
  if (stroke_ != nullptr) stroke_->pickSpread(*t.plane, clampSize(dab.size), dab.x, dab.y);
}

void CPenRender::dabFinger(const SPenTarget& t, const SPenDab& dab, const SPlotter& p) {
  if (stroke_ != nullptr) stroke_->pickSmudge(*t.plane, clampSize(dab.size), dab.x, dab.y);
  smudgeCore(t, stroke_ != nullptr ? stroke_->getCurrentSample() : nullptr, p);
}

void CPenRender::prepWatercolor(const SPenTarget& t, float x, float y) {
  if (stroke_ == nullptr) return;
  stroke_->pickColor(*t.plane, x, y);
  const int32_t e = std::clamp<int32_t>(render_.effect, 0, 100);
  SWatercolorState& wc = stroke_->watercolor;
  wc.startColor = moveToward(wc.pickedColor, colors_[0], 255 - static_cast<uint32_t>(e * 255 / 100));
  wc.paintColor = wc.startColor;
}

void CPenRender::dabWatercolor(const SPenTarget& t, const SPenDab& dab, const SPlotter& p) {
  if (stroke_ == nullptr) {
    dabNormal(t, p);
    return;
  }
  SWatercolorState& wc = stroke_->watercolor;
  const double prod = static_cast<double>(clampSize(dab.size)) * render_.speed * 2.0;
  int64_t mix = 0x10000;
  if (prod > 0.0) {
    const double m = static_cast<double>(stroke_->travel) / prod * 65536.0;
    mix = std::isfinite(m) ? static_cast<int64_t>(std::clamp(m, 0.0, 65536.0)) : 0x10000;
  }
  uint32_t paint = moveToward(wc.startColor, dab_.colour, static_cast<uint32_t>((mix * 255) >> 16));
  const int32_t cxp = dab_.cx >> 16, cyp = dab_.cy >> 16;
  const int32_t rxp = dab_.rx >> 16, ryp = dab_.ry >> 16;
  const uint32_t s[4] = {clampedPixel(*t.plane, cxp - rxp, cyp), clampedPixel(*t.plane, cxp + rxp, cyp),
                         clampedPixel(*t.plane, cxp, cyp - ryp), clampedPixel(*t.plane, cxp, cyp + ryp)};
  const int32_t env = std::clamp<int32_t>(render_.env, 0, 100);
  const int32_t step = env * 65536 / 10;
  uint32_t carried = 0;
  for (int ch = 0; ch < 3; ++ch) {
    // carried[] holds red, green, blue; pixel byte 2 is red.
    const int byteIdx = 2 - ch;
    int32_t sum = 0;
    for (uint32_t p : s) sum += static_cast<int32_t>((p >> (8 * byteIdx)) & 0xFF);
    const int32_t avg = (sum / 4) << 16;
    const float cur = std::isfinite(wc.carried[ch]) ? std::clamp(wc.carried[ch], 0.0f, 255.0f) : 0.0f;
    const int32_t next = approachValue(toFix(cur), avg, step);
    wc.carried[ch] = static_cast<float>(next) / 65536.0f;
    carried |= static_cast<uint32_t>(std::clamp(next >> 16, 0, 255)) << (8 * byteIdx);
  }
  paint = moveToward(paint, carried, static_cast<uint32_t>(env * 2.55));
  wc.paintColor = paint;
  const int32_t base = stroke_->ifTRANSPARENCY ? dab_.opacity : toFix(std::clamp(stroke_->opacity, 0.0f, 1.0f));
  dab_.opacity = static_cast<int32_t>((static_cast<int64_t>(base) * kWatercolorDabOpacity16) >> 16);
  dab_.colour = paint;
  dabNormal(t, p);
}

// ---- dab entry points ------------------------------------------------------------

// The pressure of the first point shapes its dab, not the preparation.
void CPenRender::beginDab(const SPenTarget& t, float /*pressure*/, float x, float y) {
  nibSize_ = hasNib_ && nib_ != nullptr ? nib_->scale() : 0;
  if (t.plane == nullptr || !hasPixels(*t.plane)) return;
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  x = std::clamp(x, -kPenCoordLimit, kPenCoordLimit);
  y = std::clamp(y, -kPenCoordLimit, kPenCoordLimit);
  switch (render_.method) {
    case prmWatercolor:
      prepWatercolor(t, x, y);
      break;
    case prmSpread:
    case prmFinger:
      // As in TStroke::prepareKind: an empty sample smears nothing.
      if (stroke_ != nullptr) (void)stroke_->pickSample(*t.plane, clampSize(getSize()), x, y);
      break;
    case prmBurnDodge:
      prepBurnDodge();
      break;
    default:
      break;
  }
}

bool CPenRender::renderMethod(const SPenTarget& t, const SPenDab& dab, const SPlotter& p) {
  switch (render_.method) {
    case prmWatercolor:
      dabWatercolor(t, dab, p);
      break;
    case prmBlur:
      dabBlur(t, stroke_ == nullptr || !stroke_->opaque, p);
      break;
    case prmEraser:
      dabEraser(t, p);
      break;
    case prmSpread:
      dabSpread(t, dab, p);
      break;
    case prmFinger:
      dabFinger(t, dab, p);
      break;
    case prmBurnDodge:
      dabBurnDodge(t, p);
      break;
    default:  // normal, and methods a recording names beyond the seven
      dabNormal(t, p);
      break;
  }
  return true;
}

bool CPenRender::setupAndShape(const CDibCore& plane, const SPenDab& dab) {
  const float size = clampSize(dab.size);
  if (!hasNib_) return setupDab(plane, dab, dab.opacity, size, size) && prepareShape(size);
  // A nib's dab is as large as its resized image.
  return prepareShape(size) && setupDab(plane, dab, dab.opacity, static_cast<float>(shape_->radiusX()) / 65536.0f,
                                        static_cast<float>(shape_->radiusY()) / 65536.0f);
}

bool CPenRender::drawDab(const SPenTarget& t, const SPenDab& dab) {
  if (t.plane == nullptr || !hasPixels(*t.plane)) return false;
  if (!setupAndShape(*t.plane, dab)) return false;
  const SPlotter& p = t.plotter != nullptr ? *t.plotter : defaultPlotter();
  // The blur's unweighted form keeps alpha through the keep-alpha merge.
  if (render_.method == prmBlur && (stroke_ == nullptr || !stroke_->opaque))
    return renderMethod(t, dab, p.withMerge(blendPixelOver));
  return renderMethod(t, dab, p);
}

bool CPenRender::drawDabCoverage(const SPenTarget& t, const SPenDab& dab, uint32_t value) {
  if (t.work == nullptr || !hasPixels(*t.work)) return false;
  if (!setupAndShape(*t.work, dab)) return false;
  dabCoverage(t, value);
  return true;
}

bool CPenRender::drawDabCoverageSplit(const SPenTarget& t, const SPenDab& dab, uint32_t value) {
  const uint8_t savedShape = render_.shapeFlag;
  const uint8_t savedAxis = axisFlag_;
  render_.shapeFlag = 1;
  const float size = clampSize(dab.size);
  if (size >= 0.5f && size < 3.0f) {
    axisFlag_ = 1;
    // The axis pass only adds to the dab below, whose answer is the one given.
    (void)drawDabCoverage(t, dab, value);
    axisFlag_ = savedAxis;
  }
  const bool ok = drawDabCoverage(t, dab, value);
  render_.shapeFlag = savedShape;
  return ok;
}

void CPenRender::endStroke() {
  if (hasNib_ && nib_ != nullptr) nib_->setScale(nibSize_);
}

}  // namespace pg
