#include "brush/segment_walker.h"

#include <algorithm>
#include <cmath>

#include "brush/dab_blur.h"
#include "core/aa_draw.h"
#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/det_math.h"

namespace pg {

namespace {

// trunc(v) + 1 as the interval of a size, at least 1; saturating.
int64_t intervalOf(float v) {
  if (!(v > 0.0f)) return 1;
  if (v >= 1e15f) return static_cast<int64_t>(1e15);
  return static_cast<int64_t>(v) + 1;
}

// A float coordinate as an int32 pixel index (trunc), saturating.
int32_t truncPixel(float v) {
  if (!(v == v)) return 0;
  const double t = std::trunc(static_cast<double>(v));
  return static_cast<int32_t>(std::clamp(t, -2147483648.0, 2147483647.0));
}

// trunc(v) as a byte, v limited to 0..255.
uint32_t byteOf(float v) { return v > 0.0f ? (v >= 255.0f ? 255u : static_cast<uint32_t>(v)) : 0u; }

bool finite(const SStrokePoint& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.pressure); }

}  // namespace

int64_t segmentDabInterval(const TStroke& stroke, float p0, float p1) {
  switch (stroke.kind) {
    case skPen:
      return std::min(intervalOf(stroke.pressureWidth(p0) / 8.0f), intervalOf(stroke.pressureWidth(p1) / 8.0f));
    case skWatercolor:
      return intervalOf(stroke.WIDTH / 12.0f);
    case skBlur:
    case skBlur2:
      return intervalOf(stroke.WIDTH / 4.0f);
    case skEraser:
      return std::min(intervalOf(stroke.pressureWidth(p0) / 4.0f), intervalOf(stroke.pressureWidth(p1) / 4.0f));
    default:
      return 1;
  }
}

void mixWatercolor(TStroke& stroke, uint32_t canvas) {
  SWatercolorState& wc = stroke.watercolor;
  // The pick-up fades out along the travel: the paint starts from the start
  // colour and moves toward the stroke colour.
  const float span = stroke.SPEED * stroke.WIDTH * 2.0f;
  float m = span != 0.0f ? stroke.travel / span : 1.0f;
  m = m > 0.0f ? std::min(m, 1.0f) : 0.0f;
  wc.paintColor = wc.startColor;
  lerpPixelRgbTab(&wc.paintColor, stroke.color, byteOf(m * 255.0f));
  // The carried colour (red, green, blue) follows the canvas by at most ENV/10 a dab.
  const float step = std::max(stroke.ENV / 10.0f, 0.0f);
  const float sample[3] = {static_cast<float>(pixelByte(canvas, 2)), static_cast<float>(pixelByte(canvas, 1)),
                           static_cast<float>(pixelByte(canvas, 0))};
  for (int i = 0; i < 3; ++i) {
    float& c = wc.carried[i];
    const float diff = sample[i] - c;
    if (std::fabs(diff) >= step)
      c += diff > 0.0f ? step : -step;
    else
      c = sample[i];
  }
  const uint32_t carried = byteOf(wc.carried[0]) << 16 | byteOf(wc.carried[1]) << 8 | byteOf(wc.carried[2]);
  lerpPixelRgbTab(&wc.paintColor, carried, byteOf(stroke.ENV * 255.0f / 100.0f));
}

void drawSegment(TStroke& stroke, TChannel& coverage, TMTC& colour, const SStrokePoint& start,
                 const SStrokePoint& end, const SSegmentLayer& layer) {
  if (!finite(start) || !finite(end)) return;
  stroke.updateDirty();
  const uint32_t neutral = layerBlendNeutral(layer.blendMode);
  const int64_t interval = segmentDabInterval(stroke, start.pressure, end.pressure);

  const float dx = end.x - start.x, dy = end.y - start.y;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  const float D = std::fabs(xMajor ? dx : dy);
  const float d = xMajor ? dy : dx;
  float major = xMajor ? start.x : start.y;
  float minor = xMajor ? start.y : start.x;
  float pressure = start.pressure;
  const double wholeSteps = std::trunc(static_cast<double>(D));
  int64_t steps = static_cast<int64_t>(std::min(wholeSteps, static_cast<double>(kMaxSegmentSteps))) + 1;
  float unit = (xMajor ? dx : dy) < 0.0f ? -1.0f : 1.0f;
  float minorStep = D != 0.0f ? d / D : 0.0f;
  float pressureStep = D != 0.0f ? (end.pressure - start.pressure) / D : 0.0f;
  const float travelStep = static_cast<float>(dmath::hypot(double(dx), double(dy)) / (wholeSteps + 1.0)) * 4.0f;

  const bool usesSize = stroke.ifSIZE != 0;
  const bool half = (stroke.kind == skPen && !usesSize && stroke.WIDTH < 2.0f) ||
                    (stroke.kind == skPen && usesSize &&
                     (stroke.pressureWidth(start.pressure) < 2.0f || stroke.pressureWidth(end.pressure) < 2.0f)) ||
                    (stroke.kind == skEraser && stroke.WIDTH < 3.0f);
  if (half) {
    steps *= 2;
    unit *= 0.5f;
    minorStep *= 0.5f;
    pressureStep *= 0.5f;
  }

  for (int64_t i = 0; i < steps; ++i) {
    if (static_cast<int64_t>(stroke.stepCount % static_cast<uint64_t>(interval)) == 0) {
      const float p = std::clamp(pressure, 0.0f, 1.0f);
      const float cMajor = major + 0.5f, cMinor = minor + 0.5f;
      const float cx = xMajor ? cMajor : cMinor, cy = xMajor ? cMinor : cMajor;
      switch (stroke.kind) {
        case skPen: {
          const float opacity = stroke.ifTRANSPARENCY ? p : 1.0f;
          const float w = stroke.pressureWidth(p);
          if (w > 1.0f) fillDiscSoftAA(coverage, 255, true, cx, cy, w, opacity, false);
          if (w < 8.0f) {
            // Across the stroke at the dab's pixel on the major axis.
            const int32_t at = truncPixel(std::floor(cMajor));
            if (xMajor)
              spanAAV(coverage, at, 255, cMinor - w, cMinor + w, opacity, true);
            else
              spanAAH(coverage, at, 255, cMinor - w, cMinor + w, opacity, true);
          }
          break;
        }
        case skWatercolor: {
          const float w = usesSize ? stroke.WIDTH / 3.0f * 2.0f * p + stroke.WIDTH / 3.0f : stroke.WIDTH;
          const float opacity = stroke.ifTRANSPARENCY ? kWatercolorDabOpacity * p : kWatercolorDabOpacity;
          int32_t b = 0, g = 0, r = 0;
          const float reach = w + 1.0f;
          colour.accumulateRgb(truncPixel(cx - reach), truncPixel(cy), b, g, r);
          colour.accumulateRgb(truncPixel(cx + reach), truncPixel(cy), b, g, r);
          colour.accumulateRgb(truncPixel(cx), truncPixel(cy - reach), b, g, r);
          colour.accumulateRgb(truncPixel(cx), truncPixel(cy + reach), b, g, r);
          mixWatercolor(stroke, static_cast<uint32_t>(r >> 2) << 16 | static_cast<uint32_t>(g >> 2) << 8 |
                                    static_cast<uint32_t>(b >> 2));
          fillDiscAA(colour, stroke.watercolor.paintColor, true, cx, cy, w, opacity, stroke.ifEDGE != 0);
          break;
        }
        case skBlur:
          if (layer.image != nullptr)
            paintStrokeDab(colour, *layer.image, truncPixel(stroke.WIDTH * stroke.EFFECT / 100.0f), stroke.WIDTH,
                           cy, cx);
          break;
        case skEraser:
          fillDiscAA(colour, neutral, true, cx, cy, stroke.WIDTH, stroke.ifTRANSPARENCY ? p : 1.0f,
                     stroke.ifEDGE != 0);
          break;
        case skBlur2:
          fillDiscSoftAA(coverage, byteOf(32.0f * p), true, cx, cy, stroke.WIDTH, 1.0f, true);
          break;
        default:
          break;  // counted, not drawn
      }
    }
    minor += minorStep;
    pressure += pressureStep;
    major += unit;
    stroke.incDabCount();
    stroke.addTravel(travelStep * pressure);
  }
}

}  // namespace pg
