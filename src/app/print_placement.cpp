#include "app/print_placement.h"

#include <algorithm>
#include <cmath>

#include "core/planes.h"
#include "core/units.h"

namespace pg {

CPrintPlacement::CPrintPlacement(const SPrinterInfo& printer, const SPrintImage& image, const SPrintRecord& settings)
    : printer_(printer), image_(image) {
  repeatX_ = std::max(1, settings.repeatX);
  repeatY_ = std::max(1, settings.repeatY);
  repeat_ = repeatX_ > 1 || repeatY_ > 1;
  fit_ = settings.fit;
  centre_ = settings.fitOrCentre;
  x = convertUnit(kUnitMm, kUnitPixel, static_cast<float>(printer_.dpiX), settings.xMm);
  y = convertUnit(kUnitMm, kUnitPixel, static_cast<float>(printer_.dpiY), settings.yMm);
  setScaleFactor(settings.scale > 0 ? settings.scale : 1.0f);
}

void CPrintPlacement::setPrinter(const SPrinterInfo& printer) {
  float factor = scaleFactor();
  printer_ = printer;
  setScaleFactor(factor);
}

float CPrintPlacement::scaleFactor() const {
  if (!image_.valid() || printer_.dpiX <= 0) return 1.0f;
  if (logical_) return w / static_cast<float>(image_.width);
  return w * static_cast<float>(image_.resolution) / (static_cast<float>(image_.width) * printer_.dpiX);
}

void CPrintPlacement::setScaleFactor(float factor) {
  if (!image_.valid() || !(factor > 0)) return;
  float width = logical_ ? factor * image_.width
                         : factor * image_.width * static_cast<float>(printer_.dpiX) / image_.resolution;
  setWidth(width);
}

void CPrintPlacement::setWidth(float width) {
  if (!image_.valid() || !(width > 0)) return;
  w = width;
  h = width * image_.height / static_cast<float>(image_.width);
  apply();
}

void CPrintPlacement::setHeight(float height) {
  if (!image_.valid() || !(height > 0)) return;
  h = height;
  w = height * image_.width / static_cast<float>(image_.height);
  apply();
}

void CPrintPlacement::fitNow() {
  if (!image_.valid()) return;
  w = printer_.printableW / repeatX_;
  h = printer_.printableH / repeatY_;
  // The side with the larger ratio to the image gives way, keeping the aspect.
  if (w / image_.width < h / image_.height)
    h = image_.height * w / image_.width;
  else
    w = image_.width * h / image_.height;
}

void CPrintPlacement::centreNow() {
  x = (printer_.paperW - repeatX_ * w) / 2;
  y = (printer_.paperH - repeatY_ * h) / 2;
}

void CPrintPlacement::apply() {
  if (fit_) fitNow();
  if (fit_ || centre_) centreNow();
}

void CPrintPlacement::setFit(bool on) {
  fit_ = on;
  if (on) centre_ = true;
  apply();
}

void CPrintPlacement::setCentre(bool on) {
  centre_ = on || fit_;
  apply();
}

void CPrintPlacement::setRepeat(bool on) {
  repeat_ = on;
  if (!on) repeatX_ = repeatY_ = 1;
  apply();
}

void CPrintPlacement::setRepeatCounts(int32_t rx, int32_t ry) {
  if (!repeat_) return;
  repeatX_ = std::clamp(rx, 1, 100);
  repeatY_ = std::clamp(ry, 1, 100);
  apply();
}

void CPrintPlacement::setPosition(float px, float py) {
  if (!positionEditable()) return;
  x = std::clamp(px, -25000.0f, 25000.0f);
  y = std::clamp(py, -25000.0f, 25000.0f);
}

SPrintRecord CPrintPlacement::record() const {
  SPrintRecord r;
  r.repeatX = repeatX_;
  r.repeatY = repeatY_;
  r.fit = fit_;
  r.fitOrCentre = fit_ || centre_;
  r.xMm = convertUnit(kUnitPixel, kUnitMm, static_cast<float>(printer_.dpiX), x);
  r.yMm = convertUnit(kUnitPixel, kUnitMm, static_cast<float>(printer_.dpiY), y);
  r.scale = scaleFactor();
  return r;
}

CPrintPlacement::SPreview CPrintPlacement::preview(int32_t boxW, int32_t boxH) const {
  SPreview p;
  float roomW = static_cast<float>(boxW - 8), roomH = static_cast<float>(boxH - 8);
  if (roomW <= 0 || roomH <= 0 || !printer_.usable()) return p;
  float k = std::min(roomW / printer_.paperW, roomH / printer_.paperH);
  float pw = printer_.paperW * k, ph = printer_.paperH * k;
  float left = (boxW - pw) / 2, top = (boxH - ph) / 2;
  p.paper = TRectF{left, top, left + pw, top + ph};
  float il = left + x * k, it = top + y * k;
  p.image = TRectF{il, it, il + std::max(1.0f, w * repeatX_ * k), it + std::max(1.0f, h * repeatY_ * k)};
  return p;
}

bool CPrintPlacement::startsDrag(const SPreview& p, float px, float py) const {
  const float corners[4][2] = {{p.image.Left, p.image.Top},
                               {p.image.Right, p.image.Top},
                               {p.image.Left, p.image.Bottom},
                               {p.image.Right, p.image.Bottom}};
  for (const auto& c : corners)
    if (std::fabs(px - c[0]) <= 5.5f && std::fabs(py - c[1]) <= 5.5f) return true;
  return !centre_ && px >= p.image.Left && px < p.image.Right && py >= p.image.Top && py < p.image.Bottom;
}

void CPrintPlacement::dragBy(const SPreview& p, float dx, float dy) {
  float shown = p.paper.Right - p.paper.Left;
  if (fit_ || centre_ || shown <= 0) return;
  float k = printer_.paperW / shown;
  setPosition(x + dx * k, y + dy * k);
}

void sampleImageInto(const TMTC& image, TMTC& target, const TRect& targetRect, int32_t n) {
  const int32_t tw = targetRect.Right - targetRect.Left, th = targetRect.Bottom - targetRect.Top;
  if (tw <= 0 || th <= 0 || image.Width <= 0 || image.Height <= 0 || n <= 0) return;
  const int32_t x0 = std::max(targetRect.Left, 0), x1 = std::min(targetRect.Right, target.Width);
  const int32_t y0 = std::max(targetRect.Top, 0), y1 = std::min(targetRect.Bottom, target.Height);
  const double sx = static_cast<double>(image.Width) / tw, sy = static_cast<double>(image.Height) / th;
  const int32_t count = n * n;
  for (int32_t ty = y0; ty < y1; ++ty) {
    uint32_t* out = target.pixelAt(0, ty);
    for (int32_t tx = x0; tx < x1; ++tx) {
      int32_t b = 0, g = 0, r = 0;
      for (int32_t ky = 0; ky < n; ++ky) {
        int32_t iy = static_cast<int32_t>(std::floor((ty - targetRect.Top + double(ky) / n) * sy + 0.5));
        for (int32_t kx = 0; kx < n; ++kx) {
          int32_t ix = static_cast<int32_t>(std::floor((tx - targetRect.Left + double(kx) / n) * sx + 0.5));
          image.accumulateRgb(ix, iy, b, g, r);
        }
      }
      out[tx] = 0xFF000000u | (uint32_t(r / count) << 16) | (uint32_t(g / count) << 8) | uint32_t(b / count);
    }
  }
}

}  // namespace pg
