#include "toolwin/navigator_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "canvas/draw_window.h"
#include "document/paper.h"
#include "document/zoom_steps.h"
#include "ui/grabber_logic.h"

namespace pg {

namespace {

constexpr double kZoomMin = 1.0 / 16.0, kZoomMax = 16.0;

double stepValue(const SRatio& r) { return static_cast<double>(r.Num) / r.Den; }

// Degrees brought into (-180, 180].
double wrapDegrees(double d) {
  if (!std::isfinite(d)) return 0.0;
  d = std::fmod(d, 360.0);
  if (d <= -180.0) d += 360.0;
  if (d > 180.0) d -= 360.0;
  return d;
}

std::string fixed1(float v) {
  char b[32];
  std::snprintf(b, sizeof b, "%0.1f", v);
  return b;
}

std::string integer(int32_t v) { return std::to_string(v); }

}  // namespace

// ---- mappings ------------------------------------------------------------------------------

double zoomSliderOfZoom(double zoom) {
  double z = std::clamp(zoom, kZoomMin, kZoomMax);
  return std::clamp((16.0 * z - 1.0) / (15.0 * z + 15.0), 0.0, 1.0);
}

double zoomOfZoomSlider(double position, bool snap) {
  double p = std::clamp(position, 0.0, 1.0);
  double z = (15.0 * p + 1.0) / (16.0 - 15.0 * p);
  if (!snap) return z;
  double below = kZoomSteps.front().Num / static_cast<double>(kZoomSteps.front().Den), above = kZoomMax;
  for (const SRatio& s : kZoomSteps) {
    double v = stepValue(s);
    if (v <= z) below = v;
    if (v >= z) {
      above = v;
      break;
    }
  }
  return (z - below) < (above - z) ? below : above;
}

double snapRotationSlider(double position) {
  return std::trunc(std::clamp(position, 0.0, 1.0) * 24.0 + 0.5) / 24.0;
}

double dispScaleInFilter(double fraction) {
  double v = std::clamp(fraction, 0.0, 1.0);
  return zoomSliderOfZoom(kZoomMin + (kZoomMax - kZoomMin) * v);
}

double dispScaleOutFilter(double position, bool snap) {
  double z = zoomOfZoomSlider(position, snap);
  return std::clamp((z - kZoomMin) / (kZoomMax - kZoomMin), 0.0, 1.0);
}

double zoomPercentStepUp(double percent) {
  SRatio r{static_cast<int32_t>(std::ceil(percent * 100.0)), 10000};
  zoomRatioUp(r);
  return stepValue(r) * 100.0;
}

double zoomPercentStepDown(double percent) {
  SRatio r{static_cast<int32_t>(std::floor(percent * 100.0)), 10000};
  zoomRatioDown(r);
  return stepValue(r) * 100.0;
}

bool viewGrabberShown(bool useGrabCtrl, ToolMode mode, bool replayDisplay, bool haveWindow) {
  return useGrabCtrl && haveWindow && !replayDisplay && mode == ToolMode::Hand;
}

TPoint viewGrabberPlace(SSize client) { return {(client.W - kGrabberWidth) / 2, (client.H - kGrabberHeight) / 2}; }

// ---- navigator -------------------------------------------------------------------------------

void CNavigatorModel::shown() {
  if (OnShow) OnShow();
}

bool CNavigatorModel::enabled() const { return window_ && window_->paper().isReady() && window_->isIdle(); }

void CNavigatorModel::bind(TDrawWindow* window) {
  window_ = window;
  if (!window_) {
    shown();
    return;
  }
  windowViewChanged();
}

void CNavigatorModel::windowViewChanged() {
  if (!window_) return;
  const TPaper& p = window_->paper();
  navSetZoom(NavSender::Window, p.zoomValue());
  navSetRotation(NavSender::Window, p.view().angleDeg() * kPi / 180.0);
  SSize c = window_->clientSize();
  TPointF mid = window_->clientToImage({c.W / 2.0f, c.H / 2.0f});
  navSetCentre(NavSender::Window, static_cast<int32_t>(mid.X), static_cast<int32_t>(mid.Y));
}

void CNavigatorModel::navSetZoom(NavSender sender, double zoom) {
  if (zoomLock_ || !std::isfinite(zoom)) return;
  zoomLock_ = true;
  double z = std::min(kZoomMax, std::max(kZoomMin, zoom));
  scale_ = z * 100.0;
  if (sender != NavSender::Grabber) grabberScale_ = static_cast<float>(z);
  if (sender != NavSender::ToolWindow && sender != NavSender::Window && window_) {
    SSize c = window_->clientSize();
    TPointF mid = window_->clientToImage({c.W / 2.0f, c.H / 2.0f});
    window_->setZoomRatio(static_cast<int32_t>(std::trunc(z * 10000.0 + 0.5)), 10000, mid);
  }
  previewZoom_ = static_cast<float>(z);
  zoomLock_ = false;
  shown();
}

void CNavigatorModel::navSetRotation(NavSender sender, double radians) {
  if (rotationLock_ || !std::isfinite(radians)) return;
  rotationLock_ = true;
  double a = sender == NavSender::Window ? -radians : radians;
  rotation_ = wrapDegrees(a * 180.0 / kPi);
  if (sender != NavSender::Grabber) grabberRotation_ = normalizeRotation(static_cast<float>(rotation_));
  if (sender != NavSender::ToolWindow && sender != NavSender::Window && window_)
    window_->setViewRotation(true, static_cast<float>(-rotation_));
  previewRotation_ = static_cast<float>(-rotation_ * kPi / 180.0);
  rotationLock_ = false;
  shown();
}

void CNavigatorModel::navSetCentre(NavSender sender, int32_t x, int32_t y) {
  if (centreLock_) return;
  centreLock_ = true;
  if (sender == NavSender::Preview && window_) {
    window_->relayoutAt({static_cast<float>(x), static_cast<float>(y)});
    SSize c = window_->clientSize();
    TPointF mid = window_->clientToImage({c.W / 2.0f, c.H / 2.0f});
    centre_ = TPoint{static_cast<int32_t>(mid.X), static_cast<int32_t>(mid.Y)};
  } else {
    centre_ = TPoint{x, y};
  }
  centreLock_ = false;
  shown();
}

void CNavigatorModel::grabberChange(float scale, float degrees) {
  if (grabberLock_ || !std::isfinite(scale) || !std::isfinite(degrees)) return;
  grabberLock_ = true;
  grabberScale_ = scale;
  grabberRotation_ = normalizeRotation(degrees);
  if (static_cast<double>(scale) * 100.0 != scale_) navSetZoom(NavSender::Grabber, scale);
  // Both ends of the circle are one angle: -180 from the grabber is the
  // panel's 180.
  if (normalizeRotation(static_cast<float>(rotation_)) != grabberRotation_)
    navSetRotation(NavSender::Grabber, grabberRotation_ * kPi / 180.0);
  grabberLock_ = false;
}

void CNavigatorModel::zoomIn() { navSetZoom(NavSender::Panel, zoomPercentStepUp(scale_) / 100.0); }

void CNavigatorModel::zoomOut() { navSetZoom(NavSender::Panel, zoomPercentStepDown(scale_) / 100.0); }

// ---- info ------------------------------------------------------------------------------------

void CInfoModel::clearColor() {
  colorValid_ = false;
  texts_.r.clear();
  texts_.g.clear();
  texts_.b.clear();
  if (OnColorChanged) OnColorChanged();
}

bool CInfoModel::showColor(uint32_t pixel) {
  pixel &= 0x00FFFFFFu;
  if (colorValid_ && pixel == color_) return false;
  color_ = pixel;
  colorValid_ = true;
  texts_.r = integer((pixel >> 16) & 0xFF);
  texts_.g = integer((pixel >> 8) & 0xFF);
  texts_.b = integer(pixel & 0xFF);
  if (OnColorChanged) OnColorChanged();
  return true;
}

void CInfoModel::updateInfo(TDrawWindow* window, int32_t mode, float x, float y) {
  if (mode == 0 || window == nullptr) {
    texts_ = SInfoTexts{};
    clearColor();
    return;
  }
  switch (mode) {
    case 1: {
      TPointF p = window->clientToImage({x, y});
      pointer_ = p;
      texts_.x = fixed1(p.X);
      texts_.y = fixed1(p.Y);
      const TPaper& paper = window->paper();
      int32_t px = static_cast<int32_t>(std::trunc(p.X + 0.5f)), py = static_cast<int32_t>(std::trunc(p.Y + 0.5f));
      if (paper.composite().IsAllocated() && px >= 0 && py >= 0 && px < paper.composite().Width &&
          py < paper.composite().Height)
        showColor(paper.composite().getPixel(px, py));
      break;
    }
    case 2:
      texts_.x = texts_.selX = fixed1(x);
      texts_.y = texts_.selY = fixed1(y);
      break;
    case 3:
      texts_.selW = fixed1(x);
      texts_.selH = fixed1(y);
      texts_.x = fixed1(pointer_.X + x);
      texts_.y = fixed1(pointer_.Y + y);
      break;
    case 4:
      texts_.opt1Caption = "U";
      texts_.opt2Caption = "V";
      texts_.opt1 = fixed1(x);
      texts_.opt2 = fixed1(y);
      texts_.x = fixed1(pointer_.X + x);
      texts_.y = fixed1(pointer_.Y + y);
      break;
    default:
      texts_.opt1Caption.clear();
      texts_.opt2Caption.clear();
      texts_.opt1.clear();
      texts_.opt2.clear();
      texts_.x = fixed1(x);
      texts_.y = fixed1(y);
      break;
  }
}

}  // namespace pg
