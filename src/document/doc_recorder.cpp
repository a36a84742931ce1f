#include "document/doc_recorder.h"

#include <memory>

#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper_gradient.h"
#include "document/paper.h"

namespace pg {

CDocEventRecorder::CDocEventRecorder(TPaper& doc, SRecorderTools tools)
    : doc_(doc),
      tools_(tools),
      store_(this, 0x10000, 0x100000),
      state_(store_, *this, this),
      commands_(store_, state_, *this),
      strokes_(store_, state_, *this) {}

bool CDocEventRecorder::startRecording(int32_t undoSteps) {
  return store_.startRecording(tools_.stroke, tools_.tones, undoSteps, undoSteps);
}

void CDocEventRecorder::activate(bool active) {
  if (active) store_.refreshEngines();
}

SDocStateValues CDocEventRecorder::documentState() const {
  SDocStateValues v;
  v.paperPixel = doc_.paperColor().pixel();
  v.canvasColorShown = doc_.showCanvasColor();
  v.bgPatternShown = doc_.showBgPattern();
  doc_.getGradientPoints(v.gradientStart, v.gradientEnd);
  v.gradientType = doc_.gradient()->shape();
  v.gradientRepeat = doc_.gradient()->mirror();
  v.gradientWrap = doc_.gradient()->wrap() != 0;
  v.gradientCount = doc_.gradient()->count();
  v.currentLayer = doc_.currentLayerIndex();
  v.currentMask = doc_.masks() != nullptr ? doc_.masks()->current() : -1;
  v.selectionEnabled = doc_.selectionEnabled();
  v.strokeMode = doc_.strokeState().engineMode();
  return v;
}

bool CDocEventRecorder::layerAttributes(int32_t index, SLayerAttrValues& out) const {
  const CLayerMngr* layers = doc_.layers();
  if (layers == nullptr) return false;
  const CLayerData* layer = layers->getLayer(index < 0 ? layers->current() : index);
  if (layer == nullptr) return false;
  out.blendMode = layer->blendMode;
  out.opacity = layer->opacity;
  out.visible = layer->visible;
  out.protectAlpha = layer->protectAlpha;
  out.effect = layer->dissolve;
  out.effectValue = layer->dissolveAmount;
  out.offsetX = layer->offsetX;
  out.offsetY = layer->offsetY;
  return true;
}

bool CDocEventRecorder::penState(SPenStateValues& out) const {
  return tools_.toolState != nullptr && tools_.toolState->penState(out);
}

const CColorSlotGroup* CDocEventRecorder::currentGradientStops() const {
  if (tools_.toolState != nullptr) {
    if (const CColorSlotGroup* stops = tools_.toolState->currentGradientStops()) return stops;
  }
  const CGradObj* active = docGradientLink().activeGradient();
  return active != nullptr ? &active->Stops : nullptr;
}

DocRecorderFactory eventStoreRecorderFactory(SRecorderTools tools) {
  return [tools](TPaper& doc) { return std::unique_ptr<IDocRecorder>(std::make_unique<CDocEventRecorder>(doc, tools)); };
}

}  // namespace pg
