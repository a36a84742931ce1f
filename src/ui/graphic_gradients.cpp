// Two-colour, four-corner and HSV / HSL gradients of TMemoryGraphic. Every
// ramp spans the clipped box, not the rectangle passed in.
#include <new>
#include <vector>

#include "ui/graphic_pixel.h"
#include "ui/memory_graphic.h"

namespace pg {

namespace {

bool alongColumns(uint8_t direction) { return direction == kGradRight || direction == kGradLeft; }
bool reversed(uint8_t direction) { return direction == kGradUp || direction == kGradLeft; }

// i / (n - 1), exact at both ends; 0 for a ramp of one pixel.
float rampT(int32_t i, int32_t n) { return n > 1 ? static_cast<float>(i) / static_cast<float>(n - 1) : 0.0f; }

}  // namespace

bool TMemoryGraphic::gradientLinear(const TRect& r, TUiColor c1, TUiColor c2, uint8_t direction, TChannelOp colourOp,
                                    TChannelOp alphaOp) {
  SRectXYWH b;
  if (!clipRect(r, b)) return false;
  const TUiColor from = reversed(direction) ? c2 : c1;
  const TUiColor to = reversed(direction) ? c1 : c2;
  if (alongColumns(direction)) {
    std::vector<TUiColor> columns;
    try {
      columns.resize(static_cast<size_t>(b.Width));
    } catch (const std::bad_alloc&) {
      return false;
    }
    for (int32_t i = 0; i < b.Width; ++i) columns[static_cast<size_t>(i)] = lerpColor(from, to, rampT(i, b.Width));
    for (int32_t row = 0; row < b.Height; ++row) {
      uint32_t* p = pixelAddr(b.X, b.Y + row);
      for (int32_t i = 0; i < b.Width; ++i) paintSolid(p + i, columns[static_cast<size_t>(i)], colourOp, alphaOp);
    }
    return true;
  }
  for (int32_t row = 0; row < b.Height; ++row) {
    const TUiColor c = lerpColor(from, to, rampT(row, b.Height));
    uint32_t* p = pixelAddr(b.X, b.Y + row);
    for (int32_t i = 0; i < b.Width; ++i) paintSolid(p + i, c, colourOp, alphaOp);
  }
  return true;
}

bool TMemoryGraphic::gradientCorners(const TRect& r, TUiColor topLeft, TUiColor topRight, TUiColor bottomRight,
                                     TUiColor bottomLeft, TChannelOp colourOp, TChannelOp alphaOp) {
  SRectXYWH b;
  if (!clipRect(r, b)) return false;
  for (int32_t row = 0; row < b.Height; ++row) {
    const float u = rampT(row, b.Height);
    const TUiColor left = lerpColor(topLeft, bottomLeft, u);
    const TUiColor right = lerpColor(topRight, bottomRight, u);
    uint32_t* p = pixelAddr(b.X, b.Y + row);
    for (int32_t col = 0; col < b.Width; ++col)
      paintSolid(p + col, lerpColor(left, right, rampT(col, b.Width)), colourOp, alphaOp);
  }
  return true;
}

namespace {

// What an HSV / HSL painter varies: each of hue, saturation and value (or
// lightness) is either fixed or a ramp along one axis of the clipped box.
enum Quantity : uint8_t { kHue, kSat, kVal };

struct Ramp {
  bool varies = false;
  uint8_t direction = kGradDown;
  float fixed = 0.0f;  // the value when fixed; the start hue of a hue ramp
};

struct HsvArea {
  Ramp q[3];
  float alpha = 1.0f;
  bool hsv = true;
};

constexpr double kTwoPi = 6.283185307179586;

float rampValue(Quantity which, const Ramp& ramp, int32_t col, int32_t row, int32_t w, int32_t h) {
  if (!ramp.varies) return ramp.fixed;
  const bool columns = alongColumns(ramp.direction);
  const int32_t i = columns ? col : row;
  const int32_t n = columns ? w : h;
  if (which == kHue) {
    // One full turn over the ramp; the start hue sits at position 0 either way.
    const auto step = static_cast<float>(static_cast<double>(i) * kTwoPi / static_cast<double>(n));
    return reversed(ramp.direction) ? ramp.fixed - step : ramp.fixed + step;
  }
  const float t = rampT(i, n);
  return reversed(ramp.direction) ? (n > 1 ? 1.0f - t : 1.0f) : t;
}

bool paintHsvArea(TMemoryGraphic& g, const TRect& r, const HsvArea& area, TChannelOp colourOp, TChannelOp alphaOp) {
  SRectXYWH b;
  if (!g.clipRect(r, b)) return false;
  // An alpha outside 0..1 would make the colour operator overshoot and wrap
  // the bytes: it counts as its nearest end.
  const float alpha = clampFloat(area.alpha, 0.0f, 1.0f);
  const auto alphaByte = static_cast<uint8_t>(saturateToInt32(static_cast<double>(alpha) * 255.0 + 0.5));
  for (int32_t row = 0; row < b.Height; ++row) {
    uint32_t* p = g.pixelAddr(b.X, b.Y + row);
    for (int32_t col = 0; col < b.Width; ++col) {
      const float h = rampValue(kHue, area.q[kHue], col, row, b.Width, b.Height);
      const float s = rampValue(kSat, area.q[kSat], col, row, b.Width, b.Height);
      const float v = rampValue(kVal, area.q[kVal], col, row, b.Width, b.Height);
      const SRgbTriple rgb = area.hsv ? uiHsvToRgb(h, s, v) : uiHslToRgb(h, s, v);
      applyOps(p + col, uiColorOf(rgb, alphaByte), colourOp, alphaOp, alpha, 1.0f);
    }
  }
  return true;
}

Ramp fixedAt(float v) { return {false, kGradDown, v}; }
Ramp along(uint8_t direction, float start = 0.0f) { return {true, direction, start}; }

}  // namespace

bool TMemoryGraphic::gradientHue(const TRect& r, uint8_t direction, float startHue, float sat, float valueOrLight,
                                 float alpha, TChannelOp colourOp, TChannelOp alphaOp, bool hsv) {
  return paintHsvArea(*this, r, {{along(direction, startHue), fixedAt(sat), fixedAt(valueOrLight)}, alpha, hsv},
                      colourOp, alphaOp);
}

bool TMemoryGraphic::gradientSaturation(const TRect& r, uint8_t direction, float hue, float valueOrLight,
                                        float alpha, TChannelOp colourOp, TChannelOp alphaOp, bool hsv) {
  return paintHsvArea(*this, r, {{fixedAt(hue), along(direction), fixedAt(valueOrLight)}, alpha, hsv}, colourOp,
                      alphaOp);
}

bool TMemoryGraphic::gradientValue(const TRect& r, uint8_t direction, float hue, float sat, float alpha,
                                   TChannelOp colourOp, TChannelOp alphaOp, bool hsv) {
  return paintHsvArea(*this, r, {{fixedAt(hue), fixedAt(sat), along(direction)}, alpha, hsv}, colourOp, alphaOp);
}

bool TMemoryGraphic::gradientHueValue(const TRect& r, uint8_t hueDirection, float startHue, float sat, float alpha,
                                      uint8_t valueDirection, TChannelOp colourOp, TChannelOp alphaOp, bool hsv) {
  return paintHsvArea(*this, r, {{along(hueDirection, startHue), fixedAt(sat), along(valueDirection)}, alpha, hsv},
                      colourOp, alphaOp);
}

bool TMemoryGraphic::gradientHueSaturation(const TRect& r, uint8_t hueDirection, float startHue, float valueOrLight,
                                           float alpha, uint8_t satDirection, TChannelOp colourOp, TChannelOp alphaOp,
                                           bool hsv) {
  return paintHsvArea(*this, r,
                      {{along(hueDirection, startHue), along(satDirection), fixedAt(valueOrLight)}, alpha, hsv},
                      colourOp, alphaOp);
}

bool TMemoryGraphic::gradientSaturationValue(const TRect& r, uint8_t satDirection, float hue, float alpha,
                                             uint8_t valueDirection, TChannelOp colourOp, TChannelOp alphaOp,
                                             bool hsv) {
  return paintHsvArea(*this, r, {{fixedAt(hue), along(satDirection), along(valueDirection)}, alpha, hsv}, colourOp,
                      alphaOp);
}

}  // namespace pg
