#include "ui/trackbar_logic.h"

#include <algorithm>
#include <cmath>

#include "ui/num_mngr.h"

namespace pg {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

TRect trackRect(uint8_t orientation, int32_t width, int32_t height) {
  switch (orientation) {
    case gtHorizontal:
      return {3, 0, 3 + (width - 6), 8};
    case gtVertical: {
      const int32_t left = (width - 8) / 2;
      return {left, 2, left + 8, 2 + (height - 4)};
    }
    default: {
      const int32_t side = std::min(width, height) - 2;
      return {1, 1, 1 + side, 1 + side};
    }
  }
}

float trackPositionAt(uint8_t orientation, int32_t width, int32_t height, float x, float y) {
  float p = 0.0f;
  switch (orientation) {
    case gtHorizontal: {
      const float u = static_cast<float>(width - 9);
      const float q = x - 3.0f;
      if (u < 1.0f || q < 1.0f)
        p = 0.0f;
      else
        p = q < u ? q / u : 1.0f;
      break;
    }
    case gtVertical: {
      const float u = static_cast<float>(height - 7);
      const float q = y - 3.0f;
      if (u < 1.0f || q <= 0.0f)
        p = 1.0f;
      else
        p = q >= u ? 0.0f : (u - q) / u;
      break;
    }
    default: {
      const double dx = x - width / 2.0;
      const double dy = y - height / 2.0;
      const double a = orientation == gtClockWise ? std::atan2(-dy, dx) : std::atan2(dy, dx);
      double r = a / kTwoPi - 0.5;
      while (r < 0.0) r += 1.0;
      while (r > 1.0) r -= 1.0;
      p = static_cast<float>(r);
      break;
    }
  }
  return std::clamp(p, 0.0f, 1.0f);
}

TPoint trackThumbAt(uint8_t orientation, int32_t width, int32_t height, int32_t glyphWidth, int32_t glyphHeight,
                    float position) {
  if (orientation == gtVertical)
    return {(width - 10) / 2, static_cast<int32_t>(std::trunc((1.0f - position) * (height - glyphHeight) + 0.5f))};
  return {static_cast<int32_t>(std::trunc((width - glyphWidth) * position + 0.5f)), 2};
}

TPointF dialNeedleEnd(uint8_t orientation, int32_t width, int32_t height, float position) {
  const float cx = width / 2.0f;
  const float cy = height / 2.0f;
  const float r = std::min(cx, cy) - 2.0f;
  const double a = kTwoPi * position;
  const float x = cx - static_cast<float>(std::cos(a)) * r;
  const float s = static_cast<float>(std::sin(a)) * r;
  return {x, orientation == gtClockWise ? cy + s : cy - s};
}

SUpDownStates upDownStates(const TNumMngr& model, bool enabled, uint8_t pressed, uint8_t hover) {
  auto state = [&](bool atEnd, uint8_t which) -> uint8_t {
    if (atEnd || !enabled) return kBtnDisabled;
    if (pressed == which) return kBtnPressed;
    if (hover == which) return kBtnHot;
    return kBtnNormal;
  };
  return {state(model.atMaximum(), kUdUp), state(model.atMinimum(), kUdDown)};
}

TRect upDownUpRect(int32_t width, int32_t height) { return {0, 0, width, height / 2}; }
TRect upDownDownRect(int32_t width, int32_t height) { return {0, height / 2, width, height}; }

TRect popupLabelRect(int32_t width, int32_t height) { return {2, 2, 2 + (width - height), 2 + (height - 4)}; }
TRect popupButtonRect(int32_t width, int32_t height) {
  const int32_t left = width - height + 2;
  return {left, 2, left + (height - 4), 2 + (height - 4)};
}

TRect popupTrackBounds(uint8_t orientation) {
  switch (orientation) {
    case gtHorizontal:
      return {2, 4, 2 + 109, 4 + 14};
    case gtVertical:
      return {2, 2, 2 + 14, 2 + 109};
    default:
      return {2, 2, 2 + 32, 2 + 32};
  }
}

int32_t verticalPopupLift(float ratio) { return static_cast<int32_t>(std::trunc((1.0f - ratio) * 102.0f + 0.5f)) + 8; }

void reapplyRatio(TNumMngr& model) {
  const float lo = model.wrapAround() ? model.wrapMin() : model.valueMin();
  const float hi = model.wrapAround() ? model.wrapMax() : model.valueMax();
  if (!(hi > lo)) return;
  const float before = model.value();
  // The mapping's own inverse; a value the round trip would move by an ulp
  // stays where it is.
  const float ratio = model.getRatio();
  TNumMngr probe;
  probe.beginLoad();
  probe.setValueMin(model.valueMin());
  probe.setValueMax(model.valueMax());
  probe.setWrapMin(model.wrapMin());
  probe.setWrapMax(model.wrapMax());
  probe.setValueCenter(model.valueCenter());
  probe.endLoad();
  probe.setWrapAround(model.wrapAround());
  probe.UseCenter = model.UseCenter;
  probe.setRatio(ratio);
  if (probe.value() != before) return;
  model.setRatio(ratio);
}

}  // namespace pg
