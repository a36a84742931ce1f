// The undo entry points that reach the layers' own undo: the one regime in
// which the document keeps no undo manager (an older-format recording
// replays) and every layer undoes its own pixels.
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/layer_own_undo.h"
#include "document/paper.h"

namespace pg {

bool TPaper::storeLayerUndoAt(int32_t layerIndex, int kind) {
  CLayerData* layer = getLayer(layerIndex);
  return layer != nullptr && storeLayerUndo(*layer, kind);
}

void TPaper::invalidateLayerUndo() {
  for (int32_t i = 0; i < layerCount(); ++i) {
    CLayerData* layer = layers_->getLayer(i);
    if (layer->ownUndo) layer->ownUndo->clear();
  }
  if (undoMngr_) clearUndo();
}

bool TPaper::undoLayer(TFlowImage& flow, int32_t layerIndex, TRect& rect) {
  CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr || !layer->canUndoOwn()) return false;
  loadFlowImage(flow, layerIndex, false);
  TRect restored;
  if (!layer->undoOwn(&flow.pixels, restored)) return false;
  rect = restored;
  TRect doc = restored;
  offsetRect(doc, -layer->offsetX, -layer->offsetY);
  repaintRect(layerIndex, doc);
  (void)resetFlowImage(flow, layerIndex, false);  // a flow that fails stays invalid and reloads
  return true;
}

}  // namespace pg
