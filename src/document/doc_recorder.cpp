#include "document/doc_recorder.h"

#include <memory>

#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper.h"

namespace pg {

CDocEventRecorder::CDocEventRecorder(TPaper& doc, SRecorderTools tools)
    : doc_(doc),
      tools_(tools),
      store_(this, 0x10000, 0x100000),
      state_(store_, *this, tools.toolState),
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
  v.paperPixel = doc_.paperColor.pixel();
  v.canvasColorShown = doc_.showCanvasColor;
  v.bgPatternShown = doc_.showBgPattern;
  // The document's gradient keeps the defaults of SDocStateValues until the
  // document holds gradient points and options of its own.
  v.currentLayer = doc_.currentLayerIndex();
  v.currentMask = doc_.masks() != nullptr ? doc_.masks()->current() : -1;
  v.selectionEnabled = doc_.selectionEnabled;
  v.strokeMode = doc_.strokeEngineMode;
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

DocRecorderFactory eventStoreRecorderFactory(SRecorderTools tools) {
  return [tools](TPaper& doc) { return std::unique_ptr<IDocRecorder>(std::make_unique<CDocEventRecorder>(doc, tools)); };
}

}  // namespace pg
