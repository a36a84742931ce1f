// The document's freehand strokes: begin, points and end into the flow
// image, the dab-table walker and its dab routines, and the older-format
// walker. Each stroke takes one undo record of its rectangle, taken from the
// layer's tiles (which still hold the state before the stroke) just before
// the flow image is merged back into them.
#include "document/paper_stroke.h"

#include <algorithm>
#include <cmath>
#include <optional>

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
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/det_math.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/paper.h"
#include "document/paper_edit.h"
#include "document/paper_stroke_util.h"
#include "document/undo_kinds.h"

namespace pg {

using namespace stroke_detail;

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

// ---- recording ----

// Sets the working channel to 0 over a rectangle (clipped to it).
void clearCoverage(TChannel& coverage, const SRectXYWH& r) {
  const int32_t x0 = std::max(r.X, 0), x1 = std::min(r.X + r.Width, coverage.Width);
  const int32_t y0 = std::max(r.Y, 0), y1 = std::min(r.Y + r.Height, coverage.Height);
  if (coverage.Bits == nullptr || x1 <= x0) return;
  for (int32_t y = y0; y < y1; ++y) std::fill_n(coverage.pixelAt(x0, y), x1 - x0, uint8_t{0});
}

// ---- dab routines (size is the dab's radius in pixels) ----

struct SDabContext {
  TPaper& doc;
  TFlowImage& flow;
  TStroke& stroke;
  CLayerData& layer;
};

void penDab(SDabContext& c, float size, float factor, float x, float y) {
  const float opacity = c.stroke.getOpacity() * factor;
  if (size < 3.0f) {
    paintPenDabRows(c.flow.coverage, 255, opacity, size, y, x);
    paintPenDabColumns(c.flow.coverage, 255, opacity, size, y, x);
  } else if (c.stroke.dabCount < 5) {
    fillDiscAA(c.flow.coverage, 255, true, x, y, size, opacity, true);
  } else if (c.doc.stepAxis == 0) {
    paintPenDabRows(c.flow.coverage, 255, opacity, size, y, x);
  } else {
    paintPenDabColumns(c.flow.coverage, 255, opacity, size, y, x);
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
  const TMTC& plane = c.flow.pixels;
  const auto at = [](float v) { return static_cast<int32_t>(std::clamp(v, -1.0e9f, 1.0e9f)); };
  plane.accumulateRgb(at(x), at(y + size + 1.0f), b, g, r);
  plane.accumulateRgb(at(x), at(y - size + 1.0f), b, g, r);
  plane.accumulateRgb(at(x + size + 1.0f), at(y), b, g, r);
  plane.accumulateRgb(at(x - size + 1.0f), at(y), b, g, r);
  mixWatercolor(s, static_cast<uint32_t>(r >> 2) << 16 | static_cast<uint32_t>(g >> 2) << 8 |
                       static_cast<uint32_t>(b >> 2));
  const float f = s.ifTRANSPARENCY ? 0.35f * factor : 0.35f;
  plotDiscAA(c.flow.pixels, wc.paintColor, true, x, y, size, s.getOpacity() * f, s.ifEDGE != 0);
}

void blurDab(SDabContext& c, float size, float, float x, float y) {
  if (!c.layer.image) return;
  const float k = size * c.stroke.EFFECT / 100.0f;
  if (!(k >= 0.0f && k < 1.0e6f)) return;
  std::optional<CPixelBlendOpSwap> over;
  if (!c.stroke.opaque) over.emplace(blendPixelOver);
  paintStrokeDab(c.flow.pixels, *c.layer.image, static_cast<int32_t>(k), size, y, x);
}

void eraserDab(SDabContext& c, float size, float factor, float x, float y) {
  std::optional<CPixelBlendOpSwap> erase;
  if (!c.stroke.opaque) erase.emplace(erasePixel);
  plotDiscAA(c.flow.pixels, layerBlendNeutral(c.layer.blendMode), true, x, y, size,
             c.stroke.getOpacity() * factor, c.stroke.ifEDGE != 0);
}

void blur2Dab(SDabContext&, float, float, float, float) {}

void airbrushDab(SDabContext& c, float size, float factor, float x, float y) {
  paintRoundDab(c.flow.pixels, c.stroke.color, c.stroke.getOpacity() * factor, size, y, x);
}

void rubpenDab(SDabContext& c, float size, float factor, float x, float y) {
  c.stroke.pickSmudgeHere(c.flow.pixels, x, y);
  const CPenTC* sample = c.stroke.getCurrentSample();
  if (sample == nullptr) return;
  std::optional<CPixelBlendOpSwap> over;
  if (!c.stroke.opaque) over.emplace(blendPixelOver);
  paintTileDab(c.flow.pixels, layerBlendNeutral(c.layer.blendMode), *sample, c.stroke.getOpacity() * factor, size, y,
               x);
}

void toneDab(SDabContext& c, float size, float factor, float x, float y) {
  CPixelBlendOpSwap falloff(blendPixelFalloff);
  paintRoundDab(c.flow.pixels, c.stroke.color, c.stroke.getOpacity() * factor, size, y, x);
}

using DabRoutine = void (*)(SDabContext&, float size, float factor, float x, float y);
constexpr DabRoutine kDabRoutines[kStrokeKindCount] = {penDab,      watercolorDab, blurDab, eraserDab, blur2Dab,
                                                       airbrushDab, rubpenDab,     toneDab, toneDab};

float mapPressure(float p, float gamma) { return dmath::pow(p, gamma); }

// One segment of the dab-table walker: from stored point 2 to point 1.
void dabTableSegment(SDabContext& c) {
  TStroke& s = c.stroke;
  s.updateDirty();
  const SStrokeKindRow* row = strokeKindRow(s.kind);
  if (row == nullptr) return;
  const SStrokePoint e = s.getPoint(1), st = s.getPoint(2);
  const float ex = e.x + static_cast<float>(c.layer.offsetX), ey = e.y + static_cast<float>(c.layer.offsetY);
  const float sx = st.x + static_cast<float>(c.layer.offsetX), sy = st.y + static_cast<float>(c.layer.offsetY);
  const float ep = mapPressure(e.pressure, s.GAMMA), sp = mapPressure(st.pressure, s.GAMMA);
  const float dx = ex - sx, dy = ey - sy, dp = ep - sp;
  const float m = std::max(std::fabs(dx), std::fabs(dy));
  // Not a number anywhere: nothing to walk.
  if (!(m > 0.0f) || !std::isfinite(m) || !std::isfinite(sx + sy + sp + dp)) return;
  float stepX = dx, stepY = dy, stepP = dp;
  if (m < 1.0f) {
    c.doc.stepAxis = std::fabs(dx) >= std::fabs(dy) ? 1 : 0;
  } else if (std::fabs(dx) < std::fabs(dy)) {
    const float d = std::fabs(dy);
    stepX = dx / d, stepY = dy / d, stepP = dp / d;
    c.doc.stepAxis = 0;
  } else {
    const float d = std::fabs(dx);
    stepX = dx / d, stepY = dy / d, stepP = dp / d;
    c.doc.stepAxis = 1;
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

// The older-format walker: stored points 2 to 1 through the stroke's own
// segment walker, in layer coordinates.
void olderFormatSegment(SDabContext& c) {
  TStroke& s = c.stroke;
  s.updateDirty();
  SStrokePoint a = s.getPoint(1), b = s.getPoint(2);
  for (SStrokePoint* p : {&a, &b}) {
    p->x += static_cast<float>(c.layer.offsetX);
    p->y += static_cast<float>(c.layer.offsetY);
    if (s.GAMMA != 0.0f) p->pressure = std::clamp(dmath::pow(p->pressure, s.GAMMA), 0.0f, 1.0f);
  }
  SSegmentLayer layer;
  layer.blendMode = c.layer.blendMode;
  layer.image = c.layer.image.get();
  drawSegment(s, c.flow.coverage, c.flow.pixels, b, a, layer);
}

}  // namespace

namespace stroke_detail {

bool finishStroke(TPaper& doc, TFlowImage& flow, int32_t layerIndex, CLayerData& layer, const SRectXYWH& rect,
                  bool record) {
  CDocEdit edit(doc, record);
  // A stroke that reached its end is always carried out. Its event is
  // committed here, so that a stroke that cannot be stored takes it back; an
  // end the event store drops leaves the history out of step (cleared below).
  (void)edit.gate(true);
  const bool eventWritten = edit.event([](IDocRecorder& r) { return recordEnd(&r); });
  if (rect.Width <= 0 || rect.Height <= 0) {
    // A stroke wholly outside its layer changes no pixel, yet its event is in
    // the recording: it takes an undo step that gives back what it found (a
    // corner of the layer, unchanged), so that one undo takes back the same
    // stroke in the document and in the recording.
    edit.undoBefore([&](TPaper& d) { return d.storeRectUndo(layerIndex, SRectXYWH{0, 0, 1, 1}, kUndoStroke); });
  } else {
    // Every tile the stroke covers is committed before anything is written,
    // so that running short of memory leaves the layer whole.
    if (!layer.image->commitRect(rect)) {
      (void)doc.resetFlowImage(flow, layerIndex, false);  // a flow that fails stays invalid and reloads
      if (record && !eventWritten) doc.clearUndo();
      return false;
    }
    edit.undoBefore([&](TPaper& d) { return d.storeRectUndo(layerIndex, rect, kUndoStroke); });
    (void)layer.image->copyFromPlaneRect(flow.pixels, TPoint{rect.X, rect.Y}, 255, rect);  // committed above
  }
  edit.changed();
  if (record && !eventWritten) doc.clearUndo();
  return true;
}

void coverageToColor(TFlowImage& flow, const CLayerData& layer, const SRectXYWH& rect, uint32_t colour,
                     uint32_t opacity255, const CGradation* gradient) {
  layer.image->copyToPlaneRect(flow.pixels, TPoint{rect.X, rect.Y}, false, 255, rect);
  if (gradient != nullptr)
    plotGradientMask(flow.pixels, flow.coverage, *gradient, opacity255, rect, TPoint{rect.X, rect.Y},
                     plotState().pixelBlendOp);
  else
    plotMask(flow.pixels, flow.coverage, TPoint{rect.X, rect.Y}, opacity255, colour, rect);
}

}  // namespace stroke_detail

const SStrokeKindRow* strokeKindRow(uint32_t kind) { return kind < kStrokeKindCount ? &kKindRows[kind] : nullptr; }

// ---- the stroke calls ----

namespace {

CLayerData* strokeLayer(TPaper& doc, const TStroke& stroke) {
  CLayerData* layer = doc.layers() ? doc.layers()->getLayer(stroke.layerIndex) : nullptr;
  return layer != nullptr && layer->image ? layer : nullptr;
}

bool usesWorkChannel(const TPaper& doc, const TStroke& stroke) {
  // In mode 2 the engine's renderer keeps its own working channel.
  if (doc.strokeEngineMode >= 2) return false;
  const SStrokeKindRow* row = strokeKindRow(stroke.kind);
  return row != nullptr && row->usesWorkChannel;
}

// Turns the working channel's coverage into colour over a rectangle (layer
// coordinates) and reports the rectangle (document coordinates) to the
// window when asked.
void repaintStrokeRect(TPaper& doc, TFlowImage& flow, TStroke& stroke, CLayerData& layer, const SRectXYWH& docRect,
                       bool paintWindow) {
  const SRectXYWH r = layerRectOf(docRect, layer);
  if (r.Width > 0 && usesWorkChannel(doc, stroke)) {
    if (stroke.kind == skPen) {
      coverageToColor(flow, layer, r, stroke.color, stroke.getOpacity255(),
                      stroke.useGradation ? &doc.gradation : nullptr);
    } else if (stroke.kind == skBlur2) {
      blurByWeight(flow.pixels, *layer.image, flow.coverage, nullptr, r);
    }
  }
  // Only what lies on the document is shown again.
  const SRectXYWH shown = clipShifted(docRect, 0, 0, doc.width, doc.height);
  if (paintWindow && doc.ownerWindow() != nullptr && shown.Width > 0)
    doc.ownerWindow()->repaintDocRect(xywhToRect(shown));
}

}  // namespace

bool TPaper::beginStroke(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure) {
  return beginStrokeWith(flow, stroke, record, x, y, pressure, true);
}

bool TPaper::beginStrokeEx(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure) {
  return beginStrokeWith(flow, stroke, record, x, y, pressure, false);
}

bool TPaper::beginStrokeWith(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure,
                             bool fromFlow) {
  CLayerData* layer = strokeLayer(*this, stroke);
  // A stroke needs a layer with an image to paint on; without one nothing is
  // recorded and nothing opens.
  if (layer == nullptr) return false;
  // A flow that cannot hold the layer (memory) would paint over stale pixels.
  loadFlowImage(flow, stroke.layerIndex, false);
  if (!flow.holds(stroke.layerIndex)) {
    showOutOfMemoryMessage();
    return false;
  }
  // A stroke that paints with the gradient paints with the one in use now
  // (the one the recording names), not the one the document last took.
  if (stroke.useGradation) takeGradientStops(currentGradient());
  if (record && !recordBegin(events(), x, y, pressure)) {
    // The event store dropped the stroke: it paints, but the history no
    // longer matches the recording.
    clearUndo();
  }
  if (fromFlow) {
    stroke.beginStrokeFlow(layerBlendNeutral(layer->blendMode), flow.pixels, TPoint{layer->offsetX, layer->offsetY},
                           x, y);
  } else {
    stroke.beginStroke(layerBlendNeutral(layer->blendMode), flow.pixels, x, y);
  }
  setPlotDocument(this);
  updatePlotCallbacks(stroke, this);
  strokeOpen = true;
  strokePointCount = 0;
  return true;
}

bool TPaper::continueStroke(TFlowImage& flow, TStroke& stroke, bool record, bool paintWindow, float x, float y,
                            float pressure) {
  CLayerData* layer = strokeLayer(*this, stroke);
  if (!strokeOpen || layer == nullptr) return false;
  // A point the event store drops leaves the history out of step with the
  // recording, as a dropped stroke start does.
  if (record && !recordPoint(events(), x, y, pressure)) clearUndo();
  ++strokePointCount;
  stroke.addPoint(x, y, pressure);
  SDabContext c{*this, flow, stroke, *layer};
  switch (strokeSink_) {
    case TStrokeSink::Segment:
      olderFormatSegment(c);
      break;
    case TStrokeSink::PenRender:
      // Mode 2 strokes go through the engine calls (paper_stroke_engine.cpp);
      // a point that arrives here all the same is walked by the dab table.
    case TStrokeSink::DabTable:
      dabTableSegment(c);
      break;
  }
  SRectXYWH dirty{};
  stroke.getDirtyRect(dirty);
  repaintStrokeRect(*this, flow, stroke, *layer, dirty, paintWindow);
  return true;
}

bool TPaper::drawStrokeSegment(TFlowImage& flow, TStroke& stroke, float x0, float y0, float x1, float y1) {
  CLayerData* layer = strokeLayer(*this, stroke);
  if (!strokeOpen || layer == nullptr) return false;
  // Both ends at full pressure: the walker runs from point 2 to point 1.
  stroke.setSegment(x1, y1, 1.0f, x0, y0, 1.0f);
  SDabContext c{*this, flow, stroke, *layer};
  if (strokeSink_ == TStrokeSink::Segment)
    olderFormatSegment(c);
  else
    dabTableSegment(c);
  SRectXYWH dirty{};
  stroke.getDirtyRect(dirty);
  repaintStrokeRect(*this, flow, stroke, *layer, dirty, false);
  return true;
}

bool TPaper::endStroke(TFlowImage& flow, TStroke& stroke, bool record, SRectXYWH& strokeRect, bool) {
  strokeRect = SRectXYWH{0, 0, 0, 0};
  CLayerData* layer = strokeLayer(*this, stroke);
  if (!strokeOpen || layer == nullptr) {
    strokeOpen = false;
    return false;
  }
  stroke.getTotalRect(strokeRect);
  const SRectXYWH r = layerRectOf(strokeRect, *layer);
  const bool merged = finishStroke(*this, flow, stroke.layerIndex, *layer, r, record);
  if (r.Width > 0 && usesWorkChannel(*this, stroke)) clearCoverage(flow.coverage, r);
  strokeOpen = false;
  if (!merged) {
    repaintRect(stroke.layerIndex, xywhToRect(strokeRect));
    showOutOfMemoryMessage();
    return false;
  }
  (void)layer->updateThumbnailRect(r);  // a thumbnail that fails stays stale
  markModified(true);
  return true;
}

}  // namespace pg
