// The document as the plot call-backs see it: its selection, its current
// layer and its stroke walker.
#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"

namespace pg {

const CBlockVCH* TPaper::selectionImage(TPoint& maskOffset) const {
  maskOffset = TPoint{0, 0};
  if (!selectionEnabled_ || !masks_) return nullptr;
  const CMaskData* mask = masks_->currentMask();
  if (mask == nullptr || !mask->hasImage()) return nullptr;
  maskOffset = TPoint{mask->offsetX, mask->offsetY};
  return mask->image.get();
}

TPoint TPaper::currentLayerOffset() const {
  const CLayerData* layer = layers_ ? layers_->getLayer(currentLayerIndex()) : nullptr;
  return layer != nullptr ? TPoint{layer->offsetX, layer->offsetY} : TPoint{0, 0};
}

SSize TPaper::currentLayerSize() const {
  const CLayerData* layer = layers_ ? layers_->getLayer(currentLayerIndex()) : nullptr;
  return layer != nullptr ? SSize{layer->imageWidth(), layer->imageHeight()} : SSize{};
}

bool TPaper::hasLayers() const { return layerCount() > 0; }

bool TPaper::currentLayerProtectsAlpha() const {
  const CLayerData* layer = layers_ ? layers_->getLayer(currentLayerIndex()) : nullptr;
  return layer != nullptr && layer->protectAlpha;
}

bool TPaper::isReplaying() const { return owner_ != nullptr && owner_->isReplaying(); }

void TPaper::setStrokeProc(TStrokeSink sink) {
  strokeSink_ = sink;
  olderFormatMode_ = sink == TStrokeSink::Segment;
  // The older-format mode has no document undo: each layer keeps its own.
  if (olderFormatMode_) undoMngr_.reset();
  const auto level = static_cast<uint8_t>(sink);
  strokeState_.setEngineMode(level);
}

bool TPaper::selectPenEngine(int32_t level) {
  if ((level != 1 && level != 2) || level > strokeState_.engineLevel()) return false;
  setStrokeProc(level == 1 ? TStrokeSink::DabTable : TStrokeSink::PenRender);
  return true;
}

}  // namespace pg
