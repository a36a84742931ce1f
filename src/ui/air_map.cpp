#include "ui/air_map.h"

#include <algorithm>
#include <cmath>

#include "brush/shape_values.h"
#include "core/planes.h"

namespace pg {

SAirMapPopupLayout airMapPopupLayout(uint8_t mode) {
  SAirMapPopupLayout l;
  if (mode == kAirMapFull) {
    l.width = 182;
    l.height = 130;
    l.count = 6;
    l.types = {6, 1, 5, 0, 4, 3};
    l.full = true;
    l.pad = {2, 32, 100, 128};
    l.glyphA = {131, 36, 147, 52};
    l.glyphB = {131, 54, 147, 70};
    l.fieldA = {151, 36, 179, 52};
    l.fieldB = {151, 54, 179, 70};
  } else {
    l.width = 152;
    l.height = 32;
    l.count = 5;
    l.types = {6, 5, 0, 3, 2, 0};
  }
  for (int32_t i = 0; i < l.count; ++i) l.buttons[static_cast<size_t>(i)] = {2 + 30 * i, 2, 30 + 30 * i, 30};
  return l;
}

SAirMapValues airMapPadValuesAt(int32_t width, int32_t height, int32_t x, int32_t y) {
  // A pad of 12 pixels or less has no room between its margins.
  const float w = static_cast<float>(std::max(width - 12, 1));
  const float h = static_cast<float>(std::max(height - 12, 1));
  SAirMapValues v;
  v.a = std::clamp(2.0f * static_cast<float>(x - 4) / w - 1.0f, 0.0f, 1.0f);
  v.b = std::clamp(1.0f - static_cast<float>(y - 4) / h, 0.0f, 1.0f);
  return v;
}

TPoint airMapPadCross(int32_t width, int32_t height, float a, float b) {
  const float iw = static_cast<float>(std::max(width - 14, 0));
  const float ih = static_cast<float>(std::max(height - 14, 0));
  return {7 + static_cast<int32_t>(std::nearbyint(iw * (a * 0.5f + 0.5f) + 0.5f)),
          7 + static_cast<int32_t>(std::nearbyint((1.0f - b) * ih + 0.5f))};
}

bool paintFalloffCurve(TMemoryGraphic& g, const TRect& r, uint32_t type, TUiColor colour, float a, float b) {
  if (!g.isValid()) return false;
  TMTC plane(g.width(), g.height());
  if (!plane.IsAllocated()) return false;
  if (!copyGraphicToPlane(g, plane)) return false;
  if (!drawFalloffCurve(plane, r, type, colour & 0x00FFFFFFu, a, b)) return false;
  return copyPlaneToGraphic(plane, g);
}

}  // namespace pg
