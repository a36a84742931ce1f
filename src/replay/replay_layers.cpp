// Replay of the layer attribute packets and the renames of layers and masks,
// which set the layer's fields directly.
#include <string>

#include "brush/stroke_settings.h"
#include "core/blend_modes.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/text_codec.h"
#include "record/packet_catalogue.h"
#include "replay/replay_engine.h"
#include "replay/replay_executors.h"

namespace pg {

// The attribute record carries all three attributes; the one of its subcode
// goes through the document's operation (which compares first, and answers
// false for a value it already had: not a failure here).
bool CReplayExecutors::layerAttribute(CReplayEngine& e, const SPacketRow& row) {
  SEffectBody b;
  const bool read = row.form == BodyForm::Effect ? e.readBody(row, b) : e.readBody(row, static_cast<SAttributeBody&>(b));
  if (!read) return false;
  TPaper& doc = e.doc_;
  const int32_t index = b.layer;
  CLayerData* layer = doc.getLayer(index);
  if (layer == nullptr) return e.fail(ReplayError::OperationFailed);
  if (b.blendMode >= kLayerBlendModeCount) return e.fail(ReplayError::BadField);
  const bool visible = (b.flags & kBodyFlagVisible) != 0, protect = (b.flags & kBodyFlagProtectAlpha) != 0,
             effect = (b.flags & kBodyFlagEffect) != 0;
  switch (row.subcode) {
    case kLayerAttrBlendMode:
      (void)doc.setLayerBlendMode(index, b.blendMode, false);  // a value the layer already had: see above
      break;
    case kLayerAttrOpacity:
      (void)doc.setLayerOpacity(index, b.opacity, false);  // as above
      break;
    case kLayerAttrVisible:
      (void)doc.setLayerVisible(index, visible, false);  // as above
      break;
    case kLayerAttrProtectAlpha:
      (void)doc.setProtectAlpha(index, protect ? 1 : 0, false);  // as above
      if (index == doc.currentLayerIndex()) e.stroke_->setOpaqueMode(layer->protectAlpha, true);
      break;
    default:
      (void)doc.setLayerEffect(index, effect, b.effectValue, false);  // as above
      layer->seedRandom(b.seed);
      break;
  }
  layer->blendMode = b.blendMode;
  layer->opacity = b.opacity;
  layer->visible = visible;
  if (row.form == BodyForm::Effect) layer->dissolveAmount = b.effectValue;
  doc.redraw(true);
  doc.updateLayerThumbnail(index);
  e.addRefresh(kRefreshLayers | kRefreshNavigator);
  return true;
}

bool CReplayExecutors::layerName(CReplayEngine& e, const SPacketRow& row) {
  SNamedBody b;
  std::string name;
  if (!e.readBody(row, b) || !e.readName(b.nameLength, name)) return false;
  return e.done(e.doc_.getLayer(b.index) != nullptr && e.doc_.setLayerName(b.index, name, false), kRefreshLayers);
}

bool CReplayExecutors::maskName(CReplayEngine& e, const SPacketRow& row) {
  SNamedBody b;
  std::string name;
  if (!e.readBody(row, b) || !e.readName(b.nameLength, name)) return false;
  if (e.doc_.masks()->getMask(b.index) == nullptr) return e.fail(ReplayError::OperationFailed);
  return e.done(e.doc_.setMaskName(e.doc_.currentLayerIndex(), name, b.index, false), kRefreshMasks);
}

}  // namespace pg
