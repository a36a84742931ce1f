// Setting up a document: name, size, first layer and display mode; the
// document size; small queries about layers.

#include <algorithm>

#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/limits.h"
#include "core/plane_ops.h"
#include "document/flow_image.h"
#include "document/layer_mngr.h"
#include "document/layer_render.h"
#include "document/layer_thumbnail.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/paper_ops.h"
#include "document/tool_window_link.h"

namespace pg {

namespace {

// Sizes arrive from files and recordings: anything outside 1 .. 10,000 is
// brought to the nearer end.
int32_t clampSide(int32_t v, int32_t limit) { return std::clamp(v, 1, limit); }

}  // namespace

bool TPaper::setupDocument(const std::string& docName, TFlowImage* flow, bool transparent, bool canvasColourOff,
                           int32_t dpi, int32_t layerHeight, int32_t layerWidth, int32_t docHeight, int32_t docWidth) {
  if (!layers_) return false;
  CWaitCursor wait(owner_);
  name_ = docName;
  resolution_ = dpi;
  showCanvasColor_ = !canvasColourOff;
  TFlowImage* f = flow != nullptr ? flow : flow_;
  if (!setSize(f, docWidth, docHeight)) {
    showOutOfMemoryMessage();
    return false;
  }

  // The standard mode starts with a Normal layer of the layer size; the
  // older-format mode with a Multiply layer of the document size, which
  // insertLayer makes opaque.
  const bool standard = isStandardMode();
  const int32_t lw = standard ? clampSide(layerWidth, kMaxImageWidth) : width_;
  const int32_t lh = standard ? clampSide(layerHeight, kMaxImageHeight) : height_;
  const int32_t at = insertLayer(0, lw, lh, true, 255, standard ? lbmNormal : lbmMultiply);
  if (at < 0) return false;
  (void)layers_->setDefaultName(at, 1);  // the index was just inserted
  CLayerData* layer = layers_->getLayer(at);
  (void)fillImageNeutral(*layer);  // whole tiles turn uniform: nothing to commit
  const bool clear = standard && transparent;
  layer->setAlphaAll(clear ? 0 : 255);
  layer->fillThumbnail(clear);

  layers_->setCurrent(at);
  if (f != nullptr) loadFlowImage(*f, at, true);
  composeRect(SRectXYWH{0, 0, width_, height_}, true);
  setGradientPoints(TPoint{0, 0}, TPoint{width_, 0});

  // Every new image is recorded, whatever the caller's record flag.
  if (events_) {
    events_->recordImageCreate(width_, height_, transparent, canvasColourOff, resolution_, lh, lw);
    events_->recordResetPoint();
  }

  markReady();
  invalidate();
  return true;
}

bool TPaper::newDocument(const std::string& docName, TFlowImage* flow, bool transparent, bool canvasColourOff,
                         int32_t dpi, int32_t docHeight, int32_t docWidth) {
  return setupDocument(docName, flow, transparent, canvasColourOff, dpi, docHeight, docWidth, docHeight, docWidth);
}

bool TPaper::setSize(TFlowImage* flow, int32_t w, int32_t h) {
  width_ = clampSide(w, kMaxImageWidth);
  height_ = clampSide(h, kMaxImageHeight);
  if (layers_) layers_->setDocumentSize(width_, height_);
  if (masks_) {
    masks_->setDocumentSize(width_, height_);
    (void)masks_->updateAllThumbnails();  // a thumbnail that fails stays stale
  }
  toolWindowLink().updateMaskPanel();
  if (TFlowImage* f = flow != nullptr ? flow : flow_) {
    f->fitDocument(false);
    // Whatever the plane held belongs to the old size.
    fillPlane(f->pixels, kThumbnailWhite);
    if (f->coverage.IsAllocated()) fill(f->coverage, 0);
    f->valid = false;
  }
  const bool sized = composite_.Resize(width_, height_);
  if (owner_ != nullptr) owner_->documentLayoutChanged(true);
  return sized;
}

// ---- small queries ------------------------------------------------------------------

CLayerData* TPaper::getLayer(int32_t index) const { return layers_ ? layers_->getLayer(index) : nullptr; }

CLayerData* TPaper::currentLayer() const { return layers_ ? layers_->currentLayer() : nullptr; }

std::string TPaper::windowCaption() const { return captionOfName(name_, viewPrefs().fullPathCaption()); }

int32_t TPaper::strokeLayerBlendMode(int32_t strokeLayerIndex) const {
  const CLayerData* layer = getLayer(strokeLayerIndex);
  return layer != nullptr ? layer->blendMode : -1;
}

bool TPaper::layerOffset(int32_t index, TPoint& offset) const {
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr) return false;
  offset = {layer->offsetX, layer->offsetY};
  return true;
}

bool TPaper::layerToPaperPoint(int32_t index, TPoint& point) const {
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr) return false;
  point.X = static_cast<int32_t>(std::clamp<int64_t>(int64_t{point.X} - layer->offsetX, INT32_MIN, INT32_MAX));
  point.Y = static_cast<int32_t>(std::clamp<int64_t>(int64_t{point.Y} - layer->offsetY, INT32_MIN, INT32_MAX));
  return true;
}

}  // namespace pg
