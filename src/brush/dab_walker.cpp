// The dab-table walker and its nine dab routines. Each routine paints one
// dab onto the surface through the surface's plotter, or a copy of it with
// the kind's own merge.
#include "brush/dab_walker.h"

#include <algorithm>
#include <cmath>

#include "brush/dab_blur.h"
#include "brush/dab_plane.h"
#include "brush/dab_round.h"
#include "brush/dab_span.h"
#include "brush/plot_callbacks.h"
#include "brush/plot_merge.h"
#include "brush/plot_state.h"
#include "brush/segment_walker.h"
#include "brush/stroke_settings.h"
#include "core/aa_draw.h"
#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/det_math.h"

namespace pg {

namespace {

constexpr SStrokeKindRow kKindRows[kStrokeKindCount] = {
    {-1.0f, 8, 2, true},    // pen
    {0.333f, 0, 0, false},  // watercolour
    {1.0f, 0, 0, false},    // blur
    {1.0f, 4, 3, false},    // eraser
    {1.0f, 0, 0, true},     // blur2
    {-1.0f, 0, 0, false},   // airbrush
    {-1.0f, 0, 0, false},   // finger
    {-1.0f, 0, 0, false},   // darken
    {-1.0f, 0, 0, false},   // lighten
};

// A stroke segment longer than this many steps comes from no real input (a
// damaged recording or a wild coordinate); its walk stops there.
constexpr double kMaxWalkSteps = 1 << 20;

// ---- dab routines (size is the dab's radius in pixels) ----

struct SDabContext {
  SDabSurface& s;
  TStroke& stroke;
  const SPlotter& plotter() const { return s.plot.plotter; }
  // The surface's plotter, or with `op` as its merge unless the stroke keeps alpha.
  SPlotter unlessOpaque(PixelOp32 op) const { return stroke.opaque ? plotter() : plotter().withMerge(op); }
};

void penDab(SDabContext& c, float size, float factor, float x, float y) {
  const float opacity = c.stroke.getOpacity() * factor;
  if (size < 3.0f) {
    paintPenDabRows(c.plotter(), c.s.coverage, 255, opacity, size, y, x);
    paintPenDabColumns(c.plotter(), c.s.coverage, 255, opacity, size, y, x);
  } else if (c.stroke.dabCount < 5) {
    fillDiscAA(c.s.coverage, 255, true, x, y, size, opacity, true, planePlot8(c.plotter()));
  } else if (c.s.stepAxis == 0) {
    paintPenDabRows(c.plotter(), c.s.coverage, 255, opacity, size, y, x);
  } else {
    paintPenDabColumns(c.plotter(), c.s.coverage, 255, opacity, size, y, x);
  }
}

void watercolorDab(SDabContext& c, float size, float factor, float x, float y) {
  TStroke& s = c.stroke;
  const float reach = s.SPEED * s.WIDTH * 2.0f;
  const float t = reach > 0.0f ? std::min(s.travel / reach, 1.0f) : 1.0f;
  SWatercolorState& wc = s.watercolor;
  wc.paintColor = wc.pickedColor;
  lerpPixelRgbTab(&wc.paintColor, s.color, static_cast<uint32_t>(t * 255.0f));
  int32_t b = 0, g = 0, r = 0;
  const TMTC& plane = c.s.pixels;
  const auto at = [](float v) { return static_cast<int32_t>(std::clamp(v, -1.0e9f, 1.0e9f)); };
  plane.accumulateRgb(at(x), at(y + size + 1.0f), b, g, r);
  plane.accumulateRgb(at(x), at(y - size + 1.0f), b, g, r);
  plane.accumulateRgb(at(x + size + 1.0f), at(y), b, g, r);
  plane.accumulateRgb(at(x - size + 1.0f), at(y), b, g, r);
  mixWatercolor(s, static_cast<uint32_t>(r >> 2) << 16 | static_cast<uint32_t>(g >> 2) << 8 |
                       static_cast<uint32_t>(b >> 2));
  const float f = s.ifTRANSPARENCY ? kWatercolorDabOpacity * factor : kWatercolorDabOpacity;
  plotDiscAA(c.s.pixels, wc.paintColor, true, x, y, size, s.getOpacity() * f, s.ifEDGE != 0, planePlot32(c.plotter()));
}

void blurDab(SDabContext& c, float size, float, float x, float y) {
  if (c.s.layerImage == nullptr) return;
  const float k = size * c.stroke.EFFECT / 100.0f;
  if (!(k >= 0.0f && k < 1.0e6f)) return;
  // The older walker's blur blends on its own; the plotter plays no part.
  paintStrokeDab(c.s.pixels, *c.s.layerImage, static_cast<int32_t>(k), size, y, x);
}

void eraserDab(SDabContext& c, float size, float factor, float x, float y) {
  const SPlotter plot = c.unlessOpaque(erasePixel);
  plotDiscAA(c.s.pixels, c.s.neutral, true, x, y, size, c.stroke.getOpacity() * factor, c.stroke.ifEDGE != 0,
             planePlot32(plot));
}

void blur2Dab(SDabContext&, float, float, float, float) {}

void airbrushDab(SDabContext& c, float size, float factor, float x, float y) {
  paintRoundDab(c.plotter(), c.s.pixels, c.stroke.color, c.stroke.getOpacity() * factor, size, y, x);
}

void rubpenDab(SDabContext& c, float size, float factor, float x, float y) {
  c.stroke.pickSmudgeHere(c.s.pixels, x, y);
  const CPenTC* sample = c.stroke.getCurrentSample();
  if (sample == nullptr) return;
  paintTileDab(c.unlessOpaque(blendPixelOver), c.s.pixels, c.s.neutral, *sample, c.stroke.getOpacity() * factor,
               size, y, x);
}

void toneDab(SDabContext& c, float size, float factor, float x, float y) {
  paintRoundDab(c.plotter().withLightnessCurve(c.s.plot.toneCurveTable), c.s.pixels, c.stroke.color, c.stroke.getOpacity() * factor, size, y, x);
}

using DabRoutine = void (*)(SDabContext&, float size, float factor, float x, float y);
constexpr DabRoutine kDabRoutines[kStrokeKindCount] = {penDab,      watercolorDab, blurDab, eraserDab, blur2Dab,
                                                       airbrushDab, rubpenDab,     toneDab, toneDab};

float mapPressure(float p, float gamma) { return dmath::pow(p, gamma); }

}  // namespace

const SStrokeKindRow* strokeKindRow(uint32_t kind) { return kind < kStrokeKindCount ? &kKindRows[kind] : nullptr; }

void walkDabSegment(TStroke& stroke, SDabSurface& surface) {
  SDabContext c{surface, stroke};
  TStroke& s = c.stroke;
  s.updateDirty();
  const SStrokeKindRow* row = strokeKindRow(s.kind);
  if (row == nullptr) return;
  const SStrokePoint e = s.getPoint(1), st = s.getPoint(2);
  const float ex = e.x + static_cast<float>(c.s.layerOffset.X), ey = e.y + static_cast<float>(c.s.layerOffset.Y);
  const float sx = st.x + static_cast<float>(c.s.layerOffset.X), sy = st.y + static_cast<float>(c.s.layerOffset.Y);
  const float ep = mapPressure(e.pressure, s.GAMMA), sp = mapPressure(st.pressure, s.GAMMA);
  const float dx = ex - sx, dy = ey - sy, dp = ep - sp;
  const float m = std::max(std::fabs(dx), std::fabs(dy));
  // Not a number anywhere: nothing to walk.
  if (!(m > 0.0f) || !std::isfinite(m) || !std::isfinite(sx + sy + sp + dp)) return;
  float stepX = dx, stepY = dy, stepP = dp;
  if (m < 1.0f) {
    c.s.stepAxis = std::fabs(dx) >= std::fabs(dy) ? 1 : 0;
  } else if (std::fabs(dx) < std::fabs(dy)) {
    const float d = std::fabs(dy);
    stepX = dx / d, stepY = dy / d, stepP = dp / d;
    c.s.stepAxis = 0;
  } else {
    const float d = std::fabs(dx);
    stepX = dx / d, stepY = dy / d, stepP = dp / d;
    c.s.stepAxis = 1;
  }
  float px = sx + 0.5f, py = sy + 0.5f, pressure = sp;
  double steps = std::ceil(static_cast<double>(m));
  const float travelPerUnit = dmath::hypot(dx, dy) / m * 4.0f;

  const float size = s.WIDTH;
  float minSize = size, range = 0.0f, size0 = size, size1 = size;
  if (s.ifSIZE) {
    const float ratio =
        (s.creationCode < 1 && row->minSizeRatio > 0.0f) ? row->minSizeRatio : s.MIN / 100.0f;
    minSize = size * ratio;
    range = size - minSize;
    size0 = range * sp + minSize;
    size1 = range * ep + minSize;
  }
  int64_t interval = static_cast<int64_t>(std::ceil(s.getSpacing() * size));
  const float smallest = std::min(size0, size1);
  if (smallest < static_cast<float>(row->singleStepBelow)) interval = 1;
  interval = std::max<int64_t>(interval, 1);
  if (smallest < static_cast<float>(row->halfStepBelow)) {
    stepX *= 0.5f, stepY *= 0.5f, stepP *= 0.5f;
    steps *= 2.0;
  }
  if (steps < 1.0) return;
  steps = std::min(steps, kMaxWalkSteps);
  const DabRoutine dab = kDabRoutines[s.kind];
  for (int64_t i = 0; i < static_cast<int64_t>(steps); ++i) {
    const float factor = s.ifTRANSPARENCY ? pressure : 1.0f;
    const float dabSize = range * pressure + minSize;
    if (s.stepCount % static_cast<uint64_t>(interval) == 0) {
      dab(c, dabSize, factor, px, py);
      ++s.dabCount;
    }
    px += stepX, py += stepY;
    pressure = std::clamp(pressure + stepP, 0.0f, 1.0f);
    s.incDabCount();
    s.addTravel(travelPerUnit * pressure);
  }
}

}  // namespace pg
