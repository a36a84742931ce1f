// The document's freehand strokes: begin, points and end into the flow
// image through the dab-table walker (brush/dab_walker.h) or the
// older-format walker. Each stroke takes one undo record of its rectangle, taken from the
// layer's tiles (which still hold the state before the stroke) just before
// the flow image is merged back into them.
#include "document/paper_stroke.h"

#include <algorithm>
#include <cmath>

#include "brush/dab_blur.h"
#include "brush/dab_plane.h"
#include "brush/plot_callbacks.h"
#include "brush/plot_merge.h"
#include "brush/plot_state.h"
#include "brush/segment_walker.h"
#include "brush/stroke_settings.h"
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

// Sets the working channel to 0 over a rectangle (clipped to it).
void clearCoverage(TChannel& coverage, const SRectXYWH& r) {
  const int32_t x0 = std::max(r.X, 0), x1 = std::min(r.X + r.Width, coverage.Width);
  const int32_t y0 = std::max(r.Y, 0), y1 = std::min(r.Y + r.Height, coverage.Height);
  if (coverage.Bits == nullptr || x1 <= x0) return;
  for (int32_t y = y0; y < y1; ++y) std::fill_n(coverage.pixelAt(x0, y), x1 - x0, uint8_t{0});
}

// The older-format walker: stored points 2 to 1 through the stroke's own
// segment walker, in layer coordinates.
void olderFormatSegment(TFlowImage& flow, TStroke& s, const CLayerData& target) {
  s.updateDirty();
  SStrokePoint a = s.getPoint(1), b = s.getPoint(2);
  for (SStrokePoint* p : {&a, &b}) {
    p->x += static_cast<float>(target.offsetX);
    p->y += static_cast<float>(target.offsetY);
    if (s.GAMMA != 0.0f) p->pressure = std::clamp(dmath::pow(p->pressure, s.GAMMA), 0.0f, 1.0f);
  }
  SSegmentLayer layer;
  layer.blendMode = target.blendMode;
  layer.image = target.image.get();
  drawSegment(s, flow.coverage, flow.pixels, b, a, layer);
}

// One segment of the installed walker onto the flow image.
void walkSegment(TPaper& doc, TFlowImage& flow, TStroke& stroke, const CLayerData& layer) {
  if (doc.strokeSink() == TStrokeSink::Segment) {
    olderFormatSegment(flow, stroke, layer);
    return;
  }
  const SSize size{layer.imageWidth(), layer.imageHeight()};
  SDabSurface surface{flow.layerPixels(size), flow.layerCoverage(size), doc.plotState(), layer.image.get(),
                      layerBlendNeutral(layer.blendMode), TPoint{layer.offsetX, layer.offsetY}, doc.strokeState().stepAxis()};
  walkDabSegment(stroke, surface);
  doc.strokeState().setStepAxis(surface.stepAxis);
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

void reloadBeyondMerged(TFlowImage& flow, CBlockVMTC& image, const TRect& painted, const TRect& merged) {
  if (painted.Right <= painted.Left || painted.Bottom <= painted.Top) return;
  TRect inner = merged;
  if (!intersectRect(inner, painted)) {
    flow.reloadRect(image, painted);
    return;
  }
  TRect strips[4];
  const int n = subtractRect(inner, painted, strips);
  for (int i = 0; i < n; ++i) flow.reloadRect(image, strips[i]);
}

void coverageToColor(const SPlotter& plot, TFlowImage& flow, const CLayerData& layer, const SRectXYWH& rect,
                     uint32_t colour, uint32_t opacity255, const CGradation* gradient) {
  layer.image->copyToPlaneRect(flow.pixels, TPoint{rect.X, rect.Y}, false, 255, rect);
  if (gradient != nullptr)
    plotGradientMask(plot, flow.pixels, flow.coverage, *gradient, opacity255, rect, TPoint{rect.X, rect.Y});
  else
    plotMask(plot, flow.pixels, flow.coverage, TPoint{rect.X, rect.Y}, opacity255, colour, rect);
}

}  // namespace stroke_detail

// ---- the stroke calls ----

namespace {

CLayerData* strokeLayer(TPaper& doc, const TStroke& stroke) {
  CLayerData* layer = doc.layers() ? doc.layers()->getLayer(stroke.layerIndex) : nullptr;
  return layer != nullptr && layer->image ? layer : nullptr;
}

bool usesWorkChannel(const TPaper& doc, const TStroke& stroke) {
  // In mode 2 the engine's renderer keeps its own working channel.
  if (doc.strokeState().engineMode() >= 2) return false;
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
      coverageToColor(doc.plotState().plotter, flow, layer, r, stroke.color, stroke.getOpacity255(),
                      stroke.useGradation ? doc.gradient() : nullptr);
    } else if (stroke.kind == skBlur2) {
      blurByWeight(flow.pixels, *layer.image, flow.coverage, nullptr, r);
    }
  }
  // Only what lies on the document is shown again.
  const SRectXYWH shown = clipShifted(docRect, 0, 0, doc.width(), doc.height());
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
  takeGradientFor(stroke);
  if (record && !recordBegin(events(), x, y, pressure)) {
    // The event store dropped the stroke: it paints, but the history no
    // longer matches the recording.
    clearUndo();
  }
  const SSize layerSize{layer->imageWidth(), layer->imageHeight()};
  if (fromFlow) {
    stroke.beginStrokeFlow(layerBlendNeutral(layer->blendMode), flow.layerPixels(layerSize),
                           TPoint{layer->offsetX, layer->offsetY}, x, y);
  } else {
    stroke.beginStroke(layerBlendNeutral(layer->blendMode), flow.layerPixels(layerSize), x, y);
  }
  updatePlotCallbacks(plotState(), stroke, this);
  strokeState_.open();
  return true;
}

bool TPaper::continueStroke(TFlowImage& flow, TStroke& stroke, bool record, bool paintWindow, float x, float y,
                            float pressure) {
  CLayerData* layer = strokeLayer(*this, stroke);
  if (!strokeState_.isOpen() || layer == nullptr) return false;
  // A point the event store drops leaves the history out of step with the
  // recording, as a dropped stroke start does.
  if (record && !recordPoint(events(), x, y, pressure)) clearUndo();
  strokeState_.addPoint();
  stroke.addPoint(x, y, pressure);
  // Mode 2 strokes go through the engine calls (paper_stroke_engine.cpp);
  // a point that arrives here all the same is walked by the dab table.
  walkSegment(*this, flow, stroke, *layer);
  SRectXYWH dirty{};
  stroke.getDirtyRect(dirty);
  repaintStrokeRect(*this, flow, stroke, *layer, dirty, paintWindow);
  return true;
}

bool TPaper::drawStrokeSegment(TFlowImage& flow, TStroke& stroke, float x0, float y0, float x1, float y1) {
  CLayerData* layer = strokeLayer(*this, stroke);
  if (!strokeState_.isOpen() || layer == nullptr) return false;
  // Both ends at full pressure: the walker runs from point 2 to point 1.
  stroke.setSegment(x1, y1, 1.0f, x0, y0, 1.0f);
  walkSegment(*this, flow, stroke, *layer);
  SRectXYWH dirty{};
  stroke.getDirtyRect(dirty);
  repaintStrokeRect(*this, flow, stroke, *layer, dirty, false);
  return true;
}

bool TPaper::endStroke(TFlowImage& flow, TStroke& stroke, bool record, SRectXYWH& strokeRect, bool) {
  strokeRect = SRectXYWH{0, 0, 0, 0};
  CLayerData* layer = strokeLayer(*this, stroke);
  if (!strokeState_.isOpen() || layer == nullptr) {
    strokeState_.close();
    return false;
  }
  stroke.getTotalRect(strokeRect);
  const SRectXYWH r = layerRectOf(strokeRect, *layer);
  const bool merged = finishStroke(*this, flow, stroke.layerIndex, *layer, r, record);
  if (r.Width > 0 && usesWorkChannel(*this, stroke)) clearCoverage(flow.coverage, r);
  strokeState_.close();
  if (!merged) {
    repaintRect(stroke.layerIndex, xywhToRect(strokeRect));
    showOutOfMemoryMessage();
    return false;
  }
  layer->markThumbnailChanged(r);
  markModified(true);
  return true;
}

SPlotState& TPaper::plotState() {
  if (!plot_) plot_ = std::make_shared<SPlotState>();
  plot_->plotDocument = this;
  return *plot_;
}

}  // namespace pg
