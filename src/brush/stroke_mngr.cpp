#include "brush/stroke_mngr.h"
#include "core/det_math.h"

#include <algorithm>
#include <cmath>

namespace pg {

namespace {

// Recordings of this version and older replay a watercolour dab with the
// stroke's own pressure-to-opacity switch, not the paint parameters' one.
constexpr uint32_t kLastVersionWithStrokeWatercolorSwitch = 33;

}  // namespace

bool sanitizeStrokePoint(SStrokePoint& p) {
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  p.x = std::clamp(p.x, -kPenCoordLimit, kPenCoordLimit);
  p.y = std::clamp(p.y, -kPenCoordLimit, kPenCoordLimit);
  p.pressure = std::isnan(p.pressure) ? 0.0f : std::clamp(p.pressure, 0.0f, 1.0f);
  return true;
}

// ---- CInterpolate ----------------------------------------------------------------

bool CInterpolate::setMode(uint8_t m) {
  if (mode_ == m) return false;
  mode_ = m;
  return true;
}

bool CInterpolate::reset() {
  if (mode_ != 0 && mode_ != 1) return false;
  ring_.assign(kRingSize, SStrokePoint{});
  added_ = 0;
  return true;
}

bool CInterpolate::addPoint(const SStrokePoint& p) {
  if (!isReady()) return false;
  if (added_ == 0) {
    for (SStrokePoint& e : ring_) e = {p.x, p.y, 0.0f};
  } else {
    ring_[2] = ring_[1];
    ring_[1] = ring_[0];
    ring_[0] = p;
    if (mode_ == 1) {
      ring_[1] = {(ring_[0].x + ring_[2].x) * 0.5f, (ring_[0].y + ring_[2].y) * 0.5f,
                  (ring_[0].pressure + ring_[2].pressure) * 0.5f};
    }
  }
  ++added_;
  return true;
}

bool CInterpolate::getPoint(int32_t i, SStrokePoint& out) const {
  if (!isReady() || i < 0 || i >= kRingSize) return false;
  out = ring_[static_cast<size_t>(i)];
  return true;
}

SStrokePoint CInterpolate::getSegmentEnd() const {
  if (!isReady()) return {};
  return mode_ == 0 ? ring_[1] : ring_[2];
}

SStrokePoint CInterpolate::getSegmentStart() const {
  if (!isReady()) return {};
  return mode_ == 0 ? ring_[0] : ring_[1];
}

// ---- CStrokeMngr -----------------------------------------------------------------

CStrokeMngr::CStrokeMngr(TStroke* stroke, CPenRender* renderer) : stroke_(stroke), renderer_(renderer) {
  param_.init();
}

TStroke* CStrokeMngr::setStroke(TStroke* stroke) {
  TStroke* old = stroke_;
  stroke_ = stroke;
  if (renderer_ != nullptr) renderer_->setStroke(stroke);
  return old;
}

CPenRender* CStrokeMngr::setPenRender(CPenRender* renderer) {
  CPenRender* old = renderer_;
  renderer_ = renderer;
  return old;
}

void CStrokeMngr::setTarget(const SPenTarget& target, IPenDocument* document) {
  target_ = target;
  document_ = document;
  if (renderer_ != nullptr) renderer_->setTarget(document);
}

bool CStrokeMngr::beginStroke(int32_t layerIndex, const SPenTarget& target, IPenDocument* document,
                              TStroke* stroke) {
  setTarget(target, document);
  const bool ok = resetStroke(layerIndex);
  setStroke(stroke);
  return ok;
}

bool CStrokeMngr::resetStroke(int32_t layerIndex) {
  stepCount_ = 0;
  dabCount_ = 0;
  prevMajorAxis_ = -1;
  dirtyWhole_ = {};
  dirtySinceLast_ = {};
  paintedWhole_ = {};
  if (layerIndex < 0) {
    if (document_ != nullptr) layerIndex_ = document_->currentLayerIndex();
  } else if (document_ != nullptr && layerIndex < document_->layerCount()) {
    layerIndex_ = layerIndex;
  }
  return true;
}

TPoint CStrokeMngr::layerOffset() const {
  if (document_ == nullptr || layerIndex_ < 0 || layerIndex_ >= document_->layerCount()) return {0, 0};
  return document_->layerOffset(layerIndex_);
}

void CStrokeMngr::syncPen() {
  if (stroke_ == nullptr) return;
  param_.setOpacity(stroke_->getOpacity());
  // A renderer without a stroke keeps the colours it has.
  if (renderer_ != nullptr) (void)renderer_->takeColors();
}

void CStrokeMngr::startPen() {
  if (stroke_ != nullptr) stroke_->setTravel(0.0f);
  syncPen();
}

bool CStrokeMngr::firstPoint(const SStrokePoint& point) {
  SStrokePoint p = point;
  if (!sanitizeStrokePoint(p)) return false;
  if (!interpolate_.reset()) return false;
  (void)interpolate_.addPoint(p);  // refused only before a reset, which succeeded above
  startPen();
  if (renderer_ == nullptr) return false;
  if (document_ != nullptr && document_->isReplaying()) renderer_->setNib(document_->activePenShape(), false, false, false);
  const TPoint off = layerOffset();
  renderer_->beginDab(target_, p.pressure, p.x + static_cast<float>(off.X - target_.origin.X),
                      p.y + static_cast<float>(off.Y - target_.origin.Y));
  return true;
}

bool CStrokeMngr::addPoint(const SStrokePoint& point) {
  SStrokePoint p = point;
  if (!sanitizeStrokePoint(p)) return false;
  return interpolate_.addPoint(p);
}

void CStrokeMngr::addDirty(int32_t x, int32_t y, bool reset, int32_t ry, int32_t rx) {
  const SDirtyBox box{x - (rx + 2), y - (ry + 2), x + rx + 2, y + ry + 2};
  auto grow = [](SDirtyBox& d, const SDirtyBox& b) {
    d.left = std::min(d.left, b.left);
    d.top = std::min(d.top, b.top);
    d.right = std::max(d.right, b.right);
    d.bottom = std::max(d.bottom, b.bottom);
  };
  if (dabCount_ == 0) {
    dirtyWhole_ = dirtySinceLast_ = box;
    return;
  }
  if (reset) dirtySinceLast_ = box;
  else grow(dirtySinceLast_, box);
  grow(dirtyWhole_, box);
}

namespace {
SRectXYWH evenRect(const SDirtyBox& d) {
  const int32_t l = d.left & ~1, t = d.top & ~1;
  const int32_t r = (d.right + 1) & ~1, b = (d.bottom + 1) & ~1;
  return {l, t, r - l, b - t};
}
}  // namespace

void CStrokeMngr::notePainted(const TRect& plane, float sx, float sy) {
  if (plane.Right <= plane.Left || plane.Bottom <= plane.Top) return;
  const int32_t dx = static_cast<int32_t>(sx), dy = static_cast<int32_t>(sy);
  const SDirtyBox box{plane.Left - dx, plane.Top - dy, plane.Right - dx, plane.Bottom - dy};
  if (paintedWhole_.right <= paintedWhole_.left) {
    paintedWhole_ = box;
    return;
  }
  paintedWhole_.left = std::min(paintedWhole_.left, box.left);
  paintedWhole_.top = std::min(paintedWhole_.top, box.top);
  paintedWhole_.right = std::max(paintedWhole_.right, box.right);
  paintedWhole_.bottom = std::max(paintedWhole_.bottom, box.bottom);
}

SRectXYWH CStrokeMngr::getStrokeRect() const { return evenRect(dirtySinceLast_); }
SRectXYWH CStrokeMngr::getDirtyRect() const { return evenRect(dirtyWhole_); }

void CStrokeMngr::clearWork(const TRect* rect, bool force) {
  TChannel* w = target_.work;
  if (w == nullptr || !hasPixels(*w)) return;
  if (!force && (renderer_ == nullptr || !renderer_->usesWorkPlane())) return;
  TRect r{0, 0, w->Width, w->Height};
  if (rect != nullptr) {
    r = *rect;
    if (!w->clipRect(r)) return;
  }
  for (int32_t y = r.Top; y < r.Bottom; ++y) std::fill_n(w->pixelAt(r.Left, y), r.Right - r.Left, uint8_t{0});
}

void CStrokeMngr::endStroke() {
  if (renderer_ != nullptr) renderer_->endStroke();
}

bool CStrokeMngr::drawDab(float opacityFactor, float size, float x, float y) {
  if (renderer_ == nullptr) return false;
  const int32_t rawOpacity = std::clamp<int32_t>(param_.opacity, 0, 1000);
  SPenDab dab{static_cast<float>(rawOpacity) * opacityFactor / 1000.0f, size, x, y};

  // The stroke's pressure-to-opacity switch is borrowed for the watercolour
  // dab and put back on every way out.
  struct SRestore {
    TStroke* stroke;
    uint8_t saved;
    ~SRestore() {
      if (stroke != nullptr) stroke->ifTRANSPARENCY = saved;
    }
  } restore{stroke_, stroke_ != nullptr ? stroke_->ifTRANSPARENCY : uint8_t{0}};

  const uint8_t method = renderer_->method();
  if (method == prmWatercolor && stroke_ != nullptr) {
    const bool replaying = document_ != nullptr && document_->isReplaying();
    if (!replaying || document_->replayVersion() > kLastVersionWithStrokeWatercolorSwitch) stroke_->ifTRANSPARENCY = param_.pressureOpacity;
  } else if (method == prmBlur) {
    renderer_->setDabOpacity(document_ != nullptr ? document_->layerImage(layerIndex_) : nullptr, size);
  }
  renderer_->setTarget(document_);
  renderer_->setAxisFlag(majorAxis_ == 0);
  if (renderer_->usesWorkPlane()) return renderer_->drawDabCoverageSplit(target_, dab, 255);
  return renderer_->drawDab(target_, dab);
}

int32_t CStrokeMngr::drawSegment() {
  if (renderer_ == nullptr || !interpolate_.isReady()) return 0;
  SStrokePoint b = interpolate_.getSegmentEnd();
  SStrokePoint e = interpolate_.getSegmentStart();
  addDirtySquare(static_cast<int32_t>(std::lround(b.x)), static_cast<int32_t>(std::lround(b.y)), true, 8);
  const TPoint off = layerOffset();
  // Layer coordinates, then the flow plane's.
  const float sx = static_cast<float>(off.X - target_.origin.X);
  const float sy = static_cast<float>(off.Y - target_.origin.Y);
  b.x += sx;
  b.y += sy;
  e.x += sx;
  e.y += sy;

  // Gamma from a recording is held to the stroke settings' range.
  const double gamma = std::clamp(static_cast<double>(param_.gamma) / 100.0, 0.01, 6.0);
  const float pB = static_cast<float>(dmath::pow(std::clamp<double>(b.pressure, 0.0, 1.0), gamma));
  const float pE = static_cast<float>(dmath::pow(std::clamp<double>(e.pressure, 0.0, 1.0), gamma));

  float dx = e.x - b.x, dy = e.y - b.y, dp = pE - pB;
  const float L = std::max(std::fabs(dx), std::fabs(dy));
  if (!(L > 0.0f)) return 0;
  majorAxis_ = std::fabs(dx) >= std::fabs(dy) ? 1 : 0;
  const float unit = dmath::hypot(dx, dy) / L * 4.0f;
  int64_t steps = 1;
  if (L >= 1.0f) {
    dx /= L;
    dy /= L;
    dp /= L;
    steps = static_cast<int64_t>(std::ceil(L));
  }

  const float s = std::clamp(renderer_->getSize(), 0.0f, kMaxPenSize);
  float m = s;
  float sB = s, sE = s;
  if (param_.pressureSize) {
    m = renderer_->getMinSize(s);
    if (!std::isfinite(m)) m = 0.0f;
    m = std::clamp(m, 0.0f, kMaxPenSize);
    sB = (s - m) * pB + m;
    sE = (s - m) * pE + m;
  }
  // A zero, negative or unbounded interval (spacing or size 0, a nib of
  // size 0, values from a recording) falls back to a dab on every step.
  const double n = std::ceil(static_cast<double>(renderer_->scaleSize(param_.getSpacing(), s)));
  int32_t N = n >= 1.0 ? static_cast<int32_t>(std::min<double>(n, kMaxDabInterval)) : 1;
  const float every = static_cast<float>(param_.dabEveryStep);
  if (sB < every || sE < every) N = 1;
  const float split = static_cast<float>(param_.splitStep);
  if (sB < split || sE < split) {
    const int k = std::min(sB, sE) <= 0.7f ? 3 : 2;
    steps *= k;
    dx /= static_cast<float>(k);
    dy /= static_cast<float>(k);
    dp /= static_cast<float>(k);
  }
  steps = std::min(steps, kMaxStrokeSegmentSteps);

  float x = b.x + 0.25f, y = b.y + 0.25f, p = pB;
  int32_t drawn = 0;
  for (int64_t i = 0; i < steps; ++i) {
    const float factor = param_.pressureOpacity ? p : 1.0f;
    const float size = param_.pressureSize ? (s - m) * p + m : s;
    if (stepCount_ % N == 0) {
      // A dab that falls off the layer draws nothing; the stroke goes on.
      if (drawDab(factor, size, x, y)) notePainted(renderer_->lastDabRect(), sx, sy);
      int32_t ex = 0, ey = 0;
      renderer_->getDabExtent(size, ex, ey);
      addDirty(static_cast<int32_t>(std::lround(x - sx)), static_cast<int32_t>(std::lround(y - sy)), drawn == 0, ey,
               ex);
      ++dabCount_;
      ++drawn;
    }
    x += dx;
    y += dy;
    p += dp;
    position_[0] = x;
    position_[1] = y;
    prevMajorAxis_ = majorAxis_;
    p = std::clamp(p, 0.0f, 1.0f);
    if (stroke_ != nullptr) stroke_->addTravel(unit * p);
    ++stepCount_;
  }
  return drawn;
}

}  // namespace pg
