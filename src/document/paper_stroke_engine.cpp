// The document's strokes through the pen-method engine (mode 2): the engine
// interpolates the points and renders the dabs into the flow image; the
// document records, repaints and, at the end, takes the undo record and
// merges the flow image, as for its own walkers.
#include <memory>

#include "brush/pen_render.h"
#include "brush/plot_callbacks.h"
#include "brush/stroke_mngr.h"
#include "brush/stroke_settings.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/paper.h"
#include "document/paper_stroke_util.h"

namespace pg {

using namespace stroke_detail;

namespace {

// The document as the pen engine sees it.
class CPaperPenDocument final : public IPenDocument {
 public:
  explicit CPaperPenDocument(const TPaper& doc) : doc_(doc) {}
  int32_t currentLayerIndex() const override { return doc_.currentLayerIndex(); }
  int32_t layerCount() const override { return doc_.layerCount(); }
  TPoint layerOffset(int32_t index) const override {
    const CLayerData* layer = doc_.layers() ? doc_.layers()->getLayer(index) : nullptr;
    return layer != nullptr ? TPoint{layer->offsetX, layer->offsetY} : TPoint{0, 0};
  }
  // Layers keep their pixels in tiles, not in a plane: the blur reads the
  // flow plane, which holds the layer as it was where no dab fell yet.
  const TMTC* layerImage(int32_t) const override { return nullptr; }
  bool isReplaying() const override { return doc_.isReplaying(); }
  uint32_t replayVersion() const override { return 0; }
  CPenShapeObj* activePenShape() const override { return doc_.replayPenShape(); }

 private:
  const TPaper& doc_;
};

CLayerData* engineLayer(TPaper& doc, const TStroke& stroke) {
  CLayerData* layer = doc.layers() ? doc.layers()->getLayer(stroke.layerIndex) : nullptr;
  return layer != nullptr && layer->image ? layer : nullptr;
}

}  // namespace

bool TPaper::createPenEngine(TStroke& stroke, CPenRender& renderer) {
  if (strokeState_.engineLevel() >= 2 && penEngine_) return true;
  penDocument_ = std::make_shared<CPaperPenDocument>(*this);
  penEngine_ = std::make_shared<CStrokeMngr>(&stroke, &renderer);
  penRender_ = &renderer;
  penStroke_ = &stroke;
  strokeState_.setEngineLevel(2);
  return true;
}

void TPaper::freePenEngine() {
  penEngine_.reset();
  penDocument_.reset();
  penRender_ = nullptr;
  penStroke_ = nullptr;
  strokeState_.setEngineLevel(1);
  if (strokeState_.engineMode() > 1) setStrokeProc(TStrokeSink::DabTable);
}

bool TPaper::beginEngineStroke(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure) {
  CLayerData* layer = engineLayer(*this, stroke);
  if (layer == nullptr || !penEngine_) return false;
  // A flow that cannot hold the layer (memory) would paint over stale pixels.
  loadFlowImage(flow, stroke.layerIndex, false);
  if (!flow.holds(stroke.layerIndex)) {
    showOutOfMemoryMessage();
    return false;
  }
  // The engine paints with the renderer in use now: the replay's while a
  // recording replays, else the one the tool window feeds.
  if (CPenRender* render = currentPenRender()) penEngine_->setPenRender(render);
  const SSize size{layer->imageWidth(), layer->imageHeight()};
  // The call-backs are chosen before the first dab, so that it too keeps to
  // the selection and the layer's protected alpha.
  updatePlotCallbacks(plotState(), stroke, this);
  // The eraser paints the layer's neutral colour: it is the layer's now, not
  // whatever the stroke settings kept from an earlier stroke (a replay's
  // settings never painted one).
  stroke.layerNeutral = layerBlendNeutral(layer->blendMode);
  const SPenTarget target{&flow.layerPixels(size), &flow.layerCoverage(size), TPoint{0, 0}, &plotState().plotter};
  penEngine_->beginStroke(stroke.layerIndex, target, penDocument_.get(), &stroke);
  if (!penEngine_->firstPoint(SStrokePoint{x, y, pressure})) return false;
  takeGradientFor(stroke);
  if (record && !recordBegin(events(), x, y, pressure)) clearUndo();
  strokeState_.open();
  return true;
}

bool TPaper::continueEngineStroke(TFlowImage& flow, TStroke& stroke, bool record, bool paintWindow, float x, float y,
                                  float pressure) {
  CLayerData* layer = engineLayer(*this, stroke);
  if (!strokeState_.isOpen() || layer == nullptr || !penEngine_) return false;
  // A point the event store drops leaves the history out of step with the
  // recording, as a dropped stroke start does.
  if (record && !recordPoint(events(), x, y, pressure)) clearUndo();
  strokeState_.addPoint();
  // A point the engine refuses (not finite) adds no segment: drawing now
  // would only walk the last one again.
  if (!penEngine_->addPoint(SStrokePoint{x, y, pressure})) return true;
  const SSize size{layer->imageWidth(), layer->imageHeight()};
  penEngine_->setTarget(
      SPenTarget{&flow.layerPixels(size), &flow.layerCoverage(size), TPoint{0, 0}, &plotState().plotter},
      penDocument_.get());
  penEngine_->setStroke(&stroke);
  penEngine_->drawSegment();
  const SRectXYWH docRect = penEngine_->getStrokeRect();
  const SRectXYWH r = layerRectOf(docRect, *layer);
  const CPenRender* render = currentPenRender();
  if (r.Width > 0 && render != nullptr && render->usesWorkPlane())
    coverageToColor(plotState().plotter, flow, *layer, r, stroke.color, stroke.getOpacity255(),
                    stroke.useGradation ? gradient() : nullptr);
  const SRectXYWH shown = clipShifted(docRect, 0, 0, width_, height_);
  if (paintWindow && ownerWindow() != nullptr && shown.Width > 0) ownerWindow()->repaintDocRect(xywhToRect(shown));
  return true;
}

bool TPaper::endEngineStroke(TFlowImage& flow, TStroke& stroke, bool record, SRectXYWH& strokeRect, bool) {
  strokeRect = SRectXYWH{0, 0, 0, 0};
  CLayerData* layer = engineLayer(*this, stroke);
  if (!strokeState_.isOpen() || layer == nullptr || !penEngine_) {
    strokeState_.close();
    return false;
  }
  strokeRect = penEngine_->getDirtyRect();
  const SRectXYWH r = layerRectOf(strokeRect, *layer);
  const bool merged = finishStroke(*this, flow, stroke.layerIndex, *layer, r, record);
  if (r.Width > 0) {
    const TRect work = xywhToRect(r);
    penEngine_->clearWork(&work, false);
  }
  penEngine_->endStroke();
  strokeState_.close();
  if (merged) {
    // A dab may reach past the merged rectangle (a turned or stretched nib):
    // what it left there in the flow image never reaches the layer, and the
    // next operation on the flow image must find the layer's pixels. Inside
    // the merged rectangle the flow image already is the layer.
    const SDirtyBox p = penEngine_->paintedWhole();
    const SRectXYWH painted = layerRectOf(SRectXYWH{p.left, p.top, p.right - p.left, p.bottom - p.top}, *layer);
    if (painted.Width > 0 && painted.Height > 0)
      reloadBeyondMerged(flow, *layer->image, xywhToRect(painted), r.Width > 0 ? xywhToRect(r) : TRect{});
  }
  if (!merged) {
    repaintRect(stroke.layerIndex, xywhToRect(strokeRect));
    showOutOfMemoryMessage();
    return false;
  }
  layer->markThumbnailChanged(r);
  markModified(true);
  return true;
}

}  // namespace pg
