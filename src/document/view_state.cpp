#include "document/view_state.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/colour.h"
#include "core/det_math.h"
#include "document/paper_view.h"
#include "document/zoom_steps.h"

namespace pg {

namespace {
// Window coordinates after a mapping, truncated toward zero and kept inside
// the 32-bit range whatever the view.
int32_t truncToInt32(float v) { return saturateToInt32(std::trunc(static_cast<double>(v))); }
}  // namespace

// ---- zoom ----------------------------------------------------------------------------------

bool zoomFitsScale(SRatio zoom, int32_t side) {
  if (zoom.Num <= 0 || zoom.Den <= 0 || zoom.Num % zoom.Den != 0) return false;
  return ((int64_t{zoom.Num} * side) >> 15) < zoom.Den;
}

float CViewState::setZoom(int32_t num, int32_t den) {
  // A ratio that is not positive has no zoom value; the view keeps its own.
  if (num <= 0 || den <= 0) return zoomValue();
  const float v = ratioToFloat(SRatio{num, den});
  if (v < kMinZoom) {
    zoom_ = SRatio{1, 16};
  } else if (v > kMaxZoom) {
    zoom_ = SRatio{16, 1};
  } else {
    zoom_ = SRatio{num, den};
  }
  return zoomValue();
}

void CViewState::zoomIn() {
  if (canZoomIn()) zoomRatioUp(zoom_);
}

void CViewState::zoomOut() {
  if (canZoomOut()) zoomRatioDown(zoom_);
}

// ---- rotation and position ---------------------------------------------------------------------

void CViewState::setAngle(float degrees) {
  const SViewAngle a = normalizeViewAngle(degrees);
  angleDeg_ = a.degrees;
  angleRad_ = a.radians;
  sinA_ = a.sine;
  cosA_ = a.cosine;
}

void CViewState::setRadians(float radians) {
  if (!std::isfinite(radians)) radians = 0.0f;
  angleRad_ = radians;
  angleDeg_ = static_cast<float>(static_cast<double>(radians) * 180.0 / std::numbers::pi);
  sinA_ = dmath::sin(radians);
  cosA_ = dmath::cos(radians);
}

void CViewState::pan(float dx, float dy) {
  center_.X -= dx * cosA_ - dy * sinA_;
  center_.Y -= dx * sinA_ + dy * cosA_;
}

// ---- mapping -----------------------------------------------------------------------------------

TPoint CViewState::origin(SSize client) const {
  if (angleRad_ != 0.0f) return {truncToInt32(center_.X), truncToInt32(center_.Y)};
  const float z = zoomValue();
  const float hx = static_cast<float>(client.W / 2) / z;
  const float hy = static_cast<float>(client.H / 2) / z;
  const float x = scrollOrigin_.X < 1 ? hx + static_cast<float>(scrollOffset_.X)
                                      : hx - static_cast<float>(scrollOrigin_.X) / z;
  const float y = scrollOrigin_.Y < 1 ? hy + static_cast<float>(scrollOffset_.Y)
                                      : hy - static_cast<float>(scrollOrigin_.Y) / z;
  return {truncToInt32(x), truncToInt32(y)};
}

void CViewState::windowToPaperF(SSize client, float& x, float& y) const {
  const float z = zoomValue();
  if (angleRad_ == 0.0f) {
    x = (x - static_cast<float>(scrollOrigin_.X) + 0.5f) / z + static_cast<float>(scrollOffset_.X) - 0.5f;
    y = (y - static_cast<float>(scrollOrigin_.Y) + 0.5f) / z + static_cast<float>(scrollOffset_.Y) - 0.5f;
    return;
  }
  const float dx = (x - static_cast<float>(client.W / 2)) / z;
  const float dy = (y - static_cast<float>(client.H / 2)) / z;
  x = cosA_ * dx - sinA_ * dy + center_.X;
  y = sinA_ * dx + cosA_ * dy + center_.Y;
}

void CViewState::paperToWindowF(SSize client, TPointF& p) const {
  const float z = zoomValue();
  if (angleRad_ == 0.0f) {
    p.X = (p.X - static_cast<float>(scrollOffset_.X)) * z + static_cast<float>(scrollOrigin_.X);
    p.Y = (p.Y - static_cast<float>(scrollOffset_.Y)) * z + static_cast<float>(scrollOrigin_.Y);
    return;
  }
  const float dx = p.X - center_.X;
  const float dy = p.Y - center_.Y;
  p.X = (cosA_ * dx + sinA_ * dy) * z + static_cast<float>(client.W / 2);
  p.Y = (-sinA_ * dx + cosA_ * dy) * z + static_cast<float>(client.H / 2);
}

void CViewState::paperToWindow(SSize client, TPoint& p) const {
  TPointF f = pointToFloat(p);
  paperToWindowF(client, f);
  p = {truncToInt32(f.X + 0.01f), truncToInt32(f.Y + 0.01f)};
}

// ---- grid and buffers ------------------------------------------------------------------------------

void CViewState::setGrid(bool show, int32_t gx, int32_t gy) {
  showGrid_ = show;
  gridX_ = std::max(gx, kMinGridSpacing);
  gridY_ = std::max(gy, kMinGridSpacing);
}

void CViewState::freeBuffers() {
  viewBuffer_.FreeData();
  patternBuffer_.FreeData();
}

uint64_t CViewState::bufferBytes() const {
  return static_cast<uint64_t>(viewBuffer_.ByteSize()) + static_cast<uint64_t>(patternBuffer_.ByteSize());
}

}  // namespace pg
