// The document's stroke modes and the tools its strokes read: the tone set
// and pen renderer of the tool window or of a running replay, the switch
// into and out of the older-format mode, window activation, and the
// document-to-layer coordinate helpers.
#include "brush/stroke_mngr.h"
#include "core/plane_ops.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/paper.h"

namespace pg {

void TPaper::setToolTools(const CToneMngr* tones, CPenRender* render) {
  toolTones_ = tones;
  if (render != nullptr) penRender_ = render;
}

void TPaper::setReplayTools(const CToneMngr* tones, CPenRender* render, std::function<CPenShapeObj*()> nib) {
  replayTones_ = tones;
  replayRender_ = render;
  replayNib_ = std::move(nib);
  // A replay that lets go hands the engine back its own settings and
  // renderer: the replay's go with it.
  if (render == nullptr && penEngine_) {
    penEngine_->setPenRender(penRender_);
    penEngine_->setStroke(penStroke_);
  }
}

CPenShapeObj* TPaper::replayPenShape() const { return isReplaying() && replayNib_ ? replayNib_() : nullptr; }

const CToneMngr* TPaper::toneManager() const {
  return isReplaying() && replayTones_ != nullptr ? replayTones_ : toolTones_;
}

CPenRender* TPaper::currentPenRender() const {
  return isReplaying() && replayRender_ != nullptr ? replayRender_ : penRender_;
}

void TPaper::resetPenEngine() {
  if (!isReplaying() && penEngine_) penEngine_->syncPen();
}

void TPaper::activate(bool active) {
  if (events_) events_->activate(active);
  if (active && !isReplaying()) resetPenEngine();
}

void TPaper::enterOlderFormatMode() {
  setStrokeProc(TStrokeSink::Segment);
  selectMng_ = std::make_unique<TSelectMng>(width_, height_);
}

bool TPaper::leaveOlderFormatMode() {
  // Back to the dab-table walker; the pen engine, when the document has one,
  // can be chosen again.
  setStrokeProc(TStrokeSink::DabTable);
  selectMng_.reset();
  strokeState_.setEngineLevel(penEngine_ ? 2 : 1);
  // The older format knew no transparency: what it painted is opaque.
  if (layers_) {
    for (int32_t i = 0; i < layers_->count(); ++i) layers_->getLayer(i)->setAlphaAll(255);
  }
  if (flow_ != nullptr && flow_->pixels.IsAllocated()) setAlpha(flow_->pixels, 255);
  if (undoMngr_) return true;
  try {
    const int32_t n = undoMax();
    undoMngr_ = std::make_unique<CUndoMngrEx>(*this, UndoExtra{32}, UndoLimit{n}, RedoLimit{n});
  } catch (const std::exception&) {
    return false;
  }
  // The layers' own undo belonged to the older-format mode.
  if (layers_) layers_->dropAllOwnUndo();
  return true;
}

bool TPaper::paperToLayerRect(int32_t layerIndex, TRect& rect) const {
  const CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr) return false;
  rect = TRect{rect.Left + layer->offsetX, rect.Top + layer->offsetY, rect.Right + layer->offsetX,
               rect.Bottom + layer->offsetY};
  return true;
}

bool TPaper::paperToLayerPointF(int32_t layerIndex, float& x, float& y) const {
  const CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr) return false;
  x += static_cast<float>(layer->offsetX);
  y += static_cast<float>(layer->offsetY);
  return true;
}

}  // namespace pg
