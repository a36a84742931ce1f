#include "app/image_size_model.h"

#include <algorithm>
#include <cmath>

#include "core/units.h"

namespace pg {

namespace {

constexpr float kMinPixels = 8.0f;
constexpr float kMaxPixels = 10000.0f;

// A resolution from a document may be missing: every conversion then uses 72.
float usableResolution(int32_t res) { return res > 0 ? static_cast<float>(res) : 72.0f; }

SSizeAxis makeAxis(int32_t present) {
  SSizeAxis a;
  a.present = std::clamp(present, 1, 10000);
  a.held = static_cast<float>(a.present);
  a.heldUnit = kUnitPixel;
  a.shownUnit = kUnitPercent;
  return a;
}

// The 8 and 10,000 pixel limits in a unit (per cent of the present size).
SFieldRange unitLimits(const SSizeAxis& a, int32_t unit, float res) {
  if (unit == kUnitPercent) return {kMinPixels * 100.0f / a.present, kMaxPixels * 100.0f / a.present};
  SFieldRange r;
  unitSizeLimits(r.min, r.max, unit, res);
  return r;
}

}  // namespace

float SSizeAxis::pixels(float res) const { return convertUnit(heldUnit, kUnitPixel, res, held); }

int32_t SSizeAxis::result(float res) const { return static_cast<int32_t>(pixels(res) + 0.5f); }

float SSizeAxis::inUnit(int32_t unit, float res) const {
  if (unit == kUnitPercent) return pixels(res) * 100.0f / present;
  return convertUnit(heldUnit, unit, res, held);
}

void SSizeAxis::holdPixels(float px) {
  held = px;
  heldUnit = kUnitPixel;
}

// A value in a unit of length is held as given: the resolution converts it
// when it is read (inUnit), not here.
void SSizeAxis::holdIn(int32_t unit, float value, float /*res*/) {
  if (unit == kUnitPercent) {
    holdPixels(present * value / 100.0f);
    return;
  }
  held = value;
  heldUnit = unit;
}

float SFieldRange::clamp(float v) const {
  if (std::isnan(v)) return min;
  return std::clamp(v, min, max);
}

// ---- canvas size

CCanvasSizeModel::CCanvasSizeModel(int32_t width, int32_t height, int32_t resolution)
    : axes_{makeAxis(width), makeAxis(height)}, res_(usableResolution(resolution)) {}

float CCanvasSizeModel::pixelOffset(int axis) const {
  return relative_ ? static_cast<float>(axes_[axis].present) : 0.0f;
}

float CCanvasSizeModel::unitOffset(int axis) const {
  if (!relative_) return 0.0f;
  const SSizeAxis& a = axes_[axis];
  if (a.shownUnit == kUnitPercent) return 100.0f;
  return convertUnit(kUnitPixel, a.shownUnit, res_, static_cast<float>(a.present));
}

void CCanvasSizeModel::setUnit(int axis, int32_t unit) {
  if (unit >= kUnitInch && unit <= kUnitPercent) axes_[axis].shownUnit = unit;
}

float CCanvasSizeModel::pixelField(int axis) const { return axes_[axis].pixels(res_) - pixelOffset(axis); }

float CCanvasSizeModel::unitField(int axis) const {
  const SSizeAxis& a = axes_[axis];
  return a.inUnit(a.shownUnit, res_) - unitOffset(axis);
}

SFieldRange CCanvasSizeModel::pixelRange(int axis) const {
  float off = pixelOffset(axis);
  return {kMinPixels - off, kMaxPixels - off};
}

SFieldRange CCanvasSizeModel::unitRange(int axis) const {
  SFieldRange r = unitLimits(axes_[axis], axes_[axis].shownUnit, res_);
  float off = unitOffset(axis);
  return {r.min - off, r.max - off};
}

void CCanvasSizeModel::setPixelField(int axis, float value) {
  axes_[axis].holdPixels(pixelRange(axis).clamp(value) + pixelOffset(axis));
}

void CCanvasSizeModel::setUnitField(int axis, float value) {
  SSizeAxis& a = axes_[axis];
  a.holdIn(a.shownUnit, unitRange(axis).clamp(value) + unitOffset(axis), res_);
}

bool CCanvasSizeModel::changed() const {
  return resultWidth() != axes_[0].present || resultHeight() != axes_[1].present;
}

// ---- resampling

CResampleModel::CResampleModel(int32_t width, int32_t height, int32_t resolution)
    : axes_{makeAxis(width), makeAxis(height)},
      res_(std::clamp(usableResolution(resolution), 72.0f, 600.0f)),
      presentRes_(static_cast<int32_t>(res_)) {}

void CResampleModel::setUnit(int axis, int32_t unit) {
  if (unit >= kUnitInch && unit <= kUnitPercent) axes_[axis].shownUnit = unit;
}

SFieldRange CResampleModel::pixelRange(int axis) const {
  if (!keepAspect_) return {kMinPixels, kMaxPixels};
  // The other axis, scaled in proportion, stays within its limits too.
  float self = static_cast<float>(axes_[axis].present);
  float other = static_cast<float>(axes_[1 - axis].present);
  return {std::max(kMinPixels, self * kMinPixels / other), std::min(kMaxPixels, self * kMaxPixels / other)};
}

SFieldRange CResampleModel::unitRange(int axis) const {
  const SSizeAxis& a = axes_[axis];
  SFieldRange r = unitLimits(a, a.shownUnit, res_);
  if (!keepAspect_) return r;
  float self = static_cast<float>(a.present);
  float other = static_cast<float>(axes_[1 - axis].present);
  return {std::max(r.min, self * r.min / other), std::min(r.max, self * r.max / other)};
}

void CResampleModel::follow(int from) {
  if (!keepAspect_) return;
  const SSizeAxis& a = axes_[from];
  SSizeAxis& b = axes_[1 - from];
  b.held = static_cast<float>(b.present) * a.held / static_cast<float>(a.present);
  b.heldUnit = a.heldUnit;
}

void CResampleModel::setPixelField(int axis, float value) {
  axes_[axis].holdPixels(pixelRange(axis).clamp(value));
  follow(axis);
}

void CResampleModel::setUnitField(int axis, float value) {
  SSizeAxis& a = axes_[axis];
  a.holdIn(a.shownUnit, unitRange(axis).clamp(value), res_);
  follow(axis);
}

void CResampleModel::setResolution(float value) {
  float next = SFieldRange{72.0f, 600.0f}.clamp(std::round(value));
  for (SSizeAxis& a : axes_) {
    if (a.shownUnit == kUnitPercent) {
      // An axis in per cent keeps its pixels.
      a.holdPixels(a.pixels(res_));
    } else {
      // An axis in a length keeps the length shown; its pixels follow.
      a.holdIn(a.shownUnit, a.inUnit(a.shownUnit, res_), res_);
    }
  }
  res_ = next;
  bool widthPercent = axes_[0].shownUnit == kUnitPercent;
  bool heightPercent = axes_[1].shownUnit == kUnitPercent;
  if (heightPercent) {
    follow(0);
  } else if (widthPercent) {
    follow(1);
  }
}

bool CResampleModel::changed() const {
  return resultWidth() != axes_[0].present || resultHeight() != axes_[1].present ||
         resultResolution() != presentRes_;
}

// ---- anchor cells

void SAnchorCells::layout(int32_t w, int32_t h) {
  int32_t cw = ((w - 4) * 2) / 3;
  int32_t ch = ((h - 4) * 2) / 3;
  const int32_t xs[4] = {2, cw / 2 + 2, cw + 2, w - 2};
  const int32_t ys[4] = {2, ch / 2 + 2, ch + 2, h - 2};
  for (int i = 0; i < 9; ++i) {
    int c = i % 3;
    int r = i / 3;
    cells[i] = TRect{xs[c], ys[r], xs[c + 1], ys[r + 1]};
  }
}

int32_t SAnchorCells::hit(int32_t x, int32_t y) const {
  for (int i = 0; i < 9; ++i) {
    const TRect& c = cells[i];
    if (x >= c.Left && x < c.Right && y >= c.Top && y < c.Bottom) return i;
  }
  return -1;
}

}  // namespace pg
