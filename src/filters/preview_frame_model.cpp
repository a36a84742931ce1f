// The preview frame's zoom, scroll and panning.
#include "filters/preview_frame_model.h"

#include <algorithm>

#include "core/planes.h"

namespace pg {

namespace {

float clamp01(float p) { return std::clamp(p, 0.0f, 1.0f); }

// "Add 0.5 and truncate".
int32_t roundHalfUp(double v) { return static_cast<int32_t>(v + 0.5); }

// The zoom track's curve over a range of percentages: m and M the ends as
// factors, k and q its shape. Only a range with 100 % strictly inside has
// one; the track is straight otherwise.
struct SZoomCurve {
  double m = 0.0, M = 0.0, k = 0.0, q = 0.0;

  bool init(float minimumPercent, float maximumPercent) {
    m = minimumPercent / 100.0;
    M = maximumPercent / 100.0;
    if (!(m < 1.0 && 1.0 < M)) return false;
    k = (M - 1.0) / (1.0 - m);
    q = k * m;
    return true;
  }
};

}  // namespace

float zoomTrackOut(float position, float minimumPercent, float maximumPercent) {
  const float p = clamp01(position);
  SZoomCurve c;
  if (!c.init(minimumPercent, maximumPercent)) return p;
  const auto [m, M, k, q] = c;
  const double v = ((M - q) * p + q) / (k - (k - 1.0) * p);
  return static_cast<float>((v - m) / (M - m));
}

float zoomTrackIn(float fraction, float minimumPercent, float maximumPercent) {
  const float p = clamp01(fraction);
  SZoomCurve c;
  if (!c.init(minimumPercent, maximumPercent)) return p;
  const auto [m, M, k, q] = c;
  const double t = (M - m) * p + m;
  return static_cast<float>((t * k - q) / ((k - 1.0) * t + (M - q)));
}

void CPreviewFrameModel::setPaintBox(int32_t width, int32_t height) {
  paintW_ = std::max(width, 3);
  paintH_ = std::max(height, 3);
  resizeView();
}

void CPreviewFrameModel::bind(int32_t imageWidth, int32_t imageHeight, const TRect& centre) {
  bound_ = imageWidth > 0 && imageHeight > 0;
  if (!bound_) return;
  imageW_ = imageWidth;
  imageH_ = imageHeight;
  const double fit = std::min(100.0, std::min(double(paintH_ - 2) * 100.0 / imageH_, double(paintW_ - 2) * 100.0 / imageW_));
  zoomMin_ = static_cast<float>(fit);
  zoom_ = 100.0f;
  resizeView();
  centreOn(centre);
}

void CPreviewFrameModel::centreOn(const TRect& r) {
  setScrollX((r.Left + r.Right - visW_) / 2);
  setScrollY((r.Top + r.Bottom - visH_) / 2);
}

void CPreviewFrameModel::setZoom(float percent) {
  const int32_t w0 = visW_;
  const int32_t h0 = visH_;
  zoom_ = std::clamp(percent, zoomMin_, kMaxZoom);
  resizeView();
  setScrollX(scrollX_ - (visW_ - w0) / 2);
  setScrollY(scrollY_ - (visH_ - h0) / 2);
}

float CPreviewFrameModel::trackPosition() const {
  const float span = kMaxZoom - zoomMin_;
  const float fraction = span > 0.0f ? (zoom_ - zoomMin_) / span : 0.0f;
  return zoomTrackIn(fraction, zoomMin_, kMaxZoom);
}

void CPreviewFrameModel::setTrackPosition(float position) {
  const float fraction = zoomTrackOut(position, zoomMin_, kMaxZoom);
  setZoom(zoomMin_ + fraction * (kMaxZoom - zoomMin_));
}

void CPreviewFrameModel::resizeView() {
  const double z = zoom_ / 100.0;
  viewW_ = std::clamp(std::min(paintW_ - 2, roundHalfUp(imageWidth() * z)), 1, std::max(1, paintW_ - 2));
  viewH_ = std::clamp(std::min(paintH_ - 2, roundHalfUp(imageHeight() * z)), 1, std::max(1, paintH_ - 2));
  visW_ = std::max(1, roundHalfUp(viewW_ * 100.0 / zoom_));
  visH_ = std::max(1, roundHalfUp(viewH_ * 100.0 / zoom_));
  setScrollX(scrollX_);
  setScrollY(scrollY_);
}

int32_t CPreviewFrameModel::viewOriginX() const { return std::max((paintW_ - viewW_) / 2, 0); }
int32_t CPreviewFrameModel::viewOriginY() const { return std::max((paintH_ - viewH_) / 2, 0); }

void CPreviewFrameModel::setScrollX(int32_t x) {
  // The lower bound is tested first, so a view wider than the image starts at 0.
  scrollX_ = bound_ ? std::max(0, std::min(x, imageW_ - visW_)) : 0;
  if (scrollX_ < 0) scrollX_ = 0;
}

void CPreviewFrameModel::setScrollY(int32_t y) {
  scrollY_ = bound_ ? std::max(0, std::min(y, imageH_ - visH_)) : 0;
  if (scrollY_ < 0) scrollY_ = 0;
}

void CPreviewFrameModel::beginDrag(int32_t x, int32_t y) {
  dragX_ = x;
  dragY_ = y;
  pressed_ = true;
}

bool CPreviewFrameModel::dragTo(int32_t x, int32_t y) {
  if (!pressed_) return false;
  dragging_ = true;
  const int32_t oldX = scrollX_;
  const int32_t oldY = scrollY_;
  setScrollX(scrollX_ + static_cast<int32_t>(int64_t(visW_) * (dragX_ - x) / viewW_));
  setScrollY(scrollY_ + static_cast<int32_t>(int64_t(visH_) * (dragY_ - y) / viewH_));
  // The start moves only on an axis that scrolled, so slow drags add up.
  if (scrollX_ != oldX) dragX_ = x;
  if (scrollY_ != oldY) dragY_ = y;
  return scrollX_ != oldX || scrollY_ != oldY;
}

namespace {

uint32_t overChecker(uint32_t src, uint32_t under) {
  const uint32_t a = src >> 24;
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t s = (src >> shift) & 0xFF;
    const uint32_t d = (under >> shift) & 0xFF;
    out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

bool drawPreviewPicture(const CPreviewFrameModel& m, const TMTC* visible, uint32_t face, uint32_t frame, TMTC& paint) {
  const int32_t w = m.paintWidth();
  const int32_t h = m.paintHeight();
  if (paint.Width != w || paint.Height != h) {
    if (!paint.Resize(w, h)) return false;
  }
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) *paint.pixelAt(x, y) = face;
  const int32_t ox = m.viewOriginX();
  const int32_t oy = m.viewOriginY();
  const int32_t vw = m.viewWidth();
  const int32_t vh = m.viewHeight();
  auto put = [&](int32_t x, int32_t y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < w && y < h) *paint.pixelAt(x, y) = c;
  };
  for (int32_t x = ox - 1; x <= ox + vw; ++x) {
    put(x, oy - 1, frame);
    put(x, oy + vh, frame);
  }
  for (int32_t y = oy - 1; y <= oy + vh; ++y) {
    put(ox - 1, y, frame);
    put(ox + vw, y, frame);
  }
  const bool hasPicture = visible != nullptr && visible->Width > 0 && visible->Height > 0;
  for (int32_t y = 0; y < vh; ++y)
    for (int32_t x = 0; x < vw; ++x) {
      const uint32_t checker = ((x / 8 + y / 8) % 2) == 0 ? 0xFFE0E0E0u : 0xFFC8C8C8u;
      uint32_t c = checker;
      if (hasPicture) {
        const int32_t sx = static_cast<int32_t>(int64_t(x) * visible->Width / vw);
        const int32_t sy = static_cast<int32_t>(int64_t(y) * visible->Height / vh);
        c = overChecker(visible->getPixel(sx, sy), checker);
      }
      put(ox + x, oy + y, c);
    }
  return true;
}

}  // namespace pg
