#include "ui/nib_editor.h"

#include <algorithm>
#include <cmath>

namespace pg {

namespace {
bool inside(const TRect& r, int32_t x, int32_t y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }
float clampF(float v, float lo, float hi) { return std::isfinite(v) ? std::clamp(v, lo, hi) : lo; }
}  // namespace

SNibEditorLayout nibEditorLayout(int32_t width, int32_t height, int32_t flatLabelWidth, int32_t angleLabelWidth,
                                 int32_t labelHeight, int32_t flatSuffixWidth) {
  (void)flatSuffixWidth;  // part of the measured label width already
  SNibEditorLayout l;
  l.preview = {2, 2, 2 + std::max(width - 4, 1), 2 + std::max(height - 19, 1)};
  l.rightButton = {width - 13, height - 28, width - 2, height - 17};
  l.leftButton = {2, height - 28, 13, height - 17};
  const int32_t top = height - 15;
  l.flatLabel = {6, top, 6 + flatLabelWidth, top + labelHeight};
  const int32_t angleLeft = l.flatLabel.Right + 8;
  l.angleLabel = {angleLeft, top, angleLeft + angleLabelWidth, top + labelHeight};
  return l;
}

TNibEditorState::TNibEditorState() {
  (void)Flattening.setRange(0.0f, 0.0f, 99.0f);  // constant ranges: the minimum is below the maximum
  (void)Rotation.setRange(0.0f, -999.0f, 999.0f);  // as above
  Rotation.setWrapMin(-180.0f);
  Rotation.setWrapMax(180.0f);
  Rotation.setWrapAround(true);
}

bool TNibEditorState::setValues(bool flagA, float valueB, float valueA, float rotation, float flattening,
                                float minRadius, float maxRadius) {
  maxRadius = clampF(maxRadius, 0.1f, 200.0f);
  minRadius = clampF(minRadius, 1.0f, 100.0f);
  flattening = clampF(flattening, 0.0f, 99.0f);
  valueA = clampF(valueA, 0.0f, 100.0f);
  valueB = clampF(valueB, 0.0f, 100.0f);
  rotation = nibNormalizeRotation(rotation);
  bool changed = false;
  auto store = [&changed](float& field, float v) {
    if (field == v) return;
    field = v;
    changed = true;
  };
  store(maxRadius_, maxRadius);
  store(minRadius_, minRadius);
  store(valueA_, valueA);
  store(valueB_, valueB);
  if (flagA_ != flagA) {
    flagA_ = flagA;
    changed = true;
  }
  if (Flattening.value() != flattening) {
    Flattening.setValue(flattening);
    changed = true;
  }
  if (Rotation.value() != rotation) {
    Rotation.setValue(rotation);
    changed = true;
  }
  return changed || nibImage_;
}

void TNibEditorState::setSample(bool inUse, int32_t width, int32_t height, float scalePercent) {
  nibImage_ = inUse;
  imageWidth_ = inUse ? std::max(width, 0) : 0;
  imageHeight_ = inUse ? std::max(height, 0) : 0;
  imageScale_ = inUse ? scalePercent : 100.0f;
  if (!std::isfinite(imageScale_)) imageScale_ = 100.0f;
}

void TNibEditorState::imageScaleRange(float& lo, float& hi) const {
  nibImageScaleRange(std::max(imageWidth_, 1), std::max(imageHeight_, 1), lo, hi);
}

bool TNibEditorState::setImageScale(float percent) {
  float lo = 0.0f, hi = 0.0f;
  imageScaleRange(lo, hi);
  percent = clampF(percent, lo, hi);
  if (percent == imageScale_) return false;
  imageScale_ = percent;
  return true;
}

uint8_t TNibEditorState::hitPart(const SNibEditorLayout& l, const SNibGeometry& g, int32_t x, int32_t y) const {
  if (nibHandleHit(g.outer[0], x, y)) return nibImage_ ? npImageScale : npMaxRadius;
  if (nibHandleHit(g.inner, x, y)) return npMinRadius;
  if (handlesEnabled && nibHandleHit(g.outer[8], x, y)) return npShape;
  if (rightButtonVisible && inside(l.rightButton, x, y)) return npNibList;
  if (!nibImage_ && inside(l.leftButton, x, y)) return npDisplay;
  if (handlesEnabled && inside(l.flatLabel, x, y)) return npFlatLabel;
  if (handlesEnabled && inside(l.angleLabel, x, y)) return npAngleLabel;
  if (inside(l.preview, x, y)) return npPreview;
  return npNone;
}

bool TNibEditorState::dragStep(uint8_t part, int32_t dx, float px, float py, float radius, bool shift, bool ctrl,
                               bool alt) {
  switch (part) {
    case npMaxRadius:
      return setValues(flagA_, valueB_, valueA_, rotation(), flattening(), minRadius_,
                       maxRadius_ + nibRadiusStep(maxRadius_) * static_cast<float>(dx));
    case npImageScale:
      return setImageScale(imageScale_ + nibScaleStep(imageScale_) * static_cast<float>(dx));
    case npMinRadius:
      return setValues(flagA_, valueB_, valueA_, rotation(), flattening(), nibMinRadiusAfter(minRadius_, dx, shift),
                       maxRadius_);
    case npShape: {
      const float f = alt ? flattening() : nibFlatteningAt(px, py, radius, shift);
      const float r = ctrl ? rotation() : nibRotationAt(px, py, shift);
      return setValues(flagA_, valueB_, valueA_, r, f, minRadius_, maxRadius_);
    }
    default:
      return false;
  }
}

}  // namespace pg
